#include "analysis/mm_solver.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "analysis/fiber_sweep.h"
#include "analysis/offset_root.h"
#include "analysis/parallel_jobs.h"
#include "analysis/pm_solver.h"
#include "input/error.h"
#include "input/guards.h"
#include "input/numbers.h"

namespace px {

MmSettings ReadMmSettings(const FieldSource& f) {
    MmSettings s;
    s.points = f.integer("Edit35");
    s.axialForce = f.real("Edit30");
    s.K = f.integer("Edit61");
    s.N = f.integer("Edit62");
    s.factor = f.real("Edit63");
    s.strainLimit = f.real("Edit34");
    return s;
}

void CheckMmSettings(const MmSettings& s) {
    RequireAtLeast(s.points, 1, "Num of MM Curve Points");
    RequireAtMost(s.points, kMaxMmPoints, "Num of MM Curve Points");
    RequireAtLeast(s.K, 1, "Outside Step K");
    RequireAtLeast(s.N, 2, "Inside Step N");
    RequireAtMost(s.N, kMaxGridSteps, "Inside Step N");
    RequirePositive(s.factor, "Extention Factor");
    if (!(s.strainLimit < 0)) throw AppError("\"Strain Limit\" must be less than 0");
}

void MmSlopeAt(double thetaDeg, double& slope, double& cosSign) {
    const double thetaR = thetaDeg * kDegToRad;
    double t = std::tan(thetaR);
    if (t >= 100) t = 100;
    if (t <= -100) t = -100;
    if (t >= 0 && t < 0.001) t = 0.0001;
    if (t > -0.001 && t < 0) t = -0.0001;
    slope = t;
    const double co = std::cos(thetaR);
    cosSign = co > 0 ? 1.0 : (co < 0 ? -1.0 : 0.0);
}

void MmSlope(int i, int points, double& slope, double& cosSign) {
    MmSlopeAt(static_cast<double>(i * 360) / points, slope, cosSign);
}

namespace {

// The axial force asked for, as the exact solve sees it.
struct Target : ForceTarget {
    bool inside = false;  // PMin < Pt < PMax of the fibers being solved
};

// The axial capacities of `t`: the caller's when given, one pass otherwise;
// and for a table with a code's step laws (concrete model 3, steel model 2)
// the offset width at which the narrowing stops, 1e-6 of the section's
// extent (0 for every other table: the narrowing as it always was).
struct Bounds : AxialBounds {
    double cTol = 0;
};
Bounds BoundsOf(const FiberTable& t, const SolveOptions& options) {
    Bounds b;
    if (options.bounds) {
        static_cast<AxialBounds&>(b) = *options.bounds;
    } else {
        ComputeAxialBounds(t, b.PMax, b.PMin);
    }
    bool steps = false;
    double extent = 0;
    for (int i = 1; i <= t.NFib; ++i) {
        const Fiber& f = t[i];
        steps = steps || (f.MatId == MatRebar || f.MatId == MatSteelSection ? f.SteelModel == 2 : f.ConcModel == 3);
        extent = std::max(extent, std::fabs(f.X) + std::fabs(f.Y));
    }
    if (steps) b.cTol = 1e-6 * extent;
    return b;
}

Target TargetOf(const Bounds& b, double Pt) {
    const double PMax = b.PMax, PMin = b.PMin;
    Target g;
    g.Pt = Pt;
    g.cTol = b.cTol;
    g.tol = 1e-9 * (PMax - PMin);
    g.inside = PMin < Pt && Pt < PMax;
    return g;
}

// Whether the first pass's window ends (axial forces P0 and PN) leave a
// target the section can carry out of the grid's reach.
bool WindowMisses(const Target& g, double P0, double PN) {
    return g.inside && (g.Pt < std::min(P0, PN) || g.Pt > std::max(P0, PN));
}

// Far enough past the window that every fiber has the strain of the limit to
// the last bit: 2^36 window widths, or section spans past a narrower window.
constexpr int kReachBatches = 5;

// One angle as the exact solves see it: the axis, the sign rule, and how to
// evaluate a block of trials. The trials' moments carry the sign rule.
struct AngleAxis {
    double w, sign;
    const StrainLimitPoints* pts;
    double limit, theta;
    bool turned;  // solved on the turned fibers (SolvedTurned)
    double phi(double c) const { return TrialCurvatureAt(w, c, *pts, limit, true); }
};

// The points where the strain limits apply, as the section stands and
// turned by 180 degrees, and which directions are solved turned: for a
// section that is not point-symmetric, those whose compressed side lies
// below the axis (cosine of the angle below 0). A point-symmetric section
// takes the state of the opposite direction with both moments negated.
struct Sides {
    StrainLimitPoints pts, turnedPts;
    bool bothWays;
    Sides(const FiberTable& t, double B, double H)
        : pts(StrainLimitPoints::Of(t, B, H)), turnedPts(pts.Turned()), bothWays(!t.PointSymmetric) {}
    AngleAxis axis(double w, double sign, double limit, double theta) const {
        const bool turned = bothWays && sign < 0;
        return {w, sign, turned ? &turnedPts : &pts, limit, theta, turned};
    }
};

template <class Eval>
OffsetState PastWindow(Eval&& eval, const AngleAxis& a, const OffsetState& end, double other,
                       const Target& g, const OffsetState* inner = nullptr) {
    const AxisWindowResult section = AxisWindowForSlope(a.w, *a.pts, 1);
    return SolvePastEnd(
        eval, end, other, g, kReachBatches, inner,
        [&] {
            throw AxialForceOutOfReach("No strain state within the strain limits carries the axial force " +
                                       F2(g.Pt) + " kN at angle " + F2(a.theta) + " degrees");
        },
        section.cmax - section.cmin);
}

// The root-finding pass samples each angle's family once at this many
// offsets evenly across the window, both ends included, and brackets every
// axial force it solves at that angle from the samples.
constexpr int kFamilySamples = 8 * kRootTrials;

struct FamilySamples {
    OffsetState s[kFamilySamples];
};

template <class Eval>
void SampleFamily(Eval&& eval, double cmin, double cmax, FamilySamples& f) {
    for (int k = 0; k < kFamilySamples; ++k) f.s[k].c = GridOffset(cmin, cmax, k, kFamilySamples - 1);
    for (int k = 0; k < kFamilySamples; k += kRootTrials) eval(f.s + k, kRootTrials);
}

// The state of force g.Pt: the first crossing of Pt from the tension end of
// the samples, narrowed; past the window when the samples hold no crossing.
template <class Eval>
OffsetState RootFromSamples(Eval&& eval, const AngleAxis& a, const FamilySamples& f, const Target& g) {
    constexpr int last = kFamilySamples - 1;
    for (int k = last; k >= 0; --k) {
        if (f.s[k].P < g.Pt) continue;
        if (f.s[k].P == g.Pt) return f.s[k];
        if (k == last) return PastWindow(eval, a, f.s[last], f.s[0].c, g, &f.s[last - 1]);  // beyond the tension end
        const OffsetState& beside = k + 2 <= last ? f.s[k + 2] : f.s[k - 1];
        return NarrowToForce(eval, f.s[k + 1], f.s[k], g, &beside);
    }
    return PastWindow(eval, a, f.s[0], f.s[last].c, g, &f.s[1]);  // beyond the compressed end
}

template <class Eval>
OffsetState SolveAngleRoot(Eval&& eval, const AngleAxis& a, double cmin, double cmax,
                           const Target& g) {
    FamilySamples f;
    SampleFamily(eval, cmin, cmax, f);
    return RootFromSamples(eval, a, f, g);
}

// The window end nearer to a target beyond both: index 0 or N of the pass.
int NearerEnd(const Target& g, const double* P, int N) {
    const bool above = g.Pt > std::max(P[0], P[N]);
    return (above ? P[0] >= P[N] : P[0] <= P[N]) ? 0 : N;
}

double AngleOf(int i, int points) { return static_cast<double>(i * 360) / points; }

AngleAxis AxisOf(const MmSettings& s, int i, const Sides& sides) {
    double w = 0, sign = 0;
    MmSlope(i, s.points, w, sign);
    return sides.axis(w, sign, s.strainLimit, AngleOf(i, s.points));
}

// Trials one by one through the fiber table, as the reference pass goes.
struct TableEval {
    FiberTable& t;
    const AngleAxis& a;
    double norm;
    const std::atomic<bool>* cancel;
    double lastC = 0, lastPhi = 0;
    void operator()(OffsetState* s, int T) {
        for (int k = 0; k < T; ++k) {
            ThrowIfCancelled(cancel);
            lastC = s[k].c;
            lastPhi = a.phi(s[k].c);
            const SectionForceResult r = SectionForcesNorm(t, a.w, norm, lastC, lastPhi);
            s[k].P = r.P;
            s[k].Mx = a.sign * r.Mx;
            s[k].My = a.sign * r.My;
        }
    }
};

// Trials in one sweep of the fast pass.
struct SweepEval {
    const SweepTable& st;
    const SweepRun& run;
    const double* U;
    const AngleAxis& a;
    double norm;
    double lastC = 0, lastPhi = 0;
    void operator()(OffsetState* s, int T) {
        double c[kRootTrials], phi[kRootTrials], F[kRootTrials], Sx[kRootTrials], Sy[kRootTrials];
        for (int k = 0; k < T; ++k) {
            c[k] = s[k].c;
            phi[k] = a.phi(c[k]);
        }
        ThrowIfCancelled(run.cancel);
        SweepTrials(st, run.isa, U, norm, c, phi, T, F, Sx, Sy, run.cancel);
        ThrowIfCancelled(run.cancel);
        for (int k = 0; k < T; ++k) {
            CheckSums(F[k], Sx[k], Sy[k]);
            s[k].P = -F[k] / 1000;
            s[k].Mx = a.sign * (Sx[k] / 1000000);
            s[k].My = a.sign * (Sy[k] / 1000000);
        }
        lastC = c[T - 1];
        lastPhi = phi[T - 1];
    }
};

void Store(MMCurve& curve, int i, const OffsetState& s) {
    curve.Mx[i] = s.Mx;
    curve.My[i] = s.My;
    curve.P[i] = s.P;
}

void SolveReference(FiberTable& t, const Sides& sides, const MmSettings& s, MMCurve& curve,
                    const Progress& progress, const SolveOptions& options) {
    const int N = s.N;
    const double Pt = s.axialForce;
    const Target g = TargetOf(BoundsOf(t, options), Pt);
    std::vector<double> P(N + 1), Mx(N + 1), My(N + 1);
    for (int i = 0; i <= s.points; ++i) {
        const AngleAxis a = AxisOf(s, i, sides);
        TurnedFibers turned(t, a.turned);
        const AxisWindowResult win = AxisWindowForSlope(a.w, *a.pts, s.factor);
        TableEval eval{t, a, AxisNorm(a.w), options.cancel};
        double cLo = win.cmin, cHi = win.cmax;
        int chosen = 1;
        for (int pass = 1; pass <= s.K; ++pass) {
            for (int j = 0; j <= N; ++j) {
                if (progress) progress(nearest(static_cast<double>(j * 100) / N));
                ThrowIfCancelled(options.cancel);
                const double c = GridOffset(cLo, cHi, j, N);
                const double k = a.phi(c);
                const SectionForceResult r = SectionForcesNorm(t, a.w, eval.norm, c, k);
                P[j] = r.P;
                Mx[j] = a.sign * r.Mx;
                My[j] = a.sign * r.My;
            }
            if (pass == 1 && WindowMisses(g, P[0], P[N])) {
                chosen = -1;
                break;
            }
            chosen = ChooseClosest(P.data(), 1, N - 1, Pt);
            NarrowWindow(cLo, cHi, chosen, N);
        }
        if (chosen < 0) {
            const int e = NearerEnd(g, P.data(), N);
            const OffsetState end{GridOffset(win.cmin, win.cmax, e, N), P[e], Mx[e], My[e]};
            Store(curve, i, PastWindow(eval, a, end, GridOffset(win.cmin, win.cmax, N - e, N), g));
            continue;
        }
        curve.Mx[i] = Mx[chosen];
        curve.My[i] = My[chosen];
        curve.P[i] = P[chosen];
    }
}

// The fibers' state a solve leaves: that of its last trial.
struct LastTrial {
    double w = 0, c = 0, phi = 0;
    bool turned = false;
};

// The fiber tables of the fast pass: as the section stands and, for a
// section solved both ways, turned.
struct SweepTables {
    SweepTable st, turned;
    SweepTables(const FiberTable& t) : st(BuildSweepTable(t)) {
        if (!t.PointSymmetric) turned = TurnedSweepTable(st);
    }
    const SweepTable& of(const AngleAxis& a) const { return a.turned ? turned : st; }
};

void StoreLastTrial(FiberTable& t, const LastTrial& last) {
    TurnedFibers turned(t, last.turned);
    StoreTrialState(t, last.w, AxisNorm(last.w), last.c, last.phi);
}

OffsetState SolveAngleFast(const SweepTables& tables, const SweepRun& run, const Sides& sides,
                           const MmSettings& s, const Target& g, int i, GridScratch& ws,
                           LastTrial& last) {
    const int N = s.N;
    const AngleAxis a = AxisOf(s, i, sides);
    const SweepTable& st = tables.of(a);
    const AxisWindowResult win = AxisWindowForSlope(a.w, *a.pts, s.factor);
    const double norm = AxisNorm(a.w);
    AxisTerms(st, a.w, ws.U);
    SweepEval eval{st, run, ws.U.data(), a, norm};
    last.w = a.w;
    last.turned = a.turned;
    auto solved = [&](const OffsetState& p) {
        last.c = eval.lastC;
        last.phi = eval.lastPhi;
        return p;
    };
    const GridAxis axis{ws.U.data(), a.w, norm, a.pts, s.strainLimit, true};
    double cLo = win.cmin, cHi = win.cmax;
    int chosen = 1;
    for (int pass = 1; pass <= s.K; ++pass) {
        SweepGridPass(st, run, axis, cLo, cHi, N, ws);
        last.c = ws.c[N];
        last.phi = ws.phi[N];
        if (pass == 1 && WindowMisses(g, ws.P[0], ws.P[N])) {
            // The passes the grid no longer needs still count as done.
            for (int rest = pass + 1; rest <= s.K && run.passes; ++rest) run.passes->passDone();
            const int e = NearerEnd(g, ws.P.data(), N);
            const OffsetState end{ws.c[e], ws.P[e], a.sign * (ws.Sx[e] / 1000000),
                                  a.sign * (ws.Sy[e] / 1000000)};
            return solved(PastWindow(eval, a, end, ws.c[N - e], g));
        }
        chosen = ChooseClosest(ws.P.data(), 1, N - 1, s.axialForce);
        NarrowWindow(cLo, cHi, chosen, N);
    }
    return {0, ws.P[chosen], a.sign * (ws.Sx[chosen] / 1000000), a.sign * (ws.Sy[chosen] / 1000000)};
}

void SolveFast(FiberTable& t, const Sides& sides, const MmSettings& s, MMCurve& curve,
               const Progress& progress, const SolveOptions& options) {
    const SweepTables tables(t);
    const SweepTable& st = tables.st;
    if (!st.reproducible) {
        SolveReference(t, sides, s, curve, progress, options);
        return;
    }
    const Target g = TargetOf(BoundsOf(t, options), s.axialForce);
    const int angles = s.points + 1;
    const int threads = ThreadCountFor(options.threads, angles);
    const SweepIsa isa = ResolveSweepIsa(options.isa);
    std::vector<GridScratch> scratch(static_cast<size_t>(threads));
    for (GridScratch& ws : scratch) ws.resize(s.N, st.n);
    std::vector<OffsetState> points(static_cast<size_t>(angles));
    LastTrial lastTrial;
    // Progress counts grid passes, so a long angle moves the bar too.
    PassProgress passes(progress, static_cast<double>(angles) * s.K, options.cancel);
    // Angles go to the threads whole; the few left over when they do not
    // divide evenly are solved one by one with every thread sharing each
    // sweep.
    const int tail = threads > 1 && WorthSharing(st, s.N + 1) ? angles % threads : 0;
    std::vector<std::exception_ptr> errors;
    int failed = RunJobs(
        angles - tail, threads,
        [&](int worker, int i) {
            if (CancelRequested(options.cancel)) return;  // thrown once, below
            LastTrial last;
            points[i] = SolveAngleFast(tables, {isa, nullptr, options.cancel, &passes}, sides, s, g, i,
                                       scratch[worker], last);
            if (i == angles - 1) lastTrial = last;
        },
        passes.finished(), errors, passes.tick());
    ThrowIfCancelled(options.cancel);
    if (failed == angles - tail && tail > 0) {
        errors.resize(static_cast<size_t>(angles));
        ChunkHelpers helpers(threads - 1);
        for (int i = angles - tail; i < angles; ++i) {
            try {
                points[i] = SolveAngleFast(tables, {isa, &helpers, options.cancel, &passes}, sides, s, g,
                                           i, scratch[0], lastTrial);
            } catch (...) {
                errors[i] = std::current_exception();
                break;
            }
            failed = i + 1;
        }
    }
    for (int i = 0; i < failed; ++i) Store(curve, i, points[i]);
    ThrowIfCancelled(options.cancel);
    if (failed < angles) std::rethrow_exception(errors[failed]);
    StoreLastTrial(t, lastTrial);
}

// One angle of the root-finding pass for every force: the family sampled,
// then each force's state. A fault while sampling is every force's fault.
template <class Eval>
void SolveAngleLevels(Eval&& eval, const AngleAxis& a, double cmin, double cmax,
                      const std::vector<Target>& g, int i, MMCurve* curves, std::exception_ptr* errs) {
    FamilySamples f;
    try {
        SampleFamily(eval, cmin, cmax, f);
    } catch (const Cancelled&) {
        throw;
    } catch (...) {
        for (size_t k = 0; k < g.size(); ++k) errs[k] = std::current_exception();
        return;
    }
    for (size_t k = 0; k < g.size(); ++k) {
        try {
            Store(curves[k], i, RootFromSamples(eval, a, f, g[k]));
        } catch (const Cancelled&) {
            throw;
        } catch (...) {
            errs[k] = std::current_exception();
        }
    }
}

}  // namespace

void SolveMMCurvesRoot(FiberTable& t, double B, double H, const MmSettings& s, const double* Pt,
                       int levels, MMCurve* curves, std::exception_ptr* errors,
                       const Progress& progress, const SolveOptions& options) {
    CheckMmSettings(s);
    ThrowIfCancelled(options.cancel);
    const Sides sides(t, B, H);
    const int angles = s.points + 1;
    std::vector<Target> g(static_cast<size_t>(levels));
    const Bounds bounds = BoundsOf(t, options);  // once: the same table at every level
    for (int k = 0; k < levels; ++k) {
        g[static_cast<size_t>(k)] = TargetOf(bounds, Pt[k]);
        curves[k].Mx.resize(static_cast<size_t>(angles));
        curves[k].My.resize(static_cast<size_t>(angles));
        curves[k].P.resize(static_cast<size_t>(angles));
    }
    // Faults by angle and force; each force reports the one of its first
    // failing angle, whatever order the threads took the angles in.
    std::vector<std::exception_ptr> faults(static_cast<size_t>(angles) * levels);
    auto faultsOf = [&](int i) { return faults.data() + static_cast<size_t>(i) * levels; };
    const SweepTables tables = options.pass == SolverPass::Fast ? SweepTables(t) : SweepTables(FiberTable{});
    const SweepTable& st = tables.st;
    if (options.pass == SolverPass::Reference || !st.reproducible) {
        for (int i = 0; i < angles; ++i) {
            if (progress) progress(nearest(static_cast<double>(i * 100) / angles));
            const AngleAxis a = AxisOf(s, i, sides);
            TurnedFibers turned(t, a.turned);
            const AxisWindowResult win = AxisWindowForSlope(a.w, *a.pts, s.factor);
            SolveAngleLevels(TableEval{t, a, AxisNorm(a.w), options.cancel}, a, win.cmin, win.cmax, g, i,
                             curves, faultsOf(i));
        }
        if (progress) progress(100);
    } else {
        const int threads = ThreadCountFor(options.threads, angles);
        const SweepIsa isa = ResolveSweepIsa(options.isa);
        std::vector<std::vector<double>> U(static_cast<size_t>(threads));
        PassProgress passes(progress, angles, options.cancel);
        LastTrial lastTrial;
        std::vector<std::exception_ptr> jobErrors;
        RunJobs(
            angles, threads,
            [&](int worker, int i) {
                if (CancelRequested(options.cancel)) return;  // thrown once, below
                const AngleAxis a = AxisOf(s, i, sides);
                const AxisWindowResult win = AxisWindowForSlope(a.w, *a.pts, s.factor);
                std::vector<double>& u = U[static_cast<size_t>(worker)];
                AxisTerms(tables.of(a), a.w, u);
                const SweepRun run{isa, nullptr, options.cancel, &passes};
                SweepEval eval{tables.of(a), run, u.data(), a, AxisNorm(a.w)};
                SolveAngleLevels(eval, a, win.cmin, win.cmax, g, i, curves, faultsOf(i));
                if (i == angles - 1) lastTrial = {a.w, eval.lastC, eval.lastPhi, a.turned};
                passes.passDone();
            },
            passes.finished(), jobErrors, passes.tick());
        ThrowIfCancelled(options.cancel);
        for (const std::exception_ptr& e : jobErrors)
            if (e) std::rethrow_exception(e);
        StoreLastTrial(t, lastTrial);
    }
    for (int k = 0; k < levels; ++k) {
        errors[k] = nullptr;
        for (int i = 0; i < angles && !errors[k]; ++i) errors[k] = faultsOf(i)[k];
    }
}

namespace {

// The section seen from a frame turned so that the direction and side asked
// for bend about the frame's x with its top compressed: X' = a X + b Y,
// Y' = c X + d Y.
struct Frame {
    double a, b, c, d;
    static Frame Of(double directionDeg, bool otherSide) {
        const double s = otherSide ? -1 : 1;
        if (directionDeg == 90) return {0, s, -s, 0};
        return {s, 0, 0, s};
    }
    void apply(double& x, double& y) const {
        const double nx = a * x + b * y, ny = c * x + d * y;
        x = nx;
        y = ny;
    }
    // The section's moments from the frame's (Mx' = sum of stress x area x
    // Y', My' with X').
    void back(double mxF, double myF, double& Mx, double& My) const {
        Mx = b * myF + d * mxF;
        My = a * myF + c * mxF;
    }
};

// Turns of the axis tried outwards from the direction's own, degrees, while
// the moment that must vanish keeps its sign.
constexpr double kTurnSteps[] = {1, 2, 4, 8, 16, 32, 60, 80};
constexpr int kTurnIterations = 80;

// The pure-moment state of one force: the frame's My' as a function of the
// turn, bracketed outwards from 0 and narrowed by the Illinois rule.
template <class StateAt>
UniaxialState SolveTurn(StateAt&& stateAt, const Frame& fr) {
    struct Trial {
        double turn;
        OffsetState s;
    };
    auto at = [&](double turn) { return Trial{turn, stateAt(turn)}; };
    auto done = [&](const Trial& x) {
        UniaxialState u;
        u.P = x.s.P;
        fr.back(x.s.Mx, x.s.My, u.Mx, u.My);
        u.turnDeg = x.turn;
        u.steel.epsT = x.s.c;  // the offset, until the caller finds the steel's strain
        return u;
    };
    auto small = [](const Trial& x) { return std::fabs(x.s.My) <= 1e-10 * std::fabs(x.s.Mx); };
    const Trial zero = at(0);
    if (small(zero)) return done(zero);
    // The compressed side's moment about y' grows as the axis turns
    // counterclockwise: look that way first for a change of sign.
    const double first = zero.s.My > 0 ? -1 : 1;
    Trial lo = zero, hi = zero;
    bool found = false;
    for (double dir : {first, -first}) {
        lo = zero;
        for (double step : kTurnSteps) {
            const Trial t = at(dir * step);
            if (small(t)) return done(t);
            if ((t.s.My > 0) != (zero.s.My > 0)) {
                hi = t;
                found = true;
                break;
            }
            lo = t;
        }
        if (found) break;
    }
    // No turn within 80 degrees frees the section of the other moment: the
    // least of it found.
    if (!found) return done(std::fabs(lo.s.My) < std::fabs(zero.s.My) ? lo : zero);
    double flo = lo.s.My, fhi = hi.s.My;
    int kept = 0;  // which end stayed last time: -1 lo, 1 hi
    Trial best = std::fabs(flo) <= std::fabs(fhi) ? lo : hi;
    for (int k = 0; k < kTurnIterations; ++k) {
        const double turn = (lo.turn * fhi - hi.turn * flo) / (fhi - flo);
        if (!(turn != lo.turn && turn != hi.turn)) break;  // the bracket is spent
        const Trial t = at(turn);
        if (std::fabs(t.s.My) < std::fabs(best.s.My)) best = t;
        if (small(t)) break;
        if ((t.s.My > 0) == (lo.s.My > 0)) {
            lo = t;
            flo = t.s.My;
            if (kept == 1) fhi /= 2;
            kept = 1;
        } else {
            hi = t;
            fhi = t.s.My;
            if (kept == -1) flo /= 2;
            kept = -1;
        }
    }
    return done(best);
}

}  // namespace

void SolveUniaxialStates(FiberTable& t, double B, double H, double directionDeg, bool otherSide,
                         double strainLimit, double factor, const double* Pt, int levels,
                         UniaxialState* out, const SolveOptions& options) {
    if (levels <= 0) return;
    ThrowIfCancelled(options.cancel);
    const Frame fr = Frame::Of(directionDeg, otherSide);
    const Bounds bounds = BoundsOf(t, options);
    StrainLimitPoints pts = StrainLimitPoints::Of(t, B, H);
    for (int k = 0; k < pts.size(); ++k) fr.apply(pts.x[static_cast<size_t>(k)], pts.y[static_cast<size_t>(k)]);
    FiberTable turned = t;
    for (int i = 1; i <= turned.NFib; ++i) fr.apply(turned[i].X, turned[i].Y);
    auto axisAt = [&](double turnDeg) {
        const double w = checkedFinite(std::tan(turnDeg * kDegToRad));
        return AngleAxis{w, 1, &pts, strainLimit, directionDeg + turnDeg, false};
    };
    // The extreme tension steel of a solved state, whose offset SolveTurn
    // left in steel.epsT.
    auto steelOf = [&](UniaxialState& u) {
        const AngleAxis a = axisAt(u.turnDeg);
        const double c = u.steel.epsT;
        u.steel = ExtremeSteelStrain(turned, a.w, AxisNorm(a.w), c, a.phi(c));
        // The shares' moments from the frame back to the section's.
        ExtremeSteel& e = u.steel;
        double mx = 0, my = 0;
        fr.back(e.Mxa, e.Mya, mx, my);
        e.Mxa = mx;
        e.Mya = my;
        fr.back(e.Mxc, e.Myc, mx, my);
        e.Mxc = mx;
        e.Myc = my;
    };
    const SweepTable st = options.pass == SolverPass::Fast ? BuildSweepTable(turned) : SweepTable{};
    if (options.pass == SolverPass::Reference || !st.reproducible) {
        for (int k = 0; k < levels; ++k) {
            const Target g = TargetOf(bounds, Pt[k]);
            if (!g.inside) throw AppError("The axial force must lie between the pure tension and the pure compression capacity");
            out[k] = SolveTurn(
                [&](double turn) {
                    const AngleAxis a = axisAt(turn);
                    const AxisWindowResult win = AxisWindowForSlope(a.w, pts, factor);
                    TableEval eval{turned, a, AxisNorm(a.w), options.cancel};
                    return SolveAngleRoot(eval, a, win.cmin, win.cmax, g);
                },
                fr);
            steelOf(out[k]);
        }
        return;
    }
    const int threads = ThreadCountFor(options.threads, levels);
    const SweepIsa isa = ResolveSweepIsa(options.isa);
    std::vector<std::vector<double>> U(static_cast<size_t>(threads));
    for (std::vector<double>& u : U) u.resize(static_cast<size_t>(st.n));
    std::vector<std::exception_ptr> errors;
    const int failed = RunJobs(
        levels, threads,
        [&](int worker, int k) {
            ThrowIfCancelled(options.cancel);
            const Target g = TargetOf(bounds, Pt[k]);
            if (!g.inside) throw AppError("The axial force must lie between the pure tension and the pure compression capacity");
            std::vector<double>& u = U[static_cast<size_t>(worker)];
            const SweepRun run{isa, nullptr, options.cancel, nullptr};
            out[k] = SolveTurn(
                [&](double turn) {
                    const AngleAxis a = axisAt(turn);
                    const AxisWindowResult win = AxisWindowForSlope(a.w, pts, factor);
                    AxisTerms(st, a.w, u);  // sized once: no allocation here
                    SweepEval eval{st, run, u.data(), a, AxisNorm(a.w)};
                    return SolveAngleRoot(eval, a, win.cmin, win.cmax, g);
                },
                fr);
            steelOf(out[k]);
        },
        [](int) {}, errors,
        [&] { ThrowIfCancelled(options.cancel); });
    ThrowIfCancelled(options.cancel);
    if (failed < levels) std::rethrow_exception(errors[static_cast<size_t>(failed)]);
}

MmState SolveMmStateAt(FiberTable& t, double B, double H, const MmSettings& s, double thetaDeg) {
    const Target g = TargetOf(BoundsOf(t, {}), s.axialForce);
    if (!g.inside) throw AppError("The axial force must lie between the pure tension and the pure compression capacity");
    const Sides sides(t, B, H);
    double w = 0, sign = 0;
    MmSlopeAt(thetaDeg, w, sign);
    const AngleAxis a = sides.axis(w, sign, s.strainLimit, thetaDeg);
    TurnedFibers turned(t, a.turned);
    const AxisWindowResult win = AxisWindowForSlope(a.w, *a.pts, s.factor);
    TableEval eval{t, a, AxisNorm(a.w), nullptr};
    const OffsetState p = SolveAngleRoot(eval, a, win.cmin, win.cmax, g);
    return {p.c, a.phi(p.c), p.P, p.Mx, p.My};
}

void SolveMMCurve(FiberTable& t, double B, double H, const MmSettings& s, MMCurve& curve,
                  const Progress& progress, const SolveOptions& options) {
    CheckMmSettings(s);
    // A force no state carries leaves the curve as it was, whatever angles
    // were solved before the one that found it.
    MMCurve before = curve;
    try {
        SolveKeepingOnCancel(curve, options, [&](MMCurve& c) {
            const size_t n = static_cast<size_t>(s.points) + 1;
            c.Mx.resize(n);
            c.My.resize(n);
            c.P.resize(n);
            const Bounds bounds = BoundsOf(t, options);
            if (!t.PointSymmetric && (s.axialForce == bounds.PMax || s.axialForce == bounds.PMin)) {
                // A pure-axial state: the curve closes to its point.
                const PureAxialPoints pure = ComputePureAxialPoints(t);
                const bool top = s.axialForce == bounds.PMax;
                for (size_t i = 0; i < n; ++i) {
                    c.Mx[i] = top ? pure.Mx0 : pure.Mx1;
                    c.My[i] = top ? pure.My0 : pure.My1;
                    c.P[i] = s.axialForce;
                }
            } else if (options.search == MmSearch::Root && TargetOf(bounds, s.axialForce).inside) {
                std::exception_ptr fault;
                SolveMMCurvesRoot(t, B, H, s, &s.axialForce, 1, &c, &fault, progress, options);
                if (fault) std::rethrow_exception(fault);
            } else if (options.pass == SolverPass::Reference) {
                SolveReference(t, Sides(t, B, H), s, c, progress, options);
            } else {
                SolveFast(t, Sides(t, B, H), s, c, progress, options);
            }
        });
    } catch (const AxialForceOutOfReach&) {
        curve = std::move(before);
        throw;
    }
}

}  // namespace px
