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
using Vec = std::vector<double>;

constexpr SolveOptions kReference{SolverPass::Reference, 1};
constexpr double kPMin = -16190.625, kPMax = 149290.625;

const PMCurve& DefaultCurves() {
    static const PMCurve c = [] {
        pxtest::Column col = pxtest::MeshedColumn();
        PMCurve pm;
        SolvePM(col.t, 2200, 2200, PmSettings{}, 0, kPMin, kPMax, pm, {}, kReference);
        SolvePM(col.t, 2200, 2200, PmSettings{}, 90, kPMin, kPMax, pm, {}, kReference);
        return pm;
    }();
    return c;
}

TEST(SolvePM, DefaultColumnCurves) {
    const PMCurve& c = DefaultCurves();
    ASSERT_EQ(c.Divisions, 10);
    ASSERT_EQ(c.PX.size(), 11u);
    EXPECT_EQ(c.PX[0], kPMin);
    EXPECT_EQ(c.PY[10], kPMax);
    for (int i = 0; i <= 10; ++i) {
        EXPECT_TRUE(c.PX[i] >= kPMin && c.PX[i] <= kPMax && c.PY[i] >= kPMin && c.PY[i] <= kPMax);
        EXPECT_TRUE(c.MX[i] >= 0 && c.MY[i] >= 0);
        if (i > 0 && i < 9) { EXPECT_NEAR(c.PX[i], kPMin + 16548.125 * i, 0.01) << i; }
        // Doubly symmetric section: both directions agree within 0.1 per cent.
        EXPECT_NEAR(c.PY[i], c.PX[i], 0.001 * std::fabs(c.PX[i])) << i;
        EXPECT_NEAR(c.MY[i], c.MX[i], 0.001 * c.MX[i]) << i;
    }
    // The largest moment is the sixth point's.
    EXPECT_EQ(std::max_element(c.MX.begin(), c.MX.end()) - c.MX.begin(), 5);
    EXPECT_NEAR(c.MX[5], 47339.6, 0.05);
    EXPECT_NEAR(c.PX[5], 66550, 0.01);
}

TEST(SolvePM, TopLevelOutOfReachStopsAtGridIndexZero) {
    const PMCurve& c = DefaultCurves();
    EXPECT_EQ(kPMin + ((kPMax - kPMin) / 10) * 9, 132742.5);
    EXPECT_NEAR(c.PX[9], 129616.6, 0.05);
    // Each pass chooses index 0 and the window slides a grid step below the
    // old one; the stored point is grid index 0 of the fifth pass.
    const AxisWindowResult win = AxisWindow(0, 2200, 2200, 1.2);
    double lo = win.cmin, hi = win.cmax;
    for (int pass = 1; pass < 5; ++pass) NarrowWindow(lo, hi, 0, 100);
    pxtest::Column col = pxtest::MeshedColumn();
    const SectionForceResult r =
        SectionForces(col.t, 0, lo, TrialCurvatureAt(0, lo, 2200, 2200, -0.0035, false));
    EXPECT_EQ(c.PX[9], r.P);
    EXPECT_EQ(c.MX[9], std::fabs(r.Mx));
}

TEST(SolvePM, OneDivisionGivesTheEndPointsOnly) {
    pxtest::Column col = pxtest::MeshedColumn();
    for (int i = 1; i <= col.t.NFib; ++i) col.t[i].Strain = 7.5;
    PmSettings s;
    s.nP = 1;
    for (SolveOptions opt : {kReference, SolveOptions{}}) {
        PMCurve c;
        std::vector<int> calls;
        SolvePM(col.t, 2200, 2200, s, 0, -10, 20, c, [&](int v) { calls.push_back(v); }, opt);
        EXPECT_EQ(c.Divisions, 1);
        EXPECT_EQ(c.PX, (Vec{-10, 20}));
        EXPECT_EQ(c.MX, (Vec{0, 0}));
        EXPECT_EQ(c.PY, (Vec{-10, 20}));
        EXPECT_EQ(c.MY, (Vec{0, 0}));
        EXPECT_EQ(calls, std::vector<int>{0});
    }
    for (int i = 1; i <= col.t.NFib; ++i) ASSERT_EQ(col.t[i].Strain, 7.5);  // nothing evaluated
}

TEST(SolvePM, PlainConcreteStartsAtTheOrigin) {
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
    for (int i = 1; i < 10; ++i) EXPECT_TRUE(c.PX[i] > 0 && c.MX[i] > 0) << i;
}

TEST(SolvePM, OnlyZeroAndNinetyDegreesStoreInteriorPoints) {
    pxtest::Column col = pxtest::MeshedColumn();
    PmSettings s;
    s.nP = 4;
    s.K = 2;
    s.N = 20;
    PMCurve c;
    c.PX = c.MX = c.PY = c.MY = {9, 9, 9};  // grows with zeros, keeps values
    SolvePM(col.t, 2200, 2200, s, 45, -1, 2, c, {}, kReference);
    EXPECT_EQ(c.PX, (Vec{-1, 9, 9, 0, 2}));
    EXPECT_EQ(c.MY, (Vec{0, 9, 9, 0, 0}));
    SolvePM(col.t, 2200, 2200, s, 0, -1, 2, c, {}, kReference);
    EXPECT_EQ(c.PY, (Vec{-1, 9, 9, 0, 2}));
    EXPECT_GT(c.MX[2], 0);
}

TEST(SolvePM, ProgressPerGridPointThenZero) {
    pxtest::Column col = pxtest::MeshedColumn();
    PmSettings s;
    s.nP = 3;
    s.K = 2;
    s.N = 8;
    std::vector<int> calls;
    PMCurve c;
    SolvePM(col.t, 2200, 2200, s, 0, kPMin, kPMax, c, [&](int v) { calls.push_back(v); }, kReference);
    // G / 8 x 100 rounded, ties to even: 12.5 -> 12, 37.5 -> 38.
    const std::vector<int> sweep = {0, 12, 25, 38, 50, 62, 75, 88, 100};
    std::vector<int> expected;
    for (int k = 0; k < 4; ++k) expected.insert(expected.end(), sweep.begin(), sweep.end());
    expected.push_back(0);
    EXPECT_EQ(calls, expected);
}

TEST(SolvePM, TiesGoToTheHighestGridIndex) {
    // Fibers without a law keep their stress: every trial has the same P, all
    // grid points tie and N is chosen in each pass, so the window climbs a
    // step beyond the old one per pass. The fibers keep the strain of the
    // last trial, grid point N of the last pass.
    FiberTable t;
    AddFiber(t, 0, 0, 100, 9);
    t[1].Stress = -10;
    AddFiber(t, 0, 300, 1, 9);
    PmSettings s;
    s.nP = 2;
    s.K = 3;
    s.N = 4;
    PMCurve c;
    SolvePM(t, 1000, 1000, s, 0, -1, 3, c, {}, kReference);
    EXPECT_EQ(c.PX[1], 1.0);
    const AxisWindowResult win = AxisWindow(0, 1000, 1000, s.factor);
    double lo = win.cmin, hi = win.cmax;
    for (int pass = 1; pass < s.K; ++pass) NarrowWindow(lo, hi, s.N, s.N);
    EXPECT_EQ(t[2].Strain, TrialCurvatureAt(0, hi, 1000, 1000, s.strainLimit, false) * (-300 + hi));
}

TEST(SolvePM, RefusalsLeaveTheCurveAlone) {
    pxtest::Column col = pxtest::MeshedColumn();
    PMCurve c;
    c.Divisions = 3;
    c.PX = {1, 2, 3, 4};
    PmSettings s;
    s.K = 0;
    EXPECT_THROW(SolvePM(col.t, 2200, 2200, s, 0, -1, 1, c), AppError);
    EXPECT_EQ(c.Divisions, 3);
    EXPECT_EQ(c.PX, (Vec{1, 2, 3, 4}));
    EXPECT_TRUE(c.MX.empty());
    // A rectangle of no extent gives a message, not NaN.
    for (SolveOptions opt : {kReference, SolveOptions{}}) {
        try {
            SolvePM(col.t, 0, 0, PmSettings{}, 0, kPMin, kPMax, c, {}, opt);
            FAIL();
        } catch (const AppError& e) {
            EXPECT_STREQ(e.what(), kDivByZero);
        }
    }
}

}  // namespace
