// Every chart names its axes, ticks them on round values and keeps its curve
// inside the frame; the Mx-My chart is drawn at one scale both ways; force
// markers tell OK from NG by colour and shape.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "curvature/ui/mphi_chart.h"
#include "loads/ui/force_overlay.h"
#include "material/ui/material_plots.h"
#include "plot/chart_pixels.h"
#include "plot/frame.h"
#include "plot/material_chart.h"
#include "plot/mm_plot.h"
#include "plot/overlay.h"
#include "plot/pm_plot.h"
#include "plot/ui/mm_chart.h"
#include "plot/ui/pm_chart.h"

using namespace px;
using namespace pxtest;

namespace {

constexpr double kPi = 3.141592653589793;

// The frame as the charts lay it out: left 50, right 24, top 20, bottom 36.
int Left() { return 50; }
int Right(int W) { return W - 24; }
int Top() { return 20; }
int Bottom(int H) { return H - 36; }

// A step is round when it is 1, 2 or 5 times a power of ten.
bool RoundStep(double step) {
    const double decade = std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    const double f = step / decade;
    return std::fabs(f - 1) < 1e-9 || std::fabs(f - 2) < 1e-9 || std::fabs(f - 5) < 1e-9;
}

// A default-column-like P-M curve; with `negative`, both halves, the negative
// half reaching -|neg| (an L section leans one way).
PMCurve PmCurve(double negative = 0) {
    PMCurve c;
    c.Divisions = 10;
    const double PMin = -16190.625, PMax = 149290.625;
    for (int i = 0; i <= 10; ++i) {
        c.PX.push_back(PMin + (PMax - PMin) * i / 10);
        c.MX.push_back(47340 * std::sin(kPi * i / 10));
    }
    c.PY = c.PX;
    c.MY = c.MX;
    if (negative > 0) {
        c.PXNeg = c.PYNeg = c.PX;
        for (int i = 0; i <= 10; ++i) c.MXNeg.push_back(-negative * std::sin(kPi * i / 10));
        c.MYNeg = c.MXNeg;
    }
    return c;
}

MMCurve Square(double a, int n) {
    // A square column's curve: |Mx|^4 + |My|^4 = a^4, entry 0 repeating n.
    MMCurve c;
    for (int i = 0; i <= n; ++i) {
        const double t = 2 * kPi * i / n;
        const double x = std::cos(t), y = std::sin(t);
        const double r = a / std::pow(std::pow(std::fabs(x), 4) + std::pow(std::fabs(y), 4), 0.25);
        c.Mx.push_back(r * x);
        c.My.push_back(r * y);
    }
    c.Mx[0] = c.Mx[n];
    c.My[0] = c.My[n];
    return c;
}

MphiResult Mphi() {
    MphiResult r;
    for (int k = 0; k <= 20; ++k) {
        MphiPoint p;
        p.phi = 2e-5 * k / 20;  // up to 20 1/km
        p.M = 465 * std::sin(kPi / 2 * std::min(1.0, k / 12.0)) - (k > 12 ? 5.0 * (k - 12) : 0.0);
        r.points.push_back(p);
    }
    r.ultimate = r.points.back();
    r.yield = r.points[4];
    r.Mp = 460;
    r.phiYieldIdeal = 6e-6;
    r.Mmax = 465;
    r.phiMmax = r.points[12].phi;
    return r;
}

// Black text somewhere in the rectangle.
bool TextIn(const QImage& img, int x0, int y0, int x1, int y1) { return AnyColor(img, x0, y0, x1, y1, kBlack); }

}  // namespace

TEST(ChartAxes, RoundStepsAndLabels) {
    struct Case {
        double lo, hi;
        int intervals;
        double step;
    } cases[] = {
        {-1104.6, 48444.6, 5, 10000},   // default column's moments
        {-19799.2, 152899.2, 12, 20000},  // and forces
        {0, 4.8, 5, 1},
        {-0.1, 10.1, 10, 1},
        {-0.1, 10.1, 5, 2},
        {0, 0.0049, 5, 0.001},
        {0, 1, 1, 1},
        {-3, -1, 4, 0.5},
    };
    for (const Case& c : cases) {
        const double step = TickStep(c.lo, c.hi, c.intervals);
        EXPECT_DOUBLE_EQ(step, c.step) << c.lo << " " << c.hi;
        EXPECT_TRUE(RoundStep(step));
        const auto ticks = AxisTicks(c.lo, c.hi, step);
        ASSERT_FALSE(ticks.empty());
        EXPECT_LE(static_cast<int>(ticks.size()) - 1, c.intervals);
        for (const AxisTick& t : ticks) {
            EXPECT_GE(t.value, c.lo);
            EXPECT_LE(t.value, c.hi);
            EXPECT_NEAR(std::remainder(t.value, step), 0, 1e-9 * step);
        }
    }
    EXPECT_EQ(AxisTicks(-0.1, 10.1, 2).front().text, "0");
    EXPECT_EQ(AxisTicks(-3, -1, 0.5)[1].text, "-2.5");
    EXPECT_EQ(AxisTicks(0, 0.0049, 0.001, 1000)[3].text, "3");
    EXPECT_EQ(AxisTicks(0, 0.25, 0.05).back().text, "0.25");
    EXPECT_TRUE(AxisTicks(0, 0, 1).empty());
    EXPECT_EQ(TickStep(5, 5, 4), 0);
}

TEST(ChartAxes, PaddedLimitsKeepPointsInside) {
    // 300 px axis, 7 px pad: the margin is range x 7 / 286 at both ends.
    const AxisLimits a = PaddedLimits(0, 2860, 300);
    EXPECT_DOUBLE_EQ(a.lo, -70);
    EXPECT_DOUBLE_EQ(a.hi, 2930);
    const AxisLimits none = PaddedLimits(4, 4, 300);
    EXPECT_EQ(none.lo, 4);
    EXPECT_EQ(none.hi, 4);
}

// Each chart, drawn on its image: titles in their places, grid lines on
// round values, the red curve only inside the frame.
TEST(ChartAxes, EveryChartNamesItsAxesAndKeepsItsCurveInside) {
    struct Chart {
        const char* name;
        int W, H;
        std::function<void(QImage&)> draw;
    };
    const PMCurve pm = PmCurve(10500), pmOneSide = PmCurve();
    const MMCurve mm = Square(20000, 36);
    const MphiResult mphi = Mphi();
    const Chart charts[] = {
        {"P-M", kPMImageWidth, kPMImageHeight, [&](QImage& i) { PMPlotScale s; DrawPMCurve(i, pmOneSide, 0, s); }},
        {"P-M both halves", kPMImageWidth, kPMImageHeight, [&](QImage& i) { PMPlotScale s; DrawPMCurve(i, pm, 90, s); }},
        {"Mx-My", kMMImageWidth, kMMImageHeight, [&](QImage& i) { MMPlotScale s; DrawMMCurve(i, mm, 36, s); }},
        {"concrete", kMaterialImageWidth, kMaterialImageHeight,
         [](QImage& i) { DrawConcreteCurve(i, 2, 27.5, 5.5, 0.002, 0.004); }},
        {"steel", kMaterialImageWidth, kMaterialImageHeight, [](QImage& i) { DrawSteelCurve(i, 1, 420, 200000); }},
        {"M-Phi", kMphiImageWidth, kMphiImageHeight, [&](QImage& i) { QPainter p(&i); DrawMphiCurve(p, i.width(), i.height(), &mphi); }},
    };
    for (const Chart& c : charts) {
        QImage img = BlankImage(c.W, c.H);
        c.draw(img);
        // The vertical axis's title above the frame's top left, the
        // horizontal one's centred under the labels.
        EXPECT_TRUE(TextIn(img, 2, 2, Left(), Top() - 3)) << c.name;
        EXPECT_TRUE(TextIn(img, c.W / 2 - 20, c.H - 16, c.W / 2 + 20, c.H - 3)) << c.name;
        // Labels under and beside the frame.
        EXPECT_TRUE(TextIn(img, Left() - 20, Bottom(c.H) + 3, Right(c.W) + 20, Bottom(c.H) + 15)) << c.name;
        EXPECT_TRUE(TextIn(img, 2, Top(), Left() - 3, Bottom(c.H))) << c.name;
        // The grey frame.
        EXPECT_TRUE(IsColor(img, Right(c.W), (Top() + Bottom(c.H)) / 2, kGrey)) << c.name;
        EXPECT_TRUE(IsColor(img, (Left() + Right(c.W)) / 2, Bottom(c.H), kGrey)) << c.name;
        // Red only strictly inside the frame.
        bool outside = false, inside = false;
        for (int y = 0; y < c.H; ++y)
            for (int x = 0; x < c.W; ++x)
                if (IsColor(img, x, y, kRed)) {
                    const bool in = x > Left() && x < Right(c.W) && y > Top() && y < Bottom(c.H);
                    (in ? inside : outside) = true;
                }
        EXPECT_TRUE(inside) << c.name;
        EXPECT_FALSE(outside) << c.name;
    }
}

TEST(ChartAxes, PMLimitsHoldEveryPointWithRoundTicks) {
    const int W = kPMImageWidth, H = kPMImageHeight;
    for (double negative : {0.0, 10499.0, 10500.0, 23670.0}) {
        const PMCurve c = PmCurve(negative);
        const PMChartLine line = PMChartPolygon(c, 0);
        const PMPlotScaleSet s = PMAxisLimits(line.P, line.M, static_cast<int>(line.P.size()) - 1, W, H);
        for (size_t i = 0; i < line.P.size(); ++i) {
            // x = (M - lo) / (hi - lo) x (W - 74) + 50, y = (hi - P) / (hi - lo) x (H - 56) + 20.
            const double x = (line.M[i] - s.MAxisMin) / (s.MAxisMax - s.MAxisMin) * (W - 74) + 50;
            const double y = (s.PAxisMax - line.P[i]) / (s.PAxisMax - s.PAxisMin) * (H - 56) + 20;
            EXPECT_GE(x, Left() + kCurvePad - 1e-6) << negative;
            EXPECT_LE(x, Right(W) - kCurvePad + 1e-6) << negative;
            EXPECT_GE(y, Top() + kCurvePad - 1e-6) << negative;
            EXPECT_LE(y, Bottom(H) - kCurvePad + 1e-6) << negative;
        }
        for (const ChartAxis& a : {PMMomentAxis(s, 0, W), PMForceAxis(s, H)}) {
            ASSERT_GE(a.ticks.size(), 2u);
            EXPECT_TRUE(RoundStep(a.ticks[1].value - a.ticks[0].value));
        }
    }
    EXPECT_EQ(PMMomentAxis({}, 90, W).title, "My (kNm)");
    EXPECT_EQ(PMForceAxis({}, H).title, "P (kN)");
}

TEST(ChartAxes, SquareColumnIsSquareOnTheMxMyChart) {
    const int W = kMMImageWidth, H = kMMImageHeight;
    const MMPlotScale s = MMAxisLimits(Square(20000, 36), 36, W, H);
    // kNm per pixel the same both ways.
    EXPECT_NEAR((s.MxAxisMax - s.MxAxisMin) / (W - 74), (s.MyAxisMax - s.MyAxisMin) / (H - 56), 1e-9);
    EXPECT_EQ(s.MxAxisMin, -s.MxAxisMax);
    // The curve's corners at (+-20000, 0) and (0, +-20000) lie as far from
    // the centre on the picture both ways.
    const double cx = MapXExact(0, s.MxAxisMin, s.MxAxisMax, W), cy = MapYExact(0, s.MyAxisMin, s.MyAxisMax, H);
    EXPECT_NEAR(MapXExact(20000, s.MxAxisMin, s.MxAxisMax, W) - cx, cy - MapYExact(20000, s.MyAxisMin, s.MyAxisMax, H),
                1e-6);
    // One round step on both axes: square grid cells.
    const ChartAxis x = MMMxAxis(s, W, H), y = MMMyAxis(s, W, H);
    ASSERT_GE(x.ticks.size(), 2u);
    ASSERT_GE(y.ticks.size(), 2u);
    EXPECT_DOUBLE_EQ(x.ticks[1].value - x.ticks[0].value, y.ticks[1].value - y.ticks[0].value);
    EXPECT_TRUE(RoundStep(x.ticks[1].value - x.ticks[0].value));
    EXPECT_EQ(x.title, "Mx (kNm)");
    EXPECT_EQ(y.title, "My (kNm)");
}

TEST(ChartAxes, ForceMarkersTellOkFromNg) {
    const int W = kPMImageWidth, H = kPMImageHeight;
    const PMCurve c = PmCurve();
    PMPlotScale scale;
    QImage img = BlankImage(W, H);
    DrawPMCurve(img, c, 0, scale);
    // Inside the curve at P = 66550 (M up to 47340), outside, and far off.
    LoadCombinationTable t;
    t.Items = {{}, {66550, 25000, 0}, {66550, 46000, 0}, {66550, -30000, 0}, {0, 1e6, 0}};
    t.Count = 4;
    DrawForcesOnPM(img, 0, t, 1, 1, 1, scale.X, c);
    const auto m = PMForceMarkers(0, t, 1, 1, 1, c, scale.X, W, H);
    ASSERT_EQ(m.size(), 4u);
    EXPECT_EQ(m[0].Verdict, MarkerVerdict::Ok);
    EXPECT_EQ(m[1].Verdict, MarkerVerdict::Ok);
    EXPECT_EQ(m[2].Verdict, MarkerVerdict::Ok);  // |Mx| on a one-sided curve
    EXPECT_EQ(m[3].Verdict, MarkerVerdict::Ng);
    EXPECT_FALSE(m[3].InFrame);
    // A blue ring at the OK force, never over its centre.
    const int x = MapX(25000, scale.X.MAxisMin, scale.X.MAxisMax, W), y = MapY(66550, scale.X.PAxisMin, scale.X.PAxisMax, H);
    EXPECT_TRUE(AnyColor(img, x - kMarkerRadius, y - kMarkerRadius, x + kMarkerRadius, y + kMarkerRadius, kMarkerOk));
    EXPECT_TRUE(IsColor(img, x, y, kWhite));
    // The force beyond the frame is not drawn over the labels: the legend
    // counts it.
    const MarkerCounts n = CountMarkers(m);
    EXPECT_EQ(n.Ok, 3);
    EXPECT_EQ(n.Ng, 1);
    EXPECT_EQ(n.OffFrame, 1);
    EXPECT_FALSE(AnyColor(img, Right(W) + 1, Top(), W - 1, Bottom(H), kMarkerNg));
    // The legend's samples in the strip above the frame.
    EXPECT_TRUE(AnyColor(img, kLegendLeft, 0, W - 1, Top() - 1, kMarkerOk));
    EXPECT_TRUE(AnyColor(img, kLegendLeft, 0, W - 1, Top() - 1, kMarkerNg));

    // An NG force inside the frame is a vermillion cross through its centre.
    t.Items[1] = {140000, 30000, 0};
    t.Count = 1;
    img = BlankImage(W, H);
    DrawPMCurve(img, c, 0, scale);
    DrawForcesOnPM(img, 0, t, 1, 1, 1, scale.X, c);
    const int xn = MapX(30000, scale.X.MAxisMin, scale.X.MAxisMax, W), yn = MapY(140000, scale.X.PAxisMin, scale.X.PAxisMax, H);
    EXPECT_TRUE(IsColor(img, xn, yn, kMarkerNg));
}
