// The "M-Phi Curve" page through the real main window: the curve, its key
// values, chart, readout, export, refusals that change nothing, the stale
// mark; and the batch commands.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QTemporaryDir>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>
#include <QTabWidget>
#include <QTest>

#include "app/ui/tform1.h"
#include "batch/ui/batch_runner.h"
#include "common/ui/image_box.h"
#include "check/ui/pmm_page.h"
#include "curvature/ui/mphi_chart.h"
#include "curvature/ui/mphi_page.h"
#include "curvature/mphi_plot.h"
#include "output/ui/tform2.h"
#include "input/numbers.h"
#include "project/project_file.h"
#include "support/form_window.h"

using namespace px;

namespace {

struct Window : FormWindow {
    Window() { form->pages()->setCurrentIndex(7); }
    MphiPage& page() { return *form->mphiPage(); }
    void type(int edit, const QString& text) {
        QLineEdit* e = form->edit(edit);
        e->clear();
        QTest::keyClicks(e, text);
    }
    QString keys() { return page().keyValues()->text(); }
    const QImage& image() { return page().picture()->image(); }
};

int countColour(const QImage& img, QRgb rgb) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += (img.pixel(x, y) & 0xFFFFFF) == (rgb & 0xFFFFFF);
    return n;
}

// Pixels of the given colour inside a rectangle of the image.
int countColourIn(const QImage& img, QRect r, QRgb rgb) {
    return countColour(img.copy(r), rgb);
}

}  // namespace

TEST(MphiPage, GenerateShowsTheCurveKeyValuesAndExport) {
    Window w;
    EXPECT_EQ(w.form->pages()->tabText(7), "M-Phi Curve");
    // The Section Analysis menu reaches the page as it reaches the others.
    w.form->pages()->setCurrentIndex(0);
    QAction* menu = w.form->findChild<QAction*>("MPhi1");
    ASSERT_NE(menu, nullptr);
    menu->trigger();
    EXPECT_EQ(w.form->pages()->currentIndex(), 7);
    w.type(68, "50");
    w.click(24);
    ASSERT_EQ(w.errors(), "");
    const MphiResult& r = *w.form->workspace().Mphi;
    ASSERT_EQ(r.points.size(), 51u);
    const QStringList keys = w.keys().split('\n');
    ASSERT_EQ(keys.size(), 9);
    EXPECT_TRUE(keys[0].startsWith("My = ") && keys[0].endsWith(" kNm")) << keys[0].toStdString();
    EXPECT_EQ(keys[4].toStdString(), "phi_u = " + FormatFixed(r.ultimate.phi * 1e6, 4) + " 1/km");
    EXPECT_TRUE(keys[8].startsWith("EIeff = ") && keys[8].endsWith(" kN m2"));

    // Curve red, bilinear line blue, first yield green, ultimate purple.
    EXPECT_GT(countColour(w.image(), qRgb(255, 0, 0)), 300);
    EXPECT_GT(countColour(w.image(), qRgb(0, 0, 255)), 100);
    EXPECT_GT(countColour(w.image(), qRgb(0, 128, 0)), 10);
    EXPECT_GT(countColour(w.image(), qRgb(128, 0, 128)), 10);
    EXPECT_EQ(w.image().pixel(50, 200) & 0xFFFFFF, 0x808080u);

    // The readout at the frame's top-left corner: the limits that keep the
    // curve 7 pixels inside the 314 x 335 frame, both ranges from 0.
    QMouseEvent move(QEvent::MouseMove, QPointF(50, 20), QPointF(50, 20), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w.page().picture(), &move);
    const double phiHi = PerKm(r.ultimate.phi), top = r.Mmax + r.Mmax * 7 / 321;
    EXPECT_EQ(w.page().readout()->text().toStdString(),
              "Curvature = " + FormatFixed(-(phiHi * 7 / 300), 4) + " 1/km , M = " + F2(top) + " kNm");

    w.click(25);
    const QStringList lines = w.form->resultWindow()->lines();
    ASSERT_EQ(lines.size(), 9 + 51 + 1 + 2 + 9);
    EXPECT_EQ(lines[1], "M-Phi_Curve_Data");
    EXPECT_EQ(lines[7].left(30), "Curvature_1/km Moment_Mx      ");
    EXPECT_EQ(lines[9].left(15), "0.0000         ");
    EXPECT_EQ(lines.last(), keys[8]);
}

TEST(MphiPage, RefusalsChangeNothingAndEditsMarkTheCurveStale) {
    Window w;
    w.click(24);
    ASSERT_EQ(w.errors(), "");
    const QString keys = w.keys();
    const QImage before = w.image().copy();
    const std::vector<MphiPoint> points = w.form->workspace().Mphi->points;
    const struct {
        int edit;
        const char* text;
        const char* message;
    } cases[] = {
        {68, "0", "\"Curvature Steps\" must be at least 1"},
        {68, "x", "Curvature Steps (M-Phi Curve page): 'x' is not a valid integer value"},
        {66, "1e9", "\"Axial Force\" must be greater than the pure tension capacity -16190.63 kN and less than the "
                    "pure compression capacity 149290.63 kN"},
        {67, "", "Neutral Axis Angle (M-Phi Curve page): '' is not a valid floating point value"},
    };
    for (const auto& c : cases) {
        const QString old = w.form->edit(c.edit)->text();
        w.type(c.edit, c.text);
        w.platform.errors.clear();
        w.click(24);
        EXPECT_EQ(w.errors().toStdString(), std::string(c.message) + ".");
        w.type(c.edit, old);
        EXPECT_EQ(w.keys(), keys);
        EXPECT_EQ(w.image(), before);
        EXPECT_EQ(w.form->workspace().Mphi->points.size(), points.size());
    }

    // The descending model's guard names the group and the field.
    w.form->findChild<QComboBox*>("ComboBox2")->setCurrentIndex(1);
    w.type(16, "0.001");
    w.platform.errors.clear();
    w.click(24);
    EXPECT_EQ(w.errors().toStdString(),
              "Cover Concrete: \"Ultimate Stage Strain ecu\" must be greater than \"Yield Stage Stain e0\"");
    EXPECT_TRUE(w.keys().endsWith(kMphiStaleNote));
    // The chart says it too, in red over the frame's top left.
    EXPECT_GT(countColourIn(w.image(), QRect(50, 20, 250, 20), qRgb(160, 0, 0)), 20);
    EXPECT_EQ(countColourIn(before, QRect(50, 20, 250, 20), qRgb(160, 0, 0)), 0);
    w.type(16, "0.0035");
    w.form->findChild<QComboBox*>("ComboBox2")->setCurrentIndex(0);
    EXPECT_EQ(w.keys(), keys);
}

// The Concrete Material page: the descending model's values are checked
// before any chart changes, and its chart differs from the simple model's.
TEST(MphiPage, ConcretePageGuardsAndDrawsTheDescendingModel) {
    Window w;
    w.form->pages()->setCurrentIndex(1);
    const QImage simple = w.form->imageBox(8)->image().copy();
    w.form->findChild<QComboBox*>("ComboBox3")->setCurrentIndex(1);
    w.type(20, "0.001");  // core one's ecu below its e0
    w.click(10);
    EXPECT_EQ(w.errors().toStdString(),
              "Core Concrete One: \"Ultimate Stage Strain ecu\" must be greater than \"Yield Stage Stain e0\"");
    EXPECT_EQ(w.form->imageBox(8)->image(), simple);
    w.platform.errors.clear();
    w.type(20, "0.0035");
    w.form->findChild<QComboBox*>("ComboBox2")->setCurrentIndex(1);
    w.click(10);
    EXPECT_EQ(w.errors(), "");
    EXPECT_NE(w.form->imageBox(8)->image(), simple);
}

// "Cancel" stops a long curve; the earlier one stays.
TEST(MphiPage, CancelKeepsTheEarlierCurve) {
    Window w;
    w.click(24);
    const QString keys = w.keys();
    w.type(68, "100000");
    bool clicked = false;
    QTimer::singleShot(150, [&] {
        clicked = true;
        w.click(27);
    });
    w.click(24);
    EXPECT_TRUE(clicked);
    EXPECT_EQ(w.errors(), "");
    EXPECT_EQ(w.form->statusBar()->currentMessage(), "Cancelled");
    EXPECT_EQ(w.form->findChild<QProgressBar*>("ProgressBar4")->value(), 0);
    EXPECT_EQ(w.form->workspace().Mphi->points.size(), 101u);
    w.type(68, "100");
    EXPECT_EQ(w.keys(), keys);
}

TEST(MphiPage, BatchPrintsTheExportAndSavesTheChart) {
    QTemporaryDir dir;
    const QString png = dir.filePath("mphi.png");
    std::string out, err;
    ASSERT_EQ(RunBatch({"Edit68=20", "mphi", "save=Image13:" + png}, out, err), 0) << err;
    Window w;
    w.type(68, "20");
    w.click(24);
    w.click(25);
    std::string expected;
    for (const QString& l : w.form->resultWindow()->lines()) expected += l.toStdString() + "\n";
    EXPECT_EQ(out, expected);
    EXPECT_EQ(QImage(png).convertToFormat(QImage::Format_RGB32), w.image().convertToFormat(QImage::Format_RGB32));

    ASSERT_EQ(RunBatch({"Edit66=-20000", "mphi"}, out, err), 1);
    EXPECT_NE(err.find("\"Axial Force\" must be greater than"), std::string::npos);
}

namespace {

// The picture "Save Image" writes, read back.
QImage Saved(Window& w, const QString& name) {
    w.platform.saveAnswers.push_back(w.file(name));
    w.click(26);
    return QImage(w.file(name)).convertToFormat(QImage::Format_RGB32);
}

}  // namespace

// The page computes its curve when it comes into view, and again when the
// inputs changed while it was away; the chart carries its axis titles, the
// axial force and angle, and a legend, on screen and in the saved picture.
TEST(MphiPage, DrawsOnArrivalWithTitlesHeadingAndLegend) {
    Window w;  // opens the page
    ASSERT_EQ(w.errors(), "");
    ASSERT_TRUE(w.form->workspace().Mphi);
    EXPECT_EQ(w.form->workspace().Mphi->points.size(), 101u);
    EXPECT_FALSE(w.keys().isEmpty());
    EXPECT_TRUE(w.page().picture()->drawn());

    w.form->pages()->setCurrentIndex(0);
    w.type(68, "10");
    w.form->pages()->setCurrentIndex(7);
    EXPECT_EQ(w.form->workspace().Mphi->points.size(), 11u);
    EXPECT_FALSE(w.keys().endsWith(kMphiStaleNote));

    const QImage at0 = Saved(w, "p0.png");
    EXPECT_EQ(at0, w.image().convertToFormat(QImage::Format_RGB32));
    const int W = kMphiImageWidth, H = kMphiImageHeight;
    // Titles: black text above the moment labels and centred under the
    // curvature labels; the heading above the frame, clear of the marks.
    const QRect heading(65, 1, 250, 13);
    EXPECT_GT(countColourIn(at0, QRect(2, 1, 45, 15), qRgb(0, 0, 0)), 20);
    EXPECT_GT(countColourIn(at0, QRect(W / 2 - 50, H - 17, 100, 15), qRgb(0, 0, 0)), 30);
    EXPECT_GT(countColourIn(at0, heading, qRgb(0, 0, 0)), 50);
    // The legend: a sample of each mark and its black names.
    const MphiLegendBox box = MphiLegendPlace(W, H);
    const QRect legend(box.x, box.y, box.w, box.h);
    for (QRgb c : {qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(0, 128, 0), qRgb(128, 0, 128), qRgb(230, 120, 0)})
        EXPECT_GT(countColourIn(at0, legend, c), 5) << std::hex << c;
    EXPECT_GT(countColourIn(at0, legend, qRgb(0, 0, 0)), 100);

    // Another force and angle change the heading's text.
    w.type(66, "1000");
    w.type(67, "30");
    w.click(24);
    ASSERT_EQ(w.errors(), "");
    const QImage at1000 = Saved(w, "p1000.png");
    EXPECT_NE(at1000.copy(heading), at0.copy(heading));
    EXPECT_EQ(MphiHeading(w.form->workspace().Mphi->settings), "P = 1000.00 kN, angle = 30.00 deg");
}

// The axes fit the curve: its peak lies 7 pixels under the frame's top, the
// readout at the frame's top reads that limit, the grid lines sit on round
// moments, and the peak carries its orange mark.
TEST(MphiPage, MomentAxisFitsTheCurve) {
    Window w;
    w.form->pages()->setCurrentIndex(0);
    w.type(1, "600");
    w.type(2, "400");
    w.form->pages()->setCurrentIndex(7);
    ASSERT_EQ(w.errors(), "");
    const MphiResult& r = *w.form->workspace().Mphi;
    const int W = kMphiImageWidth, H = kMphiImageHeight;
    // Frame 335 pixels high, moments from 0: the range grows by 7 / 321 of
    // the peak at both ends (the plateau lies no higher than the peak).
    ASSERT_TRUE(r.Mp);
    EXPECT_LE(*r.Mp, r.Mmax);
    const double top = r.Mmax + r.Mmax * 7 / 321;
    QMouseEvent move(QEvent::MouseMove, QPointF(50, 20), QPointF(50, 20), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w.page().picture(), &move);
    const std::string text = w.page().readout()->text().toStdString();
    EXPECT_EQ(text.substr(text.find(", M = ")), ", M = " + F2(top) + " kNm");
    // The highest red pixel of the curve: the peak at y = 27, drawn with a
    // pen of 2.
    int highest = H;
    for (int y = 0; y < H && highest == H; ++y)
        for (int x = 51; x < W - 24; ++x)
            if ((w.image().pixel(x, y) & 0xFFFFFF) == 0xFF0000u) highest = y;
    EXPECT_GE(highest, 26);
    EXPECT_LE(highest, 28);
    // The peak's orange diamond sits on the curve's top row.
    EXPECT_GT(countColourIn(w.image(), QRect(50, 18, W - 74, 16), qRgb(230, 120, 0)), 5);
    // Grid lines on a round step.
    const ChartAxis m = MphiMomentAxis(MphiAxisLimits(r, W, H), H);
    ASSERT_GE(m.ticks.size(), 3u);
    const double step = m.ticks[1].value - m.ticks[0].value;
    EXPECT_EQ(m.ticks[0].text, "0");
    const double decade = std::pow(10.0, std::floor(std::log10(step)));
    EXPECT_TRUE(step == decade || step == 2 * decade || step == 5 * decade) << step;
}

// "Cover Layers" on the Section page: its guard names it and changes
// nothing, more layers mesh more fibers, the M-Phi page's note follows it,
// the batch sets it, and a project without it opens with 1.
TEST(MphiPage, CoverLayersThroughTheWindowBatchAndProject) {
    Window w;
    w.form->pages()->setCurrentIndex(0);
    QLineEdit* layers = w.form->edit(70);
    ASSERT_NE(layers, nullptr);
    EXPECT_EQ(layers->text(), "1");
    EXPECT_TRUE(layers->toolTip().contains("layers")) << layers->toolTip().toStdString();
    // No concrete uses the descending law: one layer loses nothing.
    EXPECT_EQ(w.page().layerNote()->text(), "");
    w.form->findChild<QComboBox*>("ComboBox3")->setCurrentIndex(1);
    w.click(1);
    EXPECT_EQ(w.page().layerNote()->text(), kMphiOneLayerNote);
    const int before = w.form->workspace().Fibers.NFib;
    for (const auto& [text, message] : {std::pair{"0", "\"Cover Layers\" must be at least 1."},
                                        std::pair{"101", "\"Cover Layers\" must be at most 100."},
                                        std::pair{"2.5", "Cover Layers (Section page): '2.5' is not a valid integer value."}}) {
        w.type(70, text);
        w.platform.errors.clear();
        w.click(1);
        EXPECT_EQ(w.errors().toStdString(), message);
        EXPECT_EQ(w.form->workspace().Fibers.NFib, before);
    }
    w.type(70, "3");
    w.platform.errors.clear();
    w.click(1);
    ASSERT_EQ(w.errors(), "");
    EXPECT_EQ(w.form->workspace().Fibers.NFib, before + 2 * (2 * 12 + 2 * 12));
    EXPECT_EQ(w.page().layerNote()->text(), "");
    EXPECT_TRUE(w.keys().endsWith(kMphiStaleNote));  // the curve was made with one layer

    // The 3D page's surface counts it among its inputs.
    w.form->pages()->setCurrentIndex(6);
    const std::string surface = w.form->pmmPage()->surfaceCsv("\n");
    ASSERT_FALSE(surface.empty()) << w.errors().toStdString();
    w.form->pages()->setCurrentIndex(0);
    w.type(70, "2");
    w.form->pages()->setCurrentIndex(6);
    EXPECT_NE(w.form->pmmPage()->surfaceCsv("\n"), surface);

    std::string out, err;
    ASSERT_EQ(RunBatch({"Edit70=8", "section"}, out, err), 0) << err;
    EXPECT_NE(out.find("NFib = " + std::to_string(before + 7 * 48)), std::string::npos) << out;
    ASSERT_EQ(RunBatch({"Edit99=1", "section"}, out, err), 2);
    EXPECT_NE(err.find("unknown control 'Edit99'"), std::string::npos) << err;

    const ProjectData old = ReadProject(R"({"version": 1, "format": "pillarix-column", "fields": {"Edit1": "900"}})");
    EXPECT_EQ(old.Fields.at("Edit70"), "1");
    ProjectData d = DefaultProject();
    d.Fields["Edit70"] = "8";
    EXPECT_EQ(ReadProject(WriteProject(d)).Fields.at("Edit70"), "8");
}
