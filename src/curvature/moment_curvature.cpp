#include "curvature/moment_curvature.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "analysis/fiber_sweep.h"
#include "analysis/mm_solver.h"
#include "analysis/offset_root.h"
#include "input/error.h"
#include "input/guards.h"
#include "input/numbers.h"

namespace px {

MphiSettings ReadMphiSettings(const FieldSource& f) {
    MphiSettings s;
    s.axialForce = f.real("Edit66");
    s.angle = f.real("Edit67");
    s.steps = f.integer("Edit68");
    s.strainLimit = f.real("Edit34");
    s.factor = f.real("Edit63");
    return s;
}

void CheckMphiSettings(const MphiSettings& s) {
    RequireAtLeast(s.steps, 1, "Curvature Steps");
    RequireAtMost(s.steps, kMaxCurvatureSteps, "Curvature Steps");
    if (!std::isfinite(s.angle) || std::fabs(s.angle) > 1e6)
        throw AppError("\"Neutral Axis Angle\" must lie between -1000000 and 1000000 degrees");
    if (!(s.strainLimit < 0)) throw AppError("\"Strain Limit\" must be less than 0");
    if (!(s.factor > 0) || !std::isfinite(s.factor))
        throw AppError("\"Extention Factor\" must be greater than 0");
}

void CheckMphiForce(double Pt, double PMin, double PMax) {
    if (!(PMin < Pt && Pt < PMax))
        throw AppError("\"Axial Force\" must be greater than the pure tension capacity " + F2(PMin) +
                       " kN and less than the pure compression capacity " + F2(PMax) + " kN");
}

std::string MphiInputsKey(const FieldSource& f) {
    std::string key;
    auto edit = [&](int n) { key += f.text("Edit" + std::to_string(n)) + '\n'; };
    for (int n = 1; n <= 29; ++n) edit(n);
    for (int n = 41; n <= 51; ++n) edit(n);
    for (int n : {34, 63, 66, 67, 68, 69, 70}) edit(n);
    key += CustomSectionKey(f);
    for (int n : {1, 2, 3, 4, 5, 6, 8}) key += std::to_string(f.itemIndex("ComboBox" + std::to_string(n))) + '\n';
    return key;
}

namespace {

// Curvature of the strain plane that stands for a uniform strain: with it
// the offsets that give the strains of a section are so large that every
// fiber's distance rounds to the offset itself, so one pass of the solvers'
// fiber loop yields the uniform state.
constexpr double kUniformCurvature = 1e-280;
// Outward steps past the window before a force counts as out of reach.
constexpr int kReachBatches = 5;

// What the analysis keeps for one section and axis.
struct Context {
    Context(FiberTable& table, double b, double h, const MphiSettings& settings)
        : t(table), B(b), H(h), s(settings) {}
    FiberTable& t;
    double B, H;
    StrainLimitPoints pts;  // where the strain limits apply, turned with the fibers
    const MphiSettings& s;
    double w = 0, sign = 0, norm = 1;
    ForceTarget g;
    SweepTable st;
    std::vector<double> U;
    SweepIsa isa = SweepIsa::Baseline;
    std::vector<int> yieldFibers;  // bars, or the steel section's fibers without bars
    const std::atomic<bool>* cancel = nullptr;
};

// Trials of one curvature: the fast sweep where the section allows it,
// else the reference pass; the same bits either way.
struct CurvatureEval {
    Context& x;
    double phi;
    void operator()(OffsetState* s, int T) {
        ThrowIfCancelled(x.cancel);
        if (x.st.reproducible) {
            double c[kRootTrials], ph[kRootTrials], F[kRootTrials], Sx[kRootTrials], Sy[kRootTrials];
            for (int k = 0; k < T; ++k) {
                c[k] = s[k].c;
                ph[k] = phi;
            }
            SweepTrials(x.st, x.isa, x.U.data(), x.norm, c, ph, T, F, Sx, Sy, x.cancel);
            ThrowIfCancelled(x.cancel);
            for (int k = 0; k < T; ++k) {
                CheckSums(F[k], Sx[k], Sy[k]);
                s[k].P = -F[k] / 1000;
                s[k].Mx = x.sign * (Sx[k] / 1000000);
                s[k].My = x.sign * (Sy[k] / 1000000);
            }
            return;
        }
        for (int k = 0; k < T; ++k) {
            const SectionForceResult r = SectionForcesNorm(x.t, x.w, x.norm, s[k].c, phi);
            s[k].P = r.P;
            s[k].Mx = x.sign * r.Mx;
            s[k].My = x.sign * r.My;
        }
    }
};

// The point of a solved state: moments and strains of the plane
// strain = phi x (w X - Y + c) / norm.
MphiPoint PointOf(const Context& x, double phiShown, double phi, const OffsetState& st) {
    MphiPoint p;
    p.phi = phiShown;
    p.c = st.c;
    p.Mx = st.Mx;
    p.My = st.My;
    p.M = std::hypot(st.Mx, st.My);
    double dmin = 0, dmax = 0;
    CornerDistances(x.w, st.c, x.pts, dmin, dmax);
    p.cornerStrain = phi * dmin;
    for (int i : x.yieldFibers) {
        const Fiber& f = x.t[i];
        // A bar yields at its centre, a plate or wall fiber at its corner
        // farthest from the axis.
        double e = phi * ((x.w * f.X - f.Y + st.c) / x.norm);
        if (f.MatId == MatSteelSection) {
            for (const auto& [cx, cy] : {std::pair{f.X1, f.Y1}, {f.X2, f.Y2}, {f.X3, f.Y3}, {f.X4, f.Y4}}) {
                const double ec = phi * ((x.w * cx - cy + st.c) / x.norm);
                if (std::fabs(ec) > std::fabs(e)) e = ec;
            }
        }
        const double ratio = std::fabs(e) / checkedDiv(f.Fy, f.Es);
        if (std::fabs(e) > std::fabs(p.barStrain)) p.barStrain = e;
        p.yieldRatio = std::max(p.yieldRatio, ratio);
    }
    return p;
}

OffsetState SolveState(Context& x, double phi) {
    const double ph = phi > 0 ? phi : kUniformCurvature;
    double cmin, cmax, span;  // span: the offsets of the window at factor 1
    if (phi > 0) {
        const AxisWindowResult win = AxisWindowForSlope(x.w, x.pts, x.s.factor);
        cmin = win.cmin;
        cmax = win.cmax;
        const AxisWindowResult whole = AxisWindowForSlope(x.w, x.pts, 1);
        span = whole.cmax - whole.cmin;
    } else {
        // Uniform strains from the strain limit to the tensile limit.
        cmin = x.s.strainLimit * x.s.factor * x.norm / ph;
        cmax = kTensileStrainLimit * x.s.factor * x.norm / ph;
        span = checkedFinite((kTensileStrainLimit - x.s.strainLimit) * x.norm / ph);
    }
    CurvatureEval eval{x, ph};
    auto refuse = [&] {
        throw AppError("No state with axial force " + F2(x.g.Pt) + " kN at curvature " +
                       FormatFixed(PerKm(phi), 4) + " 1/km");
    };
    // A block of trials across the window; the force falls as the offset
    // grows, and with a descending law it may cross Pt more than once: the
    // crossing met first from the tension end (largest offset) is taken.
    OffsetState trial[kRootTrials];
    constexpr int last = kRootTrials - 1;
    for (int k = 0; k < kRootTrials; ++k) trial[k].c = GridOffset(cmin, cmax, k, last);
    eval(trial, kRootTrials);
    for (int k = last; k >= 0; --k) {
        if (trial[k].P < x.g.Pt) continue;
        if (trial[k].P == x.g.Pt) return trial[k];
        if (k == last)
            return SolvePastEnd(eval, trial[last], trial[0].c, x.g, kReachBatches, &trial[last - 1], refuse, span);
        const OffsetState& beside = k + 2 <= last ? trial[k + 2] : trial[k - 1];
        return NarrowToForce(eval, trial[k + 1], trial[k], x.g, &beside);
    }
    return SolvePastEnd(eval, trial[0], trial[last].c, x.g, kReachBatches, &trial[1], refuse, span);
}

MphiPoint SolvePoint(Context& x, double phi) {
    // No curvature and no force: every strain is 0.
    if (phi == 0 && x.g.Pt == 0) return {};
    const OffsetState st = SolveState(x, phi);
    return PointOf(x, phi, phi > 0 ? phi : kUniformCurvature, st);
}

// Whether the angle's direction is solved on the turned fibers (a section
// that is not point-symmetric, compressed below the axis).
bool AngleTurned(const FiberTable& t, double angle) {
    double w = 0, sign = 0;
    MmSlopeAt(angle, w, sign);
    return SolvedTurned(t, sign);
}

// The context of fibers already turned when `turned`.
Context MakeContext(FiberTable& t, double B, double H, const MphiSettings& s, double PMax, double PMin,
                    bool turned) {
    Context x(t, B, H, s);
    x.pts = StrainLimitPoints::Of(t, B, H);
    if (turned) x.pts = x.pts.Turned();
    MmSlopeAt(s.angle, x.w, x.sign);
    x.norm = AxisNorm(x.w);
    x.g.Pt = s.axialForce;
    x.g.tol = 1e-9 * (PMax - PMin);
    x.st = BuildSweepTable(t);
    if (x.st.reproducible) {
        AxisTerms(x.st, x.w, x.U);
        x.isa = ResolveSweepIsa(SweepIsa::Auto);
    }
    for (int id : {static_cast<int>(MatRebar), static_cast<int>(MatSteelSection)}) {
        for (int i = 1; i <= t.NFib; ++i)
            if (t[i].MatId == id) x.yieldFibers.push_back(i);
        if (!x.yieldFibers.empty()) break;
    }
    return x;
}

// First yield between two points, the first one below yield and the second
// at or past it: regula falsi on the curvature (Illinois), each trial an
// equilibrium solve, down to the last bits of the curvature.
MphiPoint FindYield(Context& x, MphiPoint lo, MphiPoint hi) {
    double flo = lo.yieldRatio - 1, fhi = hi.yieldRatio - 1;
    int side = 0;
    for (int it = 0; it < 200; ++it) {
        if (fhi == 0 || !(hi.phi - lo.phi > 1e-14 * hi.phi)) break;
        double phi = hi.phi - fhi * (hi.phi - lo.phi) / (fhi - flo);
        if (!(phi > lo.phi && phi < hi.phi)) phi = lo.phi + (hi.phi - lo.phi) / 2;
        const MphiPoint p = SolvePoint(x, phi);
        const double f = p.yieldRatio - 1;
        if (f >= 0) {
            hi = p;
            fhi = f;
            if (side == 1) flo /= 2;
            side = 1;
        } else {
            lo = p;
            flo = f;
            if (side == -1) fhi /= 2;
            side = -1;
        }
    }
    return hi;
}

// Trapezoids over the points (in curvature order) and first yield, kNm/mm.
double CurveArea(const std::vector<MphiPoint>& pts, const std::optional<MphiPoint>& yield) {
    std::vector<MphiPoint> all = pts;
    if (yield) {
        auto at = std::upper_bound(all.begin(), all.end(), yield->phi,
                                   [](double v, const MphiPoint& p) { return v < p.phi; });
        all.insert(at, *yield);
    }
    double area = 0;
    for (size_t i = 1; i < all.size(); ++i) area += (all[i].phi - all[i - 1].phi) * (all[i].M + all[i - 1].M) / 2;
    return checkedFinite(area);
}

void Idealise(MphiResult& r) {
    r.curveArea = CurveArea(r.points, r.yield);
    if (!r.yield) {
        r.bilinearNote = r.yieldNote;
        return;
    }
    const MphiPoint& y = *r.yield;
    const double phiU = r.ultimate.phi;
    r.stiffness = checkedDiv(y.M, y.phi * 1000);  // kN m2
    if (!(y.M > 0)) {
        r.bilinearNote = "the moment at first yield is 0";
        return;
    }
    const double K = y.M / y.phi;
    // Area of the bilinear line: Mp phi_u - Mp^2 / (2 K); the root with
    // phi_y' = Mp / K <= phi_u, written without cancellation.
    const double a2 = checkedFinite(2 * r.curveArea / K);
    const double disc = phiU * phiU - a2;
    if (disc < 0) {
        r.bilinearNote = "no bilinear line up to phi_u has the area under the curve";
        return;
    }
    double phiYp = a2 / (phiU + std::sqrt(disc));
    if (!(phiYp > 0)) {
        r.bilinearNote = "the area under the curve is 0";
        return;
    }
    // The plateau never lies above the curve's peak: Mp = min(equal-area
    // Mp, Mmax). The curve lies above the elastic branch (the secant to first
    // yield) up to first yield; where it then drops from its peak (a cover
    // that crushes), the equal-area rule makes up that area with a plateau
    // above every moment the section reaches. Capped, the elastic branch
    // keeps the stiffness through first yield and meets the plateau at
    // phi_y' = Mmax / K; the line then holds less area than the curve, and
    // the key values say Mp was capped.
    double Mp = K * phiYp;
    if (Mp > r.Mmax && r.Mmax > 0) {
        Mp = r.Mmax;
        phiYp = Mp / K;
        r.MpCapped = true;
    }
    r.phiYieldIdeal = phiYp;
    r.Mp = Mp;
    r.ductility = checkedDiv(phiU, phiYp);
}

// A drawn section takes its neutral axis from the angle itself: a copy of
// its fibers is turned by the cosine and sine of the angle less 45 degrees,
// so that the axis lies at 45 degrees, a slope the solvers take as it is,
// and the moments are turned back. The templates keep the slope rule of the
// Mx-My curve (tan bounded to +-100 and kept away from 0), on which their
// published curves rest.
constexpr double kCopyAxisDeg = 45;

bool ExactAngle(const FiberTable& t) { return !t.Outline.empty(); }

struct AxisTurn {
    double cs = 1, sn = 0;  // cosine and sine of the turn

    explicit AxisTurn(double angleDeg) {
        const double turn = std::fmod(angleDeg - kCopyAxisDeg, 360.0) * (3.14159265358979323846 / 180);
        cs = std::cos(turn);
        sn = std::sin(turn);
    }
    // A point of the section in the copy's axes.
    void into(double& x, double& y) const {
        const double u = cs * x + sn * y, v = -sn * x + cs * y;
        x = u;
        y = v;
    }
    // Moments of the copy (lever arms Y and X) as the section's.
    void back(double& Mx, double& My) const {
        const double my = cs * My - sn * Mx, mx = sn * My + cs * Mx;
        Mx = mx;
        My = my;
    }
    void back(MphiPoint& p) const { back(p.Mx, p.My); }
};

// The fibers and strain limit points in the copy's axes; the outlines,
// which no solver reads, are left out.
FiberTable TurnedCopy(const FiberTable& t, double B, double H, const AxisTurn& a) {
    FiberTable c;
    c.f = t.f;
    c.NFib = t.NFib;
    c.PointSymmetric = t.PointSymmetric;
    const StrainLimitPoints pts = StrainLimitPoints::Of(t, B, H);
    for (int k = 0; k < pts.size(); ++k) {
        double x = pts.x[static_cast<size_t>(k)], y = pts.y[static_cast<size_t>(k)];
        a.into(x, y);
        c.LimitPoints.emplace_back(x, y);
    }
    for (int i = 1; i <= c.NFib; ++i) {
        Fiber& f = c[i];
        a.into(f.X, f.Y);
        a.into(f.X1, f.Y1);
        a.into(f.X2, f.Y2);
        a.into(f.X3, f.Y3);
        a.into(f.X4, f.Y4);
    }
    return c;
}

MphiPoint SolveAtCurvatureOf(FiberTable& t, double B, double H, const MphiSettings& s, double phi);
MphiResult SolveMomentCurvatureOf(FiberTable& t, double B, double H, const MphiSettings& s,
                                  const Progress& progress, const std::atomic<bool>* cancel);

}  // namespace

MphiPoint SolveAtCurvature(FiberTable& t, double B, double H, const MphiSettings& s, double phi) {
    if (!ExactAngle(t)) return SolveAtCurvatureOf(t, B, H, s, phi);
    const AxisTurn a(s.angle);
    FiberTable copy = TurnedCopy(t, B, H, a);
    MphiSettings at = s;
    at.angle = kCopyAxisDeg;
    MphiPoint p = SolveAtCurvatureOf(copy, B, H, at, phi);
    a.back(p);
    return p;
}

MphiResult SolveMomentCurvature(FiberTable& t, double B, double H, const MphiSettings& s,
                                const Progress& progress, const std::atomic<bool>* cancel) {
    CheckMphiSettings(s);
    if (!ExactAngle(t)) return SolveMomentCurvatureOf(t, B, H, s, progress, cancel);
    const AxisTurn a(s.angle);
    FiberTable copy = TurnedCopy(t, B, H, a);
    MphiSettings at = s;
    at.angle = kCopyAxisDeg;
    MphiResult r = SolveMomentCurvatureOf(copy, B, H, at, progress, cancel);
    r.settings = s;
    for (MphiPoint& p : r.points) a.back(p);
    a.back(r.ultimate);
    if (r.yield) a.back(*r.yield);
    return r;
}

namespace {

MphiPoint SolveAtCurvatureOf(FiberTable& t, double B, double H, const MphiSettings& s, double phi) {
    double PMax = 0, PMin = 0;
    ComputeAxialBounds(t, PMax, PMin);
    const bool turned = AngleTurned(t, s.angle);
    TurnedFibers turn(t, turned);
    Context x = MakeContext(t, B, H, s, PMax, PMin, turned);
    return SolvePoint(x, phi);
}

MphiResult SolveMomentCurvatureOf(FiberTable& t, double B, double H, const MphiSettings& s,
                                  const Progress& progress, const std::atomic<bool>* cancel) {
    double PMax = 0, PMin = 0;
    ComputeAxialBounds(t, PMax, PMin);
    CheckMphiForce(s.axialForce, PMin, PMax);
    MphiResult r;
    r.settings = s;
    MmSettings mm;
    mm.axialForce = s.axialForce;
    mm.strainLimit = s.strainLimit;
    mm.factor = s.factor;
    // Solved before the fibers are turned: the exact solve turns them itself,
    // and its offset is that of the turned fibers.
    const MmState u = SolveMmStateAt(t, B, H, mm, s.angle);
    const bool turned = AngleTurned(t, s.angle);
    TurnedFibers turn(t, turned);
    Context x = MakeContext(t, B, H, s, PMax, PMin, turned);
    x.cancel = cancel;
    r.ultimate = PointOf(x, u.phi, u.phi, {u.c, u.P, u.Mx, u.My});

    const int n = s.steps;
    r.points.reserve(static_cast<size_t>(n) + 1);
    for (int k = 0; k <= n; ++k) {
        ThrowIfCancelled(cancel);
        if (progress) progress(nearest(static_cast<double>(k) * 100 / n));
        r.points.push_back(k == n ? r.ultimate : SolvePoint(x, u.phi * k / n));
    }

    const auto first = std::find_if(r.points.begin(), r.points.end(),
                                    [](const MphiPoint& p) { return p.yieldRatio >= 1; });
    if (x.yieldFibers.empty()) {
        r.yieldNote = "the section has no bars and no steel section";
    } else if (first == r.points.end()) {
        r.yieldNote = "no bar yields before phi_u";
    } else if (first == r.points.begin()) {
        r.yieldNote = "a bar yields at zero curvature";
    } else {
        r.yield = FindYield(x, *(first - 1), *first);
    }
    const auto peak = std::max_element(r.points.begin(), r.points.end(),
                                       [](const MphiPoint& a, const MphiPoint& b) { return a.M < b.M; });
    r.Mmax = peak->M;
    r.phiMmax = peak->phi;
    Idealise(r);
    return r;
}

}  // namespace

namespace {

std::string Curv(double phi) { return FormatFixed(PerKm(phi), 4); }

}  // namespace

std::vector<std::string> MphiKeyLines(const MphiResult& r) {
    std::vector<std::string> out;
    const std::string yieldNa = "n/a (" + r.yieldNote + ")";
    const std::string bilinearNa = "n/a (" + r.bilinearNote + ")";
    out.push_back("My = " + (r.yield ? F2(r.yield->M) + " kNm" : yieldNa));
    out.push_back("phi_y = " + (r.yield ? Curv(r.yield->phi) + " 1/km" : yieldNa));
    out.push_back("Mp = " + (r.Mp ? F2(*r.Mp) + " kNm" + (r.MpCapped ? " (capped at Mmax)" : "") : bilinearNa));
    out.push_back("phi_y' = " + (r.phiYieldIdeal ? Curv(*r.phiYieldIdeal) + " 1/km" : bilinearNa));
    out.push_back("phi_u = " + Curv(r.ultimate.phi) + " 1/km");
    out.push_back("Mu = " + F2(r.ultimate.M) + " kNm");
    out.push_back("Mmax = " + F2(r.Mmax) + " kNm at phi = " + Curv(r.phiMmax) + " 1/km");
    out.push_back("mu = " + (r.ductility ? F2(*r.ductility) : bilinearNa));
    out.push_back("EIeff = " + (r.stiffness ? F0(*r.stiffness) + " kN m2" : yieldNa));
    return out;
}

std::vector<std::string> FillMphiText(const MphiResult& r) {
    const std::string rule(90, '=');
    std::vector<std::string> out = {"", "M-Phi_Curve_Data", "",
                                    "Axial_Force_P = " + F2(r.settings.axialForce),
                                    "Neutral_Axis_Angle = " + F2(r.settings.angle), "", rule};
    std::string head;
    for (const char* t : {"Curvature_1/km", "Moment_Mx", "Moment_My", "Moment_M", "e_Corner_x1000", "e_Bar_x1000"})
        head += PadRight(15, t);
    out.push_back(head);
    out.push_back(rule);
    for (const MphiPoint& p : r.points) {
        out.push_back(PadRight(15, Curv(p.phi)) + PadRight(15, F2(p.Mx)) + PadRight(15, F2(p.My)) +
                      PadRight(15, F2(p.M)) + PadRight(15, FormatFixed(p.cornerStrain * 1000, 4)) +
                      PadRight(15, FormatFixed(p.barStrain * 1000, 4)));
    }
    out.push_back(rule);
    out.push_back("");
    out.push_back("Key_Values");
    for (const std::string& line : MphiKeyLines(r)) out.push_back(line);
    return out;
}

}  // namespace px
