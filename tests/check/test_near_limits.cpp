// Mx-My points, the check and the surface close to the axial capacities,
// against a closed form of the same laws and strain limits.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "analysis/default_column.h"
#include "analysis/mm_solver.h"
#include "check/capacity_check.h"
#include "check/column_request.h"
#include "check/surface.h"
#include "input/error.h"
#include "input/numbers.h"

namespace {

using namespace px;

// A b x h rectangle of concrete (parabola to e0, then the plateau fc, nothing
// in tension) with two layers of bars (area As each) at y = +-ys, strained
// linearly from eBot at y = -h/2 to eTop at y = h/2.
struct Rect {
    double b = 400, h = 600, fc = 27.5, e0 = 0.002;
    double As = 3000, ys = 240, Es = 206000, fy = 330;
    double limit = -0.0035, tension = 0.01;
};

// Integrals from 0 to e of the concrete stress s and of s times the strain.
double ConcreteI0(const Rect& r, double e) {
    auto parabola = [&](double x) { return r.fc * (x * x / r.e0 + x * x * x / (3 * r.e0 * r.e0)); };
    if (e >= 0) return 0;
    if (e >= -r.e0) return parabola(e);
    return parabola(-r.e0) - r.fc * (e + r.e0);
}
double ConcreteI1(const Rect& r, double e) {
    auto parabola = [&](double x) {
        return r.fc * (2 * x * x * x / (3 * r.e0) + x * x * x * x / (4 * r.e0 * r.e0));
    };
    if (e >= 0) return 0;
    if (e >= -r.e0) return parabola(e);
    return parabola(-r.e0) - r.fc * (e * e - r.e0 * r.e0) / 2;
}
double SteelS(const Rect& r, double e) { return std::clamp(r.Es * e, -r.fy, r.fy); }

struct PM {
    double P, M;  // kN, compression positive; kNm, the magnitude about x
};

PM Closed(const Rect& r, double eTop, double eBot) {
    const double k = (eTop - eBot) / r.h, em = (eTop + eBot) / 2;
    double N = 0, M = 0;
    if (k == 0) {
        const double sc = em >= 0 ? 0 : em >= -r.e0 ? r.fc * (2 * em / r.e0 + em * em / (r.e0 * r.e0)) : -r.fc;
        N = r.b * r.h * sc;
    } else {
        const double i0 = ConcreteI0(r, eTop) - ConcreteI0(r, eBot);
        const double i1 = ConcreteI1(r, eTop) - ConcreteI1(r, eBot);
        N = r.b / k * i0;
        M = r.b / (k * k) * (i1 - em * i0);
    }
    const double sTop = SteelS(r, em + k * r.ys), sBot = SteelS(r, em - k * r.ys);
    N += r.As * (sTop + sBot);
    M += r.As * r.ys * (sTop - sBot);
    return {-N / 1000, std::fabs(M) / 1e6};
}

// The ultimate state (compressive limit at the top or tensile limit at the
// bottom, whichever comes first) whose axial force is Pt, by bisection.
PM ClosedAt(const Rect& r, double Pt) {
    auto state = [&](double u) {  // u from 0 (all at the limit) to 2 (all at 0.01)
        const double span = r.tension - r.limit;
        return u <= 1 ? Closed(r, r.limit, r.limit + u * span)
                      : Closed(r, r.limit + (u - 1) * span, r.tension);
    };
    double lo = 0, hi = 2;
    for (int it = 0; it < 200; ++it) {
        const double mid = (lo + hi) / 2;
        (state(mid).P > Pt ? lo : hi) = mid;
    }
    return state((lo + hi) / 2);
}

// The rectangle in 1 mm strips of 8 cells, and the four bars.
FiberTable Meshed(const Rect& r) {
    FiberTable t;
    const int nx = 8, ny = static_cast<int>(r.h);
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i)
            pxtest::AddFiber(t, -r.b / 2 + (i + 0.5) * r.b / nx, -r.h / 2 + (j + 0.5) * r.h / ny,
                             r.b / nx * (r.h / ny), MatCoreConcrete1);
    for (double y : {-r.ys, r.ys})
        for (double x : {-100.0, 100.0}) pxtest::AddFiber(t, x, y, r.As / 2, MatRebar);
    return t;
}

struct Bounds {
    double PMax = 0, PMin = 0;
    explicit Bounds(const FiberTable& t) { ComputeAxialBounds(t, PMax, PMin); }
    double tol() const { return 1e-9 * (PMax - PMin); }
    // f of PMax, or -f of PMin when f is negative
    double at(double f) const { return f > 0 ? f * PMax : -f * PMin; }
};

const double kFractions[] = {0.90, 0.95, 0.99, -0.95, -0.99};

TEST(NearLimits, MxMyPointsCarryTheAxialForceAndMatchTheClosedForm) {
    const Rect r;
    FiberTable t = Meshed(r);
    const Bounds b(t);
    EXPECT_NEAR(b.PMax, Closed(r, r.limit, r.limit).P, 1e-6);
    for (double f : kFractions) {
        MmSettings s;
        s.axialForce = b.at(f);
        MMCurve c;
        SolveMMCurve(t, r.b, r.h, s, c);
        for (size_t i = 0; i < c.P.size(); ++i) EXPECT_NEAR(c.P[i], s.axialForce, b.tol()) << f << " point " << i;
        const double M = ClosedAt(r, s.axialForce).M;
        for (size_t i : {0, 18}) {  // 0 and 180 degrees: bending about x
            const double got = std::fabs(c.Mx[i]);
            EXPECT_NEAR(got, M, 0.005 * M) << f << " point " << i;
            EXPECT_LE(got, M * 1.001) << f << " point " << i;
        }
    }
}

TEST(NearLimits, TheFamilyIsMonotoneInTheOffset) {
    pxtest::Column col = pxtest::MeshedColumn();
    for (int i : {0, 4, 9, 13}) {
        double w, sign;
        MmSlope(i, 36, w, sign);
        const AxisWindowResult win = AxisWindowForSlope(w, 2200, 2200, 1.2);
        const double span = win.cmax - win.cmin;
        double last = 0;
        for (int k = 0; k <= 400; ++k) {
            // from 20 window widths beyond the compressed end to 20 beyond the other
            const double c = win.cmin - 20 * span + k * (41 * span / 400);
            const double phi = TrialCurvatureAt(w, c, 2200, 2200, -0.0035, true);
            const double P = SectionForces(col.t, w, c, phi).P;
            if (k > 0) {
                EXPECT_LE(P, last) << "angle step " << i << ", trial " << k;
            }
            last = P;
        }
    }
}

TEST(NearLimits, DefaultColumnReachesEveryTargetOnBothPasses) {
    pxtest::Column col = pxtest::MeshedColumn();
    const Bounds b(col.t);
    for (double f : kFractions) {
        MmSettings s;
        s.axialForce = b.at(f);
        MMCurve fast, ref;
        SolveMMCurve(col.t, 2200, 2200, s, fast);
        SolveMMCurve(col.t, 2200, 2200, s, ref, {}, {SolverPass::Reference, 1});
        EXPECT_EQ(fast.Mx, ref.Mx) << f;
        EXPECT_EQ(fast.My, ref.My) << f;
        for (double P : fast.P) EXPECT_NEAR(P, s.axialForce, b.tol()) << f;
    }
    // Where the window reaches the force the points stay the grid's, whose
    // forces only come near it (one coarse sweep here).
    MmSettings s;
    s.K = 1;
    s.axialForce = 0.5 * b.PMax;
    MMCurve c;
    SolveMMCurve(col.t, 2200, 2200, s, c);
    EXPECT_GT(std::fabs(c.P[3] - s.axialForce), b.tol());
    EXPECT_NEAR(c.P[3], s.axialForce, 0.01 * b.PMax);
}

TEST(NearLimits, NarrowWindowsStillReachEveryForce) {
    // With an extension factor far below 1 the window is a sliver around the
    // section's centre, and the exact solve has to step a whole section's
    // span past it; the points are then the root-finding curve's of the
    // default factor.
    pxtest::Column col = pxtest::MeshedColumn();
    const Bounds b(col.t);
    SolveOptions root;
    root.search = MmSearch::Root;
    const SolveOptions reference{SolverPass::Reference, 1};
    for (double f : {0.5, 0.99, -0.5, -0.99}) {
        MmSettings s;
        s.axialForce = b.at(f);
        MMCurve want;
        SolveMMCurve(col.t, 2200, 2200, s, want, {}, root);
        for (double factor : {1e-15, 1e-300}) {
            s.factor = factor;
            for (SolveOptions opt : {SolveOptions{}, reference, root}) {
                MMCurve c;
                SolveMMCurve(col.t, 2200, 2200, s, c, {}, opt);
                ASSERT_EQ(c.P.size(), want.P.size());
                for (size_t i = 0; i < c.P.size(); ++i) {
                    EXPECT_NEAR(c.P[i], s.axialForce, b.tol()) << f << " " << factor << " point " << i;
                    EXPECT_NEAR(c.Mx[i], want.Mx[i], 1e-6 * b.PMax) << f << " " << factor << " point " << i;
                    EXPECT_NEAR(c.My[i], want.My[i], 1e-6 * b.PMax) << f << " " << factor << " point " << i;
                }
            }
        }
    }
}

TEST(NearLimits, ForceNoStateCarriesIsRefusedAndChangesNothing) {
    pxtest::Column col = pxtest::MeshedColumn();
    const Bounds b(col.t);
    MmSettings s;
    s.strainLimit = -0.001;  // half the concrete's peak strain: PMax is out of reach
    s.axialForce = 0.99 * b.PMax;
    for (SolveOptions opt : {SolveOptions{}, SolveOptions{SolverPass::Reference, 1}}) {
        MMCurve c;
        c.Mx = {1, 2};
        try {
            SolveMMCurve(col.t, 2200, 2200, s, c, {}, opt);
            FAIL();
        } catch (const AxialForceOutOfReach& e) {
            EXPECT_EQ(std::string(e.what()),
                      "No strain state within the strain limits carries the axial force " +
                          F2(s.axialForce) + " kN at angle 0.00 degrees");
        }
        EXPECT_EQ(c.Mx, (std::vector<double>{1, 2}));
    }
}

CheckRequest RequestOf(const FiberTable& t, double B, double H, const LoadCombinationTable& loads) {
    CheckRequest req;
    req.Fibers = &t;
    req.B = B;
    req.H = H;
    ComputeAxialBounds(t, req.PMax, req.PMin);
    req.Loads = &loads;
    return req;
}

void SetLoads(LoadCombinationTable& loads, const std::vector<LoadCombination>& rows) {
    loads.Items.assign(1, LoadCombination{});
    loads.Items.insert(loads.Items.end(), rows.begin(), rows.end());
    loads.Count = static_cast<int>(rows.size());
}

TEST(NearLimits, CheckAgainstTheClosedFormCapacity) {
    const Rect r;
    const FiberTable t = Meshed(r);
    const double Pt = Bounds(t).at(0.95), M = ClosedAt(r, Pt).M;
    LoadCombinationTable loads;
    SetLoads(loads, {{Pt, 1.02 * M, 0}, {Pt, -1.02 * M, 0}, {Pt, 0.98 * M, 0}, {Pt, -0.98 * M, 0}});
    const CheckResult res = RunCapacityCheck(RequestOf(t, r.b, r.h, loads));
    ASSERT_EQ(res.Rows.size(), 4u);
    EXPECT_FALSE(res.Rows[0].ok());
    EXPECT_FALSE(res.Rows[1].ok());
    EXPECT_TRUE(res.Rows[2].ok());
    EXPECT_TRUE(res.Rows[3].ok());
}

TEST(NearLimits, CheckGoesOnPastLoadsWithoutCapacity) {
    pxtest::Column col = pxtest::MeshedColumn();
    LoadCombinationTable loads;
    CheckRequest req = RequestOf(col.t, 2200, 2200, loads);
    // With this limit no state carries 0.99 PMax. Loads exactly on the
    // vertices of the curve at 5000 kN get their ratio; a moment at 0.99 PMax
    // or at PMax itself gets "n/a", and the check goes on.
    req.Mm.strainLimit = -0.001;
    MmSettings s = req.Mm;
    s.axialForce = 5000;
    MMCurve c;
    SolveOptions root;
    root.search = MmSearch::Root;  // the check's curve
    SolveMMCurve(col.t, 2200, 2200, s, c, {}, root);
    std::vector<LoadCombination> rows;
    for (size_t i = 1; i <= 36; ++i) rows.push_back({5000, c.Mx[i], c.My[i]});
    rows.push_back({0.99 * req.PMax, 100, 0});
    rows.push_back({req.PMax, 100, 0});
    SetLoads(loads, rows);
    const CheckResult res = RunCapacityCheck(req);
    for (size_t i = 0; i < 36; ++i) {
        ASSERT_TRUE(res.Rows[i].Ratio) << "vertex " << i + 1;
        EXPECT_NEAR(*res.Rows[i].Ratio, 1, 1e-9) << "vertex " << i + 1;
    }
    for (size_t i : {36, 37}) {
        EXPECT_EQ(CheckCellText(res.Rows[i], 5), "n/a") << i;
        EXPECT_EQ(CheckCellText(res.Rows[i], 6), "NG") << i;
    }

    // A section without steel carries no tension: those loads are "n/a".
    FiberTable plain;
    pxtest::AddFiber(plain, 0, 0, 2200.0 * 2200, MatCoreConcrete1);
    SetLoads(loads, {{-100, 50, 0}, {-100, 0, 0}, {1000, 0, 0}});
    const CheckResult none = RunCapacityCheck(RequestOf(plain, 2200, 2200, loads));
    EXPECT_FALSE(none.Rows[0].Ratio);
    EXPECT_FALSE(none.Rows[1].Ratio);
    EXPECT_TRUE(none.Rows[2].ok());
    EXPECT_EQ(none.Passed, 1);
}

TEST(NearLimits, SurfaceNarrowsToItsApex) {
    pxtest::Column col = pxtest::MeshedColumn();
    SurfaceRequest req;
    static_cast<SectionRequest&>(req) = pxtest::SectionOf(col);
    req.Levels = 20;
    const InteractionSurface s = SolveSurface(req);
    std::vector<double> largest;
    for (const SurfaceLevel& l : s.Levels) {
        double m = 0;
        for (size_t i = 0; i < l.Curve.Mx.size(); ++i) m = std::max(m, std::hypot(l.Curve.Mx[i], l.Curve.My[i]));
        largest.push_back(m);
    }
    const size_t peak = static_cast<size_t>(std::max_element(largest.begin(), largest.end()) - largest.begin());
    for (size_t k = peak + 1; k < largest.size(); ++k) EXPECT_LT(largest[k], largest[k - 1]) << "level " << k + 1;
    EXPECT_LT(largest.back(), 0.25 * largest[peak]);
}

}  // namespace
