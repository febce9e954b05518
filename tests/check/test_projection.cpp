// The 3D picture's computations: axis limits by the 2D plots' rounding, the
// orthographic view, turning and zooming, picking a dot, the table's keys.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "check/projection.h"

using namespace px;

TEST(PmmProjection, AxisLimitsRoundLikeThePlots) {
    struct Case {
        std::vector<Point3> pts;
        SceneLimits want;
    };
    // Each axis rounds outward to a step of 1, 2 or 5 x 10^n giving at most
    // six intervals: 47340 -> [-47340, 47340] / 6 = 15780 -> 20000 -> 60000.
    const Case cases[] = {
        {{}, {1000, 1000, -1000, 1000}},
        // The default column's apexes and its largest moment.
        {{{0, 0, -16190.625}, {0, 0, 149290.625}, {-47340, 12, 66550}}, {60000, 15, -50000, 150000}},
        {{{2500, -3000.5, -500}, {-1, 1, -1500}}, {3000, 4000, -1600, -400}},
        {{{10, 10, 5000}}, {10, 10, 4000, 6000}},  // one axial force: widened
    };
    for (const Case& c : cases) {
        SurfaceWire wire;
        wire.Rings.push_back(c.pts);
        const SceneLimits s = PmmAxisLimits(wire, nullptr);
        EXPECT_EQ(s.MxMax, c.want.MxMax);
        EXPECT_EQ(s.MyMax, c.want.MyMax);
        EXPECT_EQ(s.PMin, c.want.PMin);
        EXPECT_EQ(s.PMax, c.want.PMax);
    }
    // Checked forces widen the limits too.
    CheckResult r;
    r.Rows.push_back({1, 200000, -9000, 0, {}, {}});
    r.Rows.push_back({2, -3000, 0, 0, {}, {}});
    const SceneLimits s = PmmAxisLimits({}, &r);
    EXPECT_EQ(s.PMax, 200000);
    EXPECT_EQ(s.MxMax, 10000);
    EXPECT_EQ(s.PMin, -50000);
}

TEST(PmmProjection, ViewTurnsAboutP) {
    const SceneLimits lim{2000, 1000, -1000, 3000};
    const double scale = (300 - 64) / std::sqrt(3.0);
    struct Case {
        double az, el;
        Point3 p;
        double x, y, depth;
    };
    const Case cases[] = {
        {0, 0, {2000, 0, 1000}, 300 + scale, 300, 0},    // Mx to the right
        {0, 0, {0, 0, 3000}, 300, 300 - scale, 0},       // P up
        {0, 0, {0, 1000, 1000}, 300, 300, 1},            // My away from the viewer
        {90, 0, {0, 1000, 1000}, 300 - scale, 300, 0},   // turned: My to the left
        {0, 90, {0, 1000, 1000}, 300, 300 - scale, 0},   // from above: My up
        {0, 90, {0, 0, 3000}, 300, 300, -1},             // P towards the viewer
    };
    for (const Case& c : cases) {
        const ScreenPoint s = ProjectPoint(c.p, lim, View3D{c.az, c.el, 1}, 600, 600);
        EXPECT_NEAR(s.x, c.x, 1e-9) << c.az << " " << c.el;
        EXPECT_NEAR(s.y, c.y, 1e-9) << c.az << " " << c.el;
        EXPECT_NEAR(s.depth, c.depth, 1e-12) << c.az << " " << c.el;
    }
    // Zoom scales about the centre.
    const ScreenPoint z = ProjectPoint({2000, 0, 1000}, lim, View3D{0, 0, 2}, 600, 600);
    EXPECT_NEAR(z.x, 300 + 2 * scale, 1e-9);

    const View3D d = DraggedView(View3D{10, 80, 1}, 40, 30);
    EXPECT_EQ(d.azimuth, 350);
    EXPECT_EQ(d.elevation, 90);
    EXPECT_EQ(DraggedView(View3D{350, -80, 1}, -40, -30).azimuth, 10);
    EXPECT_EQ(DraggedView(View3D{350, -80, 1}, -40, -30).elevation, -90);
    EXPECT_NEAR(ZoomedView(View3D{}, 2).zoom, 1.44, 1e-12);
    EXPECT_EQ(ZoomedView(View3D{}, -100).zoom, 0.2);
    EXPECT_EQ(ZoomedView(View3D{}, 100).zoom, 20);
}

TEST(PmmProjection, DotsTableKeysAndCaption) {
    const SceneLimits lim{1000, 1000, -1000, 1000};
    CheckResult r;
    r.Rows.push_back({1, 0, 0, -500, 400.0, 0.25});   // in front of the origin
    r.Rows.push_back({2, 0, 0, 500, std::nullopt, std::nullopt});  // behind it, same pixel
    r.Rows.push_back({3, 900, 900, 0, 100.0, 2.5});
    const View3D front{0, 0, 1};
    EXPECT_EQ(DotDrawOrder(r, lim, front, 600, 600), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(DotAt(r, lim, front, 600, 600, 302, 300, 5), std::optional<int>(0));
    EXPECT_EQ(DotAt(r, lim, front, 600, 600, 300, 300, 5), std::optional<int>(0));
    EXPECT_EQ(DotAt(r, lim, front, 600, 600, 320, 300, 5), std::nullopt);

    // n/a ratios sort above every ratio, missing capacities below every capacity.
    constexpr double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(CheckSortKey(r.Rows[1], 5), inf);
    EXPECT_EQ(CheckSortKey(r.Rows[1], 4), -inf);
    EXPECT_EQ(CheckSortKey(r.Rows[2], 6), 1);
    EXPECT_EQ(CheckCellText(r.Rows[1], 4), "");
    EXPECT_EQ(CheckCellText(r.Rows[1], 5), "n/a");
    EXPECT_EQ(CheckCellText(r.Rows[1], 6), "NG");
    EXPECT_EQ(DotCaption(r.Rows[2]), "Case 3: P = 900.00, Mx = 900.00, My = 0.00, Ratio = 2.5000, Radial Ratio = n/a");
    r.Rows[2].Name = "1.2D+L+E";
    r.Rows[2].Radial = 2.25;
    EXPECT_EQ(DotCaption(r.Rows[2]),
              "Case 1.2D+L+E: P = 900.00, Mx = 900.00, My = 0.00, Ratio = 2.5000, Radial Ratio = 2.2500");
}
