#include "analysis/pm_solver.h"

#include <cmath>
#include <string>
#include <vector>

#include "analysis/fiber_sweep.h"
#include "analysis/parallel_jobs.h"
#include "input/error.h"
#include "input/guards.h"
#include "input/numbers.h"

namespace px {

PmSettings ReadPmSettings(const FieldSource& f) {
    PmSettings s;
    s.nP = StrToInt(f.text("Edit33"));
    s.K = StrToInt(f.text("Edit52"));
    s.N = StrToInt(f.text("Edit53"));
    s.factor = StrToFloat(f.text("Edit60"));
    s.strainLimit = StrToFloat(f.text("Edit32"));
    return s;
}

void CheckPmSettings(const PmSettings& s) {
    RequireAtLeast(s.nP, 1, "Axial Force Division Points");
    RequireAtMost(s.nP, kMaxPmDivisions, "Axial Force Division Points");
    RequireAtLeast(s.K, 1, "Outside Steps K");
    RequireAtLeast(s.N, 1, "Inside Steps N");
    RequireAtMost(s.N, kMaxGridSteps, "Inside Steps N");
    RequirePositive(s.factor, "Extention Factor");
    if (!(s.strainLimit < 0)) throw AppError("\"Strain Limit\" must be less than 0");
}

namespace {

struct LevelPoint {
    double P = 0, Mx = 0, My = 0;
};

struct PmJob {
    double B, H, angleDeg, PMin, PMax;
    const PmSettings* s;
};

double LevelTarget(const PmJob& j, int o) {
    return j.PMin + ((j.PMax - j.PMin) / j.s->nP) * o;
}

void StoreLevel(PMCurve& curve, double angleDeg, int o, const LevelPoint& pt) {
    if (angleDeg == 0) {
        curve.PX[o] = pt.P;
        curve.MX[o] = pt.Mx;
    } else if (angleDeg == 90) {
        curve.PY[o] = pt.P;
        curve.MY[o] = pt.My;
    }
}

void SolveReference(FiberTable& t, const PmJob& j, PMCurve& curve, const Progress& progress,
                    const std::atomic<bool>* cancel) {
    const PmSettings& s = *j.s;
    const int N = s.N;
    std::vector<double> P(N + 1), Mx(N + 1), My(N + 1);
    for (int o = 1; o <= s.nP - 1; ++o) {
        const double Pt = LevelTarget(j, o);
        const AxisWindowResult win = AxisWindow(j.angleDeg, j.B, j.H, s.factor);
        const double w = win.w, norm = AxisNorm(w);
        double cmin = win.cmin, cmax = win.cmax;
        int b = 0;
        for (int pass = 1; pass <= s.K; ++pass) {
            for (int G = 0; G <= N; ++G) {
                if (progress) progress(nearest(static_cast<double>(G) / N * 100));
                ThrowIfCancelled(cancel);
                const double c = GridOffset(cmin, cmax, G, N);
                const double phi = TrialCurvatureAt(w, c, j.B, j.H, s.strainLimit, false);
                const SectionForceResult r = SectionForcesNorm(t, w, norm, c, phi);
                P[G] = r.P;
                Mx[G] = std::fabs(r.Mx);
                My[G] = std::fabs(r.My);
            }
            b = ChooseClosest(P.data(), 0, N, Pt);
            NarrowWindow(cmin, cmax, b, N);
        }
        StoreLevel(curve, j.angleDeg, o, {P[b], Mx[b], My[b]});
    }
}

// One level of the search with the fast sweep. lastC / lastPhi receive the
// offset and curvature of the level's final trial.
LevelPoint SolveLevelFast(const SweepTable& st, const SweepRun& run, const std::vector<double>& U,
                          double w, double norm, const PmJob& j, int o, GridScratch& ws,
                          double& lastC, double& lastPhi) {
    const PmSettings& s = *j.s;
    const int N = s.N;
    const double Pt = LevelTarget(j, o);
    const AxisWindowResult win = AxisWindowForSlope(w, j.B, j.H, s.factor);
    const GridAxis axis{U.data(), w, norm, j.B, j.H, s.strainLimit, false};
    double cmin = win.cmin, cmax = win.cmax;
    int b = 0;
    for (int pass = 1; pass <= s.K; ++pass) {
        SweepGridPass(st, run, axis, cmin, cmax, N, ws);
        b = ChooseClosest(ws.P.data(), 0, N, Pt);
        lastC = ws.c[N];
        lastPhi = ws.phi[N];
        NarrowWindow(cmin, cmax, b, N);
    }
    return {ws.P[b], std::fabs(ws.Sx[b] / 1000000), std::fabs(ws.Sy[b] / 1000000)};
}

void SolveFast(FiberTable& t, const PmJob& j, PMCurve& curve, const Progress& progress,
               const SolveOptions& options) {
    const PmSettings& s = *j.s;
    const int levels = s.nP - 1;
    if (levels <= 0) return;
    const SweepTable st = BuildSweepTable(t);
    if (!st.reproducible) {
        SolveReference(t, j, curve, progress, options.cancel);
        return;
    }
    const double w = checkedFinite(std::tan(j.angleDeg * kDegToRad));
    const double norm = AxisNorm(w);
    std::vector<double> U;
    AxisTerms(st, w, U);

    const int threads = ThreadCountFor(options.threads, levels);
    const SweepIsa isa = ResolveSweepIsa(options.isa);
    std::vector<GridScratch> scratch(static_cast<size_t>(threads));
    for (GridScratch& ws : scratch) ws.resize(s.N, 0);
    std::vector<LevelPoint> points(static_cast<size_t>(levels));
    double lastC = 0, lastPhi = 0;
    // Progress counts grid passes, so a long level moves the bar too.
    PassProgress passes(progress, static_cast<double>(levels) * s.K, options.cancel);
    // Levels go to the threads whole, the highest first (they cost the most:
    // more of the section is on the concrete parabola); the few left over
    // when they do not divide evenly are solved one by one with every thread
    // sharing each sweep.
    const int tail = threads > 1 && WorthSharing(st, s.N + 1) ? levels % threads : 0;
    std::vector<std::exception_ptr> errors;
    RunJobs(
        levels - tail, threads,
        [&](int worker, int job) {
            const int k = levels - 1 - job;
            double c = 0, phi = 0;
            points[k] = SolveLevelFast(st, {isa, nullptr, options.cancel, &passes}, U, w, norm, j,
                                       k + 1, scratch[worker], c, phi);
            if (k == levels - 1) {
                lastC = c;
                lastPhi = phi;
            }
        },
        passes.finished(), errors, passes.tick());
    ThrowIfCancelled(options.cancel);
    if (tail > 0) {
        errors.resize(static_cast<size_t>(levels));
        ChunkHelpers helpers(threads - 1);
        for (int k = tail - 1; k >= 0; --k) {
            double c = 0, phi = 0;
            try {
                points[k] = SolveLevelFast(st, {isa, &helpers, options.cancel, &passes}, U, w,
                                           norm, j, k + 1, scratch[0], c, phi);
            } catch (...) {
                errors[levels - 1 - k] = std::current_exception();
            }
            ThrowIfCancelled(options.cancel);
        }
    }
    // Job n solved level index levels - 1 - n. As in the one-by-one order,
    // the levels below the lowest failed one are stored and its error raised.
    int firstFailed = levels;
    for (int k = 0; k < levels && firstFailed == levels; ++k) {
        if (errors[levels - 1 - k]) firstFailed = k;
    }
    for (int k = 0; k < firstFailed; ++k) StoreLevel(curve, j.angleDeg, k + 1, points[k]);
    if (firstFailed < levels) std::rethrow_exception(errors[levels - 1 - firstFailed]);
    // Leave the fibers as the last trial left them.
    StoreTrialState(t, w, norm, lastC, lastPhi);
}

void SolveAll(FiberTable& t, double B, double H, const PmSettings& s, double angleDeg, double PMin,
              double PMax, PMCurve& curve, const Progress& progress, const SolveOptions& options) {
    const int nP = s.nP;
    curve.Divisions = nP;

    const size_t n = static_cast<size_t>(nP) + 1;
    curve.PX.resize(n);
    curve.MX.resize(n);
    curve.PY.resize(n);
    curve.MY.resize(n);
    curve.PX[0] = curve.PY[0] = PMin;
    curve.MX[0] = curve.MY[0] = 0;
    curve.PX[nP] = curve.PY[nP] = PMax;
    curve.MX[nP] = curve.MY[nP] = 0;

    const PmJob job{B, H, angleDeg, PMin, PMax, &s};
    if (options.pass == SolverPass::Reference) {
        SolveReference(t, job, curve, progress, options.cancel);
    } else {
        SolveFast(t, job, curve, progress, options);
    }
    if (progress) progress(0);
}

}  // namespace

void SolvePM(FiberTable& t, double B, double H, const PmSettings& s, double angleDeg, double PMin,
             double PMax, PMCurve& curve, const Progress& progress, const SolveOptions& options) {
    CheckPmSettings(s);
    SolveKeepingOnCancel(curve, options, [&](PMCurve& c) {
        SolveAll(t, B, H, s, angleDeg, PMin, PMax, c, progress, options);
    });
}

}  // namespace px
