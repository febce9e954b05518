// The "PMM_3D_Curve" page through the real main window: the check of
// imported forces, its table, summary, stale mark, export, cancel and the 3D
// picture; and the batch commands that run it.
#include <gtest/gtest.h>

#include <set>

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QStatusBar>
#include <QStyle>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <atomic>
#include <chrono>
#include <thread>

#include "app/ui/tform1.h"
#include "batch/ui/batch_runner.h"
#include "check/surface.h"
#include "check/ui/live_check.h"
#include "check/ui/pmm_page.h"
#include "check/ui/surface_view.h"
#include "input/numbers.h"
#include "support/form_window.h"
#include "realistic_forces.h"

using namespace px;

namespace {

// Twelve combinations of a column over two storeys: gravity, wind and two
// seismic cases that the default column does not carry.
const QByteArray kForces =
    "Story,Col,Case,Loc,P,V2,V3,T,M2,M3\r\n"
    "2F,C1,1.4D,Top,-21000.5,12,8,0,-310.25,420.75\r\n"
    "2F,C1,1.2D+1.6L,Top,-26400,15,9,0,-380.5,515\r\n"
    "2F,C1,1.2D+L+E,Top,-18800,210,95,0,-2900,7900.4\r\n"
    "2F,C1,1.2D+L-E,Top,-23900,-210,-95,0,2900,-7900.4\r\n"
    "2F,C1,0.9D+E,Bottom,-9600,230,110,0,-3400,-9100\r\n"
    "2F,C1,0.9D-E,Bottom,4200,-230,-110,0,3400,9100\r\n"
    "1F,C1,1.4D,Top,-42000,14,9,0,-350,470\r\n"
    "1F,C1,1.2D+1.6L,Top,-52800,18,11,0,-420,575\r\n"
    "1F,C1,1.2D+L+E,Bottom,-61000,880,760,0,-41000,52000\r\n"
    "1F,C1,1.2D+L-E,Bottom,-35000,-880,-760,0,41000,-52000\r\n"
    "1F,C1,0.9D+E,Bottom,-150000,400,300,0,-800,900\r\n"
    "1F,C1,0.9D-E,Bottom,-30000,-400,-300,0,0,0\r\n";

struct Window : FormWindow {
    PmmPage& page() { return *form->pmmPage(); }
    void importForces() {
        platform.openAnswers.push_back(file("forces.csv", kForces));
        click(4);
    }
    QString cell(int row, int col) { return page().table()->model()->index(row, col).data().toString(); }
    int rows() { return page().table()->model()->rowCount(); }
    void trigger(const char* name) { form->findChild<QAction*>(name)->trigger(); }
    QString summary() { return page().summary()->text(); }
    // The summary's first line: the documented line, with the stale note.
    QString summaryLine() { return summary().section('\n', 0, 0); }
    QString selectedCase() {
        const QModelIndexList sel = page().table()->selectionModel()->selectedRows();
        return sel.size() == 1 ? sel[0].data().toString() : QString("none");
    }
    const CheckResult& check() { return *form->workspace().Check; }
    std::string surfaceCsv() { return page().surfaceCsv("\n"); }
};

QRgb rgb(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }

void mouseMove(QWidget* w, QPoint pt, Qt::MouseButtons held = Qt::NoButton) {
    QMouseEvent e(QEvent::MouseMove, QPointF(pt), QPointF(w->mapToGlobal(pt)), Qt::NoButton, held,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

}  // namespace

TEST(PmmPage, CheckFillsTheTableSummaryAndExport) {
    Window w;
    w.trigger("PMM3DSurface1");
    EXPECT_EQ(w.form->pages()->currentIndex(), 6);
    w.importForces();
    w.click(19);  // Check Forces
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    const CheckResult& r = w.check();
    ASSERT_EQ(r.Rows.size(), 12u);
    EXPECT_EQ(r.Passed, 9);

    // Table rows are the exported lines, in file order; NG rows in red.
    const QStringList lines = QString::fromStdString(CheckCsv(r, "\n")).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(w.rows(), 12);
    QAbstractItemModel* m = w.page().table()->model();
    for (int c = 0; c < kCheckColumns; ++c)
        EXPECT_EQ(m->headerData(c, Qt::Horizontal).toString().replace('\n', ' '), lines[0].split(',')[c]);
    for (int i = 0; i < 12; ++i) {
        QStringList cells;
        for (int c = 0; c < kCheckColumns; ++c) cells << w.cell(i, c);
        EXPECT_EQ(cells.join(','), lines[i + 1]);
        // NG rows marked in colour (text and fill) and in bold words.
        const bool ng = cells[kStatusColumn] == "NG";
        EXPECT_EQ(m->index(i, 0).data(Qt::BackgroundRole).isValid(), ng) << i;
        EXPECT_EQ(m->index(i, 3).data(Qt::ForegroundRole).isValid(), ng) << i;
        EXPECT_EQ(m->index(i, kStatusColumn).data(Qt::FontRole).value<QFont>().bold(), ng) << i;
    }
    EXPECT_EQ(w.cell(10, 4), "n/a: P above PMax");  // beyond PMax: no curve, says why
    EXPECT_EQ(lines[0].toStdString(), "Case,P (kN),Mx (kNm),My (kNm),Capacity (kNm),Ratio,Status,Radial Ratio");
    // The summary: the documented line, the radial ratio's line; the label
    // tall enough for both.
    const QStringList summaryLines = w.summary().split('\n');
    ASSERT_EQ(summaryLines.size(), 2);
    EXPECT_EQ(summaryLines[0], QString::fromStdString(CheckSummaryLine(r)));
    EXPECT_EQ(summaryLines[0], "Passed 9 of 12; governing case 10, ratio " + w.cell(9, 5));
    EXPECT_EQ(summaryLines[1], QString::fromStdString(CheckRadialLine(r)));
    EXPECT_GE(w.page().summary()->height(), w.page().summary()->heightForWidth(w.page().summary()->width()));
    EXPECT_EQ(w.page().table()->font(), w.form->font());  // the window's font
    EXPECT_EQ(w.selectedCase(), "10");

    // No column cuts its text (a pixel of margin on each side and one for
    // the grid line), its caption's lines included; together they scroll
    // sideways within the table, which keeps the page's width.
    QTableView* table = w.page().table();
    const QFontMetricsF fm(table->font());
    for (int c = 0; c < kCheckColumns; ++c) {
        for (int i = 0; i < 12; ++i) EXPECT_GE(table->columnWidth(c), fm.horizontalAdvance(w.cell(i, c)) + 3) << c;
        for (const QString& line : m->headerData(c, Qt::Horizontal).toString().split('\n'))
            EXPECT_GE(table->columnWidth(c), QFontMetricsF(table->horizontalHeader()->font()).horizontalAdvance(line) + 3)
                << c;
    }
    EXPECT_EQ(table->width(), 286);

    // A header click sorts by number, not by text; the governing case stays
    // selected.
    QHeaderView* header = w.page().table()->horizontalHeader();
    for (int col : {0, 5}) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(col) + 5, header->height() / 2));
        EXPECT_EQ(header->sortIndicatorSection(), col);
        const bool up = header->sortIndicatorOrder() == Qt::AscendingOrder;
        for (int i = 1; i < 12; ++i) {
            const double a = m->index(i - 1, col).data(Qt::UserRole).toDouble();
            const double b = m->index(i, col).data(Qt::UserRole).toDouble();
            EXPECT_TRUE(up ? a <= b : a >= b) << col << " row " << i;
        }
        EXPECT_EQ(w.selectedCase(), "10");
        if (col == 0) {
            EXPECT_EQ(up ? w.cell(1, 0) : w.cell(0, 0), up ? "2" : "12");
        }
    }

    // Export: the lines with CR LF, whatever the sort, written whole.
    w.platform.saveAnswers.push_back(w.file("check.csv"));
    w.click(20);
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    EXPECT_EQ(w.platform.saveFilters.value(0), "CSV (*.csv)");
    QFile f(w.file("check.csv"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().toStdString(), CheckCsv(r, "\r\n"));

    // Editing a field marks the check stale, until the next check.
    QTest::keyClicks(w.form->edit(1), "0");
    EXPECT_TRUE(w.form->workspace().CheckStale);
    EXPECT_EQ(w.summaryLine(), QString::fromStdString(CheckSummaryLine(r)) + kStaleNote);
    EXPECT_EQ(w.rows(), 12);
    w.form->edit(1)->setText("2200");
    w.click(19);
    EXPECT_FALSE(w.form->workspace().CheckStale);
    EXPECT_EQ(w.summaryLine(), QString::fromStdString(CheckSummaryLine(w.check())));
    // So do other factors, and a section type chosen from the menu; the
    // same inputs again are not a change.
    const std::pair<int, const char*> factors[] = {{57, "1.0"}, {57, "1.5"}, {57, "1"}};
    for (const auto& [n, text] : factors) {
        w.form->edit(n)->setText(text);
        w.click(13);  // Input
        EXPECT_EQ(w.form->workspace().CheckStale, std::string(text) == "1.5") << text;
    }
    w.trigger("N20");
    EXPECT_TRUE(w.form->workspace().CheckStale);
    EXPECT_TRUE(w.summaryLine().endsWith(kStaleNote));

    // The same forces imported again with their names: a check made before
    // shows numbers, so it is stale; checked again, the names show.
    w.trigger("N19");
    w.click(19);
    ASSERT_FALSE(w.form->workspace().CheckStale);
    w.form->edit(78)->setText("3");
    w.importForces();
    EXPECT_TRUE(w.form->workspace().CheckStale);
    w.click(19);
    EXPECT_EQ(w.cell(0, 0), "1.4D");
    EXPECT_EQ(QString::fromStdString(CheckCsv(w.check(), "\n")).split('\n')[1], "1.4D," + lines[1].section(',', 1));
}

TEST(PmmPage, ErrorsAndCancelLeaveEarlierResults) {
    Window w;
    w.click(19);
    ASSERT_EQ(w.platform.errors.size(), 1);
    EXPECT_EQ(w.platform.errors[0], "No forces have been imported.");
    EXPECT_FALSE(w.form->workspace().Check);
    EXPECT_EQ(w.rows(), 0);
    EXPECT_EQ(w.summary(), "");
    w.platform.errors.clear();

    w.importForces();
    w.click(19);
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    const std::string before = CheckCsv(w.check(), "\n");
    const QString summary = w.summaryLine();

    // Bad MM settings: the message "Gen MM Curve" gives.
    w.form->edit(35)->setText("0");
    w.form->Button7Click();
    ASSERT_EQ(w.platform.errors.size(), 1);
    w.click(19);
    ASSERT_EQ(w.platform.errors.size(), 2);
    EXPECT_EQ(w.platform.errors[1], w.platform.errors[0]);
    EXPECT_EQ(CheckCsv(w.check(), "\n"), before);
    w.form->edit(35)->setText("36");

    // Export cancelled, a bad axial-level count: nothing changes.
    w.click(20);
    w.form->findChild<QLineEdit*>("Edit65")->setText("1");
    w.click(18);
    EXPECT_EQ(w.platform.errors.size(), 3);
    EXPECT_TRUE(w.page().picture()->wire().empty());

    // Cancel during the run (Esc or the button): the earlier check stays.
    // The click comes as the window system brings it: to the top-level
    // window at the button's place, through the application's event
    // filters. The page draws its surface as it opens.
    w.form->findChild<QLineEdit*>("Edit65")->setText("20");
    QPushButton* cancel = w.form->findChild<QPushButton*>("Button23");
    for (int i = 0; i < w.form->pages()->count(); ++i)
        if (w.form->pages()->widget(i)->isAncestorOf(cancel)) w.form->pages()->setCurrentIndex(i);
    w.form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.form.get()));
    ASSERT_EQ(w.platform.errors.size(), 3) << w.errors().toStdString();
    const QImage shown = w.page().picture()->image().copy();
    const QPoint onCancel = cancel->mapTo(w.form.get(), cancel->rect().center());
    // Many points make the run last past the first pass of events.
    w.form->edit(35)->setText("200000");
    for (bool esc : {false, true}) {
        QTimer::singleShot(0, [&] {
            if (esc) QTest::keyClick(w.form.get(), Qt::Key_Escape);
            else QTest::mouseClick(w.form->windowHandle(), Qt::LeftButton, Qt::NoModifier, onCancel);
        });
        w.click(19);
        EXPECT_EQ(w.platform.errors.size(), 3) << w.errors().toStdString();
        EXPECT_EQ(CheckCsv(w.check(), "\n"), before);
        EXPECT_EQ(w.form->statusBar()->currentMessage(), "Cancelled");
        EXPECT_FALSE(w.page().running());
    }
    EXPECT_EQ(w.summaryLine(), summary + kStaleNote);  // Edit35 was edited
    // The picture only gains the stale note at its top.
    EXPECT_EQ(w.page().picture()->image().copy(0, 30, 600, 570), shown.copy(0, 30, 600, 570));
    EXPECT_NE(w.page().picture()->image(), shown);

    // A check emptied from elsewhere (a project opened) is never read again;
    // the page shows it gone at the next change of inputs.
    w.form->workspace().Check.reset();
    w.page().table()->grab();
    w.page().picture()->redraw();
    mouseMove(w.page().picture(), QPoint(300, 300));
    w.form->edit(35)->setText("36");
    EXPECT_EQ(w.rows(), 0);
    EXPECT_EQ(w.summary(), "");
}

TEST(PmmPage, PictureShowsTheSurfaceAndColouredDots) {
    Window w;
    w.importForces();
    w.form->findChild<QLineEdit*>("Edit65")->setText("6");
    w.click(18);  // Gen PMM Surface
    w.click(19);
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    SurfaceView* view = w.page().picture();
    EXPECT_EQ(w.form->imageBox(12), view);
    ASSERT_EQ(view->wire().Rings.size(), 5u);
    EXPECT_EQ(view->wire().Rings[0].size(), 36u);
    EXPECT_EQ(view->wire().Top->P, w.form->workspace().PMax);

    // Every dot not covered by a later one shows its colour at its projected
    // pixel for the default view.
    const QImage& img = view->image();
    const CheckResult& r = w.check();
    const std::vector<int> order = DotDrawOrder(r, view->limits(), View3D{}, img.width(), img.height());
    int seen = 0;
    for (size_t k = 0; k < order.size(); ++k) {
        const CheckRow& row = r.Rows[static_cast<size_t>(order[k])];
        const ScreenPoint s = ProjectPoint({row.Mx, row.My, row.P}, view->limits(), View3D{}, 600, 600);
        bool covered = false;
        for (size_t j = k + 1; j < order.size(); ++j) {
            const CheckRow& o = r.Rows[static_cast<size_t>(order[j])];
            const ScreenPoint t = ProjectPoint({o.Mx, o.My, o.P}, view->limits(), View3D{}, 600, 600);
            covered |= std::abs(nearest(t.x) - nearest(s.x)) <= 4 && std::abs(nearest(t.y) - nearest(s.y)) <= 4;
        }
        if (covered) continue;
        ++seen;
        EXPECT_EQ(rgb(img, nearest(s.x), nearest(s.y)), row.ok() ? kDotOk : kDotNg) << "case " << row.Case;
        if (row.Case == 10) {  // hovering a dot names it
            mouseMove(view, QPoint(nearest(s.x) + 1, nearest(s.y)));
            EXPECT_EQ(w.page().hover()->text().toStdString(), DotCaption(row));
            EXPECT_EQ(w.page().hover()->text().left(24), "Case 10: P = 35000.00, M");
        }
    }
    EXPECT_GE(seen, 8);

    // The axis labels never overlap, stay on the picture, name their units,
    // and cover no pixel of the wire at any turn.
    for (const View3D& v : {View3D{}, View3D{120, 35, 1}, View3D{250, -60, 1}, View3D{0, 90, 1}, View3D{300, 5, 1},
                            View3D{45, 45, 1}, View3D{90, 0, 1}, View3D{180, -30, 1}, View3D{10, 80, 1},
                            View3D{35, 20, 1.3}}) {
        const std::vector<PmmLabel> labels = PmmAxisLabels(view->limits(), v, 600, 600, QFont("Arial", 8));
        // The same picture without the wire: under a label nothing differs.
        QImage pic(600, 600, QImage::Format_RGB32), bare(600, 600, QImage::Format_RGB32);
        DrawPmmPicture(pic, view->wire(), nullptr, view->limits(), v, false);
        DrawPmmPicture(bare, SurfaceWire{}, nullptr, view->limits(), v, false);
        int titles = 0;
        for (size_t a = 0; a < labels.size(); ++a) {
            titles += labels[a].title;
            // Zoomed in, the box itself may leave the picture.
            if (v.zoom == 1)
                EXPECT_TRUE(QRectF(0, 0, 600, 600).contains(labels[a].box)) << labels[a].text.toStdString();
            for (size_t b = 0; b < a; ++b)
                EXPECT_FALSE(labels[a].box.intersects(labels[b].box))
                    << labels[a].text.toStdString() << " / " << labels[b].text.toStdString();
            const QRect r = labels[a].box.toAlignedRect();
            EXPECT_EQ(pic.copy(r), bare.copy(r)) << labels[a].text.toStdString() << " at " << v.azimuth << "/"
                                                 << v.elevation;
        }
        EXPECT_EQ(titles, 3) << v.azimuth;
        EXPECT_GE(labels.size(), 9u) << v.azimuth;
    }
    // At every turn, no label reaches into the limit box's outline on the
    // picture, which holds the wire and the dots.
    const SceneLimits& lim = view->limits();
    for (double az = 0; az < 360; az += 15)
        for (double el = -90; el <= 90; el += 15) {
            const View3D v{az, el, 1};
            auto at = [&](double mx, double my, double p) {
                const ScreenPoint q = ProjectPoint({mx, my, p}, lim, v, 600, 600);
                return QPointF(q.x, q.y);
            };
            std::vector<QPolygonF> faces;
            const double xs[2] = {-lim.MxMax, lim.MxMax}, ys[2] = {-lim.MyMax, lim.MyMax}, ps[2] = {lim.PMin, lim.PMax};
            for (int k = 0; k < 2; ++k) {
                faces.push_back(QPolygonF({at(xs[k], ys[0], ps[0]), at(xs[k], ys[1], ps[0]), at(xs[k], ys[1], ps[1]),
                                           at(xs[k], ys[0], ps[1])}));
                faces.push_back(QPolygonF({at(xs[0], ys[k], ps[0]), at(xs[1], ys[k], ps[0]), at(xs[1], ys[k], ps[1]),
                                           at(xs[0], ys[k], ps[1])}));
                faces.push_back(QPolygonF({at(xs[0], ys[0], ps[k]), at(xs[1], ys[0], ps[k]), at(xs[1], ys[1], ps[k]),
                                           at(xs[0], ys[1], ps[k])}));
            }
            for (const PmmLabel& l : PmmAxisLabels(lim, v, 600, 600, QFont("Arial", 8)))
                for (const QPolygonF& f : faces)
                    EXPECT_FALSE(f.intersects(QPolygonF(l.box))) << l.text.toStdString() << " at " << az << "/" << el;
        }

    std::set<QString> titles;
    for (const PmmLabel& l : PmmAxisLabels(view->limits(), View3D{}, 600, 600, QFont("Arial", 8)))
        if (l.title) titles.insert(l.text);
    EXPECT_EQ(titles, (std::set<QString>{"P (kN)", "Mx (kNm)", "My (kNm)"}));

    // Dragging turns the view, Reset View brings back the same picture.
    const QImage first = img.copy();
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(300, 300));
    mouseMove(view, QPoint(340, 320), Qt::LeftButton);
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(340, 320));
    EXPECT_EQ(view->view().azimuth, kDefaultAzimuth - 20);
    EXPECT_NE(view->image(), first);
    w.click(22);
    EXPECT_EQ(view->image(), first);

    // Save Image writes the picture as shown.
    w.platform.saveAnswers.push_back(w.file("surface.png"));
    w.click(21);
    EXPECT_EQ(QImage(w.file("surface.png")).convertToFormat(first.format()), first);
}

TEST(PmmPage, BatchCheckAndSurfacePrintWhatTheWindowShows) {
    Window w;
    w.importForces();
    w.click(19);
    std::string out, err;
    ASSERT_EQ(RunBatch({"import=" + w.file("forces.csv"), "check"}, out, err), kBatchOk) << err;
    EXPECT_TRUE(out.ends_with(CheckCsv(w.check(), "\n") + w.summary().toStdString() + "\n"));

    ASSERT_EQ(RunBatch({"Edit65=3", "surface", "save=Image12:" + w.file("s.png")}, out, err), kBatchOk) << err;
    const QStringList lines = QString::fromStdString(out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + 2 + 2 * 36);
    EXPECT_EQ(lines[0], "Level,P,Point,Mx,My");
    EXPECT_TRUE(lines[1].startsWith("0,-"));
    EXPECT_TRUE(lines.last().startsWith("3,"));
    EXPECT_FALSE(QImage(w.file("s.png")).isNull());

    // The table's Load Case field names the cases; a section's warnings
    // follow the two summary lines, a line each.
    const QStringList box = {"Edit3=20", "Edit41=20", "ComboBox1=5", "Edit78=3", "section",
                             "import=" + w.file("forces.csv"), "check"};
    ASSERT_EQ(RunBatch(box, out, err), kBatchOk) << err;
    const QStringList printed = QString::fromStdString(out).split('\n', Qt::SkipEmptyParts);
    const qsizetype head = printed.indexOf(QRegularExpression("^Case,.*"));
    ASSERT_GE(head, 0) << out;
    EXPECT_TRUE(printed[head + 1].startsWith("1.4D,21000.50,")) << printed[head + 1].toStdString();
    EXPECT_TRUE(printed[head + 12].startsWith("0.9D-E,")) << printed[head + 12].toStdString();
    EXPECT_TRUE(printed[head + 13].startsWith("Passed ")) << out;
    EXPECT_TRUE(printed[head + 14].startsWith("Radial ratio: governing case ")) << out;
    ASSERT_EQ(printed.size(), head + 16) << out;
    EXPECT_TRUE(printed[head + 15].startsWith("Warning: the box wall's b/t")) << out;

    EXPECT_EQ(RunBatch({"check"}, out, err), kBatchFailed);
    EXPECT_EQ(err, "No forces have been imported.\n");
}

namespace {

// Waits, handling events, until no live run is pending; the results (or
// errors) it delivered are counted.
int WaitForLive(Window& w, int* updates) {
    QElapsedTimer t;
    t.start();
    while ((w.page().livePending() || *updates == 0) && t.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return *updates;
}

}  // namespace

TEST(PmmPage, LiveCheckFollowsTheTypingAndMatchesCheckForces) {
    Window w;
    w.importForces();
    int updates = 0;
    QObject::connect(&w.page(), &PmmPage::liveUpdated, [&] { ++updates; });
    auto* live = w.form->findChild<QCheckBox*>("CheckBox1");
    ASSERT_TRUE(live && live->text() == "Live" && !live->isChecked());
    QTest::mouseClick(live, Qt::LeftButton);
    EXPECT_EQ(WaitForLive(w, &updates), 1);
    EXPECT_EQ(w.rows(), 12);
    EXPECT_FALSE(w.form->workspace().CheckStale);

    // A burst of edits gives one result, for the last edit; the window never
    // waits meanwhile.
    updates = 0;
    for (const char* fc : {"3", "30", "35"}) {
        w.form->edit(7)->selectAll();
        QTest::keyClicks(w.form->edit(7), fc);
    }
    EXPECT_TRUE(w.page().livePending());
    EXPECT_EQ(WaitForLive(w, &updates), 1);
    const std::string liveCsv = CheckCsv(w.check(), "\n");
    const QString liveSummary = w.summary();
    EXPECT_FALSE(liveSummary.contains("stale"));
    QTest::mouseClick(live, Qt::LeftButton);  // off: "Check Forces" on the same inputs
    w.click(19);
    EXPECT_EQ(CheckCsv(w.check(), "\n"), liveCsv);
    EXPECT_EQ(w.summary(), liveSummary);

    // A bad field: the message in the status bar, no message box, and the
    // results on show marked stale.
    QTest::mouseClick(live, Qt::LeftButton);
    updates = 0;
    w.form->edit(1)->setText("22O0");
    WaitForLive(w, &updates);
    EXPECT_EQ(w.form->statusBar()->currentMessage(), "Sec Width B (Section page): '22O0' is not a valid floating point value.");
    EXPECT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    EXPECT_EQ(CheckCsv(w.check(), "\n"), liveCsv);
    EXPECT_TRUE(w.summaryLine().endsWith(kStaleNote));
}

TEST(PmmPage, LiveRunsAgainAfterAPageOpenedAtOnceAndAfterAFault) {
    // A width typed and the page opened within the pause: the page's own
    // surface stops the pending run, and the check must still follow.
    Window w;
    w.importForces();
    int updates = 0;
    QObject::connect(&w.page(), &PmmPage::liveUpdated, [&] { ++updates; });
    w.page().setLive(true);
    WaitForLive(w, &updates);
    QTabBar* tabs = w.form->pages()->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    updates = 0;
    w.form->edit(1)->selectAll();
    QTest::keyClicks(w.form->edit(1), "2400");
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(6).center());
    ASSERT_EQ(w.form->pages()->currentIndex(), 6);
    EXPECT_EQ(WaitForLive(w, &updates), 1);
    EXPECT_FALSE(w.form->workspace().CheckStale);
    EXPECT_FALSE(w.summary().contains("stale"));
    const std::string liveCsv = CheckCsv(w.check(), "\n");

    // A bad field while a page opens: the status bar, no box; with Live off
    // the page's command speaks up again.
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    updates = 0;
    w.form->edit(2)->setText("22O0");
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(3).center());
    EXPECT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    EXPECT_EQ(w.form->statusBar()->currentMessage(), "Sec Height H (Section page): '22O0' is not a valid floating point value.");
    WaitForLive(w, &updates);
    w.page().setLive(false);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(4).center());
    EXPECT_EQ(w.errors(), "Sec Height H (Section page): '22O0' is not a valid floating point value.");

    // Live off: "Check Forces" on the same inputs gives the live check's.
    w.form->edit(2)->setText("2200");
    w.click(19);
    EXPECT_EQ(CheckCsv(w.check(), "\n"), liveCsv);
}

TEST(PmmPage, LiveAxialLevelsMakeTheSurfaceStale) {
    Window w;
    w.click(18);
    ASSERT_TRUE(w.surfaceCsv().size() > 0);
    EXPECT_FALSE(w.page().picture()->stale());
    QLineEdit* levels = w.form->findChild<QLineEdit*>("Edit65");
    levels->selectAll();
    QTest::keyClicks(levels, "3");
    EXPECT_TRUE(w.page().picture()->stale());
    int updates = 0;
    QObject::connect(&w.page(), &PmmPage::liveUpdated, [&] { ++updates; });
    QTest::mouseClick(w.page().liveBox(), Qt::LeftButton);
    EXPECT_EQ(WaitForLive(w, &updates), 1);
    EXPECT_FALSE(w.page().picture()->stale());
    EXPECT_EQ(QString::fromStdString(w.surfaceCsv()).count('\n'), 1 + 2 + 2 * 36);  // as "Edit65=3" prints it
}

TEST(PmmPage, LiveNeverWaitsForACancelledRunAndDropsItsResults) {
    // The first run is held on its thread once it has its results; a newer
    // run starts, ends and is shown meanwhile, and the held one, let go,
    // shows nothing.
    Window w;
    w.importForces();
    LiveRunner& runner = *w.page().liveRunner();
    std::atomic<unsigned long long> first{0};
    std::atomic<bool> held{false}, release{false};
    runner.setRunHook([&](unsigned long long run) {
        unsigned long long none = 0;
        if (!first.compare_exchange_strong(none, run) && first.load() != run) return;
        held = true;
        QElapsedTimer t;
        t.start();
        while (!release && t.elapsed() < 20000) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    int updates = 0;
    QObject::connect(&w.page(), &PmmPage::liveUpdated, [&] { ++updates; });
    w.page().setLive(true);
    QElapsedTimer t;
    t.start();
    while (!held && t.elapsed() < 20000) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    ASSERT_TRUE(held);
    w.form->edit(7)->selectAll();
    QTest::keyClicks(w.form->edit(7), "30");
    int most = 0;  // threads alive at once
    t.restart();
    while ((w.page().livePending() || updates == 0) && t.elapsed() < 20000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        most = std::max(most, runner.threads());
    }
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(most, 2);
    EXPECT_FALSE(release);
    const std::string liveCsv = CheckCsv(w.check(), "\n");
    release = true;
    t.restart();
    while (runner.threads() > 0 && t.elapsed() < 20000) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QTest::qWait(3 * LiveRunner::kPollMs);
    EXPECT_EQ(runner.threads(), 0);
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(CheckCsv(w.check(), "\n"), liveCsv);
    EXPECT_FALSE(w.summary().contains("stale"));
    w.page().setLive(false);
    w.click(19);
    EXPECT_EQ(CheckCsv(w.check(), "\n"), liveCsv);
}

TEST(PmmPage, TableShowsEveryColumnWhateverTheFactor) {
    // 240 combinations, amplified: the figures widen, the Status column
    // stays whole beside the vertical scroll bar.
    Window w;
    w.form->workspace().Loads = pxtest::RealisticForces();
    w.form->pages()->setCurrentIndex(6);
    w.form->show();
    const int pageWidth = w.page().table()->parentWidget()->minimumWidth();
    for (const char* factor : {"1", "1.5", "3", "1"}) {
        w.form->edit(57)->setText(factor);
        w.click(13);
        w.click(19);
        QApplication::processEvents();
        QTableView* t = w.page().table();
        ASSERT_TRUE(t->verticalScrollBar()->isVisible());
        // The last column scrolls wholly into view, the table and the page
        // keep their widths.
        const int last = kCheckColumns - 1;
        t->horizontalScrollBar()->setValue(t->horizontalScrollBar()->maximum());
        QApplication::processEvents();
        EXPECT_LE(t->columnViewportPosition(last) + t->columnWidth(last), t->viewport()->width()) << factor;
        EXPECT_EQ(t->width(), 286) << factor;
        EXPECT_EQ(t->parentWidget()->minimumWidth(), pageWidth) << factor;
        t->horizontalScrollBar()->setValue(0);
    }
}

TEST(PmmPage, LiveCheckShowsNoStaleResultWhileTyping) {
    // A fine mesh's run is in flight when the typing starts; the first key
    // cancels it. While the user types (a change every 60 ms for 4 s) no
    // result shows; after the pause, the last input's.
    Window w;
    w.importForces();
    int updates = 0;
    QObject::connect(&w.page(), &PmmPage::liveUpdated, [&] { ++updates; });
    w.page().setLive(true);
    ASSERT_EQ(WaitForLive(w, &updates), 1);
    w.form->edit(12)->setText("60");
    w.form->edit(13)->setText("60");
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < LiveRunner::kPauseMs + 20) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const int before = updates;
    for (int k = 0; t.elapsed() < 4000 + LiveRunner::kPauseMs; ++k) {
        w.form->edit(7)->setText(k % 2 ? "25" : "28");
        const qint64 next = t.elapsed() + 60;
        while (t.elapsed() < next) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    EXPECT_EQ(updates, before);
    EXPECT_EQ(WaitForLive(w, &updates), before + 1);
    EXPECT_FALSE(w.form->workspace().CheckStale);
    EXPECT_FALSE(w.summary().contains("stale"));
}
