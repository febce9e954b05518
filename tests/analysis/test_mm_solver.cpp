#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analysis/mm_solver.h"
#include "analysis/offset_root.h"
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
        SolveMMCurve(col.t, 2200, 2200, MmSettings{}, m, {}, kReference);
        return m;
    }();
    return c;
}

TEST(SolvePastEnd, StepsInTheLargerOfTheWindowAndTheSpanTheWayTheForceMustGo) {
    // A family whose force falls as the offset grows: P = -c. The first block
    // of trials lies a sixteenth of a unit and more past the end.
    struct Case {
        double end, other, span, Pt, unit;
        const char* what;
    };
    const Case cases[] = {
        {10, -10, 4, -30, 20, "a window wider than the section steps in its width"},
        {-10, 10, 4, 30, -20, "the same from its other end"},
        {1, -1, 3, -10, 3, "a narrower window steps in the section's span"},
        {0.001, -0.001, 4, -3, 4, "so does a sliver"},
        {-0.001, 0.001, 4, -3, 4, "from either end, the way the force must go"},
        {0, 0, 4, 3, -4, "no width"},
    };
    for (const Case& c : cases) {
        std::vector<double> first;
        auto eval = [&](OffsetState* s, int T) {
            for (int k = 0; k < T; ++k) {
                s[k].P = -s[k].c;
                if (first.size() < kRootTrials) first.push_back(s[k].c);
            }
        };
        const ForceTarget g{c.Pt, 1e-9};
        const OffsetState got = SolvePastEnd(eval, OffsetState{c.end, -c.end}, c.other, g, 5, nullptr,
                                             [] { throw AppError("out of reach"); }, c.span);
        ASSERT_EQ(first.size(), static_cast<size_t>(kRootTrials)) << c.what;
        for (int k = 0; k < kRootTrials; ++k) EXPECT_EQ(first[k], c.end + std::ldexp(c.unit, k - 4)) << c.what;
        EXPECT_NEAR(got.P, c.Pt, 1e-9) << c.what;
    }
}

TEST(MmSlope, GuardAndBoundAtTheQuarterTurnsOnly) {
    // angle step: slope, sign of the cosine
    const double expected[5][2] = {{0.0001, 1}, {100, 1}, {-0.0001, -1}, {100, -1}, {-0.0001, 1}};
    for (int q = 0; q <= 4; ++q) {
        double w, s;
        MmSlope(9 * q, 36, w, s);
        EXPECT_EQ(w, expected[q][0]) << q;
        EXPECT_EQ(s, expected[q][1]) << q;
    }
    for (int i = 0; i <= 36; ++i) {
        if (i % 9 == 0) continue;
        double w, s;
        MmSlope(i, 36, w, s);
        EXPECT_EQ(w, std::tan(i * 10.0 * kDegToRad)) << i;
    }
    double w, s;
    MmSlope(901, 3600, w, s);  // 90.1 degrees: a large negative tangent
    EXPECT_EQ(w, -100);
    MmSlope(1, 36000, w, s);  // 0.01 degrees: a small positive tangent
    EXPECT_EQ(w, 0.0001);
}

TEST(SolveMMCurve, DefaultColumnAroundTheOrigin) {
    const MMCurve& c = DefaultCurve();
    ASSERT_EQ(c.Mx.size(), 37u);
    EXPECT_LT(c.Mx[0], -16000);  // 0 degrees: negative Mx axis
    EXPECT_NEAR(c.My[0], 3.2488, 0.0001);
    EXPECT_NEAR(c.My[9], 16145.46, 0.01);  // 90 degrees: positive My axis
    EXPECT_NEAR(c.Mx[9], -319.29, 0.01);
    EXPECT_GT(c.Mx[18], 16000);   // 180 degrees
    EXPECT_LT(c.My[27], -16000);  // 270 degrees
    // Half a turn apart the point is negated, exactly where both angles get
    // the same bounded slope (100 at 90/270, -0.0001 at 180/360).
    for (int i : {9, 18}) {
        EXPECT_EQ(c.Mx[i + 18], -c.Mx[i]) << i;
        EXPECT_EQ(c.My[i + 18], -c.My[i]) << i;
    }
    for (int i = 0; i < 18; ++i) {
        EXPECT_NEAR(c.Mx[i + 18], -c.Mx[i], 0.02) << i;
        if (i > 0) { EXPECT_NEAR(c.My[i + 18], -c.My[i], 0.02) << i; }
    }
    // 0 degrees uses +0.0001 and 360 degrees -0.0001: the small My flips sign.
    EXPECT_NEAR(c.Mx[36], c.Mx[0], 0.02);
    EXPECT_NEAR(c.My[36], -3.2488, 0.0001);
    EXPECT_GT(c.My[18], 0);
}

TEST(SolveMMCurve, OneSweepTakesTheNearestInteriorGridPoint) {
    pxtest::Column col = pxtest::MeshedColumn();
    MmSettings s;
    s.points = 4;
    s.K = 1;
    s.N = 10;
    s.axialForce = 20000;
    MMCurve c;
    SolveMMCurve(col.t, 2200, 2200, s, c, {}, kReference);
    for (int i = 0; i <= 4; ++i) {
        double w, sign;
        MmSlope(i, 4, w, sign);
        const AxisWindowResult win = AxisWindowForSlope(w, 2200, 2200, s.factor);
        double best = 0, mx = 0, my = 0;
        for (int j = 1; j < s.N; ++j) {
            const double cj = GridOffset(win.cmin, win.cmax, j, s.N);
            const SectionForceResult r =
                SectionForces(col.t, w, cj, TrialCurvatureAt(w, cj, 2200, 2200, s.strainLimit, true));
            if (j == 1 || std::fabs(r.P - s.axialForce) <= best) {
                best = std::fabs(r.P - s.axialForce);
                mx = sign * r.Mx;
                my = sign * r.My;
            }
        }
        EXPECT_EQ(c.Mx[i], mx) << i;
        EXPECT_EQ(c.My[i], my) << i;
    }
}

TEST(SolveMMCurve, TiesGoToTheLaterInteriorPoint) {
    // Fibers without a law: every trial ties and N - 1 is chosen in each
    // pass. The fibers keep the strain of the last trial, grid point N of the
    // last pass of the last angle.
    FiberTable t;
    AddFiber(t, 0, 0, 100, 9);
    t[1].Stress = -10;
    AddFiber(t, 50, 300, 1, 9);
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
    const double k = TrialCurvatureAt(w, hi, 1000, 1000, s.strainLimit, true);
    EXPECT_EQ(t[2].Strain, k * ((w * 50 - 300 + hi) / AxisNorm(w)));
}

TEST(SolveMMCurve, AxialForceBeyondTheSquashLoadGivesTheCompressedEnd) {
    pxtest::Column col = pxtest::MeshedColumn();
    MmSettings s;
    s.axialForce = 200000;  // PMax is 149290.625
    MMCurve c;
    ASSERT_NO_THROW(SolveMMCurve(col.t, 2200, 2200, s, c, {}, kReference));
    // Each point tends to the state at the lowest offset of its window, the
    // whole section above the axis.
    for (int i = 0; i <= 36; i += 3) {
        double w, sign;
        MmSlope(i, 36, w, sign);
        const AxisWindowResult win = AxisWindowForSlope(w, 2200, 2200, s.factor);
        double dmin, dmax;
        CornerDistances(w, win.cmin, 2200, 2200, dmin, dmax);
        ASSERT_LT(dmax, 0);
        const SectionForceResult end =
            SectionForces(col.t, w, win.cmin, TrialCurvature(dmin, dmax, s.strainLimit, true));
        EXPECT_NEAR(c.Mx[i], sign * end.Mx, 0.02) << i;
        EXPECT_NEAR(c.My[i], sign * end.My, 0.02) << i;
    }
}

TEST(SolveMMCurve, ProgressAndRefusals) {
    pxtest::Column col = pxtest::MeshedColumn();
    MmSettings s;
    s.points = 1;
    s.K = 1;
    s.N = 8;
    std::vector<int> calls;
    MMCurve c;
    SolveMMCurve(col.t, 2200, 2200, s, c, [&](int v) { calls.push_back(v); }, kReference);
    // j x 100 / 8 rounded per grid point, left at 100.
    const std::vector<int> sweep = {0, 12, 25, 38, 50, 62, 75, 88, 100};
    std::vector<int> expected = sweep;
    expected.insert(expected.end(), sweep.begin(), sweep.end());
    EXPECT_EQ(calls, expected);

    c.Mx = {1, 2};
    s.N = 1;
    EXPECT_THROW(SolveMMCurve(col.t, 2200, 2200, s, c), AppError);
    EXPECT_EQ(c.Mx, (std::vector<double>{1, 2}));
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

namespace {

TEST(SolveMMCurve, RootFindingAgreesWithTheGridWhereTheGridReaches) {
    for (int type = 0; type < 8; ++type) {
        pxtest::Column col = pxtest::MeshedColumn(type);
        double PMax = 0, PMin = 0;
        ComputeAxialBounds(col.t, PMax, PMin);
        for (double f : {0.05, 0.3, 0.6, 0.8}) {
            MmSettings s;
            s.axialForce = PMin + f * (PMax - PMin);
            MMCurve grid, root;
            SolveMMCurve(col.t, col.in.B, col.in.H, s, grid);
            SolveOptions o;
            o.search = MmSearch::Root;
            SolveMMCurve(col.t, col.in.B, col.in.H, s, root, {}, o);
            for (size_t i = 0; i < grid.Mx.size(); ++i) {
                EXPECT_NEAR(root.P[i], s.axialForce, 1e-9 * (PMax - PMin));
                const double m = std::hypot(grid.Mx[i], grid.My[i]);
                EXPECT_NEAR(root.Mx[i], grid.Mx[i], 1e-6 * m) << type << " " << f << " " << i;
                EXPECT_NEAR(root.My[i], grid.My[i], 1e-6 * m) << type << " " << f << " " << i;
            }
        }
    }
}

}  // namespace
