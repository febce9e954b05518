// Whole flows through the real main window: import and overlay, text and
// picture export, the material pages.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include "common/ui/grid_model.h"
#include "app/ui/tform1.h"
#include "input/numbers.h"
#include "output/ui/tform2.h"
#include "plot/frame.h"
#include "support/form_window.h"

using namespace px;

namespace {

struct Window : FormWindow {
    QLineEdit* edit(int n) { return form->edit(n); }
    QLabel* label(const char* name) { return form->findChild<QLabel*>(name); }
    StringGrid* grid(const char* name) { return form->findChild<StringGrid*>(name); }
    QImage& image(int n) { return form->imageBox(n)->image(); }
};

QRgb pixelAt(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }

const QByteArray kForces =
    "Story,Col,Case,Loc,P,V2,V3,T,M2,M3\r\n"
    "1,C1,D,0,-1500,1,2,0,300,-200\r\n"
    "1,C1,L,0,-60000,1,2,0,100,25000\r\n"
    "1,C1,W,0,5000,1,2,0,-4000,200\r\n";

}  // namespace

TEST(ImportFlow, ImportsSummarisesAndDrawsTheForces) {
    Window w;
    w.platform.openAnswers.push_back(w.file("forces.csv", kForces));
    w.click(4);
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    EXPECT_EQ(w.label("Label66")->text(), "Number of Import Force Load Comb = 3");
    StringGrid* g1 = w.grid("StringGrid1");
    EXPECT_EQ(g1->grid()->rowCount(), 4);
    EXPECT_EQ(g1->cell(4, 0), "P");
    EXPECT_EQ(g1->cell(9, 2), "25000");
    StringGrid* g2 = w.grid("StringGrid2");
    EXPECT_EQ(g2->cell(0, 0), "Case");
    EXPECT_EQ(g2->cell(0, 1), "N,max");
    EXPECT_EQ(g2->cell(1, 1), "60000");  // the file's -60000, compression positive
    EXPECT_EQ(g2->cell(1, 2), "-5000");
    EXPECT_EQ(g2->cell(2, 3), "25000");  // largest |Mx|
    EXPECT_EQ(g2->cell(0, 4), "My,max");
    EXPECT_EQ(g2->cell(3, 4), "-4000");

    // "Show Force" marks P = 60000, |Mx| = 25000 on the X plot, inside the
    // curve: a blue (0, 114, 178) ring of radius 4 on the frame from (50, 20)
    // to (W - 24, H - 36).
    const PMPlotScaleSet s = w.form->workspace().PMScale.X;
    const int x = nearest((25000 - s.MAxisMin) / (s.MAxisMax - s.MAxisMin) * (388 - 74) + 50);
    const int y = nearest((s.PAxisMax - 60000) / (s.PAxisMax - s.PAxisMin) * (391 - 56) + 20);
    EXPECT_NE(pixelAt(w.image(2), x + 4, y), 0x0072B2u);
    w.click(9);
    EXPECT_EQ(pixelAt(w.image(2), x + 4, y), 0x0072B2u);

    // Factors of 2 move the markers at the next overlay but not the summary.
    w.edit(57)->setText("2");
    w.click(13);
    EXPECT_EQ(w.form->workspace().ForceFactorP, 2);
    EXPECT_EQ(g2->cell(1, 1), "60000");
    w.click(15);
    EXPECT_EQ(g2->cell(1, 1), "60000");
}

TEST(ImportFlow, ABadLineKeepsThePreviousImport) {
    Window w;
    w.platform.openAnswers.push_back(w.file("good.csv", kForces));
    w.click(4);
    w.platform.openAnswers.push_back(w.file("bad.csv", "h\n1,2,3,4,5,6,7,8,9,10\n1,2,3,4,abc,6,7,8,9,10\n"));
    w.click(4);
    ASSERT_EQ(w.platform.errors.size(), 1);
    EXPECT_EQ(w.platform.errors[0], "'abc' is not a valid floating point value (line 3, field 5)");
    EXPECT_EQ(w.form->workspace().Loads.Count, 3);
    EXPECT_EQ(w.label("Label66")->text(), "Number of Import Force Load Comb = 3");
    EXPECT_EQ(w.grid("StringGrid1")->grid()->rowCount(), 4);

    // A missing file names the file; a cancelled dialog changes nothing.
    w.platform.openAnswers.push_back(w.dir.filePath("missing.csv"));
    w.click(4);
    ASSERT_EQ(w.platform.errors.size(), 2);
    EXPECT_TRUE(w.platform.errors[1].contains("missing.csv"));
    w.click(4);  // no answer queued: cancel
    EXPECT_EQ(w.platform.errors.size(), 2);
    EXPECT_EQ(w.form->workspace().Loads.Count, 3);
}

TEST(ImportFlow, MmOverlayHighlightsTheBand) {
    Window w;
    w.platform.openAnswers.push_back(w.file("f.csv", "h\n0,0,0,0,-1499,0,0,0,3000,3000\n0,0,0,0,-1500,0,0,0,-3000,-3000\n"));
    w.click(4);
    w.edit(30)->setText("1000");
    w.click(7);  // "Gen MM Curve" draws the forces as its last step
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    const MMPlotScale& s = w.form->workspace().MMScale;
    auto at = [&](double mx, double my) {
        return QPoint(nearest((mx - s.MxAxisMin) / (s.MxAxisMax - s.MxAxisMin) * (391 - 74) + 50),
                      nearest((s.MyAxisMax - my) / (s.MyAxisMax - s.MyAxisMin) * (391 - 56) + 20));
    };
    // In the band and inside the curve: a blue OK ring; out of the band: a
    // dark grey dot.
    const QPoint in = at(3000, 3000), out = at(-3000, -3000);
    EXPECT_EQ(pixelAt(w.image(5), in.x() + 4, in.y()), 0x0072B2u);
    EXPECT_EQ(pixelAt(w.image(5), out.x(), out.y()), 0x5A5A5Au);
}

TEST(ExportFlow, PmAndMmTextsInTheResultWindow) {
    Window w;
    w.click(5);
    TForm2* r = w.form->resultWindow();
    EXPECT_TRUE(r->isVisible());
    QStringList lines = r->lines();
    ASSERT_EQ(lines.size(), 18);
    EXPECT_EQ(lines[1], "PMM_Curve_Data ");
    EXPECT_EQ(lines[6], "-16190.63      0.00           -16190.63      0.00           ");
    EXPECT_EQ(lines[16], "149290.63      0.00           149290.63      0.00           ");

    w.click(7);
    w.click(6);
    lines = r->lines();
    ASSERT_EQ(lines.size(), 45);
    EXPECT_EQ(lines[3], "Axial_Force_P = 0.00");

    // Save File writes the memo with CR LF after every line.
    const QString path = w.dir.filePath("curve.txt");
    w.platform.saveAnswers.push_back(path);
    r->Button2Click();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("\r\nMx-My_Curve_Data\r\n"));
    EXPECT_TRUE(bytes.endsWith("==============================\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), 45);
}

TEST(ExportFlow, PicturesCarryTheMarkersAndTheDialogRemembersTheName) {
    Window w;
    w.platform.openAnswers.push_back(w.file("forces.csv", kForces));
    w.click(4);
    w.click(9);
    const QString jpg = w.dir.filePath("x.jpg");
    const QString png = w.dir.filePath("y.png");
    w.platform.saveAnswers.push_back(jpg);
    w.click(16);
    w.platform.saveAnswers.push_back(png);
    w.click(17);
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    ASSERT_EQ(w.platform.saveProposals.size(), 2);
    EXPECT_TRUE(w.platform.saveProposals[1].endsWith("x.jpg"));
    EXPECT_EQ(w.platform.saveFilters[0], "JPG图片 (*.jpg);;PNG图片 (*.png);;BMP图片 (*.bmp)");
    QImageReader reader(jpg);
    EXPECT_EQ(reader.format(), "jpeg");
    const QImage saved(png);
    EXPECT_EQ(saved.size(), QSize(388, 391));
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), w.image(3));

    // The Mx-My plot has never been drawn: nothing is written.
    w.platform.saveAnswers.push_back(w.dir.filePath("mm.bmp"));
    w.click(14);
    ASSERT_EQ(w.platform.errors.size(), 1);
    EXPECT_FALSE(QFile::exists(w.dir.filePath("mm.bmp")));
}

TEST(MaterialPages, RefreshDrawsTheCurvesFromTheFields) {
    Window w;
    w.form->N13Click();
    EXPECT_EQ(w.form->pages()->currentIndex(), 1);
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    for (int n : {8, 9, 10}) {
        EXPECT_TRUE(w.form->imageBox(n)->drawn()) << n;
        int red = 0;
        const QImage& img = w.image(n);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) red += pixelAt(img, x, y) == 0xFF0000u;
        EXPECT_GT(red, 200) << n;
    }
    w.form->N14Click();
    EXPECT_TRUE(w.form->imageBox(6)->drawn());
    EXPECT_TRUE(w.form->imageBox(7)->drawn());

    // A bad field stops the page at that chart; the earlier ones keep their new picture.
    const QImage core2 = w.image(10).copy();
    w.edit(14)->setText("35");
    w.edit(22)->setText("x");
    w.click(10);
    ASSERT_EQ(w.platform.errors.size(), 1);
    EXPECT_EQ(w.platform.errors[0], "Core Concrete Two Yield Strength fc (Concrete Material page): 'x' is not a valid floating point value.");
    EXPECT_EQ(w.image(10), core2);
}

TEST(MaterialPages, SteelRefreshRefusesAModulusOfZeroAsThePmCurveDoes) {
    Window w;
    w.form->N14Click();
    const QImage rebar = w.image(6).copy(), steel = w.image(7).copy();
    struct Case { int edit; const char* text; const char* message; };
    const Case cases[] = {
        {26, "-1", "Rebar Material: \"Modulus of Elasticity Es\" must be greater than 0."},
        {28, "0", "Steel Section Material: \"Modulus of Elasticity Es\" must be greater than 0."},
    };
    for (const Case& c : cases) {
        w.platform.errors.clear();
        const QString old = w.edit(c.edit)->text();
        w.edit(c.edit)->setText(c.text);
        w.edit(27)->setText("400");  // the other chart would change if drawn
        w.click(11);
        EXPECT_EQ(w.errors(), c.message);
        EXPECT_EQ(w.image(6), rebar);
        EXPECT_EQ(w.image(7), steel);
        w.edit(c.edit)->setText(old);
    }
    // "Show PM Curve" of a column with rebar gives the same message.
    w.platform.errors.clear();
    w.edit(26)->setText("-1");
    w.form->Button2Click();
    EXPECT_EQ(w.errors(), cases[0].message);
}

TEST(ImportFlow, TextFromWindowsProgramsAndUtf8Files) {
    struct Case {
        QByteArray bytes;
        QString header, name;
    };
    const QString cafe = QString::fromUtf8("Caf\xC3\xA9"), degree = QString::fromUtf8("D\xC2\xB0");
    const Case cases[] = {
        {"Caf\xE9,P,Mx,My\r\nD\xB0,-1500,300,-200\r\n", cafe, degree},                     // Windows-1252
        {"\xEF\xBB\xBF" "Caf\xC3\xA9,P,Mx,My\nD\xC2\xB0,-1500,300,-200\n", cafe, degree},  // UTF-8 with a mark
        {"Caf\xC3\xA9,P,Mx,My\nD\xB0,-1500,300,-200\n", QString::fromUtf8("Caf\xC3\x83\xC2\xA9"), degree},
        {"\xEF\xBB\xBF" "Caf\xE9,P,Mx,My\nD\xB0,-1500,300,-200\n", cafe, degree},          // the mark is no text
    };
    int k = 0;
    for (const Case& c : cases) {
        Window w;
        w.edit(54)->setText("2");
        w.edit(55)->setText("3");
        w.edit(56)->setText("4");
        w.platform.openAnswers.push_back(w.file(QString("f%1.csv").arg(k++), c.bytes));
        w.click(4);
        ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
        StringGrid* g = w.grid("StringGrid1");
        EXPECT_EQ(g->cell(0, 0), c.header) << k;
        EXPECT_EQ(g->cell(0, 1), c.name) << k;
        const LoadCombination& l = w.form->workspace().Loads.Items.at(1);
        EXPECT_EQ(l.P, 1500) << k;
        EXPECT_EQ(l.Mx, 300) << k;
        EXPECT_EQ(l.My, -200) << k;
    }
}

namespace {
// Pixels of the data cells' white background inside `band` of the grid.
int dataPixels(const QImage& img, QRect band) {
    int n = 0;
    for (int y = band.top(); y <= band.bottom(); ++y)
        for (int x = band.left(); x <= band.right(); ++x) n += pixelAt(img, x, y) == 0xFFFFFFu;
    return n;
}
}  // namespace

TEST(ImportFlow, TitleCellsStayWhileTheDataScrolls) {
    // The window's import grid after Ctrl+End in a 240-line file, and a grid
    // too narrow for its columns scrolled both ways.
    Window w;
    QByteArray csv = "Story,Col,Case,Loc,P,V2,V3,T,M2,M3\n";
    for (int i = 1; i < 240; ++i) csv += QByteArray::number(i) + ",C1,D,0,-1500,1,2,0,300,-200\n";
    w.platform.openAnswers.push_back(w.file("long.csv", csv));
    w.click(4);
    w.form->pages()->setCurrentIndex(5);
    w.form->show();
    StringGrid window(QStringLiteral("G"), 30, 2);
    std::vector<QStringList> rows;
    for (int r = 0; r < 100; ++r) {
        QStringList l;
        for (int c = 0; c < 30; ++c) l << QString("%1:%2").arg(r).arg(c);
        rows.push_back(l);
    }
    window.grid()->setRows(std::move(rows), 2);
    window.resize(300, 200);
    window.show();
    for (StringGrid* g : {w.grid("StringGrid1"), &window}) {
        QApplication::processEvents();
        g->setCurrentIndex(g->model()->index(1, 1));  // as a click on a data cell
        QTest::keyClick(g, Qt::Key_End, Qt::ControlModifier);
        QApplication::processEvents();
        ASSERT_GT(g->verticalScrollBar()->value(), 0) << g->objectName().toStdString();
        const QImage img = g->grab().toImage();
        const QRect vp = g->viewport()->geometry();
        // Bands over the cells only: past the last column the view is blank.
        const int width = std::min(vp.width(), g->horizontalHeader()->length());
        const QRect top(vp.left(), vp.top(), width, 19), left(vp.left(), vp.top(), 63, vp.height());
        EXPECT_EQ(dataPixels(img, top), 0) << g->objectName().toStdString();
        EXPECT_EQ(dataPixels(img, left), 0) << g->objectName().toStdString();
        EXPECT_GT(dataPixels(img, vp.adjusted(64, 20, 0, 0)), 0);
    }
    EXPECT_GT(window.horizontalScrollBar()->value(), 0);
    EXPECT_EQ(w.grid("StringGrid1")->currentIndex().row(), 239);
    // Keys stop at the first data cell, where the cursor stays in sight.
    StringGrid* g = w.grid("StringGrid1");
    for (const auto& [key, mods] : {std::pair{Qt::Key_Home, Qt::ControlModifier}, {Qt::Key_Up, Qt::NoModifier},
                                    {Qt::Key_Left, Qt::NoModifier}, {Qt::Key_PageUp, Qt::NoModifier}}) {
        QTest::keyClick(g, key, mods);
        EXPECT_EQ(g->currentIndex(), g->model()->index(1, 1)) << key;
    }
}

namespace {
// Counts the deliveries of wheel events; a loop is stopped before it
// overflows the stack.
struct WheelCount : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* e) override { return e->type() == QEvent::Wheel && ++count > 64; }
};

// A wheel step as the window system delivers it: to the window's widget
// under the global point, through the application.
void wheelAt(QWidget* window, QPoint global, QPoint angle) {
    QWidget* under = window->childAt(window->mapFromGlobal(global));
    ASSERT_NE(under, nullptr);
    QWheelEvent e(QPointF(under->mapFromGlobal(global)), QPointF(global), QPoint(), angle, Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    WheelCount deliveries;
    qApp->installEventFilter(&deliveries);
    QApplication::sendEvent(under, &e);
    qApp->removeEventFilter(&deliveries);
    // The widget, the grid's viewport, the scroll bar and the widgets between.
    EXPECT_LE(deliveries.count, 8) << under->metaObject()->className();
}
}  // namespace

TEST(ImportFlow, WheelScrollsTheGridOverItsDataTitlesAndScrollBars) {
    // The import grid with 240 combinations, and a grid wider than itself
    // for the horizontal scroll bar; two steps over each part of each.
    Window w;
    QByteArray csv = "Story,Col,Case,Loc,P,V2,V3,T,M2,M3\n";
    for (int i = 1; i <= 240; ++i) csv += QByteArray::number(i) + ",C1,D,0,-1500,1,2,0,300,-200\n";
    w.platform.openAnswers.push_back(w.file("long.csv", csv));
    w.click(4);
    w.form->pages()->setCurrentIndex(5);
    w.form->show();
    StringGrid wide(QStringLiteral("G"), 30, 100);
    wide.resize(300, 200);
    wide.show();
    QApplication::processEvents();
    StringGrid* g = w.grid("StringGrid1");
    ASSERT_TRUE(g->horizontalScrollBar()->isVisible() || wide.horizontalScrollBar()->isVisible());
    const QPoint down(0, -120);
    struct Case {
        StringGrid* grid;
        const char* part;
        QWidget* over;
        QPoint at;  // within `over`
        QScrollBar* moves;
    };
    QWidget* titleRow = w.form->childAt(w.form->mapFromGlobal(g->viewport()->mapToGlobal(QPoint(100, 5))));
    ASSERT_NE(titleRow, g->viewport());
    const Case cases[] = {
        {g, "data", g->viewport(), {200, 200}, g->verticalScrollBar()},
        {g, "title row", g->viewport(), {200, 5}, g->verticalScrollBar()},
        {g, "title column", g->viewport(), {10, 200}, g->verticalScrollBar()},
        {g, "vertical bar", g->verticalScrollBar(), {5, 100}, g->verticalScrollBar()},
        {&wide, "horizontal bar", wide.horizontalScrollBar(), {100, 5}, wide.horizontalScrollBar()},
        {&wide, "wide data", wide.viewport(), {150, 100}, wide.verticalScrollBar()},
    };
    for (const Case& c : cases) {
        c.grid->verticalScrollBar()->setValue(0);
        c.grid->horizontalScrollBar()->setValue(0);
        QApplication::processEvents();
        const QPoint global = c.over->mapToGlobal(c.at);
        wheelAt(c.grid->window(), global, down);
        wheelAt(c.grid->window(), global, down);
        EXPECT_GT(c.moves->value(), 0) << c.part;
    }
}

TEST(ImportFlow, ColumnsFitTheirLongestTexts) {
    // Long case names and captions widen their columns, in the data and in
    // the title row alike; short ones keep the default width.
    Window w;
    const QString name = "1.2D+1.0L+1.0EQx+0.3EQy (envelope)";
    w.platform.openAnswers.push_back(w.file("names.csv", "Story,Column,Load Case,Location,P,V2,V3,T,M2,M3\n"
                                                         "Storey 12,C1," + name.toUtf8() +
                                                         ",Bottom,-1500,1,2,0,300,-200\n"));
    w.click(4);
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    StringGrid* g = w.grid("StringGrid1");
    const QFontMetrics fm(g->font());
    for (int c = 0; c < 10; ++c) {
        const int need = std::max(fm.horizontalAdvance(g->cell(c, 0)), fm.horizontalAdvance(g->cell(c, 1)));
        EXPECT_GT(g->columnWidth(c), need) << c;
        for (QTableView* title : g->findChildren<QTableView*>()) EXPECT_EQ(title->columnWidth(c), g->columnWidth(c));
    }
    EXPECT_EQ(g->columnWidth(9), 64);
}
