#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analysis/mm_solver.h"
#include "analysis/pm_solver.h"
#include "default_column.h"
#include "input/error.h"

namespace {

using namespace px;
using pxtest::AddFiber;

constexpr SolveOptions kReference{SolverPass::Reference, 1};

const MMCurve& DefaultCurve() {
    static const MMCurve c = [] {
        pxtest::Column col = pxtest::MeshedColumn();
        MMCurve m;
        SolveMMCurve(col.t, col.in.B, col.in.H, MmSettings{}, m, {}, kReference);
        return m;
    }();
    return c;
}

TEST(MmSlope, BoundsAtTheQuarterTurns) {
    double w, s;
    MmSlope(0, 36, w, s);
    EXPECT_EQ(w, 0.0001);
    EXPECT_EQ(s, 1);
    MmSlope(9, 36, w, s);  // 90: huge tangent
    EXPECT_EQ(w, 100);
    EXPECT_EQ(s, 1);
    MmSlope(18, 36, w, s);  // 180: tangent a tiny negative number
    EXPECT_EQ(w, -0.0001);
    EXPECT_EQ(s, -1);
    MmSlope(27, 36, w, s);  // 270
    EXPECT_EQ(w, 100);
    EXPECT_EQ(s, -1);
    MmSlope(36, 36, w, s);  // 360: a tiny negative tangent again
    EXPECT_EQ(w, -0.0001);
    EXPECT_EQ(s, 1);
    // Just past 90 degrees the tangent is a large negative number.
    MmSlope(901, 3600, w, s);
    EXPECT_EQ(w, -100);
    EXPECT_EQ(s, -1);
    // A small positive tangent is raised to the guard value.
    MmSlope(1, 36000, w, s);
    EXPECT_EQ(w, 0.0001);
    // Every other 10-degree step keeps its tangent.
    for (int i = 0; i <= 36; ++i) {
        MmSlope(i, 36, w, s);
        const bool guard = i % 18 == 0, bound = i % 18 == 9;
        EXPECT_EQ(std::fabs(w) == 0.0001, guard) << i;
        EXPECT_EQ(std::fabs(w) == 100, bound) << i;
        if (!guard && !bound) EXPECT_EQ(w, std::tan(i * 10.0 * kDegToRad)) << i;
    }
}

TEST(SolveMMCurve, DefaultColumnRunsLeftOverTopToRightAndBottom) {
    const MMCurve& c = DefaultCurve();
    ASSERT_EQ(c.Mx.size(), 37u);
    // 0 degrees: on the negative Mx axis.
    EXPECT_LT(c.Mx[0], -16000);
    EXPECT_NEAR(c.My[0], 3.2488, 0.0001);
    // 90 degrees: on the positive My axis, with the bounded slope's tilt.
    EXPECT_NEAR(c.My[9], 16145.46, 0.01);
    EXPECT_NEAR(c.Mx[9], -319.29, 0.01);
    // 180 and 270 degrees.
    EXPECT_GT(c.Mx[18], 16000);
    EXPECT_LT(c.My[27], -16000);
}

TEST(SolveMMCurve, HalfTurnApartIsTheNegationWhenTheSlopesMatch) {
    const MMCurve& c = DefaultCurve();
    // 90/270 share the bound 100 and 180/360 the guard -0.0001: exact.
    for (int i : {9, 18}) {
        EXPECT_EQ(c.Mx[i + 18], -c.Mx[i]) << i;
        EXPECT_EQ(c.My[i + 18], -c.My[i]) << i;
    }
    // Elsewhere the two tangents differ in the last bits.
    for (int i = 1; i < 18; ++i) {
        if (i == 9) continue;
        EXPECT_NEAR(c.Mx[i + 18], -c.Mx[i], 1e-6 * 16200) << i;
        EXPECT_NEAR(c.My[i + 18], -c.My[i], 1e-6 * 16200) << i;
    }
    // 0 degrees takes +0.0001 and 360 degrees -0.0001: the small My flips
    // sign while Mx agrees.
    EXPECT_NEAR(c.Mx[36], c.Mx[0], 1e-6 * 16200);
    EXPECT_NEAR(c.My[36], -3.2488, 0.0001);
    EXPECT_EQ(c.My[36], -c.My[18]);
}

TEST(SolveMMCurve, OneSweepTakesTheNearestInteriorGridPoint) {
    pxtest::Column col = pxtest::MeshedColumn();
    MmSettings s;
    s.points = 4;
    s.K = 1;
    s.N = 10;
    s.axialForce = 20000;
    MMCurve c;
    SolveMMCurve(col.t, col.in.B, col.in.H, s, c, {}, kReference);
    for (int i = 0; i <= 4; ++i) {
        double w, sign;
        MmSlope(i, 4, w, sign);
        const AxisWindowResult win = AxisWindowForSlope(w, 2200, 2200, s.factor);
        double best = 0, mx = 0, my = 0;
        for (int j = 1; j < s.N; ++j) {
            const double cj = GridOffset(win.cmin, win.cmax, j, s.N);
            double dmin, dmax;
            CornerDistances(w, cj, 2200, 2200, dmin, dmax);
            const SectionForceResult r =
                SectionForces(col.t, w, cj, TrialCurvature(dmin, dmax, s.strainLimit, true));
            const double e = std::fabs(r.P - s.axialForce);
            if (j == 1 || e <= best) {
                best = e;
                mx = sign * r.Mx;
                my = sign * r.My;
            }
        }
        EXPECT_EQ(c.Mx[i], mx) << i;
        EXPECT_EQ(c.My[i], my) << i;
    }
}

TEST(SolveMMCurve, TiesGoToTheLaterInteriorPoint) {
    // Fibers without a law: every trial has the same P, all interior points
    // tie, and N - 1 is chosen in every pass. The fibers keep the strain of
    // the last trial (grid point N of the last pass of the last angle).
    FiberTable t;
    AddFiber(t, 0, 0, 100, 9);
    t[1].Stress = -10;
    AddFiber(t, 50, 300, 1, 9);
    t[2].Stress = 0;
    MmSettings s;
    s.points = 2;
    s.K = 3;
    s.N = 6;
    MMCurve c;
    SolveMMCurve(t, 1000, 1000, s, c, {}, kReference);

    double w, sign;
    MmSlope(2, 2, w, sign);
    const AxisWindowResult win = AxisWindowForSlope(w, 1000, 1000, s.factor);
    double lo = win.cmin, hi = win.cmax;
    for (int pass = 1; pass < s.K; ++pass) NarrowWindow(lo, hi, s.N - 1, s.N);
    double dmin, dmax;
    CornerDistances(w, hi, 1000, 1000, dmin, dmax);
    const double k = TrialCurvature(dmin, dmax, s.strainLimit, true);
    EXPECT_EQ(t[2].Strain, k * ((w * 50 - 300 + hi) / AxisNorm(w)));
}

TEST(SolveMMCurve, AxialForceBeyondTheSquashLoadIsNotAnError) {
    pxtest::Column col = pxtest::MeshedColumn();
    MmSettings s;
    s.axialForce = 200000;  // PMax is 149290.625
    MMCurve c;
    ASSERT_NO_THROW(SolveMMCurve(col.t, col.in.B, col.in.H, s, c, {}, kReference));
    // Each point tends to the state at the compression end of its window,
    // the lowest offset (the whole section above the axis).
    for (int i = 0; i <= 36; ++i) {
        ASSERT_TRUE(std::isfinite(c.Mx[i]) && std::isfinite(c.My[i]));
        double w, sign;
        MmSlope(i, 36, w, sign);
        const AxisWindowResult win = AxisWindowForSlope(w, 2200, 2200, s.factor);
        double dmin, dmax;
        CornerDistances(w, win.cmin, 2200, 2200, dmin, dmax);
        ASSERT_LT(dmax, 0);
        const SectionForceResult end =
            SectionForces(col.t, w, win.cmin, TrialCurvature(dmin, dmax, s.strainLimit, true));
        EXPECT_LT(end.P, 149290.625);
        EXPECT_NEAR(c.Mx[i], sign * end.Mx, 1e-6 * 16500) << i;
        EXPECT_NEAR(c.My[i], sign * end.My, 1e-6 * 16500) << i;
    }
    EXPECT_EQ(c.Mx[27], -c.Mx[9]);
}

TEST(SolveMMCurve, ProgressPerGridPointLeftAtItsLastPosition) {
    pxtest::Column col = pxtest::MeshedColumn();
    MmSettings s;
    s.points = 1;
    s.K = 1;
    s.N = 8;
    std::vector<int> calls;
    MMCurve c;
    SolveMMCurve(col.t, 2200, 2200, s, c, [&](int v) { calls.push_back(v); }, kReference);
    const std::vector<int> sweep = {0, 12, 25, 38, 50, 62, 75, 88, 100};
    std::vector<int> expected = sweep;
    expected.insert(expected.end(), sweep.begin(), sweep.end());
    EXPECT_EQ(calls, expected);

    calls.clear();
    SolveMMCurve(col.t, 2200, 2200, s, c, [&](int v) { calls.push_back(v); }, {SolverPass::Fast, 2});
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), 100);
}

TEST(SolveMMCurve, GuardsRefuseBeforeTouchingTheCurve) {
    pxtest::Column col = pxtest::MeshedColumn();
    MMCurve c;
    c.Mx = {1, 2};
    c.My = {3, 4};
    MmSettings s;
    s.N = 1;
    EXPECT_THROW(SolveMMCurve(col.t, 2200, 2200, s, c), AppError);
    s = MmSettings{};
    s.points = 0;
    EXPECT_THROW(SolveMMCurve(col.t, 2200, 2200, s, c), AppError);
    EXPECT_EQ(c.Mx, (std::vector<double>{1, 2}));
    EXPECT_EQ(c.My, (std::vector<double>{3, 4}));
}

TEST(SolveMMCurve, RectangleOfNoExtentRaisesDivisionByZero) {
    pxtest::Column col = pxtest::MeshedColumn();
    MMCurve c;
    for (SolveOptions opt : {kReference, SolveOptions{}}) {
        try {
            SolveMMCurve(col.t, 0, 0, MmSettings{}, c, {}, opt);
            FAIL();
        } catch (const AppError& e) {
            EXPECT_STREQ(e.what(), kDivByZero);
        }
    }
}

}  // namespace
