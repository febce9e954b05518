#include <gtest/gtest.h>

#include "input/error.h"
#include "loads/ui/force_overlay.h"
#include "plot/chart_pixels.h"
#include "plot/frame.h"
#include "plot/mm_plot.h"
#include "plot/overlay.h"
#include "plot/pm_plot.h"

using namespace px;
using namespace pxtest;

namespace {

LoadCombinationTable Table(std::initializer_list<LoadCombination> items) {
    LoadCombinationTable t;
    for (const auto& c : items) t.Items.push_back(c);
    t.Count = static_cast<int>(items.size());
    return t;
}

const PMPlotScaleSet kPM{48000, 150000, 0, -16000};  // default column, X direction
const MMPlotScale kMM{1000, -1000, 1000, -1000};
const int PW = kPMImageWidth, PH = kPMImageHeight, MW = kMMImageWidth, MH = kMMImageHeight;

bool Ring(const QImage& img, int x, int y, int r, const QColor& c) {
    return IsColor(img, x - r, y, c) && IsColor(img, x, y - r, c) && IsColor(img, x, y + r, c);
}

}  // namespace

TEST(ForceOverlay, PMMarkersAtMappedPixels) {
    // (|Mx| 24000, P 0) maps to (194, 337).
    const auto t = Table({{0, -24000, 7}, {10000, 12000, 36000}});
    QImage img = BlankImage(PW, PH);
    DrawForcesOnPM(img, 0, t, 1, 1, 1, kPM);
    EXPECT_TRUE(Ring(img, 194, 337, 2, kBlue));
    EXPECT_TRUE(IsColor(img, 194, 337, kWhite));  // unfilled
    const int x2 = MapX(12000, 0, 48000, PW), y2 = MapY(10000, -16000, 150000, PH);
    EXPECT_TRUE(Ring(img, x2, y2, 2, kBlue));

    // Direction 90 places the second entry by My.
    const auto m = PMForceMarkers(90, t, 1, 1, 1, kPM, PW, PH);
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[1].X, MapX(36000, 0, 48000, PW));
    EXPECT_EQ(m[1].Y, y2);
}

TEST(ForceOverlay, FactorsScaleTheForces) {
    const auto t = Table({{10000, 12000, 0}});
    QImage img = BlankImage(PW, PH);
    DrawForcesOnPM(img, 0, t, 2.0, 2.0, 2.0, kPM);
    EXPECT_TRUE(Ring(img, MapX(24000, 0, 48000, PW), MapY(20000, -16000, 150000, PH), 2, kBlue));
    EXPECT_FALSE(AnyColor(img, MapX(12000, 0, 48000, PW) - 3, MapY(10000, -16000, 150000, PH) - 3,
                          MapX(12000, 0, 48000, PW) + 3, MapY(10000, -16000, 150000, PH) + 3, kBlue));
}

TEST(ForceOverlay, MomentSignOnPMAndMM) {
    const auto minus = Table({{500, -200, 100}});
    const auto plus = Table({{500, 200, 100}});
    QImage a = BlankImage(PW, PH), b = BlankImage(PW, PH);
    DrawForcesOnPM(a, 0, minus, 1, 1, 1, kPM);
    DrawForcesOnPM(b, 0, plus, 1, 1, 1, kPM);
    EXPECT_EQ(a, b);

    const auto mMinus = MMForceMarkers(minus, 1, 1, 1, kMM, 0, 500, MW, MH);
    const auto mPlus = MMForceMarkers(plus, 1, 1, 1, kMM, 0, 500, MW, MH);
    ASSERT_EQ(mMinus.size(), 1u);
    ASSERT_EQ(mPlus.size(), 1u);
    EXPECT_EQ(mMinus[0].X, 166);  // 166.4
    EXPECT_EQ(mPlus[0].X, 225);   // 224.6
}

TEST(ForceOverlay, ACurveWithBothHalvesKeepsEachMomentOnItsSide) {
    // A scale from -48000 to 48000: the X chart shows -Mx, the Y chart My.
    const PMPlotScaleSet both{48000, 150000, -48000, -16000};
    const auto t = Table({{0, -24000, -12000}});
    for (double dir : {0.0, 90.0}) {
        const auto m = PMForceMarkers(dir, t, 1, 1, 1, both, PW, PH, true);
        ASSERT_EQ(m.size(), 1u);
        EXPECT_EQ(m[0].X, MapX(dir == 0 ? 24000 : -12000, -48000, 48000, PW)) << dir;
        EXPECT_EQ(PMForceMarkers(dir, t, 1, 1, 1, both, PW, PH)[0].X, MapX(dir == 0 ? 24000 : 12000, -48000, 48000, PW));
    }
}

TEST(ForceOverlay, MMBandHighlightsStrictlyInside) {
    const auto t = Table({{1499, 200, 0}, {1500, -200, 0}, {500, 0, 500}, {501, 0, -500}});
    auto m = MMForceMarkers(t, 1, 1, 1, kMM, 1000, 500, MW, MH);
    ASSERT_EQ(m.size(), 4u);
    EXPECT_TRUE(m[0].Highlighted);
    EXPECT_FALSE(m[1].Highlighted);
    EXPECT_FALSE(m[2].Highlighted);
    EXPECT_TRUE(m[3].Highlighted);

    QImage img = BlankImage(MW, MH);
    DrawForcesOnMM(img, t, 1, 1, 1, kMM, 1000, 500);
    EXPECT_TRUE(Ring(img, m[0].X, m[0].Y, 4, kBlue));
    EXPECT_TRUE(Ring(img, m[1].X, m[1].Y, 2, kFaint));
    EXPECT_FALSE(AnyColor(img, m[1].X - 6, m[1].Y - 6, m[1].X + 6, m[1].Y + 6, kBlue));

    // r = 0 highlights nothing, not even an exact match.
    m = MMForceMarkers(Table({{1000, 0, 0}}), 1, 1, 1, kMM, 1000, 0, MW, MH);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_FALSE(m[0].Highlighted);
    img = BlankImage(MW, MH);
    DrawForcesOnMM(img, Table({{1000, 0, 0}}), 1, 1, 1, kMM, 1000, 0);
    EXPECT_FALSE(AnyColor(img, kBlue));
    EXPECT_TRUE(AnyColor(img, kFaint));
}

TEST(ForceOverlay, OutOfImageOrUnscaledDrawsNothing) {
    const QImage blankPM = BlankImage(PW, PH), blankMM = BlankImage(MW, MH);
    QImage img = blankPM;
    // Far beyond the image, even beyond the pixel integer range.
    DrawForcesOnPM(img, 0, Table({{0, 1e7, 0}, {1e14, 10, 0}, {0, -1e12, 0}}), 1, 1, 1, kPM);
    EXPECT_EQ(img, blankPM);
    // Beyond the frame but inside the image: still drawn.
    DrawForcesOnPM(img, 0, Table({{0, 52000, 0}}), 1, 1, 1, kPM);
    EXPECT_TRUE(AnyColor(img, 355, 330, 370, 345, kBlue));

    img = blankMM;
    DrawForcesOnMM(img, Table({{0, 1e9, -1e9}}), 1, 1, 1, kMM, 0, 500);
    EXPECT_EQ(img, blankMM);
    // No scale yet (all limits 0), or no combinations: nothing drawn.
    DrawForcesOnMM(img, Table({{0, 10, 10}}), 1, 1, 1, MMPlotScale{}, 0, 500);
    DrawForcesOnMM(img, LoadCombinationTable{}, 1, 1, 1, kMM, 0, 500);
    EXPECT_EQ(img, blankMM);
    img = blankPM;
    DrawForcesOnPM(img, 90, Table({{0, 10, 10}}), 1, 1, 1, PMPlotScaleSet{});
    EXPECT_EQ(img, blankPM);

    // An amplified force that overflows raises the overflow message.
    img = blankMM;
    EXPECT_THROW(DrawForcesOnMM(img, Table({{1e300, 0, 0}}), 1e10, 1, 1, kMM, 0, 500), AppError);
}
