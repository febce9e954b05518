#include "analysis/mm_solver.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "analysis/fiber_sweep.h"
#include "analysis/parallel_jobs.h"
#include "analysis/pm_solver.h"
#include "input/error.h"
#include "input/guards.h"
#include "input/numbers.h"

namespace px {

MmSettings ReadMmSettings(const FieldSource& f) {
    MmSettings s;
    s.points = StrToInt(f.text("Edit35"));
    s.axialForce = StrToFloat(f.text("Edit30"));
    s.K = StrToInt(f.text("Edit61"));
    s.N = StrToInt(f.text("Edit62"));
    s.factor = StrToFloat(f.text("Edit63"));
    s.strainLimit = StrToFloat(f.text("Edit34"));
    return s;
}

void CheckMmSettings(const MmSettings& s) {
    RequireAtLeast(s.points, 1, "Num of MM Curve Points");
    RequireAtMost(s.points, kMaxMmPoints, "Num of MM Curve Points");
    RequireAtLeast(s.K, 1, "Outside Step K");
    RequireAtLeast(s.N, 2, "Inside Step N");
    RequireAtMost(s.N, kMaxGridSteps, "Inside Step N");
    if (!(s.strainLimit < 0)) throw AppError("\"Strain Limit\" must be less than 0");
}

void MmSlope(int i, int points, double& slope, double& cosSign) {
    const double theta = static_cast<double>(i * 360) / points;
    const double thetaR = theta * kDegToRad;
    double t = std::tan(thetaR);
    if (t >= 100) t = 100;
    if (t <= -100) t = -100;
    if (t >= 0 && t < 0.001) t = 0.0001;
    if (t > -0.001 && t < 0) t = -0.0001;
    slope = t;
    const double co = std::cos(thetaR);
    cosSign = co > 0 ? 1.0 : (co < 0 ? -1.0 : 0.0);
}

namespace {

struct MmPoint {
    double Mx = 0, My = 0, P = 0;  // signed moments by the cosine's sign, kNm; P, kN
};

// The axial force asked for, as the exact solve sees it.
struct Target {
    double Pt = 0;
    bool inside = false;  // PMin < Pt < PMax of the fibers being solved
    double tol = 0;       // 1e-9 (PMax - PMin)
};

Target TargetOf(const FiberTable& t, double Pt) {
    double PMax = 0, PMin = 0;
    ComputeAxialBounds(t, PMax, PMin);
    Target g;
    g.Pt = Pt;
    g.inside = PMin < Pt && Pt < PMax;
    g.tol = 1e-9 * (PMax - PMin);
    return g;
}

// Whether the first pass's window ends (axial forces P0 and PN) leave a
// target the section can carry out of the grid's reach.
bool WindowMisses(const Target& g, double P0, double PN) {
    return g.inside && (g.Pt < std::min(P0, PN) || g.Pt > std::max(P0, PN));
}

// One block of trials of the exact solve: as many as the widest sweep
// evaluates in one pass over the fibers.
constexpr int kReachTrials = 8;
// The axis moves at most 2^(8 x 5) window widths past the window's end;
// that far out every fiber has the strain of the limit to the last bit.
constexpr int kReachBatches = 5;

struct ReachTrials {
    double c[kReachTrials], phi[kReachTrials];
    double P[kReachTrials], Mx[kReachTrials], My[kReachTrials];  // moments signed
};

struct ReachState {
    double c = 0;
    MmPoint m;
};

// The axis of one angle as the exact solve moves it.
struct ReachAxis {
    double w, B, H, limit, theta;
};

// Solves the state of the family whose axial force is g.Pt when the window
// ends at `end` (the end nearer to Pt) and `other` do not reach it. eval(tr,
// T) fills P, Mx and My of trials 0 .. T - 1 from their c and phi; lastC and
// lastPhi get the last trial evaluated.
template <class Eval>
MmPoint SolvePastWindow(Eval&& eval, const ReachAxis& a, const ReachState& end, double cOther,
                        const Target& g, double& lastC, double& lastPhi) {
    ReachTrials tr;
    auto evaluate = [&](int T) {
        for (int k = 0; k < T; ++k)
            tr.phi[k] = TrialCurvatureAt(a.w, tr.c[k], a.B, a.H, a.limit, true);
        eval(tr, T);
        lastC = tr.c[T - 1];
        lastPhi = tr.phi[T - 1];
    };
    const double side = g.Pt > end.m.P ? 1.0 : -1.0;
    auto passed = [&](const ReachState& s) { return side * (s.m.P - g.Pt) >= 0; };
    auto trial = [&](int k) { return ReachState{tr.c[k], {tr.Mx[k], tr.My[k], tr.P[k]}}; };

    // Away from the window in steps that double, until the force passes Pt.
    const double outward = end.c - cOther;
    ReachState lo = end, hi;
    bool found = false;
    for (int b = 0; b < kReachBatches && !found; ++b) {
        for (int k = 0; k < kReachTrials; ++k)
            tr.c[k] = end.c + std::ldexp(outward, kReachTrials * b + k);
        evaluate(kReachTrials);
        for (int k = 0; k < kReachTrials && !found; ++k) {
            const ReachState s = trial(k);
            if (passed(s)) {
                hi = s;
                found = true;
            } else {
                lo = s;
            }
        }
    }
    if (!found) {
        throw AxialForceOutOfReach("No strain state within the strain limits carries the axial force " +
                                   F2(g.Pt) + " kN at angle " + F2(a.theta) + " degrees");
    }

    // The force is monotone in the offset: narrow [lo, hi] by ninths until
    // one end is close enough or the bracket stops shrinking.
    auto nearer = [&](const ReachState& x, const ReachState& y) -> const ReachState& {
        return std::fabs(x.m.P - g.Pt) <= std::fabs(y.m.P - g.Pt) ? x : y;
    };
    for (;;) {
        const ReachState& best = nearer(lo, hi);
        if (std::fabs(best.m.P - g.Pt) <= g.tol) return best.m;
        const double width = hi.c - lo.c;
        for (int k = 0; k < kReachTrials; ++k)
            tr.c[k] = lo.c + (static_cast<double>(k + 1) / (kReachTrials + 1)) * width;
        evaluate(kReachTrials);
        ReachState nlo = lo, nhi = hi;
        for (int k = 0; k < kReachTrials; ++k) {
            const ReachState s = trial(k);
            if (passed(s)) {
                nhi = s;
                break;
            }
            nlo = s;
        }
        if (!(std::fabs(nhi.c - nlo.c) < std::fabs(width))) return nearer(nlo, nhi).m;
        lo = nlo;
        hi = nhi;
    }
}

// The window end nearer to a target beyond both: index 0 or N of the pass.
int NearerEnd(const Target& g, const double* P, int N) {
    const bool above = g.Pt > std::max(P[0], P[N]);
    return (above ? P[0] >= P[N] : P[0] <= P[N]) ? 0 : N;
}

double AngleOf(int i, int points) { return static_cast<double>(i * 360) / points; }

void SolveReference(FiberTable& t, double B, double H, const MmSettings& s, MMCurve& curve,
                    const Progress& progress, const std::atomic<bool>* cancel) {
    const int N = s.N;
    const double Pt = s.axialForce;
    const Target g = TargetOf(t, Pt);
    std::vector<double> P(N + 1), Mx(N + 1), My(N + 1);
    for (int i = 0; i <= s.points; ++i) {
        double w, sign;
        MmSlope(i, s.points, w, sign);
        const AxisWindowResult win = AxisWindowForSlope(w, B, H, s.factor);
        const double norm = AxisNorm(w);
        double cLo = win.cmin, cHi = win.cmax;
        int chosen = 1;
        for (int pass = 1; pass <= s.K; ++pass) {
            for (int j = 0; j <= N; ++j) {
                if (progress) progress(nearest(static_cast<double>(j * 100) / N));
                ThrowIfCancelled(cancel);
                const double c = GridOffset(cLo, cHi, j, N);
                const double k = TrialCurvatureAt(w, c, B, H, s.strainLimit, true);
                const SectionForceResult r = SectionForcesNorm(t, w, norm, c, k);
                P[j] = r.P;
                Mx[j] = sign * r.Mx;
                My[j] = sign * r.My;
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
            const ReachState end{GridOffset(win.cmin, win.cmax, e, N), {Mx[e], My[e], P[e]}};
            const double cOther = GridOffset(win.cmin, win.cmax, N - e, N);
            auto eval = [&](ReachTrials& tr, int T) {
                for (int k = 0; k < T; ++k) {
                    ThrowIfCancelled(cancel);
                    const SectionForceResult r = SectionForcesNorm(t, w, norm, tr.c[k], tr.phi[k]);
                    tr.P[k] = r.P;
                    tr.Mx[k] = sign * r.Mx;
                    tr.My[k] = sign * r.My;
                }
            };
            double lastC, lastPhi;
            const MmPoint m = SolvePastWindow(eval, {w, B, H, s.strainLimit, AngleOf(i, s.points)},
                                              end, cOther, g, lastC, lastPhi);
            curve.Mx[i] = m.Mx;
            curve.My[i] = m.My;
            curve.P[i] = m.P;
            continue;
        }
        curve.Mx[i] = Mx[chosen];
        curve.My[i] = My[chosen];
        curve.P[i] = P[chosen];
    }
}

MmPoint SolveAngleFast(const SweepTable& st, const SweepRun& run, double B, double H,
                       const MmSettings& s, const Target& g, int i, GridScratch& ws, double& lastW,
                       double& lastC, double& lastK) {
    const int N = s.N;
    double w, sign;
    MmSlope(i, s.points, w, sign);
    const AxisWindowResult win = AxisWindowForSlope(w, B, H, s.factor);
    const double norm = AxisNorm(w);
    AxisTerms(st, w, ws.U);
    const GridAxis axis{ws.U.data(), w, norm, B, H, s.strainLimit, true};
    double cLo = win.cmin, cHi = win.cmax;
    int chosen = 1;
    for (int pass = 1; pass <= s.K; ++pass) {
        SweepGridPass(st, run, axis, cLo, cHi, N, ws);
        lastW = w;
        lastC = ws.c[N];
        lastK = ws.phi[N];
        if (pass == 1 && WindowMisses(g, ws.P[0], ws.P[N])) {
            // The passes the grid no longer needs still count as done.
            for (int rest = pass + 1; rest <= s.K && run.passes; ++rest) run.passes->passDone();
            const int e = NearerEnd(g, ws.P.data(), N);
            const ReachState end{ws.c[e], {sign * (ws.Sx[e] / 1000000), sign * (ws.Sy[e] / 1000000), ws.P[e]}};
            auto eval = [&](ReachTrials& tr, int T) {
                double F[kReachTrials], Sx[kReachTrials], Sy[kReachTrials];
                ThrowIfCancelled(run.cancel);
                SweepTrials(st, run.isa, ws.U.data(), norm, tr.c, tr.phi, T, F, Sx, Sy, run.cancel);
                ThrowIfCancelled(run.cancel);
                for (int k = 0; k < T; ++k) {
                    CheckSums(F[k], Sx[k], Sy[k]);
                    tr.P[k] = -F[k] / 1000;
                    tr.Mx[k] = sign * (Sx[k] / 1000000);
                    tr.My[k] = sign * (Sy[k] / 1000000);
                }
            };
            return SolvePastWindow(eval, {w, B, H, s.strainLimit, AngleOf(i, s.points)}, end,
                                   ws.c[N - e], g, lastC, lastK);
        }
        chosen = ChooseClosest(ws.P.data(), 1, N - 1, s.axialForce);
        NarrowWindow(cLo, cHi, chosen, N);
    }
    return {sign * (ws.Sx[chosen] / 1000000), sign * (ws.Sy[chosen] / 1000000), ws.P[chosen]};
}

void SolveFast(FiberTable& t, double B, double H, const MmSettings& s, MMCurve& curve,
               const Progress& progress, const SolveOptions& options) {
    const SweepTable st = BuildSweepTable(t);
    if (!st.reproducible) {
        SolveReference(t, B, H, s, curve, progress, options.cancel);
        return;
    }
    const int angles = s.points + 1;
    const int threads = ThreadCountFor(options.threads, angles);
    const SweepIsa isa = ResolveSweepIsa(options.isa);
    std::vector<GridScratch> scratch(static_cast<size_t>(threads));
    for (GridScratch& ws : scratch) ws.resize(s.N, st.n);
    std::vector<MmPoint> points(static_cast<size_t>(angles));
    const Target g = TargetOf(t, s.axialForce);
    double lastW = 0, lastC = 0, lastK = 0;
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
            double w = 0, c = 0, k = 0;
            points[i] = SolveAngleFast(st, {isa, nullptr, options.cancel, &passes}, B, H, s, g, i,
                                       scratch[worker], w, c, k);
            if (i == angles - 1) {
                lastW = w;
                lastC = c;
                lastK = k;
            }
        },
        passes.finished(), errors, passes.tick());
    ThrowIfCancelled(options.cancel);
    if (failed == angles - tail && tail > 0) {
        errors.resize(static_cast<size_t>(angles));
        ChunkHelpers helpers(threads - 1);
        for (int i = angles - tail; i < angles; ++i) {
            try {
                points[i] = SolveAngleFast(st, {isa, &helpers, options.cancel, &passes}, B, H, s, g, i,
                                           scratch[0], lastW, lastC, lastK);
            } catch (...) {
                errors[i] = std::current_exception();
                break;
            }
            failed = i + 1;
        }
    }
    for (int i = 0; i < failed; ++i) {
        curve.Mx[i] = points[i].Mx;
        curve.My[i] = points[i].My;
        curve.P[i] = points[i].P;
    }
    ThrowIfCancelled(options.cancel);
    if (failed < angles) std::rethrow_exception(errors[failed]);
    StoreTrialState(t, lastW, AxisNorm(lastW), lastC, lastK);
}

}  // namespace

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
            if (options.pass == SolverPass::Reference) {
                SolveReference(t, B, H, s, c, progress, options.cancel);
            } else {
                SolveFast(t, B, H, s, c, progress, options);
            }
        });
    } catch (const AxialForceOutOfReach&) {
        curve = std::move(before);
        throw;
    }
}

}  // namespace px
