// A section that is not point-symmetric: a wall with bars at one end. Its
// pure-axial points, its uniaxial P-M curve at three levels and the check's
// verdicts, against closed forms written here.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "analysis/default_column.h"
#include "analysis/mm_solver.h"
#include "analysis/pm_solver.h"
#include "check/capacity_check.h"
#include "check/surface.h"
#include "input/numbers.h"
#include "output/curve_text.h"
#include "section/section_info.h"

namespace {

using namespace px;

// A 300 x 2000 wall (b along x, h along y), six 28 mm bars in a row at
// y = +ys, meshed in b / 30 x h / 200 cells, origin at the outline's
// centroid. Concrete of the parabola law (Fc, E0 = 0.002), bars elastic-plastic.
constexpr double b = 300, h = 2000, ys = 950, dia = 28;
constexpr double Fc = 27.5, E0 = 0.002, Es = 206000, Fy = 330;
constexpr double kPi = 3.14159265358979323846;
constexpr int nx = 30, ny = 200;
const double As = 6 * kPi * dia * dia / 4;

FiberTable Wall() {
    FiberTable t;
    const double dx = b / nx, dy = h / ny;
    for (int i = 0; i < nx; ++i)
        for (int j = 0; j < ny; ++j)
            pxtest::AddFiber(t, -b / 2 + (i + 0.5) * dx, -h / 2 + (j + 0.5) * dy, dx * dy, MatCoreConcrete1);
    for (int k = 0; k < 6; ++k) pxtest::AddFiber(t, -125 + 50 * k, ys, As / 6, MatRebar);
    for (int i = 1; i <= t.NFib; ++i) {
        t[i].Fc = t[i].Fcu = Fc;
        t[i].Es = Es;
        t[i].Fy = Fy;
    }
    t.PointSymmetric = false;
    return t;
}

// Concrete stress times strain integrals from 0 to e (compression
// magnitudes): F = int sigma de, G = int sigma e de.
double IntF(double e) {
    if (e <= E0) return Fc * (e * e / E0 - e * e * e / (3 * E0 * E0));
    return Fc * (2 * E0 / 3 + (e - E0));
}
double IntG(double e) {
    if (e <= E0) return Fc * (2 * e * e * e / (3 * E0) - e * e * e * e / (4 * E0 * E0));
    return IntG(E0) + Fc * (e * e - E0 * E0) / 2;
}

// The horizontal neutral axis at depth x below the compressed face: the
// curvature that brings the face to -0.0035 or the far face to +0.01,
// whichever is smaller; concrete integrated in closed form over the depth,
// the bars as one point. Returns P (kN) and Mx (kNm) of the section with
// the top (or, mirrored, the bottom) compressed.
struct HandState {
    double P, Mx;
};
HandState AtDepth(double x, bool topCompressed) {
    const double phi = h - x > 0 ? std::min(0.0035 / x, 0.01 / (h - x)) : 0.0035 / x;
    const double yNa = h / 2 - x;           // in the frame whose top is compressed
    const double eTop = phi * x;            // compression at the face
    const double eBot = phi * std::max(x - h, 0.0);  // at the far face, when compressed
    const double F = (IntF(eTop) - IntF(eBot)) / phi;
    const double G = (IntG(eTop) - IntG(eBot)) / (phi * phi);
    const double ysF = topCompressed ? ys : -ys;  // the bars in that frame
    const double strain = -phi * (ysF - yNa);
    const double sigma = std::clamp(Es * strain, -Fy, Fy);
    const double P = (b * F - sigma * As) / 1000;
    const double MxF = (-b * (yNa * F + G) + sigma * As * ysF) / 1e6;
    return {P, topCompressed ? MxF : -MxF};
}

// The state of force P, its depth found by bisection (force grows with depth).
double HandMx(double P, bool topCompressed) {
    double lo = 1e-6, hi = 50 * h;
    for (int k = 0; k < 200; ++k) {
        const double mid = (lo + hi) / 2;
        (AtDepth(mid, topCompressed).P < P ? lo : hi) = mid;
    }
    return AtDepth(lo, topCompressed).Mx;
}

struct Solved {
    FiberTable t = Wall();
    double PMax = 0, PMin = 0;
    PMCurve pm;
    Solved() {
        ComputeAxialBounds(t, PMax, PMin);
        PmSettings s;
        SolvePM(t, b, h, s, 0, PMin, PMax, pm);
        SolvePM(t, b, h, s, 90, PMin, PMax, pm);
    }
};

const Solved& WallCurves() {
    static const Solved s;
    return s;
}

TEST(Unsymmetric, PureAxialPointsCarryTheBarsMomentAboutTheCentroid) {
    const FiberTable t = Wall();
    const PureAxialPoints a = ComputePureAxialPoints(t);
    const double tol = 1e-9;
    EXPECT_NEAR(a.PMax, (Fc * b * h + Fy * As) / 1000, 1e-6);
    EXPECT_NEAR(a.PMin, -Fy * As / 1000, 1e-9);
    // Compression pulls the bars' side down (negative Mx), tension up;
    // the concrete block's own moment about its centroid is nil.
    EXPECT_NEAR(a.Mx0, -Fy * As * ys / 1e6, tol);
    EXPECT_NEAR(a.Mx1, Fy * As * ys / 1e6, tol);
    EXPECT_NEAR(a.My0, 0, tol);
    EXPECT_NEAR(a.My1, 0, tol);
    double mx = 0, my = 0;
    a.centreAt(0.5 * (a.PMax + a.PMin), mx, my);
    EXPECT_NEAR(mx, 0, tol);
    // Concrete off the origin carries compression alone; deducted concrete
    // (under steel) takes its compression away.
    FiberTable two;
    pxtest::AddFiber(two, 10, 100, 1000, MatCoverConcrete);
    pxtest::AddFiber(two, -20, -100, 500, MatRebar);
    pxtest::AddFiber(two, 0, 50, 200, MatDeductedConcrete1);
    two.PointSymmetric = false;
    const PureAxialPoints p2 = ComputePureAxialPoints(two);
    const double fc = two[1].Fc, fy = two[2].Fy;
    EXPECT_NEAR(p2.Mx0, (-fc * 1000 * 100 + fy * 500 * 100 + fc * 200 * 50) / 1e6, tol);
    EXPECT_NEAR(p2.My0, (-fc * 1000 * 10 + fy * 500 * 20) / 1e6, tol);
    EXPECT_NEAR(p2.Mx1, -fy * 500 * 100 / 1e6, tol);
    EXPECT_NEAR(p2.My1, -fy * 500 * 20 / 1e6, tol);
    // A point-symmetric table carries no moment, exactly.
    FiberTable sym = t;
    sym.PointSymmetric = true;
    const PureAxialPoints z = ComputePureAxialPoints(sym);
    EXPECT_EQ(z.Mx0, 0);
    EXPECT_EQ(z.Mx1, 0);

    // Shown in the section information and the P-M text.
    SectionInput in;
    in.B = b;
    in.H = h;
    in.SectionType = 1;
    const std::string info = FormatSectionInfo(ComputeSectionInfo(in, t)).Centroid;
    EXPECT_NE(info.find("PMax = " + F2(a.PMax) + " kN at Mx = " + F2(a.Mx0)), std::string::npos) << info;
    EXPECT_NE(info.find("PMin = " + F2(a.PMin) + " kN at Mx = " + F2(a.Mx1)), std::string::npos) << info;
    EXPECT_EQ(FormatSectionInfo(ComputeSectionInfo(in, sym)).Centroid, "");
    const std::vector<std::string> text = FillPMText(WallCurves().pm);
    EXPECT_EQ(text[2], kUniaxialNote);
    EXPECT_EQ(text[3], "Pure_Compression  Axial_P = " + F2(a.PMax) + "  Moment_Mx = " + F2(-a.Mx0) +
                           "  Moment_My = " + F2(a.My0));
    EXPECT_EQ(text[4], "Pure_Tension  Axial_P = " + F2(a.PMin) + "  Moment_Mx = " + F2(-a.Mx1) +
                           "  Moment_My = " + F2(a.My1));
}

TEST(Unsymmetric, PmCurveClosesThroughThePureAxialPointsAndIsTheHandCurve) {
    const Solved& s = WallCurves();
    const PMCurve& c = s.pm;
    const int n = c.Divisions;
    const double Mx0 = -Fy * As * ys / 1e6;
    // Both halves of both directions end at the pure-axial points.
    EXPECT_NEAR(c.MX[n], -Mx0, 1e-9);
    EXPECT_NEAR(c.MXNeg[n], -Mx0, 1e-9);
    EXPECT_NEAR(c.MX[0], Mx0, 1e-9);
    EXPECT_NEAR(c.MXNeg[0], Mx0, 1e-9);
    EXPECT_NEAR(c.MY[n], 0, 1e-9);
    // Three levels of the X direction, both sides, against the closed form.
    for (int k : {2, 5, 8}) {
        const double top = -HandMx(c.PX[k], true), bottom = -HandMx(c.PXNeg[k], false);
        EXPECT_NEAR(c.MX[k], top, 2e-3 * std::fabs(top)) << k;
        EXPECT_NEAR(c.MXNeg[k], bottom, 2e-3 * std::fabs(bottom)) << k;
    }
}

// The check of forces on and off the wall's curves.
CheckResult CheckWall(const std::vector<std::array<double, 3>>& forces, int points = 36) {
    const Solved& s = WallCurves();
    static LoadCombinationTable loads;
    loads.Items.assign(1, {});
    for (const auto& f : forces) loads.Items.push_back({f[0], f[1], f[2]});
    loads.Count = static_cast<int>(forces.size());
    CheckRequest req;
    req.Fibers = &s.t;
    req.B = b;
    req.H = h;
    req.PMax = s.PMax;
    req.PMin = s.PMin;
    req.Mm.points = points;
    req.Loads = &loads;
    return RunCapacityCheck(req);
}

TEST(Unsymmetric, CheckNeverPassesAForceOutsideTheSurface) {
    const Solved& s = WallCurves();
    const double Mx0 = -Fy * As * ys / 1e6, Mx1 = -Mx0;
    struct Case {
        const char* what;
        double P, Mx, My;
        bool ok;
    };
    // The plastic centroid 40 % of the way from PMin to PMax: the bars'
    // moments interpolated, as the program takes it to the bit.
    const double Pu = s.PMin + 0.4 * (s.PMax - s.PMin);
    PureAxialPoints pure = ComputePureAxialPoints(s.t);
    double cx = 0, cy = 0;
    pure.centreAt(Pu, cx, cy);
    EXPECT_NEAR(cx, Mx1 + 0.4 * (Mx0 - Mx1), 1e-9);
    double cTx = 0, cTy = 0;
    pure.centreAt(-500, cTx, cTy);
    const Case cases[] = {
        {"500 kN tension, no moment", -500, 0, 0, false},
        {"0.98 PMax, no moment", 0.98 * s.PMax, 0, 0, false},
        {"tension at the plastic centroid", -500, cTx, cTy, true},
        {"0.98 PMax at the pure-axial moment", 0.98 * s.PMax, 0.98 * Mx0, 0, true},
        {"the plastic centroid", Pu, cx, cy, true},
        {"the pure-axial point at PMax", s.PMax, pure.Mx0, pure.My0, true},
        {"a moment at PMax", s.PMax, pure.Mx0 + 1, pure.My0, false},
        {"beyond PMax", 1.01 * s.PMax, Mx0, 0, false},
        {"beyond PMin", 1.01 * s.PMin, Mx1, 0, false},
    };
    std::vector<std::array<double, 3>> forces;
    for (const Case& c : cases) forces.push_back({c.P, c.Mx, c.My});
    const CheckResult r = CheckWall(forces);
    for (size_t k = 0; k < std::size(cases); ++k) {
        const CheckRow& row = r.Rows[k];
        EXPECT_EQ(row.ok(), cases[k].ok) << cases[k].what;
        if (!cases[k].ok && row.Ratio) {
            EXPECT_GT(*row.Ratio, 1) << cases[k].what;
        }
    }
    // The export names the rule.
    EXPECT_TRUE(r.FromCentre);
    EXPECT_EQ(CheckCsv(r, "\n").substr(0, 72),
              "Case,P (kN),Mx (kNm),My (kNm),Capacity (kNm),Ratio from plastic centroid");
    // A force at the centre or at a pure-axial point takes the axial ratio.
    EXPECT_EQ(*r.Rows[4].Ratio, Pu / s.PMax);
    EXPECT_EQ(*r.Rows[5].Ratio, 1);
    EXPECT_FALSE(r.Rows[6].Ratio);  // nothing is left to carry a moment: "n/a", NG
}

TEST(Unsymmetric, RadialRatioFromThePlasticCentroidAtZeroAgainstTheHandCurve) {
    // A state of the hand curve H = (P, Mx, 0) lies on the surface. The ray
    // from the plastic centroid at P = 0, S = (0, Mx1 + u0 (Mx0 - Mx1), 0),
    // through S + k (H - S) meets the surface at H: its radial ratio is k.
    const Solved& s = WallCurves();
    const PureAxialPoints pure = ComputePureAxialPoints(s.t);
    double sx = 0, sy = 0;
    pure.centreAt(0, sx, sy);
    const double u0 = -s.PMin / (s.PMax - s.PMin);
    EXPECT_NEAR(sx, Fy * As * ys / 1e6 * (1 - 2 * u0), 1e-6);
    EXPECT_NEAR(sy, 0, 1e-9);
    const double depths[] = {300, 900, 1600};
    const double scales[] = {0.6, 1.3};
    std::vector<std::array<double, 3>> forces;
    std::vector<double> expected;
    for (bool top : {true, false})
        for (double x : depths) {
            const HandState hs = AtDepth(x, top);
            for (double k : scales) {
                forces.push_back({k * hs.P, sx + k * (hs.Mx - sx), (1 - k) * sy});
                expected.push_back(k);
            }
        }
    const CheckResult r = CheckWall(forces, 360);
    EXPECT_EQ(CheckColumnName(r, kRadialColumn), "Radial Ratio from plastic centroid");
    for (size_t i = 0; i < r.Rows.size(); ++i) {
        ASSERT_TRUE(r.Rows[i].Radial) << i;
        EXPECT_NEAR(*r.Rows[i].Radial, expected[i], 3e-3 * expected[i]) << i;
        ASSERT_TRUE(r.Rows[i].Ratio) << i;
        EXPECT_EQ(*r.Rows[i].Ratio > 1, expected[i] > 1) << i;
    }
}

TEST(Unsymmetric, CurveAndCheckAgreeAtEveryLevel) {
    const Solved& s = WallCurves();
    const PMCurve& c = s.pm;
    std::vector<std::array<double, 3>> forces;
    for (int k = 1; k < c.Divisions; ++k) {
        forces.push_back({c.PX[k], -c.MX[k], 0});
        forces.push_back({c.PXNeg[k], -c.MXNeg[k], 0});
        forces.push_back({c.PY[k], 0, c.MY[k]});
        forces.push_back({c.PYNeg[k], 0, c.MYNeg[k]});
    }
    const CheckResult r = CheckWall(forces, 360);
    for (size_t k = 0; k < r.Rows.size(); ++k) {
        ASSERT_TRUE(r.Rows[k].Ratio) << k;
        // On the curve: the polygon of 360 points lies just inside it.
        EXPECT_GT(*r.Rows[k].Ratio, 1 - 1e-6) << k;
        EXPECT_LT(*r.Rows[k].Ratio, 1 + 2e-3) << k;
    }
}

TEST(Unsymmetric, MxMyCurveAtAPureAxialForceIsItsPoint) {
    const Solved& s = WallCurves();
    FiberTable t = s.t;
    const PureAxialPoints a = ComputePureAxialPoints(t);
    MmSettings mm;
    mm.points = 8;
    for (const bool top : {true, false}) {
        mm.axialForce = top ? s.PMax : s.PMin;
        MMCurve c;
        SolveMMCurve(t, b, h, mm, c);
        for (int i = 0; i <= 8; ++i) {
            EXPECT_EQ(c.Mx[i], top ? a.Mx0 : a.Mx1) << i;
            EXPECT_EQ(c.My[i], top ? a.My0 : a.My1) << i;
        }
    }
}

TEST(Unsymmetric, SurfaceClosesThroughThePureAxialPoints) {
    const Solved& s = WallCurves();
    SurfaceRequest req;
    req.Fibers = &s.t;
    req.B = b;
    req.H = h;
    req.PMax = s.PMax;
    req.PMin = s.PMin;
    req.Mm.points = 8;
    req.Levels = 2;
    const InteractionSurface surface = SolveSurface(req);
    const std::string csv = SurfaceCsv(surface, "\n");
    const double Mx0 = -Fy * As * ys / 1e6;
    EXPECT_NE(csv.find("\n2," + F2(s.PMax) + ",0," + F2(Mx0) + ","), std::string::npos) << csv;
    EXPECT_NE(csv.find("\n0," + F2(s.PMin) + ",0," + F2(-Mx0) + ","), std::string::npos) << csv;
}

}  // namespace

namespace {

// A point-symmetric section that is symmetric about neither axis: a 600 x 600
// parallelogram leaning 0.8 : 1, four 32 mm bars near its corners. Its state
// with the axis at 0 degrees carries My as well; the X curve must not.
FiberTable Parallelogram() {
    FiberTable t;
    constexpr int n = 40;
    constexpr double w = 600, lean = 0.8, d = w / n;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const double y = -w / 2 + (j + 0.5) * d;
            pxtest::AddFiber(t, -w / 2 + (i + 0.5) * d + lean * y, y, d * d, MatCoreConcrete1);
        }
    const double bar = kPi * 32 * 32 / 4;
    for (const double s : {-1.0, 1.0}) {
        pxtest::AddFiber(t, s * (240 + lean * 240), s * 240, bar, MatRebar);
        pxtest::AddFiber(t, s * (-240 + lean * 240), s * 240, bar, MatRebar);
    }
    for (int i = 1; i <= t.NFib; ++i) {
        t[i].Fc = t[i].Fcu = Fc;
        t[i].Es = Es;
        t[i].Fy = Fy;
    }
    std::vector<std::pair<double, double>> ring;
    for (const auto& [x, y] : {std::pair{-w / 2, -w / 2}, {w / 2, -w / 2}, {w / 2, w / 2}, {-w / 2, w / 2}})
        ring.emplace_back(x + lean * y, y);
    t.Outline = {ring};
    t.LimitPoints = ring;
    t.PointSymmetric = true;
    return t;
}

}  // namespace

TEST(Unsymmetric, DrawnPointSymmetricSectionHasUniaxialCurves) {
    FiberTable t = Parallelogram();
    double PMax = 0, PMin = 0;
    ComputeAxialBounds(t, PMax, PMin);
    PMCurve pm;
    SolvePM(t, 1080, 600, PmSettings{}, 0, PMin, PMax, pm);
    ASSERT_FALSE(pm.bothWays());
    std::vector<std::array<double, 3>> forces;
    for (int k = 1; k < pm.Divisions; ++k) {
        forces.push_back({pm.PX[k], pm.MX[k], 0});
        forces.push_back({pm.PX[k], -pm.MX[k], 0});
    }
    LoadCombinationTable loads;
    loads.Items.assign(1, {});
    for (const auto& f : forces) loads.Items.push_back({f[0], f[1], f[2]});
    loads.Count = static_cast<int>(forces.size());
    CheckRequest req;
    req.Fibers = &t;
    req.B = 1080;
    req.H = 600;
    req.PMax = PMax;
    req.PMin = PMin;
    req.Mm.points = 360;
    req.Loads = &loads;
    const CheckResult r = RunCapacityCheck(req);
    for (size_t k = 0; k < r.Rows.size(); ++k) {
        ASSERT_TRUE(r.Rows[k].Ratio) << k;
        EXPECT_NEAR(*r.Rows[k].Ratio, 1, 3e-3) << k << " at P = " << r.Rows[k].P;
    }
}
