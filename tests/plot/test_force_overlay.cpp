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

// A one-sided P-M curve reaching M = 48000 between P = -16000 and 150000 (a
// diamond), and a both-halves one reaching -48000 too.
PMCurve Diamond(bool both) {
    PMCurve c;
    c.Divisions = 2;
    c.PX = c.PY = {-16000, 67000, 150000};
    c.MX = c.MY = {0, 48000, 0};
    if (both) {
        c.PXNeg = c.PYNeg = c.PX;
        c.MXNeg = c.MYNeg = {0, -48000, 0};
    }
    return c;
}
const PMCurve kOneSide = Diamond(false), kBoth = Diamond(true);
// A square of half-width 900 as the Mx-My curve, entries 1..4.
const MMCurve kSquare{{900, 900, -900, -900, 900}, {-900, 900, 900, -900, -900}};
const int kSquareCount = 4;
const int kOk = 4;  // ring radius of an OK marker

}  // namespace

TEST(ForceOverlay, PMMarkersAtMappedPixels) {
    // (|Mx| 24000, P 67000): x = 24000 / 48000 x 314 + 50 = 207, y = 83000 /
    // 166000 x 335 + 20 = 187.5, halves to even.
    const auto t = Table({{67000, -24000, 7}, {10000, 12000, 36000}});
    QImage img = BlankImage(PW, PH);
    DrawForcesOnPM(img, 0, t, 1, 1, 1, kPM, kOneSide);
    EXPECT_TRUE(Ring(img, 207, 188, kOk, kMarkerOk));
    EXPECT_TRUE(IsColor(img, 207, 188, kWhite));  // unfilled
    const int x2 = MapX(12000, 0, 48000, PW), y2 = MapY(10000, -16000, 150000, PH);
    EXPECT_TRUE(Ring(img, x2, y2, kOk, kMarkerOk));

    // Direction 90 places the second entry by My, outside the diamond.
    const auto m = PMForceMarkers(90, t, 1, 1, 1, kOneSide, kPM, PW, PH);
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[1].X, MapX(36000, 0, 48000, PW));
    EXPECT_EQ(m[1].Y, y2);
    EXPECT_EQ(m[0].Verdict, MarkerVerdict::Ok);
    EXPECT_EQ(m[1].Verdict, MarkerVerdict::Ng);
}

TEST(ForceOverlay, FactorsScaleTheForces) {
    const auto t = Table({{20000, 6000, 0}});
    QImage img = BlankImage(PW, PH);
    DrawForcesOnPM(img, 0, t, 2.0, 2.0, 2.0, kPM, kOneSide);
    EXPECT_TRUE(Ring(img, MapX(12000, 0, 48000, PW), MapY(40000, -16000, 150000, PH), kOk, kMarkerOk));
    EXPECT_FALSE(AnyColor(img, MapX(6000, 0, 48000, PW) - 3, MapY(20000, -16000, 150000, PH) - 3,
                          MapX(6000, 0, 48000, PW) + 3, MapY(20000, -16000, 150000, PH) + 3, kMarkerOk));
}

TEST(ForceOverlay, MomentSignOnPMAndMM) {
    const auto minus = Table({{500, -200, 100}});
    const auto plus = Table({{500, 200, 100}});
    QImage a = BlankImage(PW, PH), b = BlankImage(PW, PH);
    DrawForcesOnPM(a, 0, minus, 1, 1, 1, kPM, kOneSide);
    DrawForcesOnPM(b, 0, plus, 1, 1, 1, kPM, kOneSide);
    EXPECT_EQ(a, b);

    const auto mMinus = MMForceMarkers(minus, 1, 1, 1, kSquare, kSquareCount, kMM, 0, 500, MW, MH);
    const auto mPlus = MMForceMarkers(plus, 1, 1, 1, kSquare, kSquareCount, kMM, 0, 500, MW, MH);
    ASSERT_EQ(mMinus.size(), 1u);
    ASSERT_EQ(mPlus.size(), 1u);
    EXPECT_EQ(mMinus[0].X, 177);  // 800 / 2000 x 317 + 50 = 176.8
    EXPECT_EQ(mPlus[0].X, 240);   // 1200 / 2000 x 317 + 50 = 240.2
}

TEST(ForceOverlay, ACurveWithBothHalvesKeepsEachMomentOnItsSide) {
    // A scale from -48000 to 48000: the X chart shows -Mx, the Y chart My.
    const PMPlotScaleSet both{48000, 150000, -48000, -16000};
    const auto t = Table({{67000, -24000, -12000}});
    for (double dir : {0.0, 90.0}) {
        const auto m = PMForceMarkers(dir, t, 1, 1, 1, kBoth, both, PW, PH);
        ASSERT_EQ(m.size(), 1u);
        EXPECT_EQ(m[0].X, MapX(dir == 0 ? 24000 : -12000, -48000, 48000, PW)) << dir;
        EXPECT_EQ(m[0].Verdict, MarkerVerdict::Ok) << dir;
        EXPECT_EQ(PMForceMarkers(dir, t, 1, 1, 1, kOneSide, both, PW, PH)[0].X,
                  MapX(dir == 0 ? 24000 : 12000, -48000, 48000, PW));
    }
    // On the negative side beyond the negative half: NG.
    EXPECT_EQ(PMForceMarkers(90, Table({{0, 0, -47000}}), 1, 1, 1, kBoth, both, PW, PH)[0].Verdict,
              MarkerVerdict::Ng);
}

TEST(ForceOverlay, MMBandJudgesForcesAtTheLevel) {
    const auto t = Table({{1499, 200, 0}, {1500, -200, 0}, {500, 0, 500}, {501, 0, -950}});
    auto m = MMForceMarkers(t, 1, 1, 1, kSquare, kSquareCount, kMM, 1000, 500, MW, MH);
    ASSERT_EQ(m.size(), 4u);
    EXPECT_TRUE(m[0].Highlighted);
    EXPECT_FALSE(m[1].Highlighted);
    EXPECT_FALSE(m[2].Highlighted);
    EXPECT_TRUE(m[3].Highlighted);
    EXPECT_EQ(m[0].Verdict, MarkerVerdict::Ok);
    EXPECT_EQ(m[1].Verdict, MarkerVerdict::OtherLevel);
    EXPECT_EQ(m[3].Verdict, MarkerVerdict::Ng);  // My -950 beyond the square's -900

    QImage img = BlankImage(MW, MH);
    DrawForcesOnMM(img, t, 1, 1, 1, kMM, 1000, 500, kSquare, kSquareCount);
    EXPECT_TRUE(Ring(img, m[0].X, m[0].Y, kOk, kMarkerOk));
    EXPECT_TRUE(IsColor(img, m[1].X, m[1].Y, kMarkerOther));
    EXPECT_LT(kMarkerOther.lightness(), 128);  // dark on white, not near-white
    EXPECT_FALSE(AnyColor(img, m[1].X - 6, m[1].Y - 6, m[1].X + 6, m[1].Y + 6, kMarkerOk));
    EXPECT_TRUE(IsColor(img, m[3].X, m[3].Y, kMarkerNg));

    // r = 0 judges nothing, not even an exact match.
    m = MMForceMarkers(Table({{1000, 0, 0}}), 1, 1, 1, kSquare, kSquareCount, kMM, 1000, 0, MW, MH);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_FALSE(m[0].Highlighted);
    img = BlankImage(MW, MH);
    DrawForcesOnMM(img, Table({{1000, 0, 0}}), 1, 1, 1, kMM, 1000, 0, kSquare, kSquareCount);
    EXPECT_FALSE(AnyColor(img, kFrameLeft, kFrameTop, MW - 1, MH - 1, kMarkerOk));
    EXPECT_TRUE(AnyColor(img, kFrameLeft, kFrameTop, MW - 1, MH - 1, kMarkerOther));
}

TEST(ForceOverlay, OffTheFrameOrUnscaledDrawsNoMarker) {
    const QImage blankPM = BlankImage(PW, PH), blankMM = BlankImage(MW, MH);
    QImage img = blankPM;
    // Far beyond the image, even beyond the pixel integer range, and just
    // beyond the frame: no marker over the labels; the legend counts them.
    DrawForcesOnPM(img, 0, Table({{0, 1e7, 0}, {1e14, 10, 0}, {0, -1e12, 0}, {0, 52000, 0}}), 1, 1, 1, kPM, kOneSide);
    EXPECT_FALSE(AnyColor(img, 0, kFrameTop, PW - 1, PH - 1, kMarkerNg));
    EXPECT_TRUE(AnyColor(img, 0, 0, PW - 1, kFrameTop - 1, kBlack));  // "4 off chart"
    // Just inside the frame's right edge (x = 47700 / 48000 x 314 + 50 =
    // 362.0): the cross is cut at the frame, not drawn over the margin.
    QImage edge = blankPM;
    DrawForcesOnPM(edge, 0, Table({{-15000, 47700, 0}, {149000, 47700, 0}}), 1, 1, 1, kPM, kOneSide);
    EXPECT_TRUE(AnyColor(edge, PW - 30, kFrameTop, PW - 24, PH - 1, kMarkerNg));
    EXPECT_FALSE(AnyColor(edge, PW - 23, kFrameTop, PW - 1, PH - 1, kMarkerNg));
    // Just beyond the frame's right edge (x = 50000 / 48000 x 314 + 50 = 377)
    // but on the image: not drawn over the margin either.
    DrawForcesOnPM(img, 0, Table({{0, 50000, 0}}), 1, 1, 1, kPM, kOneSide);
    EXPECT_FALSE(AnyColor(img, PW - 23, kFrameTop, PW - 1, PH - 1, kMarkerNg));
    EXPECT_EQ(CountMarkers(PMForceMarkers(0, Table({{0, 1e7, 0}, {0, 52000, 0}, {0, 100, 0}}), 1, 1, 1, kOneSide,
                                          kPM, PW, PH)).OffFrame,
              2);

    // No scale yet (all limits 0), or no combinations: nothing drawn.
    img = blankMM;
    DrawForcesOnMM(img, Table({{0, 10, 10}}), 1, 1, 1, MMPlotScale{}, 0, 500, kSquare, kSquareCount);
    DrawForcesOnMM(img, LoadCombinationTable{}, 1, 1, 1, kMM, 0, 500, kSquare, kSquareCount);
    EXPECT_EQ(img, blankMM);
    img = blankPM;
    DrawForcesOnPM(img, 90, Table({{0, 10, 10}}), 1, 1, 1, PMPlotScaleSet{}, kOneSide);
    EXPECT_EQ(img, blankPM);

    // A second overlay clears the first one's legend.
    img = blankPM;
    DrawForcesOnPM(img, 0, Table({{0, 100, 0}, {0, 200, 0}, {0, 300, 0}}), 1, 1, 1, kPM, kOneSide);
    QImage once = blankPM;
    DrawForcesOnPM(once, 0, Table({{0, 100, 0}}), 1, 1, 1, kPM, kOneSide);
    DrawForcesOnPM(img, 0, Table({{0, 100, 0}}), 1, 1, 1, kPM, kOneSide);
    EXPECT_EQ(img.copy(0, 0, PW, kFrameTop - 1), once.copy(0, 0, PW, kFrameTop - 1));

    // An amplified force that overflows raises the overflow message.
    img = blankMM;
    EXPECT_THROW(DrawForcesOnMM(img, Table({{1e300, 0, 0}}), 1e10, 1, 1, kMM, 0, 500, kSquare, kSquareCount),
                 AppError);
}
