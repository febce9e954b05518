#include <gtest/gtest.h>

#include <cmath>

#include "plot/chart_pixels.h"
#include "plot/frame.h"
#include "plot/mm_plot.h"
#include "plot/ui/mm_chart.h"

using namespace px;
using namespace pxtest;

namespace {

// A circle of the given radius: entries 0..n at 360/n degree steps, entry 0
// repeating entry n.
MMCurve Circle(double radius, int n) {
    MMCurve c;
    for (int i = 0; i <= n; ++i) {
        const double a = 2 * 3.141592653589793 * i / n;
        c.Mx.push_back(radius * std::cos(a));
        c.My.push_back(radius * std::sin(a));
    }
    c.Mx[n] = c.Mx[0];
    c.My[n] = c.My[0];
    return c;
}

}  // namespace

TEST(MMPlot, SymmetricLimitsAtOneScaleBothWays) {
    // Frame 317 x 335 pixels. The axis that needs more kNm per pixel holds
    // its extremes 7 pixels inside; the other takes the same kNm per pixel.
    const int W = kMMImageWidth, H = kMMImageHeight;
    MMCurve c{{0, 1234.5, -3000}, {0, 999.9, -5000}};
    MMPlotScale s = MMAxisLimits(c, 2, W, H);
    EXPECT_DOUBLE_EQ(s.MyAxisMax, 5000 + 10000 * 7.0 / 321);  // the negative extremes enter too
    EXPECT_DOUBLE_EQ(s.MyAxisMin, -s.MyAxisMax);
    EXPECT_DOUBLE_EQ(s.MxAxisMax, s.MyAxisMax * 317 / 335);
    EXPECT_DOUBLE_EQ(s.MxAxisMin, -s.MxAxisMax);
    // A U core at P = 0: Mx from -10564 to 6380, My to 2000: Mx binds.
    s = MMAxisLimits(MMCurve{{0, 6380, -10564, 0}, {0, 0, 0, 2000}}, 3, W, H);
    EXPECT_DOUBLE_EQ(s.MxAxisMax, 10564 + 21128 * 7.0 / 303);
    EXPECT_DOUBLE_EQ(s.MyAxisMax, s.MxAxisMax * 335 / 317);

    s = MMAxisLimits(Circle(1000, 36), 36, W, H);
    EXPECT_DOUBLE_EQ(s.MxAxisMax, 1000 + 2000 * 7.0 / 303);
    std::vector<std::string> mx, my;
    for (const AxisTick& t : MMMxAxis(s, W, H).ticks) mx.push_back(t.text);
    for (const AxisTick& t : MMMyAxis(s, W, H).ticks) my.push_back(t.text);
    // At most 317 / 56 = 5 intervals across 2092: steps of 500.
    EXPECT_EQ(mx, (std::vector<std::string>{"-1000", "-500", "0", "500", "1000"}));
    EXPECT_EQ(my, mx);
}

TEST(MMPlot, Readout) {
    const MMPlotScale s{1000, -1000, 2000, -2000};
    const int W = kMMImageWidth, H = kMMImageHeight;
    EXPECT_DOUBLE_EQ(ReadMM(s, 50, 200, W, H).Mx, s.MxAxisMin);
    EXPECT_EQ(Label73Text(ReadMM(s, 50, 20, W, H)), "MY = 2000 , MX = -1000");
    EXPECT_EQ(Label73Text(ReadMM(s, W - 24, H - 36, W, H)), "MY = -2000 , MX = 1000");
    EXPECT_EQ(Label73Text(ReadMM(MMPlotScale{}, 300, 7, W, H)), "MY = 0 , MX = 0");
}

TEST(MMPlot, DrawsCirclesAndClosesTheCurve) {
    const int n = 36;
    MMCurve c = Circle(1000, n);
    QImage img = BlankImage(kMMImageWidth, kMMImageHeight);
    MMPlotScale scale;
    DrawMMCurve(img, c, n, scale);
    const MMPlotScale& s = scale;
    EXPECT_TRUE(IsColor(img, 0, 0, kBlack));
    EXPECT_TRUE(IsColor(img, 390, 390, kBlack));
    EXPECT_TRUE(IsColor(img, 367, 100, kGrey));  // right frame edge, W - 24
    EXPECT_TRUE(IsColor(img, 200, 355, kGrey));  // bottom frame edge, H - 36

    // Every point carries a circle: its ring shows just outside the polyline.
    for (int i = 1; i <= n; ++i) {
        const int x = MapX(c.Mx[i], s.MxAxisMin, s.MxAxisMax, kMMImageWidth);
        const int y = MapY(c.My[i], s.MyAxisMin, s.MyAxisMax, kMMImageHeight);
        const double a = 2 * 3.141592653589793 * i / n;
        const int ox = static_cast<int>(std::lround(x + 4.5 * std::cos(a)));
        const int oy = static_cast<int>(std::lround(y - 4.5 * std::sin(a)));
        EXPECT_TRUE(AnyColor(img, ox - 1, oy - 1, ox + 1, oy + 1, kRed)) << i;
    }
    // The closing segment from entry 36 to entry 1, at its middle.
    const int mx = (MapX(c.Mx[n], s.MxAxisMin, s.MxAxisMax, kMMImageWidth) +
                    MapX(c.Mx[1], s.MxAxisMin, s.MxAxisMax, kMMImageWidth)) / 2;
    const int my = (MapY(c.My[n], s.MyAxisMin, s.MyAxisMax, kMMImageHeight) +
                    MapY(c.My[1], s.MyAxisMin, s.MyAxisMax, kMMImageHeight)) / 2;
    EXPECT_TRUE(AnyColor(img, mx - 1, my - 1, mx + 1, my + 1, kRed));
    // Nothing red beyond the curve, e.g. at the frame's centre.
    EXPECT_FALSE(AnyColor(img, 180, 180, 210, 210, kRed));
}

TEST(MMPlot, EntryZeroIsNotDrawn) {
    MMCurve c = Circle(1000, 36);
    c.Mx[0] = -1000;
    c.My[0] = 0;
    QImage img = BlankImage(kMMImageWidth, kMMImageHeight);
    MMPlotScale scale;
    DrawMMCurve(img, c, 4, scale);  // entries 1..4 only, near +Mx
    EXPECT_TRUE(AnyColor(img, kRed));
    EXPECT_FALSE(AnyColor(img, 40, 180, 80, 210, kRed));
}

TEST(MMPlot, CurveOnTheNegativeSideAloneIsDrawn) {
    MMCurve c{{-500, -300, -500}, {100, 2500, 100}};
    QImage img = BlankImage(kMMImageWidth, kMMImageHeight);
    MMPlotScale scale;
    DrawMMCurve(img, c, 2, scale);
    EXPECT_GT(scale.MxAxisMax, 500);
    EXPECT_EQ(scale.MxAxisMin, -scale.MxAxisMax);
    EXPECT_TRUE(MMScaleUsable(scale));
    EXPECT_TRUE(AnyColor(img, kRed));
    // Nothing of a point on the negative side is cut off at the frame.
    EXPECT_FALSE(AnyColor(img.copy(0, 0, kFrameLeft, kMMImageHeight), kRed));

    // A curve of no moment at all still draws the frame only.
    MMCurve zero{{0, 0, 0}, {0, 0, 0}};
    QImage blank = BlankImage(kMMImageWidth, kMMImageHeight);
    DrawMMCurve(blank, zero, 2, scale);
    EXPECT_FALSE(MMScaleUsable(scale));
    EXPECT_FALSE(AnyColor(blank, kRed));
    EXPECT_TRUE(IsColor(blank, 367, 100, kGrey));
}
