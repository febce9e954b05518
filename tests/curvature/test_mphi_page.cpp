// The "M-Phi Curve" page through the real main window: the curve, its key
// values, chart, readout, export, refusals that change nothing, the stale
// mark; and the batch commands.
#include <gtest/gtest.h>

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
#include "curvature/ui/mphi_page.h"
#include "output/ui/tform2.h"
#include "input/numbers.h"
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

}  // namespace

TEST(MphiPage, GenerateShowsTheCurveKeyValuesAndExport) {
    Window w;
    EXPECT_EQ(w.form->pages()->tabText(7), "M-Phi Curve");
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

    // The readout at the frame's top-left corner: curvature 0, the top moment.
    QMouseEvent move(QEvent::MouseMove, QPointF(50, 20), QPointF(50, 20), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w.page().picture(), &move);
    const double top = std::ceil(r.Mmax / 1000) * 1000;
    EXPECT_EQ(w.page().readout()->text().toStdString(), "Curvature = 0.0000 1/km , M = " + F2(top) + " kNm");

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
        {68, "x", "'x' is not a valid integer value"},
        {66, "1e9", "\"Axial Force\" must be greater than the pure tension capacity -16190.63 kN and less than the "
                    "pure compression capacity 149290.63 kN"},
        {67, "", "'' is not a valid floating point value"},
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
