#include "analysis/mm_solver.h"

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
    double Mx = 0, My = 0;
};

void SolveReference(FiberTable& t, double B, double H, const MmSettings& s, MMCurve& curve,
                    const Progress& progress, const std::atomic<bool>* cancel) {
    const int N = s.N;
    const double Pt = s.axialForce;
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
            chosen = ChooseClosest(P.data(), 1, N - 1, Pt);
            NarrowWindow(cLo, cHi, chosen, N);
        }
        curve.Mx[i] = Mx[chosen];
        curve.My[i] = My[chosen];
    }
}

MmPoint SolveAngleFast(const SweepTable& st, const SweepRun& run, double B, double H,
                       const MmSettings& s, int i, GridScratch& ws, double& lastW, double& lastC,
                       double& lastK) {
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
        chosen = ChooseClosest(ws.P.data(), 1, N - 1, s.axialForce);
        lastW = w;
        lastC = ws.c[N];
        lastK = ws.phi[N];
        NarrowWindow(cLo, cHi, chosen, N);
    }
    return {sign * (ws.Sx[chosen] / 1000000), sign * (ws.Sy[chosen] / 1000000)};
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
            points[i] = SolveAngleFast(st, {isa, nullptr, options.cancel, &passes}, B, H, s, i,
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
                points[i] = SolveAngleFast(st, {isa, &helpers, options.cancel, &passes}, B, H, s, i,
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
    }
    ThrowIfCancelled(options.cancel);
    if (failed < angles) std::rethrow_exception(errors[failed]);
    StoreTrialState(t, lastW, AxisNorm(lastW), lastC, lastK);
}

}  // namespace

void SolveMMCurve(FiberTable& t, double B, double H, const MmSettings& s, MMCurve& curve,
                  const Progress& progress, const SolveOptions& options) {
    CheckMmSettings(s);
    SolveKeepingOnCancel(curve, options, [&](MMCurve& c) {
        const size_t n = static_cast<size_t>(s.points) + 1;
        c.Mx.resize(n);
        c.My.resize(n);
        if (options.pass == SolverPass::Reference) {
            SolveReference(t, B, H, s, c, progress, options.cancel);
        } else {
            SolveFast(t, B, H, s, c, progress, options);
        }
    });
}

}  // namespace px
