// Sections that are not point-symmetric: every direction solved with its own
// compressed side, against plastic closed forms; and the strain limits taken
// at a section's outline.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/mm_solver.h"
#include "analysis/pm_solver.h"
#include "check/capacity_check.h"
#include "curvature/moment_curvature.h"
#include "default_column.h"
#include "input/field_defaults.h"
#include "section/limit_points.h"

namespace {

using namespace px;

// An all-steel L: a vertical leg [0, t] x [0, a] and a horizontal leg
// [t, a] x [0, t], mm. A stiff steel with a strain limit far away makes
// every state at the tensile limit fully plastic.
constexpr double a = 300, t = 60, fy = 260, cell = 2;

struct Rect {
    double x0, x1, y0, y1;
};
constexpr Rect kLegs[2] = {{0, t, 0, a}, {t, a, 0, t}};

double Area() { return t * a + (a - t) * t; }
// The centroid lies on the L's diagonal of symmetry: xc = yc.
double Centroid() { return (t * a * a / 2 + (a - t) * t * t / 2) / Area(); }

// Area and first moment about the centroid's axis of the part of the L
// above y = yp (centroid coordinates).
void Above(double yp, double& A, double& S) {
    A = S = 0;
    for (const Rect& r : kLegs) {
        const double lo = std::max(r.y0 - Centroid(), yp), hi = r.y1 - Centroid();
        if (hi <= lo) continue;
        A += (r.x1 - r.x0) * (hi - lo);
        S += (r.x1 - r.x0) * (hi * hi - lo * lo) / 2;
    }
}

// Fully plastic moment about x (kNm, the section's sign: compression
// negative, lever arm y) at axial force P (kN, compression positive), with
// the top (topCompressed) or the bottom compressed; the plastic axis found
// by bisection on the closed-form areas.
double PlasticMx(double P, bool topCompressed) {
    double A0, S0;
    Above(-1e9, A0, S0);  // the whole section; S0 = 0 about the centroid
    auto netCompression = [&](double yp) {
        double Aa, Sa;
        Above(yp, Aa, Sa);
        const double compressed = topCompressed ? Aa : A0 - Aa;
        return fy * (compressed - (A0 - compressed)) / 1000;
    };
    double lo = -a, hi = a;
    for (int k = 0; k < 200; ++k) {
        const double mid = (lo + hi) / 2;
        // More compression above a lower axis when the top is compressed.
        if ((netCompression(mid) > P) == topCompressed) lo = mid; else hi = mid;
    }
    double Aa, Sa;
    Above(lo, Aa, Sa);
    const double Sbelow = S0 - Sa;
    const double sign = topCompressed ? -1 : 1;  // stress of the part above
    return sign * fy * (Sa - Sbelow) / 1e6;
}

// The L meshed in cells, centroid at the origin, strain limits at its
// hull's vertices; turned by 180 degrees when `turned`.
FiberTable LSection(bool turned) {
    FiberTable tb;
    const double s = turned ? -1 : 1, c = Centroid();
    for (const Rect& r : kLegs) {
        for (double x = r.x0 + cell / 2; x < r.x1; x += cell) {
            for (double y = r.y0 + cell / 2; y < r.y1; y += cell) {
                pxtest::AddFiber(tb, s * (x - c), s * (y - c), cell * cell, MatSteelSection);
                tb[tb.NFib].Es = 1e9;
                tb[tb.NFib].Fy = fy;
            }
        }
    }
    const double hull[5][2] = {{0, 0}, {a, 0}, {a, t}, {t, a}, {0, a}};
    for (const auto& p : hull) tb.LimitPoints.push_back({s * (p[0] - c), s * (p[1] - c)});
    tb.PointSymmetric = false;
    return tb;
}

constexpr double kStrainLimit = -1;
constexpr SolveOptions kReference{SolverPass::Reference, 1};
constexpr SolveOptions kFast{SolverPass::Fast, 2};

PMCurve SolveL(FiberTable& tb, const SolveOptions& o) {
    double PMax, PMin;
    ComputeAxialBounds(tb, PMax, PMin);
    PmSettings s;
    s.strainLimit = kStrainLimit;
    PMCurve c;
    // The progress bar moves through each side's levels and ends at 0.
    std::vector<int> seen;
    SolvePM(tb, 0, 0, s, 0, PMin, PMax, c, [&](int v) { seen.push_back(v); }, o);
    EXPECT_EQ(seen, (std::vector<int>{50, 100, 0}));
    SolvePM(tb, 0, 0, s, 90, PMin, PMax, c, {}, o);
    return c;
}

TEST(BothWays, PmHalvesOfAnLAreUniaxialAndTheTurnedLNegatesThem) {
    FiberTable L = LSection(false), turnedL = LSection(true);
    const PMCurve ref = SolveL(L, kReference);
    for (const SolveOptions& o : {kReference, kFast}) {
        const PMCurve c = o.pass == SolverPass::Reference ? ref : SolveL(L, o);
        const PMCurve turned = SolveL(turnedL, o);
        ASSERT_TRUE(c.bothWays());
        for (int k = 0; k <= c.Divisions; ++k) {
            // Both passes give the same bits; the turned L's halves are the
            // L's swapped and negated, to the bit.
            EXPECT_EQ(c.MX[k], ref.MX[k]);
            EXPECT_EQ(c.MXNeg[k], ref.MXNeg[k]);
            EXPECT_EQ(c.MYNeg[k], ref.MYNeg[k]);
            EXPECT_EQ(turned.PX[k], c.PXNeg[k]);
            EXPECT_EQ(turned.MX[k], -c.MXNeg[k]);
            EXPECT_EQ(turned.MXNeg[k], -c.MX[k]);
            EXPECT_EQ(turned.MY[k], -c.MYNeg[k]);
        }
        EXPECT_EQ(c.MXNeg[0], c.MX[0]);
        EXPECT_EQ(c.PXNeg[c.Divisions], c.PX[c.Divisions]);
    }
    // Bending about x alone carries less than the state of a level axis,
    // which also carries My: the L's diagonal lies at 45 degrees.
    for (int k = 1; k < ref.Divisions; ++k) {
        const double level = -PlasticMx(ref.PX[k], true);
        EXPECT_LT(ref.MX[k], level) << k;
        EXPECT_GT(ref.MX[k], 0.5 * level) << k;
        // The L is symmetric about its diagonal: the left compressed mirrors
        // the bottom compressed.
        EXPECT_NEAR(ref.MY[k], -ref.MXNeg[k], 1e-5 * ref.MY[k]) << k;
    }
}

// The uniaxial states of the L as forces: each lies on the Mx-My curve of
// its own axial force, which the check measures.
TEST(BothWays, PmMxMyAndTheCheckOfAnLAgreeAtEveryLevel) {
    FiberTable L = LSection(false);
    const PMCurve c = SolveL(L, kFast);
    LoadCombinationTable loads;
    loads.Items.assign(1, {});
    for (int k = 1; k < c.Divisions; ++k) {
        loads.Items.push_back({c.PX[k], -c.MX[k], 0});
        loads.Items.push_back({c.PXNeg[k], -c.MXNeg[k], 0});
        loads.Items.push_back({c.PY[k], 0, c.MY[k]});
        loads.Items.push_back({c.PYNeg[k], 0, c.MYNeg[k]});
    }
    loads.Count = static_cast<int>(loads.Items.size()) - 1;
    CheckRequest req;
    req.Fibers = &L;
    ComputeAxialBounds(L, req.PMax, req.PMin);
    req.Mm.points = 720;
    req.Mm.strainLimit = kStrainLimit;
    req.Loads = &loads;
    const CheckResult r = RunCapacityCheck(req);
    for (size_t k = 0; k < r.Rows.size(); ++k) {
        ASSERT_TRUE(r.Rows[k].Ratio) << k;
        EXPECT_GT(*r.Rows[k].Ratio, 1 - 1e-6) << k;
        EXPECT_LT(*r.Rows[k].Ratio, 1 + 1e-3) << k;
    }
}

TEST(BothWays, MxMyOfAnLCompressesTheSideOfEachAngle) {
    const double P = 0.4 * Area() * fy / 1000;
    for (MmSearch search : {MmSearch::Grid, MmSearch::Root}) {
        for (SolveOptions o : {kReference, kFast}) {
            o.search = search;
            FiberTable L = LSection(false), turnedL = LSection(true);
            MmSettings s;
            s.axialForce = P;
            s.strainLimit = kStrainLimit;
            MMCurve c, turned;
            SolveMMCurve(L, 0, 0, s, c, {}, o);
            SolveMMCurve(turnedL, 0, 0, s, turned, {}, o);
            const double tol = 5e-3 * std::fabs(PlasticMx(P, true));
            EXPECT_NEAR(c.Mx[0], PlasticMx(P, true), tol);     // top compressed
            EXPECT_NEAR(c.Mx[18], PlasticMx(P, false), tol);   // bottom compressed
            for (int i = 0; i <= 36; ++i) {
                const int j = (i + 18) % 36;
                EXPECT_NEAR(turned.Mx[i], -c.Mx[j], tol) << i;
                // At 0 and 180 degrees the guarded slopes, +1e-4 and -1e-4,
                // tilt the axis along a row of fiber centres opposite ways.
                if (i % 18 != 0) { EXPECT_NEAR(turned.My[i], -c.My[j], tol) << i; }
            }
        }
    }
}

TEST(BothWays, MomentCurvatureAtAnyAngleCompressesItsOwnSide) {
    FiberTable L = LSection(false), turnedL = LSection(true);
    MphiSettings s;
    s.axialForce = 0.4 * Area() * fy / 1000;
    s.strainLimit = kStrainLimit;
    const double phi = 1e-4;
    s.angle = 180;
    const MphiPoint bottom = SolveAtCurvature(L, 0, 0, s, phi);
    s.angle = 0;
    const MphiPoint turned = SolveAtCurvature(turnedL, 0, 0, s, phi);
    const double tol = 5e-3 * std::fabs(PlasticMx(s.axialForce, true));
    EXPECT_NEAR(bottom.Mx, PlasticMx(s.axialForce, false), tol);
    EXPECT_NEAR(turned.Mx, -bottom.Mx, tol);
    // The same state: its most compressed point (a hull vertex) has the same strain.
    EXPECT_NEAR(bottom.cornerStrain, turned.cornerStrain, 1e-3 * std::fabs(turned.cornerStrain));
    // The fibers stand where they stood.
    const FiberTable fresh = LSection(false);
    for (int i = 1; i <= L.NFib; ++i) ASSERT_EQ(L[i].X, fresh[i].X) << i;
    // The exact ultimate state at 180 degrees is the bottom-compressed one.
    MmSettings mm;
    mm.axialForce = s.axialForce;
    mm.strainLimit = kStrainLimit;
    EXPECT_NEAR(SolveMmStateAt(L, 0, 0, mm, 180).Mx, PlasticMx(s.axialForce, false), tol);
}

TEST(BothWays, APointSymmetricSectionSolvedBothWaysGivesItsOwnCurves) {
    pxtest::Column col = pxtest::MeshedColumn(2);  // an SRC column
    FiberTable both = col.t;
    both.PointSymmetric = false;
    MmSettings s;
    s.axialForce = 30000;
    MMCurve one, two;
    SolveMMCurve(col.t, col.in.B, col.in.H, s, one);
    SolveMMCurve(both, col.in.B, col.in.H, s, two);
    for (int i = 0; i <= 36; ++i) {
        EXPECT_NEAR(two.Mx[i], one.Mx[i], 1e-6 * std::fabs(one.Mx[0]) + 1e-6) << i;
        EXPECT_NEAR(two.My[i], one.My[i], 1e-6 * std::fabs(one.Mx[0]) + 1e-6) << i;
    }
    double PMax, PMin;
    ComputeAxialBounds(both, PMax, PMin);
    PMCurve pm;
    SolvePM(both, col.in.B, col.in.H, PmSettings{}, 0, PMin, PMax, pm);
    for (int k = 0; k <= pm.Divisions; ++k) EXPECT_NEAR(pm.MXNeg[k], -pm.MX[k], 1e-6 * pm.MX[5]) << k;
}

// The Mx-My curve of a circular column: its radius's spread over the
// angles, relative to the largest.
double RadiusSpread(int limitsAt, double P) {
    MapFields f = DefaultFields();
    f.items["ComboBox1"] = 1;
    f.items["ComboBox8"] = limitsAt;
    f["Edit12"] = "72";  // sectors
    f["Edit6"] = "72";   // bars per ring, one in each sector
    SectionInput in;
    ReadSectionInput(f, in);
    FiberTable tb;
    BuildFiberTable(in, tb);
    AssignFiberMaterials(f, tb);
    MmSettings s;
    s.axialForce = P;
    MMCurve c;
    SolveMMCurve(tb, in.B, in.H, s, c);
    double lo = 1e300, hi = 0;
    for (int i = 0; i <= s.points; ++i) {
        const double r = std::hypot(c.Mx[i], c.My[i]);
        lo = std::min(lo, r);
        hi = std::max(hi, r);
    }
    return (hi - lo) / hi;
}

TEST(StrainLimitsAt, TheOutlineMakesACircularColumnsCurveRound) {
    // The bounding square's corners lie outside the circle away from the
    // axes: a spread of several percent. The outline leaves the mesh's.
    for (double P : {0.0, 20000.0, 60000.0}) {
        EXPECT_GT(RadiusSpread(LimitsAtBoundingRectangle, P), 0.02) << P;
        EXPECT_LT(RadiusSpread(LimitsAtSectionOutline, P), 0.001) << P;
    }
}

TEST(StrainLimitsAt, TheOutlinesHullIsTheRectanglesCornersOrTheCirclesOuterRing) {
    struct Case {
        int type;
        size_t points;
        double x, y;  // |x|, |y| of every rectangle corner; radius in x for a circle
    };
    for (const Case& k : {Case{0, 4, 1100, 1100}, Case{1, 12, 1100, 0}, Case{4, 12, 1100, 0}}) {
        pxtest::Column col = pxtest::MeshedColumn(k.type);
        const auto hull = FiberOutlineHull(col.t);
        ASSERT_EQ(hull.size(), k.points) << k.type;
        for (auto [x, y] : hull) {
            if (k.type == 0) {
                EXPECT_EQ(std::fabs(x), k.x);
                EXPECT_EQ(std::fabs(y), k.y);
            } else {
                EXPECT_NEAR(std::hypot(x, y), k.x, 1e-9) << k.type;
            }
        }
        ApplyStrainLimitsAt(LimitsAtSectionOutline, col.t);
        EXPECT_EQ(col.t.LimitPoints, hull);
        ApplyStrainLimitsAt(LimitsAtBoundingRectangle, col.t);
        EXPECT_TRUE(col.t.LimitPoints.empty());
    }
    // A template meshed into a table that held another section is
    // point-symmetric with its own limits, whatever the table held.
    FiberTable reused = LSection(false);
    BuildFiberTable(pxtest::MeshedColumn(1).in, reused);
    EXPECT_TRUE(reused.PointSymmetric);
    EXPECT_TRUE(reused.LimitPoints.empty());
}

}  // namespace
