// The real main window, built offscreen and driven as a user would.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "common/ui/grid_model.h"
#include "common/ui/links.h"
#include "common/version.h"
#include "app/ui/tform1.h"
#include "output/ui/tform2.h"
#include "output/ui/tform3.h"
#include "input/numbers.h"
#include "project/project_file.h"
#include "report/ui/report_data.h"
#include "support/scripted_platform.h"

using namespace px;

namespace {

struct Window {
    ScriptedPlatform platform;
    std::unique_ptr<TForm1> form;
    Window() : form(std::make_unique<TForm1>(&platform)) {}
    QLineEdit* edit(int n) { return form->edit(n); }
    QLabel* label(const char* name) { return form->findChild<QLabel*>(name); }
    QPushButton* button(int n) { return form->findChild<QPushButton*>(QString("Button%1").arg(n)); }
    QComboBox* combo(int n) { return form->findChild<QComboBox*>(QString("ComboBox%1").arg(n)); }
    QImage& image(int n) { return form->imageBox(n)->image(); }
    void type(int n, const QString& text) {
        QLineEdit* e = edit(n);
        e->selectAll();
        QTest::keyClicks(e, text);
        if (text.isEmpty()) e->clear();
    }
    void click(int n) { QTest::mouseClick(button(n), Qt::LeftButton); }
    void trigger(const char* action) { form->findChild<QAction*>(action)->trigger(); }
    bool shown(const char* name) {
        QWidget* w = form->findChild<QWidget*>(name);
        return w && !w->isHidden();
    }
};

void moveMouse(QWidget* w, QPoint pt) {
    QMouseEvent e(QEvent::MouseMove, QPointF(pt), QPointF(w->mapToGlobal(pt)), Qt::NoButton, Qt::NoButton,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

QRgb pixelAt(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }

}  // namespace

TEST(MainWindow, StartsWithTheDefaultColumnMeshedDrawnAndAnalysed) {
    Window w;
    EXPECT_TRUE(w.platform.errors.isEmpty()) << w.platform.errors.join("\n").toStdString();
    EXPECT_EQ(w.form->objectName(), "TForm1");
    EXPECT_EQ(w.form->windowTitle(), "PILLARIX v1.2(Section Analysis Program)Version(2014-09-06)");
    EXPECT_EQ(w.form->pages()->currentIndex(), 0);
    EXPECT_EQ(w.form->pages()->count(), 8);
    for (int n = 1; n <= 68; ++n) EXPECT_NE(w.edit(n), nullptr) << n;
    for (int n = 1; n <= 17; ++n) EXPECT_NE(w.button(n), nullptr) << n;
    for (int n = 1; n <= 11; ++n) EXPECT_NE(w.form->imageBox(n), nullptr) << n;

    Workspace& ws = w.form->workspace();
    EXPECT_EQ(ws.Fibers.NFib, 248);
    EXPECT_EQ(w.edit(36)->text(), "4840000");
    EXPECT_EQ(w.edit(31)->text(), "4840000");
    EXPECT_EQ(w.edit(37)->text(), "49063");
    EXPECT_EQ(w.edit(38)->text(), "0");
    EXPECT_EQ(w.edit(39)->text(), "1.014");
    EXPECT_EQ(w.edit(40)->text(), "0.000");
    EXPECT_EQ(w.label("Label5")->text(), "X-Dir Rebar");
    EXPECT_FALSE(w.shown("GroupBox10"));

    EXPECT_DOUBLE_EQ(ws.PMax, 149290.625);
    EXPECT_DOUBLE_EQ(ws.PMin, -16190.625);
    EXPECT_EQ(ws.PM.Divisions, 10);
    // The axes reach 7 pixels' worth past the curve on the 314 x 335 frame.
    const double pPad = (149290.625 + 16190.625) * 7 / 321;
    EXPECT_DOUBLE_EQ(ws.PMScale.X.PAxisMin, -16190.625 - pPad);
    EXPECT_DOUBLE_EQ(ws.PMScale.X.PAxisMax, 149290.625 + pPad);
    const double mx = *std::max_element(ws.PM.MX.begin(), ws.PM.MX.end());
    EXPECT_DOUBLE_EQ(ws.PMScale.X.MAxisMax, mx + mx * 7 / 300);
    EXPECT_GT(ws.PMScale.Y.MAxisMax, 47340);
    // The blue zero-force line of both P-M plots: (149290.625 + pad) /
    // (165481.25 + 2 pad) x 335 + 20 = 316.6.
    EXPECT_EQ(pixelAt(w.image(2), 100, 317), 0x0000FFu);
    EXPECT_EQ(pixelAt(w.image(3), 100, 317), 0x0000FFu);
    EXPECT_EQ(w.form->findChild<QProgressBar*>("ProgressBar1")->value(), 0);
    EXPECT_EQ(w.label("Label68")->text(), "Force = ");

    // The section drawing: default colours, banner count.
    const QImage& s = w.image(1);
    EXPECT_EQ(pixelAt(s, 0, 0), 0x000000u);
    EXPECT_EQ(pixelAt(s, 303, 223), 0x00FFFFu);  // a core cell in core concrete one's aqua
}

TEST(MainWindow, MouseReadoutsOnThePmPlots) {
    Window w;
    // The frame's corners read the axes' limits.
    const PMPlotScale& s = w.form->workspace().PMScale;
    moveMouse(w.form->imageBox(2), QPoint(50, 20));
    EXPECT_EQ(w.label("Label68")->text().toStdString(), "P = " + F0(s.X.PAxisMax) + " , MX = " + F0(s.X.MAxisMin));
    EXPECT_EQ(w.label("Label68")->text().left(11), "P = 152899 ");
    moveMouse(w.form->imageBox(3), QPoint(388 - 24, 391 - 36));
    EXPECT_EQ(w.label("Label69")->text().toStdString(), "P = " + F0(s.Y.PAxisMin) + " , MY = " + F0(s.Y.MAxisMax));
}

TEST(MainWindow, SectionTypeFromTheMenuRelabelsAndMeshes) {
    Window w;
    w.form->pages()->setCurrentIndex(5);
    w.trigger("N20");
    EXPECT_EQ(w.form->pages()->currentIndex(), 0);
    EXPECT_EQ(w.combo(1)->currentIndex(), 1);
    EXPECT_EQ(w.label("Label2")->text(), "Diameter D");
    EXPECT_EQ(w.label("Label3")->text(), " ");
    EXPECT_FALSE(w.shown("Edit2"));
    EXPECT_FALSE(w.shown("Edit8"));
    EXPECT_FALSE(w.shown("Edit10"));
    EXPECT_EQ(w.form->workspace().Fibers.NFib, 180);
    EXPECT_EQ(w.edit(36)->text(), "3799400");
    // The P-M results are those of the previous section until recomputed.
    EXPECT_DOUBLE_EQ(w.form->workspace().PMax, 149290.625);

    w.trigger("N22");  // rect steel box
    EXPECT_TRUE(w.shown("Edit41"));
    EXPECT_TRUE(w.shown("Label49"));
    EXPECT_EQ(w.label("Label49")->text(), "Y-Dir Thickness");
    EXPECT_EQ(w.label("Label4")->text(), "X-Dir Thickness");
    EXPECT_FALSE(w.shown("GroupBox11"));
    EXPECT_FALSE(w.shown("GroupBox10"));

    w.trigger("N24");  // steel tube in rect, then rect SRC type 2
    EXPECT_EQ(w.label("Label54")->text(), "Pipe");
    EXPECT_EQ(w.label("Label11")->text(), "Coner Rebar");
    EXPECT_FALSE(w.shown("Edit43"));
    w.trigger("N21");
    EXPECT_TRUE(w.shown("Edit43"));
    EXPECT_TRUE(w.shown("Edit45"));
    EXPECT_FALSE(w.shown("Edit46"));
    EXPECT_FALSE(w.shown("Label55"));
    EXPECT_EQ(w.label("Label57")->text(), "Flange Mesh Num");
    EXPECT_TRUE(w.platform.errors.isEmpty()) << w.platform.errors.join("\n").toStdString();
}

TEST(MainWindow, EveryTypeMeshesDrawsAndSolves) {
    Window w;
    const char* menu[] = {"N19", "N20", "N110", "N21", "N25", "N22", "N23", "N24"};
    const int counts[] = {248, 180, 308, 278, 156, 148, 240, 404};
    for (int i = 0; i < 8; ++i) {
        w.trigger(menu[i]);
        EXPECT_EQ(w.form->workspace().Fibers.NFib, counts[i]) << menu[i];
        // Steel is drawn in the steel-section colour (blue) for the types that have it.
        int blue = 0;
        const QImage& s = w.image(1);
        for (int y = 0; y < s.height(); ++y)
            for (int x = 0; x < s.width(); ++x) blue += pixelAt(s, x, y) == 0x0000FFu;
        if (i >= 2) EXPECT_GT(blue, 100) << menu[i];
        else EXPECT_EQ(blue, 0) << menu[i];
        EXPECT_FALSE(w.edit(36)->text().isEmpty());
        EXPECT_EQ(w.edit(38)->text() == "0", i < 2) << menu[i];
        w.click(2);
        EXPECT_TRUE(w.platform.errors.isEmpty()) << menu[i] << w.platform.errors.join("\n").toStdString();
        const PMCurve& pm = w.form->workspace().PM;
        ASSERT_EQ(pm.MX.size(), 11u);
        double largest = 0;
        for (double m : pm.MX) largest = std::max(largest, m);
        EXPECT_GT(largest, 0) << menu[i];
    }
}

TEST(MainWindow, ABadFieldShowsTheMessageAndKeepsTheSection) {
    Window w;
    const QImage before = w.image(1).copy();
    w.type(3, "");
    w.click(1);
    ASSERT_EQ(w.platform.errors.size(), 1);
    EXPECT_EQ(w.platform.errors[0], "Cover as (Section page): '' is not a valid floating point value.");
    EXPECT_EQ(w.form->workspace().Fibers.NFib, 248);
    EXPECT_EQ(w.image(1), before);

    w.type(3, "40");
    w.type(12, "1");
    w.click(1);
    ASSERT_EQ(w.platform.errors.size(), 2);
    EXPECT_TRUE(w.platform.errors[1].contains("X-Dir Mesh Num")) << w.platform.errors[1].toStdString();
    EXPECT_EQ(w.image(1), before);
    EXPECT_EQ(w.edit(36)->text(), "4840000");
}

TEST(MainWindow, AnImpossibleSizeIsRefusedBeforeAnyWork) {
    Window w;
    const QImage section = w.image(1).copy(), pm = w.image(2).copy();
    const Workspace before = w.form->workspace();
    struct Case { int type; int edit; const char* text; const char* message; };
    const Case cases[] = {
        {0, 1, "-5", "\"Sec Width B\" must be greater than 0."},
        {0, 3, "1100", "\"Cover as\" must be less than half of \"Sec Width B\""},  // no full stop after a quote
        {2, 1, "-5", "\"Sec Widht B\" must be greater than 0."},
        // Steel reaching past the concrete, a circle that cannot bend.
        {7, 1, "500", "Pipe: \"Sec Height H\" must be less than the section's \"Sec Width B\""},
        {6, 1, "1000",
         "Steel Y-Dir: the diagonal of \"Sec Height H\" and \"Sec Width B\" must be less than \"Diameter D\""},
        {1, 12, "2", "\"Mesh Num 1\" must be at least 4."},
    };
    for (const Case& c : cases) {
        w.combo(1)->setCurrentIndex(c.type);
        w.platform.errors.clear();
        const QString old = w.edit(c.edit)->text();
        w.type(c.edit, c.text);
        for (int button : {1, 2}) {
            w.click(button);
            ASSERT_EQ(w.platform.errors.size(), 1) << c.message;
            EXPECT_EQ(w.platform.errors.takeFirst(), c.message);
        }
        w.type(c.edit, old);
    }
    w.combo(1)->setCurrentIndex(0);
    w.edit(1)->setText("-5");
    w.click(1);
    const Workspace& ws = w.form->workspace();
    EXPECT_EQ(ws.Input.B, before.Input.B);
    EXPECT_EQ(ws.Input.SectionType, 1);
    EXPECT_EQ(ws.Fibers.NFib, before.Fibers.NFib);
    EXPECT_EQ(w.image(1), section);
    EXPECT_EQ(w.image(2), pm);
    EXPECT_EQ(w.edit(36)->text(), "4840000");
}

TEST(MainWindow, ABadSolverSettingLeavesThePlots) {
    Window w;
    const QImage x = w.image(2).copy();
    const double pmax = w.form->workspace().PMax;
    w.type(53, "1.5");
    w.click(2);
    ASSERT_EQ(w.platform.errors.size(), 1);
    EXPECT_EQ(w.platform.errors[0], "Inside Steps N (PM Curve page): '1.5' is not a valid integer value.");
    EXPECT_EQ(w.image(2), x);
    w.type(53, "0");
    w.edit(1)->setText("3000");
    w.click(2);
    ASSERT_EQ(w.platform.errors.size(), 2);
    EXPECT_TRUE(w.platform.errors[1].contains("Inside Steps N"));
    EXPECT_EQ(w.image(2), x);
    EXPECT_EQ(w.form->workspace().PMax, pmax);
}

TEST(MainWindow, MmPageRunsTheReferenceThenTheSolver) {
    Window w;
    w.trigger("MM1");
    EXPECT_EQ(w.form->pages()->currentIndex(), 4);
    EXPECT_TRUE(w.platform.errors.isEmpty()) << w.platform.errors.join("\n").toStdString();
    Workspace& ws = w.form->workspace();
    EXPECT_EQ(ws.MMPointCount, 36);
    ASSERT_EQ(ws.MM.Mx.size(), 37u);
    EXPECT_LT(ws.MM.Mx[0], 0);
    EXPECT_EQ(w.form->findChild<QProgressBar*>("ProgressBar2")->value(), 100);
    // Image4 holds the X plot with the purple line at P = 0 (y = 317).
    EXPECT_EQ(pixelAt(w.image(4), 200, 317), 0x800080u);
    EXPECT_EQ(pixelAt(w.image(4), 50, 100), pixelAt(w.image(2), 50, 100));

    // The slider: top, bottom and middle.
    auto* bar = w.form->findChild<QScrollBar*>("ScrollBar1");
    bar->setValue(100);
    EXPECT_EQ(w.edit(30)->text(), "-16191");
    bar->setValue(50);
    EXPECT_EQ(w.edit(30)->text(), "66550");
    bar->setValue(0);
    EXPECT_EQ(w.edit(30)->text(), "149291");

    // Switching the reference shows the Y plot without a line.
    w.combo(7)->setCurrentIndex(1);
    EXPECT_EQ(w.image(4), w.image(3));

    w.type(30, "abc");
    w.click(8);
    ASSERT_EQ(w.platform.errors.size(), 1);
    EXPECT_EQ(w.platform.errors[0], "Axial Force (MM Curve page): 'abc' is not a valid floating point value.");
}

TEST(MainWindow, SwatchColourShowsAtTheNextDrawingOnly) {
    Window w;
    const QImage before = w.image(1).copy();
    w.platform.colorAnswers.push_back(QColor(255, 0, 255));
    w.form->Shape2MouseDown();
    EXPECT_EQ(w.image(1), before);
    w.click(1);
    EXPECT_EQ(pixelAt(w.image(1), 303, 223), 0xFF00FFu);
    w.platform.colorAnswers.push_back(std::nullopt);  // cancel changes nothing
    w.form->Shape2MouseDown();
    EXPECT_EQ(w.form->workspace().Colors.c[2], (Rgb{255, 0, 255}));
}

TEST(MainWindow, LinksAndAboutBox) {
    Window w;
    w.trigger("N9");
    w.form->Image11Click();
    ASSERT_EQ(w.platform.urls.size(), 2);
    EXPECT_TRUE(w.platform.urls[0].endsWith("tutorial.html"));
    w.trigger("N7");
    EXPECT_TRUE(w.form->aboutBox()->isVisible());
    w.form->aboutBox()->Button1Click();
    EXPECT_FALSE(w.form->aboutBox()->isVisible());
    // Menu items without a command change nothing.
    w.trigger("N2");
    EXPECT_EQ(w.form->pages()->currentIndex(), 0);
    EXPECT_TRUE(w.platform.errors.isEmpty());
}

TEST(MainWindow, APageNoBrowserOpensIsNamedByItsPath) {
    Window w;
    w.platform.openUrlAnswer = false;
    w.trigger("N9");
    w.form->Image11Click();
    w.form->aboutBox()->Label6Click();
    ASSERT_EQ(w.platform.urls.size(), 3);
    ASSERT_EQ(w.platform.errors.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const QString path = QUrl(w.platform.urls[i]).toLocalFile();
        EXPECT_TRUE(QFileInfo(path).isAbsolute() && QFileInfo::exists(path)) << path.toStdString();
        EXPECT_EQ(w.platform.errors[i], "No browser could open the page. Open it by hand:\n" + path);
    }
}

// "Help" > "Tutorial" opens the copy beside the program, never the source
// tree's while the copy is there; the places are tried in order.
TEST(MainWindow, TheTutorialOpensFromBesideTheProgram) {
    Window w;
    w.trigger("N9");
    ASSERT_EQ(w.platform.urls.size(), 1);
    const QString path = QUrl(w.platform.urls[0]).toLocalFile();
    EXPECT_EQ(path, QCoreApplication::applicationDirPath() + "/tutorial.html");
    EXPECT_TRUE(QFileInfo(path).isFile());
    EXPECT_NE(QFileInfo(path).canonicalFilePath(),
              QFileInfo(PILLARIX_SOURCE_DIR "/resources/tutorial.html").canonicalFilePath());
    const QStringList places = TutorialPlaces();
    ASSERT_EQ(places.size(), 4);
    EXPECT_EQ(places[1], QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/pillarix/tutorial.html"));
    EXPECT_TRUE(places[2].endsWith("/share/pillarix/tutorial.html"));
    EXPECT_EQ(places[3], PILLARIX_SOURCE_DIR "/resources/tutorial.html");

    QTemporaryDir dir;
    const QString a = dir.filePath("a.html"), b = dir.filePath("b.html"), c = dir.filePath("c.html");
    QDir().mkpath(a);  // a folder of that name is no page
    for (const QString& f : {b, c}) {
        QFile file(f);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(FirstExisting({a, b, c}), b);
    EXPECT_EQ(FirstExisting({a, dir.filePath("none.html")}), dir.filePath("none.html"));
}

// The title, the section drawing's banner, the About box and the report
// show one version and date.
TEST(MainWindow, OneVersionAndDateEverywhere) {
    Window w;
    const QString version = QString("v") + kProgramVersion, date = kProgramDate;
    auto both = [&](const QString& text) { return text.contains(version) && text.contains(date); };
    EXPECT_TRUE(both(w.form->windowTitle())) << w.form->windowTitle().toStdString();
    EXPECT_TRUE(both(QString::fromUtf8(kProgramBanner)));
    const TForm3* about = w.form->aboutBox();
    EXPECT_TRUE(both(about->Label1->text() + " " + about->Label2->text()))
        << (about->Label1->text() + " " + about->Label2->text()).toStdString();
    const ReportData d = BuildReportData({w.form.get(), &w.form->fields(), &w.form->workspace()});
    EXPECT_EQ(d.program, QString::fromUtf8(kProgramBanner));
    EXPECT_EQ(kProjectProgram, std::string("Pillarix ") + kProgramVersion);
}

TEST(MainWindow, MmReadoutAndLogo) {
    Window w;
    w.form->Button7Click();
    moveMouse(w.form->imageBox(5), QPoint(50, 20));
    const MMPlotScale& s = w.form->workspace().MMScale;
    EXPECT_EQ(w.label("Label73")->text().toStdString(),
              "MY = " + F0(s.MyAxisMax) + " , MX = " + F0(s.MxAxisMin));
    // The logo is a JPEG decoded into the 199 x 63 picture.
    const QImage& logo = w.image(11);
    EXPECT_EQ(logo.size(), QSize(199, 63));
    EXPECT_NE(logo.pixel(100, 30), logo.pixel(2, 2));
}

TEST(MainWindow, TypeChangeWithABadFieldRelabelsFirst) {
    Window w;
    w.edit(42)->setText("x");
    w.trigger("N110");
    EXPECT_EQ(w.label("Label2")->text(), "Sec Widht B");
    EXPECT_EQ(w.label("Label3")->text(), "Sec Heigth H");
    EXPECT_TRUE(w.shown("GroupBox10"));
    ASSERT_EQ(w.platform.errors.size(), 1);
    EXPECT_EQ(w.platform.errors[0], "Steel Y-Dir Sec Height H (Section page): 'x' is not a valid floating point value.");
    EXPECT_EQ(w.form->workspace().Fibers.NFib, 248);
    EXPECT_EQ(w.edit(36)->text(), "4840000");
}

TEST(MainWindow, SelectingATabRunsItsCommand) {
    Window w;
    w.edit(1)->setText("3000");
    w.form->pages()->setCurrentIndex(3);  // as a click on the tab
    EXPECT_GT(w.form->workspace().PMax, 149290.625);
    EXPECT_EQ(w.edit(36)->text(), "4840000");  // section information waits for "Input Section"
    w.form->pages()->setCurrentIndex(4);
    EXPECT_EQ(w.form->workspace().MMPointCount, 36);
    w.form->pages()->setCurrentIndex(5);
    w.form->pages()->setCurrentIndex(0);
    EXPECT_EQ(w.edit(36)->text(), "6600000");
    w.combo(1)->setCurrentIndex(1);  // as a pick in "Sec Type"
    EXPECT_EQ(w.form->workspace().Fibers.NFib, 180);
    EXPECT_TRUE(w.platform.errors.isEmpty()) << w.platform.errors.join("\n").toStdString();
}

TEST(MainWindow, MmCurveNearTheSquashLoadIsSolvedOrRefused) {
    Window w;
    w.trigger("MM1");
    Workspace& ws = w.form->workspace();
    w.type(30, "147797.72");  // 0.99 PMax
    w.click(7);
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.platform.errors.join("\n").toStdString();
    for (double P : ws.MM.P) EXPECT_NEAR(P, 147797.72, 1e-9 * (ws.PMax - ws.PMin));
    EXPECT_LT(std::fabs(ws.MM.Mx[0]), 2000);  // the grid alone gave 17,238 kNm

    // A strain limit short of the concrete's peak strain cannot carry it.
    const MMCurve before = ws.MM;
    const QImage plot = w.image(5).copy();
    w.type(34, "-0.001");
    w.type(30, "147000");
    w.click(7);
    ASSERT_EQ(w.platform.errors.size(), 1);
    EXPECT_EQ(w.platform.errors[0],
              "No strain state within the strain limits carries the axial force 147000.00 kN at angle "
              "0.00 degrees.");
    EXPECT_EQ(ws.MM.Mx, before.Mx);
    EXPECT_EQ(ws.MMAxialForce, 147797.72);
    EXPECT_EQ(w.image(5), plot);
}
