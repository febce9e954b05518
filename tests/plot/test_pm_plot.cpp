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
    const PMCurve c = DefaultColumnCurve();
    const PMPlotScaleSet s = PMAxisLimits(c.PX, c.MX, c.Divisions);
    EXPECT_EQ(s.PAxisMin, -16000);
    EXPECT_EQ(s.PAxisMax, 150000);
    EXPECT_EQ(s.MAxisMin, 0);
    EXPECT_EQ(s.MAxisMax, 48000);
    EXPECT_EQ(PMMomentLabels(s),
              (std::vector<std::string>{"0", "9600", "19200", "28800", "38400", "48000"}));
    const auto f = PMForceLabels(s);
    ASSERT_EQ(f.size(), 11u);
    EXPECT_EQ(f[0], "-16000");
    EXPECT_EQ(f[1], "600");
    EXPECT_EQ(f[2], "17200");
    EXPECT_EQ(f[10], "150000");
    EXPECT_EQ(ZeroForceLineY(s, kPMImageHeight), 337);
}

TEST(PMPlot, FrameGridPixels) {
    // Grid lines: nearest(i x 57.6 + 50) and nearest(i x 35.1 + 20), halves to even.
    EXPECT_EQ(GridX(1, 388), 108);
    EXPECT_EQ(GridX(5, 388), 338);
    EXPECT_EQ(GridY(5, 391), 196);   // 195.5
    EXPECT_EQ(LabelYAt(5, 391), 196);
    EXPECT_EQ(LabelYAt(0, 391), 371);
    EXPECT_EQ(LabelYAt(10, 391), 20);
}

TEST(PMPlot, ReadoutsAtFrameCorners) {
    PMPlotScaleSet s{48000, 150000, 0, -16000};
    const int W = kPMImageWidth, H = kPMImageHeight;
    EXPECT_EQ(Label68Text(ReadPM(s, 50, 20, W, H)), "P = 150000 , MX = 0");
    EXPECT_EQ(Label69Text(ReadPM(s, W - 50, H - 20, W, H)), "P = -16000 , MY = 48000");
    EXPECT_EQ(Label74Text(ReadPM(s, 194, 337, W, H)), "P = 80 , M = 24000");
    // Before any plot every limit is 0 and the readout shows 0.
    EXPECT_EQ(Label68Text(ReadPM(PMPlotScaleSet{}, 3, 390, W, H)), "P = 0 , MX = 0");
}

TEST(PMPlot, DrawsDefaultColumnChart) {
    QImage img = BlankImage(kPMImageWidth, kPMImageHeight);
    PMPlotScale scale;
    scale.Y = {1, 2, 3, 4};
    DrawPMCurve(img, DefaultColumnCurve(), 0, scale);
    EXPECT_EQ(scale.X.PAxisMin, -16000);
    EXPECT_EQ(scale.X.MAxisMax, 48000);
    EXPECT_EQ(scale.Y.MAxisMax, 1);  // the other direction is left alone
    DrawPMCurve(img, DefaultColumnCurve(), 90, scale);
    EXPECT_EQ(scale.Y.MAxisMax, 24000);  // half the X moments
    EXPECT_EQ(scale.X.MAxisMax, 48000);
    DrawPMCurve(img, DefaultColumnCurve(), 0, scale);

    EXPECT_TRUE(IsColor(img, 0, 0, kBlack));
    EXPECT_TRUE(IsColor(img, 387, 390, kBlack));
    EXPECT_TRUE(IsColor(img, 1, 1, kWhite));
    EXPECT_TRUE(IsColor(img, 338, 100, kGrey));  // frame right edge
    EXPECT_TRUE(IsColor(img, 300, 371, kGrey));  // frame bottom edge
    EXPECT_TRUE(IsColor(img, 108, 30, kGrey));   // second moment grid line
    // Blue zero-force line across the frame at y = 337.
    for (int x : {52, 200, 336}) EXPECT_TRUE(IsColor(img, x, 337, kBlue)) << x;
    // First point (0, -16190.625) maps to y = 371.4 and is drawn at (50, 371).
    EXPECT_TRUE(AnyColor(img, 53, 370, 54, 372, kRed));
    // Last point (0, 149290.625): y = 20.9 -> 21, on the left edge.
    EXPECT_TRUE(AnyColor(img, 53, 20, 54, 22, kRed));
    // Labels are written: bottom-left force label and the first moment label.
    EXPECT_TRUE(AnyColor(img, 5, 371, 49, 386, kBlack));
    EXPECT_TRUE(AnyColor(img, 50, 376, 80, 390, kBlack));
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
    EXPECT_EQ(scale.X.MAxisMax, 48000);
    EXPECT_EQ(scale.X.MAxisMin, -24000);  // the negative half's largest, -23670
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
    EXPECT_TRUE(IsColor(img, 200, 337, kBlue));
    EXPECT_TRUE(IsColor(img, 338, 100, kGrey));

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
    DrawAxialForceLine(img, scale.forAngle(90), 40000);  // 195.5 -> 196
    EXPECT_TRUE(IsColor(img, 50, 196, kPurple));
    EXPECT_TRUE(IsColor(img, 338, 196, kPurple));
    const int xRow = MapY(40000, -16000, 150000, 391);
    EXPECT_NE(xRow, 196);
    EXPECT_FALSE(AnyColor(img, 100, xRow, 100, xRow, kPurple));

    img = BlankImage(kPMImageWidth, kPMImageHeight);
    DrawAxialForceLine(img, scale.forAngle(0), 0);
    EXPECT_TRUE(IsColor(img, 200, 337, kPurple));

    // Far outside the chart, or with no scale yet: nothing, and no fault.
    img = BlankImage(kPMImageWidth, kPMImageHeight);
    DrawAxialForceLine(img, scale.X, 1e15);
    DrawAxialForceLine(img, PMPlotScaleSet{}, 0);
    EXPECT_FALSE(AnyColor(img, kPurple));
}

TEST(PMPlot, AxisMinimumOfAnExactHalfGoesDown) {
    // A 260 x 260 steel box of wall 10 and fy 1050: tension capacity exactly
    // -10500, so the axis must reach -11000 for the lowest point to lie
    // inside the frame.
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
    const PMPlotScaleSet s = PMAxisLimits(c.PX, c.MX, c.Divisions);
    EXPECT_EQ(s.PAxisMin, -11000);
    EXPECT_EQ(PMForceLabels(s).front(), "-11000");
    EXPECT_GE(*std::min_element(c.PX.begin(), c.PX.end()), s.PAxisMin);
}
