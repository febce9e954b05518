#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "analysis/pm_solver.h"
#include "input/error.h"
#include "input/fields.h"
#include "input/section_input.h"
#include "plot/chart_pixels.h"
#include "plot/frame.h"
#include "plot/mm_plot.h"
#include "plot/pm_plot.h"
#include "plot/ui/pm_chart.h"
#include "section/mesh.h"

using namespace px;
using namespace pxtest;

namespace {

// A curve with the extremes of the default 2200 x 2200 rectangular column:
// moments 0 at both ends, largest about 47340.
PMCurve DefaultColumnCurve() {
    PMCurve c;
    c.Divisions = 10;
    const double PMin = -16190.625, PMax = 149290.625;
    for (int i = 0; i <= 10; ++i) {
        c.PX.push_back(PMin + (PMax - PMin) * i / 10);
        c.MX.push_back(i == 0 || i == 10 ? 0 : 47340 * std::sin(3.14159 * i / 10) * (i == 5 ? 1 : 0.98));
    }
    c.PY = c.PX;
    c.MY = c.MX;
    for (double& m : c.MY) m *= 0.5;
    return c;
}

}  // namespace

TEST(PMPlot, DefaultColumnLimitsAndLabels) {
    // Frame 314 x 335 pixels; the points' range widened by 7 pixels' worth
    // at both ends: moments by 47340 x 7 / 300, forces by 165481.25 x 7 / 321.
    const PMCurve c = DefaultColumnCurve();
    const PMPlotScaleSet s = PMAxisLimits(c.PX, c.MX, c.Divisions, kPMImageWidth, kPMImageHeight);
    const double mPad = 47340 * 7.0 / 300, pPad = 165481.25 * 7.0 / 321;
    // (The curve's peak lies a hair under 47340.)
    EXPECT_NEAR(s.MAxisMin, -mPad, 1e-6);
    EXPECT_NEAR(s.MAxisMax, 47340 + mPad, 1e-6);
    EXPECT_DOUBLE_EQ(s.PAxisMin, -16190.625 - pPad);
    EXPECT_DOUBLE_EQ(s.PAxisMax, 149290.625 + pPad);
    // At most 314 / 56 = 5 moment intervals: steps of 10000; at most
    // 335 / 26 = 12 force intervals: steps of 20000 (10000 would take 16).
    std::vector<std::string> m, f;
    for (const AxisTick& t : PMMomentAxis(s, 0, kPMImageWidth).ticks) m.push_back(t.text);
    for (const AxisTick& t : PMForceAxis(s, kPMImageHeight).ticks) f.push_back(t.text);
    EXPECT_EQ(m, (std::vector<std::string>{"0", "10000", "20000", "30000", "40000"}));
    ASSERT_EQ(f.size(), 8u);
    EXPECT_EQ(f.front(), "0");
    EXPECT_EQ(f[1], "20000");
    EXPECT_EQ(f.back(), "140000");
    // y = (PAxisMax - 0) / (PAxisMax - PAxisMin) x 335 + 20 = 316.6.
    EXPECT_EQ(ZeroForceLineY(s, kPMImageHeight), 317);
}

TEST(PMPlot, FramePixels) {
    // Frame from (50, 20) to (W - 24, H - 36); the maps put lo and hi on its edges.
    EXPECT_EQ(MapX(0, 0, 100, 388), 50);
    EXPECT_EQ(MapX(100, 0, 100, 388), 364);
    EXPECT_EQ(MapY(100, 0, 100, 391), 20);
    EXPECT_EQ(MapY(0, 0, 100, 391), 355);
    EXPECT_EQ(MapY(50, 0, 100, 391), 188);  // 187.5, halves to even
    EXPECT_EQ(FrameRow(-1, 0, 100, 391), std::nullopt);
    EXPECT_EQ(FrameRow(0, 0, 100, 391), 355);
}

TEST(PMPlot, ReadoutsAtFrameCorners) {
    PMPlotScaleSet s{48000, 150000, 0, -16000};
    const int W = kPMImageWidth, H = kPMImageHeight;
    EXPECT_EQ(Label68Text(ReadPM(s, 50, 20, W, H)), "P = 150000 , MX = 0");
    EXPECT_EQ(Label69Text(ReadPM(s, W - 24, H - 36, W, H)), "P = -16000 , MY = 48000");
    // (207, 187.5): half the moment, half way down the forces.
    EXPECT_EQ(Label74Text(ReadPM(s, 207, 188, W, H)), "P = 66752 , M = 24000");
    // Before any plot every limit is 0 and the readout shows 0.
    EXPECT_EQ(Label68Text(ReadPM(PMPlotScaleSet{}, 3, 390, W, H)), "P = 0 , MX = 0");
}

TEST(PMPlot, DrawsDefaultColumnChart) {
    QImage img = BlankImage(kPMImageWidth, kPMImageHeight);
    PMPlotScale scale;
    scale.Y = {1, 2, 3, 4};
    DrawPMCurve(img, DefaultColumnCurve(), 0, scale);
    EXPECT_LT(scale.X.PAxisMin, -16190.625);
    EXPECT_GT(scale.X.MAxisMax, 47340);
    EXPECT_EQ(scale.Y.MAxisMax, 1);  // the other direction is left alone
    DrawPMCurve(img, DefaultColumnCurve(), 90, scale);
    EXPECT_DOUBLE_EQ(scale.Y.MAxisMax, scale.X.MAxisMax / 2);  // half the X moments
    DrawPMCurve(img, DefaultColumnCurve(), 0, scale);

    EXPECT_TRUE(IsColor(img, 0, 0, kBlack));
    EXPECT_TRUE(IsColor(img, 387, 390, kBlack));
    EXPECT_TRUE(IsColor(img, 1, 1, kWhite));
    EXPECT_TRUE(IsColor(img, 364, 100, kGrey));  // frame right edge
    EXPECT_TRUE(IsColor(img, 300, 355, kGrey));  // frame bottom edge
    // The moment grid line of 10000: x = (10000 + pad) / range x 314 + 50.
    const PMPlotScaleSet& s = scale.X;
    const int x10 = static_cast<int>(std::nearbyint((10000 - s.MAxisMin) / (s.MAxisMax - s.MAxisMin) * 314 + 50));
    EXPECT_TRUE(IsColor(img, x10, 30, kGrey));
    // Blue zero-force line across the frame at y = 317.
    for (int x : {52, 200, 362}) EXPECT_TRUE(IsColor(img, x, 317, kBlue)) << x;
    // First point (0, -16190.625) 7 pixels inside the bottom left corner:
    // (57, 348); last point (0, 149290.625) at (57, 27).
    EXPECT_TRUE(AnyColor(img, 56, 347, 58, 349, kRed));
    EXPECT_TRUE(AnyColor(img, 56, 26, 58, 28, kRed));
    EXPECT_FALSE(AnyColor(img, 0, 0, 49, 390, kRed));
    // Labels: the force label of 0 left of its line, the moment label of 0
    // under the frame, and the titles.
    EXPECT_TRUE(AnyColor(img, 5, 310, 49, 324, kBlack));
    EXPECT_TRUE(AnyColor(img, 50, 358, 64, 370, kBlack));
    EXPECT_TRUE(AnyColor(img, 4, 3, 45, 16, kBlack));      // "P (kN)"
    EXPECT_TRUE(AnyColor(img, 180, 375, 230, 388, kBlack));  // "Mx (kNm)"
}

TEST(PMPlot, BothHalvesSpanTheScaleAndCloseTheCurve) {
    PMCurve c = DefaultColumnCurve();
    for (int i = 0; i <= 10; ++i) {
        c.PXNeg.push_back(c.PX[i]);
        c.MXNeg.push_back(-c.MX[i] / 2);
        c.PYNeg.push_back(c.PY[i]);
        c.MYNeg.push_back(-c.MY[i] / 2);
    }
    QImage img = BlankImage(kPMImageWidth, kPMImageHeight);
    PMPlotScale scale;
    DrawPMCurve(img, c, 0, scale);
    // The negative half's largest, -23670, with 7 pixels to spare.
    EXPECT_NEAR(scale.X.MAxisMin, -23670 - (47340 + 23670) * 7.0 / 300, 1e-6);
    const PMPlotScaleSet& s = scale.X;
    for (int i : {3, 5, 7}) {
        const int x = MapX(c.MXNeg[i], s.MAxisMin, s.MAxisMax, kPMImageWidth);
        const int y = MapY(c.PXNeg[i], s.PAxisMin, s.PAxisMax, kPMImageHeight);
        EXPECT_TRUE(AnyColor(img, x - 1, y - 1, x + 1, y + 1, kRed)) << i;
    }
}

TEST(PMPlot, EmptyMomentRangeDrawsFrameWithoutCurve) {
    PMCurve c;
    c.Divisions = 1;
    c.PX = {-16190.625, 149290.625};
    c.MX = {0, 0};
    QImage img = BlankImage(kPMImageWidth, kPMImageHeight);
    PMPlotScale scale;
    DrawPMCurve(img, c, 0, scale);
    EXPECT_EQ(scale.X.MAxisMax, 0);
    EXPECT_FALSE(AnyColor(img, kRed));
    EXPECT_TRUE(IsColor(img, 200, 317, kBlue));
    EXPECT_TRUE(IsColor(img, 364, 100, kGrey));

    // No force range either: no zero line, still no fault.
    c.PX = {0, 0};
    img = BlankImage(kPMImageWidth, kPMImageHeight);
    DrawPMCurve(img, c, 0, scale);
    EXPECT_FALSE(AnyColor(img, kRed));
    EXPECT_FALSE(AnyColor(img, kBlue));
    EXPECT_EQ(Label68Text(ReadPM(scale.X, 100, 100, 388, 391)), "P = 0 , MX = 0");
}

TEST(PMPlot, NonFiniteCurveRaisesAndLeavesChart) {
    PMCurve c = DefaultColumnCurve();
    c.MX[3] = std::numeric_limits<double>::quiet_NaN();
    QImage img = BlankImage(kPMImageWidth, kPMImageHeight);
    PMPlotScale scale;
    scale.X = {5, 6, 7, 8};
    try {
        DrawPMCurve(img, c, 0, scale);
        FAIL() << "no error";
    } catch (const AppError& e) {
        EXPECT_STREQ(e.what(), kInvalidOp);
    }
    EXPECT_EQ(scale.X.MAxisMax, 5);
    EXPECT_FALSE(AnyColor(img, kGrey));
}

TEST(AxialForceSlider, PositionsGiveWholeForces) {
    const double PMax = 149290.625, PMin = -16190.625;
    EXPECT_EQ(MMAxialForceFromSlider(PMax, PMin, 0), 149291);  // nearest(PMax)
    EXPECT_EQ(MMAxialForceFromSlider(PMax, PMin, 100), -16191);
    EXPECT_EQ(MMAxialForceFromSlider(PMax, PMin, 50), 66550);
    EXPECT_EQ(Edit30Text(MMAxialForceFromSlider(PMax, PMin, 100)), "-16191");
    EXPECT_EQ(MMAxialForceFromSlider(0, 0, 37), 0);
}

TEST(AxialForceLine, DrawnOnTheChosenDirectionsScale) {
    PMPlotScale scale;
    scale.X = {48000, 150000, 0, -16000};
    scale.Y = {24000, 90000, 0, -10000};
    QImage img = BlankImage(kPMImageWidth, kPMImageHeight);
    DrawAxialForceLine(img, scale.forAngle(90), 40000);  // 50000 / 100000 x 335 + 20 = 187.5 -> 188
    EXPECT_TRUE(IsColor(img, 50, 188, kPurple));
    EXPECT_TRUE(IsColor(img, 364, 188, kPurple));
    const int xRow = MapY(40000, -16000, 150000, 391);
    EXPECT_NE(xRow, 188);
    EXPECT_FALSE(AnyColor(img, 100, xRow, 100, xRow, kPurple));

    img = BlankImage(kPMImageWidth, kPMImageHeight);
    DrawAxialForceLine(img, scale.forAngle(0), 0);  // 150000 / 166000 x 335 + 20 = 322.7
    EXPECT_TRUE(IsColor(img, 200, 323, kPurple));

    // Outside the frame (not over the labels), or with no scale yet:
    // nothing, and no fault.
    img = BlankImage(kPMImageWidth, kPMImageHeight);
    DrawAxialForceLine(img, scale.X, 1e15);
    DrawAxialForceLine(img, scale.X, -20000);
    DrawAxialForceLine(img, PMPlotScaleSet{}, 0);
    EXPECT_FALSE(AnyColor(img, kPurple));
}

TEST(PMPlot, AxisMinimumOfAnExactHalfGoesDown) {
    // A 260 x 260 steel box of wall 10 and fy 1050: tension capacity exactly
    // -10500; the axis reaches below it, the lowest point inside the frame.
    MapFields f = DefaultFields();
    f.items["ComboBox1"] = 5;
    for (const auto& [name, text] : {std::pair{"Edit1", "260"}, {"Edit2", "260"}, {"Edit3", "10"}, {"Edit41", "10"},
                                     {"Edit12", "10"}, {"Edit13", "10"}, {"Edit29", "1050"}})
        f[name] = text;
    SectionInput in;
    ReadSectionInput(f, in);
    FiberTable t;
    BuildFiberTable(in, t);
    AssignFiberMaterials(f, t);
    double PMax = 0, PMin = 0;
    ComputeAxialBounds(t, PMax, PMin);
    ASSERT_EQ(PMin, -10500);
    PMCurve c;
    SolvePM(t, in.B, in.H, ReadPmSettings(f), 0, PMin, PMax, c, {});
    const PMPlotScaleSet s = PMAxisLimits(c.PX, c.MX, c.Divisions, kPMImageWidth, kPMImageHeight);
    EXPECT_LT(s.PAxisMin, -10500);
    const double lowest = *std::min_element(c.PX.begin(), c.PX.end());
    EXPECT_LE(MapYExact(lowest, s.PAxisMin, s.PAxisMax, kPMImageHeight), kPMImageHeight - 36 - 7 + 1e-9);
    EXPECT_EQ(PMForceAxis(s, kPMImageHeight).ticks.front().text, "-10000");
}
