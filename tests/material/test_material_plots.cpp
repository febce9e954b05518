#include <gtest/gtest.h>

#include <cmath>

#include "material/ui/material_plots.h"
#include "plot/chart_pixels.h"
#include "plot/frame.h"
#include "plot/material_chart.h"

using namespace px;
using namespace pxtest;

namespace {
const int W = kMaterialImageWidth, H = kMaterialImageHeight;

std::vector<std::string> Texts(const ChartAxis& a) {
    std::vector<std::string> out;
    for (const AxisTick& t : a.ticks) out.push_back(t.text);
    return out;
}

// The frame spans x 50..247 and y 20..211; limits put the curve's ends 3
// pixels inside: the range grows by range x 3 / 191 (strain) or / 185
// (stress) at both ends.
double StrainPad(double range) { return range * 3 / 191; }
double StressPad(double range) { return range * 3 / 185; }
}  // namespace

TEST(MaterialChart, ConcreteLabels) {
    const MaterialChart cover = ConcreteChart(1, 27.5, 27.5, 0.002, 0.0035, W, H);
    ASSERT_EQ(cover.Strain.size(), 21u);
    EXPECT_DOUBLE_EQ(cover.StrainMax, 0.0035 + StrainPad(0.0035));
    EXPECT_DOUBLE_EQ(cover.StressTop, 27.5 + StressPad(27.5));
    EXPECT_DOUBLE_EQ(cover.StressBottom, -StressPad(27.5));
    // At most 3 strain intervals (197 / 56), 7 stress ones (191 / 26).
    EXPECT_EQ(Texts(MaterialStrainAxis(cover, W)), (std::vector<std::string>{"0", "1", "2", "3"}));
    EXPECT_EQ(Texts(MaterialStressAxis(cover, H)), (std::vector<std::string>{"0", "5", "10", "15", "20", "25"}));
    EXPECT_EQ(MaterialStrainAxis(cover, W).title, "strain (1/1000)");
    EXPECT_EQ(MaterialStressAxis(cover, H).title, "stress (N/mm2)");
    EXPECT_DOUBLE_EQ(cover.Stress[20], 27.5);
    EXPECT_DOUBLE_EQ(cover.Stress[10], 27.5 * (2 * 0.875 - 0.875 * 0.875));

    const MaterialChart core2 = ConcreteChart(1, 11.9, 11.9, 0.002, 0.0035, W, H);
    EXPECT_EQ(Texts(MaterialStressAxis(core2, H)), (std::vector<std::string>{"0", "2", "4", "6", "8", "10", "12"}));
}

// The descending model's chart: the line from the peak down to fcu at ecu,
// the drop to 0 and a flat stretch to 1.2 ecu.
TEST(MaterialChart, DescendingModelShowsTheLineAndTheDrop) {
    const MaterialChart c = ConcreteChart(2, 30, 6, 0.002, 0.004, W, H);
    ASSERT_EQ(c.Strain.size(), 23u);
    EXPECT_NEAR(c.Stress[10], 30, 1e-12);
    EXPECT_NEAR(c.Stress[15], 18, 1e-12);
    EXPECT_NEAR(c.Stress[20], 6, 1e-12);
    EXPECT_EQ(c.Strain[21], 0.004);
    EXPECT_EQ(c.Stress[21], 0);
    EXPECT_EQ(c.Stress[22], 0);
    EXPECT_EQ(Texts(MaterialStrainAxis(c, W)), (std::vector<std::string>{"0", "2", "4"}));
    EXPECT_DOUBLE_EQ(c.StrainMax, 0.0048 + StrainPad(0.0048));
}

TEST(MaterialChart, SteelLabels) {
    const MaterialChart rebar = SteelChart(1, 330, 206000, W, H);
    ASSERT_EQ(rebar.Strain.size(), 51u);
    EXPECT_EQ(Texts(MaterialStrainAxis(rebar, W)), (std::vector<std::string>{"0", "5", "10"}));
    EXPECT_EQ(Texts(MaterialStressAxis(rebar, H)),
              (std::vector<std::string>{"0", "50", "100", "150", "200", "250", "300"}));
    EXPECT_DOUBLE_EQ(rebar.Stress[50], 330);

    const MaterialChart section = SteelChart(1, 260, 215000, W, H);
    EXPECT_DOUBLE_EQ(section.StressTop, 260 + StressPad(260));
    EXPECT_EQ(Texts(MaterialStressAxis(section, H)).back(), "250");
}

TEST(MaterialChart, ConcreteCurvePixels) {
    QImage img = BlankImage(W, H);
    DrawConcreteCurve(img, 1, 27.5, 27.5, 0.002, 0.0035);
    EXPECT_TRUE(IsColor(img, 0, 0, kBlack));
    EXPECT_TRUE(IsColor(img, 270, 246, kBlack));
    EXPECT_TRUE(IsColor(img, 247, 100, kGrey));  // frame right edge, W - 24
    EXPECT_TRUE(IsColor(img, 100, 211, kGrey));  // frame bottom edge, H - 36
    const double e0 = -StrainPad(0.0035), e1 = 0.0035 + StrainPad(0.0035);
    const double s0 = -StressPad(27.5), s1 = 27.5 + StressPad(27.5);
    auto x = [&](double e) { return static_cast<int>(std::nearbyint((e - e0) / (e1 - e0) * 197 + 50)); };
    auto y = [&](double s) { return static_cast<int>(std::nearbyint((s1 - s) / (s1 - s0) * 191 + 20)); };
    // The plateau at 27.5 lies 3 pixels under the frame's top, from strain
    // 2.0 to 3.5, which ends 3 pixels left of the frame's right edge.
    EXPECT_EQ(y(27.5), 23);
    EXPECT_EQ(x(0.0035), 244);
    for (int px : {x(0.0022), x(0.003), x(0.0034)}) EXPECT_TRUE(IsColor(img, px, 23, kRed)) << px;
    // Starts at the origin, 3 pixels inside the frame's bottom-left corner.
    EXPECT_TRUE(AnyColor(img, 52, 207, 54, 209, kRed));
    // Parabola: strain 1.75 (point 10).
    const int y10 = y(27.5 * (2 * 0.875 - 0.875 * 0.875));
    EXPECT_TRUE(AnyColor(img, x(0.00175) - 1, y10 - 1, x(0.00175) + 1, y10 + 1, kRed));
    // Grid lines on round thousandths of strain: the one of 2/1000 is grey
    // below the curve's top.
    for (const AxisTick& t : MaterialStrainAxis(ConcreteChart(1, 27.5, 27.5, 0.002, 0.0035, W, H), W).ticks) {
        EXPECT_GE(t.value, e0);
        EXPECT_LE(t.value, e1);
    }
    EXPECT_TRUE(IsColor(img, x(0.002), 150, kGrey));
    // Labels under the frame and at the left; titles above and below.
    EXPECT_TRUE(AnyColor(img, 45, 214, 80, 226, kBlack));
    EXPECT_TRUE(AnyColor(img, 5, 195, 49, 215, kBlack));
    EXPECT_TRUE(AnyColor(img, 4, 3, 100, 16, kBlack));
    EXPECT_TRUE(AnyColor(img, 110, 231, 190, 244, kBlack));
}

TEST(MaterialChart, SteelCurvePixels) {
    QImage img = BlankImage(W, H);
    DrawSteelCurve(img, 1, 330, 206000);
    // Flat at 330, the top point 3 pixels under the frame's top, beyond the
    // yield strain.
    for (int x : {100, 200}) EXPECT_TRUE(IsColor(img, x, 23, kRed)) << x;
}

TEST(MaterialChart, EmptyRangeDrawsFrameOnly) {
    QImage img = BlankImage(W, H);
    DrawConcreteCurve(img, 1, 27.5, 27.5, 0.002, 0);  // no strain range
    EXPECT_FALSE(AnyColor(img, kRed));
    EXPECT_TRUE(IsColor(img, 247, 100, kGrey));

    const MaterialChart other = SteelChart(7, 330, 206000, W, H);  // unknown model: all stresses 0
    EXPECT_FALSE(MaterialChartUsable(other));
    EXPECT_TRUE(MaterialStressAxis(other, H).ticks.empty());
    img = BlankImage(W, H);
    DrawSteelCurve(img, 7, 330, 206000);
    EXPECT_FALSE(AnyColor(img, kRed));

    img = BlankImage(W, H);
    DrawSteelCurve(img, 1, 330, 0);  // no modulus: no stress anywhere
    EXPECT_FALSE(AnyColor(img, kRed));
}
