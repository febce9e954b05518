#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/pm_solver.h"
#include "default_column.h"
#include "input/error.h"

namespace {

using namespace px;
using pxtest::AddFiber;

constexpr SolveOptions kReference{SolverPass::Reference, 1};

struct DefaultCurves {
    pxtest::Column col = pxtest::MeshedColumn();
    double PMax = 0, PMin = 0;
    PMCurve curve;
    DefaultCurves() {
        ComputeAxialBounds(col.t, PMax, PMin);
        const PmSettings s;
        SolvePM(col.t, col.in.B, col.in.H, s, 0, PMin, PMax, curve, {}, kReference);
        SolvePM(col.t, col.in.B, col.in.H, s, 90, PMin, PMax, curve, {}, kReference);
    }
};

const DefaultCurves& Defaults() {
    static const DefaultCurves d;
    return d;
}

TEST(SolvePM, DefaultColumnShapeAndBounds) {
    const DefaultCurves& d = Defaults();
    const PMCurve& c = d.curve;
    ASSERT_EQ(c.Divisions, 10);
    ASSERT_EQ(c.PX.size(), 11u);
    EXPECT_EQ(c.PX[0], -16190.625);
    EXPECT_EQ(c.PY[0], -16190.625);
    EXPECT_EQ(c.PX[10], 149290.625);
    EXPECT_EQ(c.MX[0], 0);
    EXPECT_EQ(c.MY[10], 0);
    for (int i = 0; i <= 10; ++i) {
        EXPECT_GE(c.PX[i], d.PMin);
        EXPECT_LE(c.PX[i], d.PMax);
        EXPECT_GE(c.PY[i], d.PMin);
        EXPECT_LE(c.PY[i], d.PMax);
        EXPECT_GE(c.MX[i], 0);
        EXPECT_GE(c.MY[i], 0);
        if (i > 0) EXPECT_GT(c.PX[i], c.PX[i - 1]);
    }
    // Levels 1..8 are reached closely; the step is 16548.125.
    for (int o = 1; o <= 8; ++o) EXPECT_NEAR(c.PX[o], -16190.625 + 16548.125 * o, 0.01) << o;
}

TEST(SolvePM, LargestXMomentAtTheSixthPoint) {
    const PMCurve& c = Defaults().curve;
    const auto top = std::max_element(c.MX.begin(), c.MX.end()) - c.MX.begin();
    EXPECT_EQ(top, 5);
    EXPECT_NEAR(c.MX[5], 47339.6, 0.05);
    EXPECT_NEAR(c.PX[5], 66550, 0.01);
}

TEST(SolvePM, XAndYCurvesOfTheSymmetricColumnAgree) {
    const PMCurve& c = Defaults().curve;
    for (int i = 1; i <= 9; ++i) {
        EXPECT_NEAR(c.PY[i], c.PX[i], 0.001 * std::fabs(c.PX[i])) << i;
        EXPECT_NEAR(c.MY[i], c.MX[i], 0.001 * c.MX[i]) << i;
    }
}

TEST(SolvePM, TopLevelOutOfReachStopsAtGridIndexZero) {
    const DefaultCurves& d = Defaults();
    const double target = d.PMin + ((d.PMax - d.PMin) / 10) * 9;
    EXPECT_EQ(target, 132742.5);
    EXPECT_NEAR(d.curve.PX[9], 129616.6, 0.05);
    EXPECT_LT(d.curve.PX[9], target - 3000);

    // Every pass chooses index 0 and the window slides one grid step below
    // the old one: the stored point is grid index 0 of the fifth pass.
    const PmSettings s;
    AxisWindowResult win = AxisWindow(0, 2200, 2200, s.factor);
    double lo = win.cmin, hi = win.cmax;
    for (int pass = 1; pass < s.K; ++pass) NarrowWindow(lo, hi, 0, s.N);
    EXPECT_LT(lo, win.cmin);
    double dmin, dmax;
    CornerDistances(0, lo, 2200, 2200, dmin, dmax);
    FiberTable t = d.col.t;
    const SectionForceResult r =
        SectionForces(t, 0, lo, TrialCurvature(dmin, dmax, s.strainLimit, false));
    EXPECT_EQ(d.curve.PX[9], r.P);
    EXPECT_EQ(d.curve.MX[9], std::fabs(r.Mx));
}

TEST(SolvePM, OneDivisionGivesOnlyTheEndPointsAndEvaluatesNothing) {
    pxtest::Column col = pxtest::MeshedColumn();
    for (int i = 1; i <= col.t.NFib; ++i) col.t[i].Strain = col.t[i].Stress = 7.5;
    PmSettings s;
    s.nP = 1;
    for (SolveOptions opt : {kReference, SolveOptions{}}) {
        PMCurve c;
        std::vector<int> calls;
        SolvePM(col.t, 2200, 2200, s, 0, -10, 20, c, [&](int v) { calls.push_back(v); }, opt);
        EXPECT_EQ(c.Divisions, 1);
        EXPECT_EQ(c.PX, (std::vector<double>{-10, 20}));
        EXPECT_EQ(c.MX, (std::vector<double>{0, 0}));
        EXPECT_EQ(c.PY, (std::vector<double>{-10, 20}));
        EXPECT_EQ(c.MY, (std::vector<double>{0, 0}));
        EXPECT_EQ(calls, std::vector<int>{0});
    }
    for (int i = 1; i <= col.t.NFib; ++i) ASSERT_EQ(col.t[i].Strain, 7.5);
}

TEST(SolvePM, PlainConcreteCurveStartsAtTheOrigin) {
    FiberTable t;
    for (int a = 0; a < 4; ++a)
        for (int b = 0; b < 4; ++b) AddFiber(t, -300 + 200 * a, -300 + 200 * b, 40000, MatCoreConcrete1);
    double PMax, PMin;
    ComputeAxialBounds(t, PMax, PMin);
    EXPECT_EQ(PMin, 0);
    PMCurve c;
    SolvePM(t, 800, 800, PmSettings{}, 0, PMin, PMax, c, {}, kReference);
    EXPECT_EQ(c.PX[0], 0);
    EXPECT_EQ(c.MX[0], 0);
    for (int i = 1; i < 10; ++i) {
        EXPECT_GT(c.PX[i], 0);
        EXPECT_GT(c.MX[i], 0);
    }
}

TEST(SolvePM, OtherAnglesComputeButStoreNoInteriorPoint) {
    pxtest::Column col = pxtest::MeshedColumn();
    PmSettings s;
    s.nP = 4;
    s.K = 2;
    s.N = 20;
    PMCurve c;
    c.PX = c.MX = c.PY = c.MY = {9, 9, 9};  // shorter than needed: grows with zeros
    SolvePM(col.t, 2200, 2200, s, 45, -1, 2, c, {}, kReference);
    EXPECT_EQ(c.PX, (std::vector<double>{-1, 9, 9, 0, 2}));
    EXPECT_EQ(c.MX, (std::vector<double>{0, 9, 9, 0, 0}));
    EXPECT_EQ(c.PY, (std::vector<double>{-1, 9, 9, 0, 2}));
    EXPECT_EQ(c.MY, (std::vector<double>{0, 9, 9, 0, 0}));
    // The fibers carry the last trial's strains: 45 degrees was evaluated.
    EXPECT_NE(col.t[1].Strain, 0);

    // Angle 0 leaves the Y interior alone and the reverse.
    PMCurve d;
    d.PY = d.MY = std::vector<double>(5, 3.0);
    SolvePM(col.t, 2200, 2200, s, 0, -1, 2, d, {}, kReference);
    EXPECT_EQ(d.PY, (std::vector<double>{-1, 3, 3, 3, 2}));
    EXPECT_GT(d.MX[2], 0);
}

TEST(SolvePM, ProgressPerGridPointThenZero) {
    pxtest::Column col = pxtest::MeshedColumn();
    PmSettings s;
    s.nP = 3;
    s.K = 2;
    s.N = 8;
    std::vector<int> calls;
    PMCurve c;
    SolvePM(col.t, 2200, 2200, s, 0, -16190.625, 149290.625, c,
            [&](int v) { calls.push_back(v); }, kReference);
    // G / 8 x 100 rounded, ties to even: 12.5 -> 12, 37.5 -> 38, 62.5 -> 62, 87.5 -> 88.
    const std::vector<int> sweep = {0, 12, 25, 38, 50, 62, 75, 88, 100};
    std::vector<int> expected;
    for (int k = 0; k < 2 * 2; ++k) expected.insert(expected.end(), sweep.begin(), sweep.end());
    expected.push_back(0);
    EXPECT_EQ(calls, expected);
}

TEST(SolvePM, TiesGoToTheHighestGridIndex) {
    // A fiber without a law keeps its stress: every trial gives the same P,
    // so every grid point ties and the last one (N) is chosen in each pass.
    // The window then climbs one step per pass; the fibers keep the strain
    // of the last trial, grid point N of the last pass.
    FiberTable t;
    AddFiber(t, 0, 0, 100, 9);
    t[1].Stress = -10;
    AddFiber(t, 0, 300, 1, 9);
    t[2].Stress = 0;
    PmSettings s;
    s.nP = 2;
    s.K = 3;
    s.N = 4;
    PMCurve c;
    SolvePM(t, 1000, 1000, s, 0, -1, 3, c, {}, kReference);
    EXPECT_EQ(c.PX[1], 1.0);  // -(-10 x 100) / 1000

    AxisWindowResult win = AxisWindow(0, 1000, 1000, s.factor);
    double lo = win.cmin, hi = win.cmax;
    for (int pass = 1; pass < s.K; ++pass) NarrowWindow(lo, hi, s.N, s.N);
    EXPECT_GT(hi, win.cmax);  // not clamped
    double dmin, dmax;
    CornerDistances(0, hi, 1000, 1000, dmin, dmax);
    const double phi = TrialCurvature(dmin, dmax, s.strainLimit, false);
    EXPECT_EQ(t[2].Strain, phi * (0 * 0.0 - 300 + hi));
}

TEST(SolvePM, GuardsRefuseBeforeTouchingTheCurve) {
    pxtest::Column col = pxtest::MeshedColumn();
    PMCurve c;
    c.Divisions = 3;
    c.PX = {1, 2, 3, 4};
    const PMCurve before = c;
    PmSettings s;
    s.K = 0;
    EXPECT_THROW(SolvePM(col.t, 2200, 2200, s, 0, -1, 1, c), AppError);
    s = PmSettings{};
    s.strainLimit = 0.001;
    EXPECT_THROW(SolvePM(col.t, 2200, 2200, s, 0, -1, 1, c), AppError);
    EXPECT_EQ(c.Divisions, before.Divisions);
    EXPECT_EQ(c.PX, before.PX);
    EXPECT_TRUE(c.MX.empty());
}

TEST(SolvePM, RectangleOfNoExtentRaisesDivisionByZero) {
    pxtest::Column col = pxtest::MeshedColumn();
    PMCurve c;
    for (SolveOptions opt : {kReference, SolveOptions{}}) {
        try {
            SolvePM(col.t, 0, 0, PmSettings{}, 0, -16190.625, 149290.625, c, {}, opt);
            FAIL() << "a window of no width must be refused";
        } catch (const AppError& e) {
            EXPECT_STREQ(e.what(), kDivByZero);
        }
    }
}

TEST(SolvePM, FactorOneRunsThroughTheCornerTrials) {
    // The first grid point of every level passes through two corners.
    pxtest::Column col = pxtest::MeshedColumn();
    PmSettings s;
    s.factor = 1.0;
    PMCurve c;
    ASSERT_NO_THROW(SolvePM(col.t, 2200, 2200, s, 0, -16190.625, 149290.625, c, {}, kReference));
    for (int i = 0; i <= 10; ++i) EXPECT_TRUE(std::isfinite(c.PX[i]) && std::isfinite(c.MX[i]));
    EXPECT_NEAR(c.MX[5], Defaults().curve.MX[5], 0.01 * c.MX[5]);
}

}  // namespace
