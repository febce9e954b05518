#include <gtest/gtest.h>

#include "material/ui/material_plots.h"
#include "plot/chart_pixels.h"
#include "plot/frame.h"
#include "plot/material_chart.h"

using namespace px;
using namespace pxtest;

namespace {
const int W = kMaterialImageWidth, H = kMaterialImageHeight;

std::vector<std::string> Steps(double step, int n) {
    std::vector<std::string> out;
    char buf[32];
    for (int i = 0; i <= n; ++i) {
        std::snprintf(buf, sizeof buf, "%.2f", step * i);
        out.push_back(buf);
    }
    return out;
}
}  // namespace

TEST(MaterialChart, ConcreteLabels) {
    const MaterialChart cover = ConcreteChart(1, 27.5, 27.5, 0.002, 0.0035);
    ASSERT_EQ(cover.Strain.size(), 21u);
    EXPECT_EQ(MaterialStrainLabels(cover),
              (std::vector<std::string>{"0.00", "0.70", "1.40", "2.10", "2.80", "3.50"}));
    EXPECT_EQ(cover.StressTop, 30);
    EXPECT_EQ(cover.StressBottom, 0);
    EXPECT_EQ(MaterialStressLabels(cover), Steps(3, 10));
    EXPECT_DOUBLE_EQ(cover.Stress[20], 27.5);
    EXPECT_DOUBLE_EQ(cover.Stress[10], 27.5 * (2 * 0.875 - 0.875 * 0.875));

    const MaterialChart core2 = ConcreteChart(1, 11.9, 11.9, 0.002, 0.0035);
    EXPECT_EQ(MaterialStressLabels(core2), Steps(1.5, 10));
}

// The descending model's chart: the line from the peak down to fcu at ecu,
// the drop to 0 and a flat stretch to 1.2 ecu.
TEST(MaterialChart, DescendingModelShowsTheLineAndTheDrop) {
    const MaterialChart c = ConcreteChart(2, 30, 6, 0.002, 0.004);
    ASSERT_EQ(c.Strain.size(), 23u);
    EXPECT_NEAR(c.Stress[10], 30, 1e-12);
    EXPECT_NEAR(c.Stress[15], 18, 1e-12);
    EXPECT_NEAR(c.Stress[20], 6, 1e-12);
    EXPECT_EQ(c.Strain[21], 0.004);
    EXPECT_EQ(c.Stress[21], 0);
    EXPECT_EQ(c.Stress[22], 0);
    EXPECT_EQ(MaterialStrainLabels(c).back(), "4.80");
}

TEST(MaterialChart, SteelLabels) {
    const MaterialChart rebar = SteelChart(1, 330, 206000);
    ASSERT_EQ(rebar.Strain.size(), 51u);
    EXPECT_EQ(MaterialStrainLabels(rebar), Steps(2, 5));
    EXPECT_EQ(MaterialStressLabels(rebar), Steps(40, 10));
    EXPECT_DOUBLE_EQ(rebar.Stress[50], 330);

    const MaterialChart section = SteelChart(1, 260, 215000);
    EXPECT_EQ(section.StressTop, 300);
    EXPECT_EQ(MaterialStressLabels(section).back(), "300.00");
}

TEST(MaterialChart, ConcreteCurvePixels) {
    QImage img = BlankImage(W, H);
    DrawConcreteCurve(img, 1, 27.5, 27.5, 0.002, 0.0035);
    EXPECT_TRUE(IsColor(img, 0, 0, kBlack));
    EXPECT_TRUE(IsColor(img, 270, 246, kBlack));
    EXPECT_TRUE(IsColor(img, 221, 100, kGrey));  // frame right edge, W - 50
    EXPECT_TRUE(IsColor(img, 100, 227, kGrey));  // frame bottom edge, H - 20
    // Plateau at 27.5 on a 0..30 axis: y = 37.25 -> 37, from strain 2.0 (x 148) to 3.5 (x 221).
    for (int x : {160, 200, 219}) EXPECT_TRUE(IsColor(img, x, 37, kRed)) << x;
    // Starts at the origin, the frame's bottom-left corner.
    EXPECT_TRUE(AnyColor(img, 49, 225, 52, 227, kRed));
    // Parabola: strain 1.75 (point 10) at x = 135.5 -> 136, stress 26.46 -> y 44.
    const int y10 = MapY(27.5 * (2 * 0.875 - 0.875 * 0.875), 0, 30, H);
    EXPECT_TRUE(AnyColor(img, 135, y10 - 1, 137, y10 + 1, kRed));
    // Labels written under the frame and at the left.
    EXPECT_TRUE(AnyColor(img, 50, 232, 80, 246, kBlack));
    EXPECT_TRUE(AnyColor(img, 5, 227, 49, 240, kBlack));
}

TEST(MaterialChart, SteelCurvePixels) {
    QImage img = BlankImage(W, H);
    DrawSteelCurve(img, 1, 330, 206000);
    // Flat at 330 on 0..400: y = 56.2 -> 56, beyond the yield strain (x about 77).
    for (int x : {100, 200}) EXPECT_TRUE(IsColor(img, x, 56, kRed)) << x;
}

TEST(MaterialChart, EmptyRangeDrawsFrameOnly) {
    QImage img = BlankImage(W, H);
    DrawConcreteCurve(img, 1, 27.5, 27.5, 0.002, 0);  // no strain range
    EXPECT_FALSE(AnyColor(img, kRed));
    EXPECT_TRUE(IsColor(img, 221, 100, kGrey));

    const MaterialChart other = SteelChart(7, 330, 206000);  // unknown model: all stresses 0
    EXPECT_FALSE(MaterialChartUsable(other));
    EXPECT_EQ(MaterialStressLabels(other).back(), "0.00");
    img = BlankImage(W, H);
    DrawSteelCurve(img, 7, 330, 206000);
    EXPECT_FALSE(AnyColor(img, kRed));

    img = BlankImage(W, H);
    DrawSteelCurve(img, 1, 330, 0);  // no modulus: no stress anywhere
    EXPECT_FALSE(AnyColor(img, kRed));
}
