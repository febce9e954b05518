// "Custom Section" through the real main window: loading a drawn section,
// refusing a bad one, the curves on it and "Export Section File".
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>

#include "curvature/moment_curvature.h"
#include "curvature/ui/mphi_page.h"
#include "geometry/section_file.h"
#include "support/form_window.h"

using namespace px;

namespace {

// An L (600 x 200 leg along x, 200 x 400 leg up its left end) with a
// 100 x 100 hole and two bars. Gross area 200,000 - 10,000 = 190,000 mm2;
// centroid (200,000 x 220 - 10,000 x 100) / 190,000 = 226.3158 both ways.
// The hole leaves walls 50 mm thick, so the default mesh is 50 / 4 = 12.5 mm
// (less than 600 / 40 = 15): 48 x 16 cells on the long leg and 16 x 32 above
// it, 1280 cells, less the 8 x 8 inside the hole, plus 2 bars: 1218 fibers.
const QByteArray kLWithHole =
    "# L with a hole\n"
    "cover 0 0 600 0 600 200 200 200 200 600 0 600\n"
    "hole 50 50 150 50 150 150 50 150\n"
    "bar 560 160 20\n"
    "bar 40 560 20\n";

struct Window : FormWindow {
    QLabel* label(const char* name) { return form->findChild<QLabel*>(name); }
    QComboBox* types() { return form->findChild<QComboBox*>("ComboBox1"); }
    // Chooses "Custom Section" and presses "Load Section File..." on the page.
    void load(const QString& path) {
        types()->setCurrentIndex(8);
        platform.openAnswers.push_back(path);
        QTest::mouseClick(form->findChild<QPushButton*>("LoadSectionButton"), Qt::LeftButton);
    }
    // "Section Type > Load Section File...", from whatever type is chosen.
    void loadFromMenu(const QString& path) {
        platform.openAnswers.push_back(path);
        trigger("LoadSection1");
    }
    void trigger(const char* action) { form->findChild<QAction*>(action)->trigger(); }
    // What a refused load must leave as it was.
    struct State {
        int type, nfib;
        QString area, centroid, fileLabel, mesh;
        QImage picture;
        bool operator==(const State&) const = default;
    };
    State state() {
        return {types()->currentIndex(),        form->workspace().Fibers.NFib, form->edit(36)->text(),
                label("CentroidLabel")->text(), label("SectionFileLabel")->text(), form->edit(69)->text(),
                form->imageBox(1)->image().copy()};
    }
};

int CountPixels(const QImage& img, QRgb rgb) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += (img.pixel(x, y) & 0xFFFFFF) == (rgb & 0xFFFFFF);
    return n;
}

}  // namespace

TEST(CustomWindow, LoadsAnLWithAHoleMeshesDrawsAndListsItsCentroid) {
    Window w;
    w.load(w.file("lhole.sec", kLWithHole));
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    EXPECT_EQ(w.types()->currentIndex(), 8);
    EXPECT_EQ(w.types()->currentText(), "Custom Section");
    const Workspace& ws = w.form->workspace();
    EXPECT_EQ(ws.Fibers.NFib, 1218);
    EXPECT_NEAR(ws.Fibers.OriginX, 43000000.0 / 190000, 1e-9);
    EXPECT_NEAR(ws.Fibers.OriginY, 43000000.0 / 190000, 1e-9);
    EXPECT_DOUBLE_EQ(ws.Input.B, 600);
    EXPECT_DOUBLE_EQ(ws.Input.H, 600);
    EXPECT_EQ(w.form->edit(36)->text(), "190000");
    // The centroid, then the pure-axial points of a section that is not
    // point-symmetric, with the moments they carry about it.
    const QStringList centroid = w.label("CentroidLabel")->text().split('\n');
    ASSERT_EQ(centroid.size(), 3);
    EXPECT_EQ(centroid[0], "Centroid at x = 226.32, y = 226.32 mm");
    EXPECT_TRUE(centroid[1].startsWith("PMax = ")) << centroid[1].toStdString();
    EXPECT_TRUE(centroid[2].startsWith("PMin = ")) << centroid[2].toStdString();
    EXPECT_EQ(w.label("SectionFileLabel")->text(), "File: lhole.sec");
    EXPECT_EQ(w.form->edit(69)->text(), "12.50");
    // The custom controls replace the template's rows.
    EXPECT_FALSE(w.form->edit(1)->isVisibleTo(w.form.get()));
    EXPECT_FALSE(w.form->edit(70)->isVisibleTo(w.form.get()));
    EXPECT_TRUE(w.form->edit(69)->isVisibleTo(w.form.get()));
    EXPECT_FALSE(w.form->edit(69)->toolTip().isEmpty());
    EXPECT_FALSE(w.form->findChild<QComboBox*>("ComboBox8")->isEnabled());  // "Strain limits at": the hull

    // The picture: the cross on the centroid, the hole left white, the
    // concrete beside it in the cover colour. 600 mm fill 0.8 x 447 pixels.
    const QImage& img = w.form->imageBox(1)->image();
    EXPECT_GT(CountPixels(img, qRgb(255, 0, 0)), 20);
    const double s = 0.8 * 447 / 600;
    auto pixel = [&](double x, double y) {  // drawing coordinates: the box's centre is the picture's
        return img.pixel(qRound(607 / 2.0 + s * (x - 300)), qRound(447 / 2.0 - s * (y - 300))) & 0xFFFFFF;
    };
    const Rgb cover = ws.Colors.c[1];
    EXPECT_EQ(pixel(100, 100), 0xFFFFFFu);
    EXPECT_EQ(pixel(106.25, 406.25), qRgb(cover.r, cover.g, cover.b) & 0xFFFFFF);  // a cell's middle
    EXPECT_EQ(pixel(400, 400), 0xFFFFFFu);

    // A smaller mesh size through the field: 7.5 mm, (12.5 / 7.5)^2 times the cells.
    w.form->edit(69)->setText("7.5");
    w.click(1);
    EXPECT_GT(ws.Fibers.NFib, 3000);

    // Every solver takes it: P-M both ways, Mx-My.
    w.click(2);
    w.click(7);
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    EXPECT_TRUE(ws.PM.bothWays());
    EXPECT_GT(ws.MMPointCount, 0);
}

// A hole that lies inside one grid cell leaves that cell a piece with a hole,
// drawn with its hole empty. The square lies away from the drawing's origin:
// B and H are its extent, not its far corner.
// What differs on the window for a custom section: the load dialog lists
// drawings too, "Strain limits at" shows the hull, bars stay visible and the
// drawing has a scale bar, the M-Phi note speaks of the mesh size.
TEST(CustomWindow, ControlsAndDrawingSpeakOfTheCustomSection) {
    Window w;
    QComboBox* limits = w.form->findChild<QComboBox*>("ComboBox8");
    const QImage templatePicture = w.form->imageBox(1)->image().copy();
    // A 2 m square core with a 12 mm bar: 12 x 0.8 x 447 / 2000 = 2.1 pixels across.
    w.load(w.file("core.sec", "cover 0 0 2000 0 2000 2000 0 2000\nbar 425 425 12\n"));
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    ASSERT_EQ(w.platform.openFilters.size(), 1);
    const QString shown = w.platform.openFilters[0].section(";;", 0, 0);
    for (const char* pattern : {"*.sec", "*.txt", "*.dxf"})
        EXPECT_TRUE(shown.contains(pattern)) << shown.toStdString();

    EXPECT_EQ(limits->currentText(), "Section outline");
    EXPECT_FALSE(limits->isEnabled());

    const QImage& img = w.form->imageBox(1)->image();
    const double s = 0.8 * 447 / 2000;
    const QPoint bar(qRound(607 / 2.0 + s * (425 - 1000)), qRound(447 / 2.0 - s * (425 - 1000)));  // mid-cell
    const Rgb rebar = w.form->workspace().Colors.c[4];
    EXPECT_EQ(img.pixel(bar) & 0xFFFFFF, qRgb(rebar.r, rebar.g, rebar.b) & 0xFFFFFF);
    // 4 pixels across: its outline 2 pixels out, where one of 2 pixels would leave the cover.
    EXPECT_EQ(img.pixel(bar + QPoint(2, 0)) & 0xFFFFFF, 0u);
    EXPECT_EQ(img.pixel(bar - QPoint(2, 0)) & 0xFFFFFF, 0u);
    // The scale bar: 607 / 4 pixels are 849 mm, so 500 mm, 89 pixels from x = 10, at y = 447 - 12.
    EXPECT_EQ(img.pixel(10, 435) & 0xFFFFFF, 0u);
    EXPECT_EQ(img.pixel(99, 435) & 0xFFFFFF, 0u);
    EXPECT_EQ(img.pixel(99, 431) & 0xFFFFFF, 0u);  // the end tick
    EXPECT_EQ(img.pixel(101, 435) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(img.pixel(99, 429) & 0xFFFFFF, 0xFFFFFFu);  // the ticks are 4 pixels high
    bool label = false;  // "500 mm" above the bar
    for (int y = 415; y < 430; ++y)
        for (int x = 12; x < 60; ++x) label = label || (img.pixel(x, y) & 0xFFFFFF) != 0xFFFFFFu;
    EXPECT_TRUE(label);
    // The template's picture has no scale bar.
    EXPECT_EQ(templatePicture.pixel(10, 435) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(templatePicture.pixel(99, 435) & 0xFFFFFF, 0xFFFFFFu);

    // The M-Phi note: only with the descending law, and about "Mesh Size".
    QLabel* note = w.form->mphiPage()->layerNote();
    w.form->mphiPage()->showResult();
    EXPECT_EQ(note->text(), "");
    w.form->findChild<QComboBox*>("ComboBox2")->setCurrentIndex(1);
    w.form->mphiPage()->showResult();
    EXPECT_EQ(note->text(), kMphiMeshNote);

    // Back on a template: the choice it had, and the box can change again.
    w.types()->setCurrentIndex(0);
    EXPECT_EQ(limits->currentIndex(), 0);
    EXPECT_TRUE(limits->isEnabled());
    w.form->mphiPage()->showResult();
    EXPECT_EQ(note->text(), kMphiOneLayerNote);
    limits->setCurrentIndex(1);
    w.types()->setCurrentIndex(8);
    w.types()->setCurrentIndex(1);
    EXPECT_EQ(limits->currentIndex(), 1);
}

TEST(CustomWindow, AHoleInsideOneCellIsDrawnEmpty) {
    Window w;
    w.load(w.file("square.sec", "cover 1000 2000 1600 2000 1600 2600 1000 2600\n"
                                "hole 1370 2370 1390 2370 1390 2390 1370 2390\n"));
    w.form->edit(69)->setText("40");  // cells 1360..1400 and 2360..2400 around the hole
    w.click(1);
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    EXPECT_EQ(w.form->workspace().Fibers.NFib, 225);
    EXPECT_DOUBLE_EQ(w.form->workspace().Input.B, 600);
    EXPECT_DOUBLE_EQ(w.form->workspace().Input.H, 600);
    const QImage& img = w.form->imageBox(1)->image();
    const double s = 0.8 * 447 / 600;
    auto pixel = [&](double x, double y) {
        return img.pixel(qRound(607 / 2.0 + s * (x - 1300)), qRound(447 / 2.0 - s * (y - 2300))) & 0xFFFFFF;
    };
    const Rgb cover = w.form->workspace().Colors.c[1];
    EXPECT_EQ(pixel(1380, 2380), 0xFFFFFFu);
    EXPECT_EQ(pixel(1380, 2365), qRgb(cover.r, cover.g, cover.b) & 0xFFFFFF);
}

TEST(CustomWindow, ABadFileOrMeshChangesNothing) {
    Window w;
    const Window::State before = w.state();
    const struct {
        const char* name;
        QByteArray bytes;
        const char* says;
    } bad[] = {
        {"cross.sec", "cover 0 0 100 100 100 0 0 100\n", "Line 1"},
        {"bar.sec", "cover 0 0 100 0 100 100 0 100\nbar 500 500 20\n", "Line 2"},
        {"word.sec", "cover 0 0 100 0 100 100 0 100\nslab 1 2 3\n", "Line 2"},
        {"open.dxf", "0\nSECTION\n2\nENTITIES\n0\nLWPOLYLINE\n5\n2F\n8\nCOVER\n90\n3\n70\n0\n10\n0\n20\n0\n10\n1\n20\n0\n10\n1\n20\n1\n0\nENDSEC\n0\nEOF\n", "2F"},
    };
    for (const auto& b : bad) {
        w.platform.errors.clear();
        w.loadFromMenu(w.file(b.name, b.bytes));
        ASSERT_EQ(w.platform.errors.size(), 1) << b.name;
        EXPECT_TRUE(w.platform.errors[0].contains(b.says)) << w.errors().toStdString();
        EXPECT_TRUE(w.state() == before) << b.name;
    }
    w.platform.errors.clear();
    w.loadFromMenu(w.file("missing.sec"));
    EXPECT_EQ(w.platform.errors.size(), 1);
    EXPECT_TRUE(w.state() == before);

    // After a good load, a bad one keeps the good section.
    w.loadFromMenu(w.file("lhole.sec", kLWithHole));
    const Window::State loaded = w.state();
    w.platform.errors.clear();
    w.load(w.file("cross.sec"));
    EXPECT_EQ(w.platform.errors.size(), 1);
    EXPECT_TRUE(w.state() == loaded);
    // A mesh size the grid cannot hold is refused by "Input Section".
    w.form->edit(69)->setText("0.01");
    w.platform.errors.clear();
    w.click(1);
    EXPECT_EQ(w.platform.errors.size(), 1);
    EXPECT_EQ(w.form->workspace().Fibers.NFib, 1218);
    EXPECT_EQ(w.form->workspace().Input.MeshSize, 12.5);
    // So is one that leaves the 50 mm walls beside the hole one fiber across.
    w.form->edit(69)->setText("50");
    w.platform.errors.clear();
    w.click(1);
    ASSERT_EQ(w.platform.errors.size(), 1);
    EXPECT_TRUE(w.platform.errors[0].contains("Mesh Size 50.00 mm leaves the cover polygon of Line 2 one fiber across "
                                              "its 50.00 mm thickness; Mesh Size must be less than 50.00 mm"))
        << w.errors().toStdString();
    EXPECT_EQ(w.form->workspace().Fibers.NFib, 1218);
    EXPECT_EQ(w.form->workspace().Input.MeshSize, 12.5);
    w.form->edit(69)->setText("49.9");
    w.platform.errors.clear();
    w.click(1);
    EXPECT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    EXPECT_EQ(w.form->workspace().Input.MeshSize, 49.9);
}

TEST(CustomWindow, ExportsTheTemplateOrTheCustomSection) {
    Window w;
    // A 400 x 300 column, cover 40: the core and the bar centres 40 in from
    // the faces; one row of three 20 mm bars at the top and bottom (spaced
    // 320 / 4 = 80), one 16 mm bar on each side at mid-height, one 25 mm
    // bar in each corner.
    const std::pair<int, const char*> fields[] = {{1, "400"}, {2, "300"}, {3, "40"}, {4, "1"}, {5, "1"}, {6, "3"},
                                                  {7, "20"},  {8, "1"},   {9, "16"}, {10, "1"}, {11, "25"}};
    for (const auto& [n, text] : fields) w.form->edit(n)->setText(text);
    w.click(1);
    w.platform.saveAnswers.push_back(w.file("rect.sec"));
    w.trigger("ExportSection1");
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    QFile rect(w.file("rect.sec"));
    ASSERT_TRUE(rect.open(QIODevice::ReadOnly));
    EXPECT_EQ(rect.readAll().toStdString(),
              "# Pillarix section: Rect Column\n"
              "units mm\n"
              "cover -200 -150 200 -150 200 150 -200 150\n"
              "hole -160 -110 160 -110 160 110 -160 110\n"
              "core1 -160 -110 160 -110 160 110 -160 110\n"
              "bar -80 -110 20\nbar -80 110 20\nbar 0 -110 20\nbar 0 110 20\nbar 80 -110 20\nbar 80 110 20\n"
              "bar -160 0 16\nbar 160 0 16\n"
              "bar -160 -110 25\nbar 160 -110 25\nbar 160 110 25\nbar -160 110 25\n");

    w.load(w.file("lhole.sec", kLWithHole));
    w.platform.saveAnswers.push_back(w.file("back.sec"));
    w.trigger("ExportSection1");
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    // Loaded again it is the same section; results made from the first
    // file are not taken for results of another one.
    const std::string key = MphiInputsKey(w.form->fields());
    const int nfib = w.form->workspace().Fibers.NFib;
    const double ox = w.form->workspace().Fibers.OriginX;
    w.load(w.file("back.sec"));
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    EXPECT_EQ(w.form->workspace().Fibers.NFib, nfib);
    EXPECT_DOUBLE_EQ(w.form->workspace().Fibers.OriginX, ox);
    EXPECT_EQ(w.label("SectionFileLabel")->text(), "File: back.sec");
    EXPECT_NE(MphiInputsKey(w.form->fields()), key);
    w.load(w.file("lhole.sec"));
    EXPECT_EQ(MphiInputsKey(w.form->fields()), key);
}
