// The window's pages as classes: the section meshed and drawn off the
// window's thread, a fine mesh drawn as its parts, the MM page's reference
// of the current section, pictures that grow with the window.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QThread>
#include <QTimer>

#include "analysis/section_steps.h"
#include "common/ui/grid_model.h"
#include "common/ui/image_box.h"
#include "common/ui/long_command.h"
#include "common/ui/page_zoom.h"
#include "geometry/source.h"
#include "input/error.h"
#include "project/ui/project_controller.h"
#include "plot/mm_plot.h"
#include "plot/pm_plot.h"
#include "section/ui/section_drawing.h"
#include "section/ui/section_regions.h"
#include "support/form_window.h"

using namespace px;

namespace {

struct Window : FormWindow {
    QProgressBar* bar(int n) { return form->findChild<QProgressBar*>(QString("ProgressBar%1").arg(n)); }
    QImage picture(int n) { return form->imageBox(n)->image().copy(); }
    void fine() {
        form->edit(12)->setText("1000");
        form->edit(13)->setText("999");
    }
};

// Share of black pixels inside the rectangle r.
double BlackShare(const QImage& img, QRect r) {
    long black = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) black += (img.pixel(x, y) & 0xFFFFFF) == 0;
    return double(black) / (double(r.width()) * r.height());
}

TEST(Pages, InputSectionMeshesOffTheWindowThreadAndEscLeavesAllAsItWas) {
    Window w;
    w.fine();
    QElapsedTimer clock;
    clock.start();
    w.click(1);
    const qint64 whole = clock.elapsed();  // meshing and drawing a million fibers
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    const Workspace before = w.form->workspace();
    const QImage picture = w.picture(1);
    const QString area = w.form->edit(36)->text();
    w.form->edit(12)->setText("999");
    w.form->edit(13)->setText("1000");
    // While the mesher works the window goes on handling events: a timer
    // fires, the bar is busy, and Esc stops the run.
    bool fired = false, busy = false, commandRuns = false;
    QElapsedTimer sinceEsc;
    QTimer::singleShot(30, [&] {
        fired = true;
        busy = w.bar(5)->maximum() == 0;
        commandRuns = LongCommand::active();
        sinceEsc.start();
        QTest::keyClick(w.form.get(), Qt::Key_Escape);
    });
    w.click(1);
    ASSERT_TRUE(sinceEsc.isValid());
    // Stopped without drawing what was meshed.
    EXPECT_LT(sinceEsc.elapsed(), whole / 2) << sinceEsc.elapsed() << " ms after Esc; a whole run " << whole << " ms";
    EXPECT_TRUE(fired && busy && commandRuns);
    EXPECT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    EXPECT_EQ(w.form->statusBar()->currentMessage(), "Cancelled");
    EXPECT_EQ(w.form->workspace().Fibers.NFib, before.Fibers.NFib);
    EXPECT_EQ(w.form->workspace().Input.MeshX, before.Input.MeshX);  // the record matches the fibers
    EXPECT_TRUE(w.picture(1) == picture);
    EXPECT_EQ(w.form->edit(36)->text(), area);
    EXPECT_EQ(w.bar(5)->maximum(), 100);
    EXPECT_EQ(w.bar(5)->value(), 0);
}

TEST(Pages, ACustomSectionThatCannotBeMeshedChangesNothing) {
    Window w;
    const auto section = geom::LoadSectionFile(
        QFile::encodeName(w.file("square.sec", "cover 0 0 1000 0 1000 1000 0 1000\n")).toStdString());
    w.form->edit(69)->setText("0.01");  // far more fibers than a mesh may hold
    const QImage picture = w.picture(1);
    const Workspace before = w.form->workspace();
    EXPECT_THROW(w.form->loadCustomSection(section, false), AppError);
    EXPECT_EQ(w.form->fields().customSection(), nullptr);
    EXPECT_EQ(w.form->fields().itemIndex("ComboBox1"), 0);
    EXPECT_EQ(w.form->edit(69)->text(), "0.01");
    EXPECT_TRUE(w.form->findChild<QWidget*>("Edit1")->isVisibleTo(w.form.get()));
    EXPECT_EQ(w.form->workspace().Input.SectionType, before.Input.SectionType);
    EXPECT_EQ(w.form->workspace().Fibers.NFib, before.Fibers.NFib);
    EXPECT_TRUE(w.picture(1) == picture);
}

TEST(Pages, AFineMeshIsDrawnAsItsPartsNotABlackSquare) {
    Window w;
    // The default column: fiber edges, as always.
    const QRect inside(300, 60, 100, 100);  // within the default section's cover and core
    w.click(1);
    const double coarse = BlackShare(w.picture(1), inside);
    EXPECT_GT(coarse, 0.01);
    w.fine();
    w.click(1);
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    const Workspace& ws = w.form->workspace();
    ASSERT_GT(ws.Fibers.NFib, kRegionDrawingFibers);
    const QImage fine = w.picture(1);
    EXPECT_LT(BlackShare(fine, inside), coarse);
    // The cover's and the core's colours both show, the bars are drawn.
    bool cover = false, core = false, bar = false;
    const auto rgb = [&](int k) { return qRgb(ws.Colors.c[k].r, ws.Colors.c[k].g, ws.Colors.c[k].b); };
    for (int y = 0; y < fine.height(); ++y)
        for (int x = 0; x < fine.width(); ++x) {
            const QRgb p = fine.pixel(x, y);
            cover |= p == rgb(1), core |= p == rgb(2), bar |= p == rgb(4);
        }
    EXPECT_TRUE(cover && core && bar);
}

TEST(Pages, TheRegionDrawingStartsAboveItsThreshold) {
    // A table of n tiny squares of cover and core: at the threshold every
    // fiber keeps its edges, one more and the parts are drawn.
    for (const int extra : {0, 1}) {
        FiberTable t;
        const int n = kRegionDrawingFibers + extra;
        t.resize(n);
        const int side = 200;
        for (int i = 1; i <= n; ++i) {
            Fiber& f = t[i];
            const double x = (i - 1) % side - side / 2.0, y = (i - 1) / side - side / 2.0;
            f.MatId = x < 0 ? MatCoverConcrete : MatCoreConcrete1;
            f.X = x + 0.5, f.Y = y + 0.5;
            f.X1 = x, f.Y1 = y, f.X2 = x + 1, f.Y2 = y, f.X3 = x + 1, f.Y3 = y + 1, f.X4 = x, f.Y4 = y + 1;
        }
        SectionInput in;
        in.B = in.H = side;
        QImage img(607, 447, QImage::Format_RGB32);
        DrawSection(img, in, t, MaterialColors::defaults(), "x");
        EXPECT_EQ(BlackShare(img, QRect(150, 300, 300, 60)) > 0.3, extra == 0) << n;
    }
}

TEST(Pages, RegionsAreFilledAndOutlinedWhereTheMaterialChanges) {
    // Two 80 x 40 mm fibers, cover above core, drawn at 1 px per mm on a
    // 100 x 100 grey picture centred on the origin.
    FiberTable t;
    t.resize(3);
    const double y0[] = {0, -40};
    const int mat[] = {MatCoverConcrete, MatCoreConcrete1};
    for (int i = 1; i <= 2; ++i) {
        Fiber& f = t[i];
        f.MatId = mat[i - 1];
        f.X1 = -40, f.Y1 = y0[i - 1], f.X2 = 40, f.Y2 = y0[i - 1];
        f.X3 = 40, f.Y3 = y0[i - 1] + 40, f.X4 = -40, f.Y4 = y0[i - 1] + 40;
    }
    t[3].MatId = MatRebar;  // bars are left to the caller
    t[3].X1 = -50, t[3].X2 = 50, t[3].X3 = 50, t[3].X4 = -50, t[3].Y3 = t[3].Y4 = 50;
    const MaterialColors colors = MaterialColors::defaults();
    const auto rgb = [&](int k) { return qRgb(colors.c[k].r, colors.c[k].g, colors.c[k].b); };
    QImage img(100, 100, QImage::Format_RGB32);
    img.fill(qRgb(128, 128, 128));
    {
        QPainter p(&img);
        DrawFiberRegions(p, 100, 100, t, colors, 1, 50, 50);
    }
    const struct { int x, y; QRgb expected; const char* what; } points[] = {
        {50, 30, rgb(1), "cover"},          {50, 70, rgb(2), "core"},
        {50, 50, qRgb(0, 0, 0), "between"}, {50, 10, qRgb(0, 0, 0), "top edge"},
        {10, 50, qRgb(0, 0, 0), "left edge"}, {89, 50, qRgb(0, 0, 0), "right edge"},
        {50, 89, qRgb(0, 0, 0), "bottom edge"}, {5, 5, qRgb(128, 128, 128), "outside"},
    };
    for (const auto& pt : points) EXPECT_EQ(img.pixel(pt.x, pt.y), pt.expected) << pt.what;
}

TEST(Pages, TheMmReferenceIsOfTheCurrentSection) {
    Window w;
    const double pmaxBefore = w.form->workspace().PMax;
    // A wider column, put in on the Section page only.
    w.form->edit(1)->setText("1600");
    w.click(1);
    w.click(3);  // the MM page's "Show PM Curve"
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    double pmax = 0, pmin = 0;
    ComputeAxialBounds(w.form->workspace().Fibers, pmax, pmin);
    EXPECT_NE(pmax, pmaxBefore);
    EXPECT_EQ(w.form->workspace().PMax, pmax);
    // The reference is the P-M page's new X curve with the force's line.
    const QImage reference = w.picture(4);
    const QImage x = w.picture(2);
    int differing = 0;
    for (int yy = 0; yy < x.height(); ++yy)
        for (int xx = 0; xx < x.width(); ++xx) differing += reference.pixel(xx, yy) != x.pixel(xx, yy);
    EXPECT_LT(differing, 2 * x.width());  // the axial line at most

    // The slider takes the PMax of the section on show, solved again first.
    w.form->edit(2)->setText("1600");
    w.click(1);
    w.form->findChild<QScrollBar*>("ScrollBar1")->setValue(10);
    ComputeAxialBounds(w.form->workspace().Fibers, pmax, pmin);
    EXPECT_EQ(w.form->workspace().PMax, pmax);
    EXPECT_EQ(w.form->edit(30)->text().toStdString(), Edit30Text(MMAxialForceFromSlider(pmax, pmin, 10)));
}

TEST(Pages, AFailedResolveOnArrivalLeavesNoOldReference) {
    Window w;
    w.form->pages()->setCurrentIndex(4);
    ASSERT_TRUE(w.form->imageBox(4)->drawn());
    w.form->pages()->setCurrentIndex(0);
    w.form->edit(1)->setText("1x");
    w.form->pages()->setCurrentIndex(4);
    // One message, from "Gen MM Curve"; no picture of the old column.
    EXPECT_EQ(w.platform.errors.size(), 1) << w.errors().toStdString();
    EXPECT_FALSE(w.form->imageBox(4)->drawn());
}

TEST(Pages, PicturesGrowWithTheWindowAndKeepTheirSize) {
    EXPECT_EQ(PageZoom::scaleFor({900, 600}, {897, 598}), 1);
    EXPECT_EQ(PageZoom::scaleFor({1120, 745}, {897, 598}), 1);
    EXPECT_EQ(PageZoom::scaleFor({1130, 760}, {897, 598}), 1.25);
    EXPECT_EQ(PageZoom::scaleFor({1300, 1000}, {897, 598}), 1.25);  // 1.45 rounds down
    EXPECT_EQ(PageZoom::scaleFor({2000, 1200}, {897, 598}), 2);

    Window w;
    w.form->show();
    ImageBox* pm = w.form->imageBox(2);
    EXPECT_EQ(pm->size(), QSize(388, 391));
    w.form->pages()->setCurrentIndex(3);
    w.form->resize(1900, 1500);
    QCoreApplication::processEvents();
    EXPECT_EQ(pm->displayScale(), 2);
    EXPECT_EQ(pm->size(), QSize(776, 782));
    EXPECT_EQ(pm->image().size(), QSize(388, 391));
    // Its place grows too: the Y curve stays beside it, not over it.
    EXPECT_GE(w.form->imageBox(3)->x(), pm->geometry().right());
    // The readout maps the screen back to picture pixels.
    QMouseEvent move(QEvent::MouseMove, QPointF(200, 300), QPointF(200, 300), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(pm, &move);
    const Workspace& ws = w.form->workspace();
    EXPECT_EQ(w.form->findChild<QLabel*>("Label68")->text().toStdString(),
              Label68Text(ReadPM(ws.PMScale.X, 100, 150, kPMImageWidth, kPMImageHeight)));
    // A redrawing leaves the picture as at the first size.
    const QImage before = pm->image().copy();
    w.click(2);
    EXPECT_TRUE(pm->image() == before);
    w.form->resize(909, 691);
    QCoreApplication::processEvents();
    EXPECT_EQ(pm->displayScale(), 1);
    EXPECT_EQ(pm->size(), QSize(388, 391));
}

}  // namespace

namespace {

TEST(Pages, TheImportGridShowsEveryColumnAndStartsAtTheTopLeft) {
    Window w;
    // 14 fields a line, forces in 1..3, many lines.
    QByteArray csv = "P,Mx,My,c4,c5,c6,c7,c8,c9,c10,c11,c12,c13,Last\n";
    for (int i = 0; i < 200; ++i) csv += QByteArray::number(-100 - i) + ",10,20,4,5,6,7,8,9,10,11,12,13,x\n";
    const QString path = w.file("wide.csv", csv);
    for (const auto& [n, text] : {std::pair{54, "1"}, {55, "2"}, {56, "3"}}) w.form->edit(n)->setText(text);
    auto* grid = w.form->findChild<StringGrid*>("StringGrid1");
    for (int round = 0; round < 2; ++round) {
        w.platform.openAnswers.push_back(path);
        w.click(4);
        ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
        EXPECT_EQ(grid->grid()->columnCount(), 14);
        EXPECT_EQ(grid->cell(13, 0), "Last");
        EXPECT_EQ(grid->cell(13, 200), "x");
        EXPECT_EQ(grid->horizontalScrollBar()->value(), 0) << round;
        EXPECT_EQ(grid->verticalScrollBar()->value(), 0) << round;
        // Scrolled away before the next import.
        grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
        grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
        ASSERT_GT(grid->verticalScrollBar()->value(), 0);
    }
    // A project keeps the wide grid.
    const QString project = w.file("wide.pxc");
    ASSERT_TRUE(w.form->project().saveTo(project));
    w.form->project().markModified();
    ASSERT_TRUE(w.form->project().openPath(project)) << w.errors().toStdString();
    EXPECT_EQ(grid->grid()->columnCount(), 14);
    EXPECT_EQ(grid->cell(13, 200), "x");
    // A narrower table gives the columns back.
    w.platform.openAnswers.push_back(w.file("narrow.csv", "P,Mx,My\n-1,2,3\n"));
    w.click(4);
    EXPECT_EQ(grid->grid()->columnCount(), 10);
}

}  // namespace

namespace {

TEST(Pages, OpeningAFineProjectKeepsTheWindowAnsweringAndEscStopsIt) {
    Window w;
    w.fine();
    const QString project = w.file("fine.pxc");
    ASSERT_TRUE(w.form->project().saveTo(project));
    Window other;
    const int fibers = other.form->workspace().Fibers.NFib;
    const QImage picture = other.picture(1);
    // Esc whenever a command runs: the meshing of the opened column and
    // then that of its P-M curves stop.
    int escapes = 0;
    QTimer esc;
    QObject::connect(&esc, &QTimer::timeout, [&] {
        if (!LongCommand::active()) return;
        ++escapes;
        QTest::keyClick(other.form.get(), Qt::Key_Escape);
    });
    esc.start(40);
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(other.form->project().openPath(project));
    esc.stop();
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_GE(escapes, 1);
    EXPECT_TRUE(other.platform.errors.isEmpty()) << other.errors().toStdString();
    EXPECT_EQ(other.form->statusBar()->currentMessage(), "Cancelled");
    // The fields are the project's; the stopped meshing changed nothing else.
    EXPECT_EQ(other.form->edit(12)->text(), "1000");
    EXPECT_EQ(other.form->workspace().Fibers.NFib, fibers);
    EXPECT_TRUE(other.picture(1) == picture);
}

}  // namespace
