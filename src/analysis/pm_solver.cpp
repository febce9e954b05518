#include "analysis/pm_solver.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "analysis/fiber_sweep.h"
#include "analysis/mm_solver.h"
#include "analysis/parallel_jobs.h"
#include "input/error.h"
#include "input/guards.h"
#include "input/numbers.h"

namespace px {

PmSettings ReadPmSettings(const FieldSource& f) {
    PmSettings s;
    s.nP = f.integer("Edit33");
    s.K = f.integer("Edit52");
    s.N = f.integer("Edit53");
    s.factor = f.real("Edit60");
    s.strainLimit = f.real("Edit32");
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
    ExtremeSteel steel;
};

struct PmJob {
    const StrainLimitPoints* pts;
    double angleDeg, PMin, PMax;
    const PmSettings* s;
};

// Which half of a direction's curve a solve gives: the moment magnitudes of
// a point-symmetric section, or for any other section the signed moments
// with the compressed side above the axis (the half of positive moments) or
// below it (solved on the turned fibers: the half of negative moments).
enum class Half { Magnitude, Positive, Negative };

double LevelTarget(const PmJob& j, int o) {
    return j.PMin + ((j.PMax - j.PMin) / j.s->nP) * o;
}

// The moment a half stores from a trial's signed moment. Compressing the
// side above the axis gives a negative moment about x at 0 degrees and a
// positive one about y at 90 degrees; the positive half is that side. The
// negative half's trial is of the turned fibers, whose moments are the
// section's negated.
double HalfMoment(Half h, double m, double toward) {
    switch (h) {
        case Half::Magnitude: return std::fabs(m);
        case Half::Positive: return toward * m;
        case Half::Negative: return -toward * m;
    }
    return m;
}

// The point's extreme steel and its shares; `sign` turns the section's
// moment (Mx at 0 degrees, My at 90) into the one the half stores.
void StoreSteel(PMCurve& curve, bool xDir, bool neg, int o, const ExtremeSteel& e, double sign) {
    const PMCurve::Parts parts{e.Pa, sign * (xDir ? e.Mxa : e.Mya), e.Pc, sign * (xDir ? e.Mxc : e.Myc)};
    if (xDir) {
        (neg ? curve.EpsTXNeg : curve.EpsTX)[o] = e.epsT;
        (neg ? curve.EpsTyXNeg : curve.EpsTyX)[o] = e.epsTy;
        (neg ? curve.PartsXNeg : curve.PartsX)[o] = parts;
    } else {
        (neg ? curve.EpsTYNeg : curve.EpsTY)[o] = e.epsT;
        (neg ? curve.EpsTyYNeg : curve.EpsTyY)[o] = e.epsTy;
        (neg ? curve.PartsYNeg : curve.PartsY)[o] = parts;
    }
}

// The sign HalfMoment gives a trial's moment m.
double HalfSign(Half h, double m, double toward) {
    switch (h) {
        case Half::Magnitude: return m < 0 ? -1.0 : 1.0;
        case Half::Positive: return toward;
        case Half::Negative: return -toward;
    }
    return 1.0;
}

void StoreLevel(PMCurve& curve, double angleDeg, int o, const LevelPoint& pt, Half h) {
    const bool neg = h == Half::Negative;
    if (angleDeg == 0) {
        (neg ? curve.PXNeg : curve.PX)[o] = pt.P;
        (neg ? curve.MXNeg : curve.MX)[o] = HalfMoment(h, pt.Mx, -1);
        StoreSteel(curve, true, neg, o, pt.steel, HalfSign(h, pt.Mx, -1));
    } else if (angleDeg == 90) {
        (neg ? curve.PYNeg : curve.PY)[o] = pt.P;
        (neg ? curve.MYNeg : curve.MY)[o] = HalfMoment(h, pt.My, 1);
        StoreSteel(curve, false, neg, o, pt.steel, HalfSign(h, pt.My, 1));
    }
}

void SolveReference(FiberTable& t, const PmJob& j, Half h, PMCurve& curve, const Progress& progress,
                    const std::atomic<bool>* cancel) {
    const PmSettings& s = *j.s;
    const int N = s.N;
    std::vector<double> P(N + 1), Mx(N + 1), My(N + 1);
    for (int o = 1; o <= s.nP - 1; ++o) {
        const double Pt = LevelTarget(j, o);
        const AxisWindowResult win = AxisWindow(j.angleDeg, *j.pts, s.factor);
        const double w = win.w, norm = AxisNorm(w);
        double cmin = win.cmin, cmax = win.cmax;
        int b = 0;
        double cb = 0, phib = 0;
        for (int pass = 1; pass <= s.K; ++pass) {
            for (int G = 0; G <= N; ++G) {
                if (progress) progress(nearest(static_cast<double>(G) / N * 100));
                ThrowIfCancelled(cancel);
                const double c = GridOffset(cmin, cmax, G, N);
                const double phi = TrialCurvatureAt(w, c, *j.pts, s.strainLimit, false);
                const SectionForceResult r = SectionForcesNorm(t, w, norm, c, phi);
                P[G] = r.P;
                Mx[G] = r.Mx;
                My[G] = r.My;
            }
            b = ChooseClosest(P.data(), 0, N, Pt);
            cb = GridOffset(cmin, cmax, b, N);
            phib = TrialCurvatureAt(w, cb, *j.pts, s.strainLimit, false);
            NarrowWindow(cmin, cmax, b, N);
        }
        StoreLevel(curve, j.angleDeg, o, {P[b], Mx[b], My[b], ExtremeSteelStrain(t, w, norm, cb, phib)}, h);
    }
}

// One level of the search with the fast sweep. lastC / lastPhi receive the
// offset and curvature of the level's final trial.
LevelPoint SolveLevelFast(const FiberTable& t, const SweepTable& st, const SweepRun& run, const std::vector<double>& U,
                          double w, double norm, const PmJob& j, int o, GridScratch& ws,
                          double& lastC, double& lastPhi) {
    const PmSettings& s = *j.s;
    const int N = s.N;
    const double Pt = LevelTarget(j, o);
    const AxisWindowResult win = AxisWindowForSlope(w, *j.pts, s.factor);
    const GridAxis axis{U.data(), w, norm, j.pts, s.strainLimit, false};
    double cmin = win.cmin, cmax = win.cmax;
    int b = 0;
    for (int pass = 1; pass <= s.K; ++pass) {
        SweepGridPass(st, run, axis, cmin, cmax, N, ws);
        b = ChooseClosest(ws.P.data(), 0, N, Pt);
        lastC = ws.c[N];
        lastPhi = ws.phi[N];
        NarrowWindow(cmin, cmax, b, N);
    }
    return {ws.P[b], ws.Sx[b] / 1000000, ws.Sy[b] / 1000000,
            ExtremeSteelStrain(t, w, norm, ws.c[b], ws.phi[b])};
}

void SolveFast(FiberTable& t, const PmJob& j, Half h, PMCurve& curve, const Progress& progress,
               const SolveOptions& options) {
    const PmSettings& s = *j.s;
    const int levels = s.nP - 1;
    if (levels <= 0) return;
    const SweepTable st = BuildSweepTable(t);
    if (!st.reproducible) {
        SolveReference(t, j, h, curve, progress, options.cancel);
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
            points[k] = SolveLevelFast(t, st, {isa, nullptr, options.cancel, &passes}, U, w, norm, j,
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
                points[k] = SolveLevelFast(t, st, {isa, &helpers, options.cancel, &passes}, U, w,
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
    for (int k = 0; k < firstFailed; ++k) StoreLevel(curve, j.angleDeg, k + 1, points[k], h);
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
    // The ends are the pure-axial points; a point-symmetric section's carry
    // no moment.
    const PureAxialPoints pure = t.PointSymmetric ? PureAxialPoints{} : ComputePureAxialPoints(t);
    curve.Mx0 = pure.Mx0;
    curve.My0 = pure.My0;
    curve.Mx1 = pure.Mx1;
    curve.My1 = pure.My1;
    curve.PX[0] = curve.PY[0] = PMin;
    curve.PX[nP] = curve.PY[nP] = PMax;
    if (t.PointSymmetric) {
        curve.MX[0] = curve.MY[0] = 0;
        curve.MX[nP] = curve.MY[nP] = 0;
    } else {
        curve.MX[0] = -pure.Mx1;
        curve.MY[0] = pure.My1;
        curve.MX[nP] = -pure.Mx0;
        curve.MY[nP] = pure.My0;
    }
    // The pure-axial ends carry no strain plane: 0 there.
    for (std::vector<double>* v : {&curve.EpsTX, &curve.EpsTyX, &curve.EpsTY, &curve.EpsTyY}) {
        v->resize(n);
        v->front() = v->back() = 0;
    }
    for (std::vector<PMCurve::Parts>* v : {&curve.PartsX, &curve.PartsY}) {
        v->resize(n);
        v->front() = v->back() = {};
    }
    for (std::vector<PMCurve::Parts>* v : {&curve.PartsXNeg, &curve.PartsYNeg}) {
        if (t.PointSymmetric) {
            v->clear();
        } else {
            v->resize(n);
            v->front() = v->back() = {};
        }
    }
    for (std::vector<double>* v : {&curve.EpsTXNeg, &curve.EpsTyXNeg, &curve.EpsTYNeg, &curve.EpsTyYNeg}) {
        if (t.PointSymmetric) {
            v->clear();
        } else {
            v->resize(n);
            v->front() = v->back() = 0;
        }
    }
    for (std::vector<double>* v : {&curve.PXNeg, &curve.MXNeg, &curve.PYNeg, &curve.MYNeg}) {
        if (t.PointSymmetric) {
            v->clear();
        } else {
            v->resize(n);
        }
    }
    if (!t.PointSymmetric) {
        curve.PXNeg[0] = curve.PYNeg[0] = PMin;
        curve.MXNeg[0] = curve.MX[0];
        curve.MYNeg[0] = curve.MY[0];
        curve.PXNeg[nP] = curve.PYNeg[nP] = PMax;
        curve.MXNeg[nP] = curve.MX[nP];
        curve.MYNeg[nP] = curve.MY[nP];
    }

    const StrainLimitPoints pts = StrainLimitPoints::Of(t, B, H);
    auto solveHalf = [&](const PmJob& job, Half h) {
        if (options.pass == SolverPass::Reference) {
            SolveReference(t, job, h, curve, progress, options.cancel);
        } else {
            SolveFast(t, job, h, curve, progress, options);
        }
    };
    // A template is symmetric about both axes, so its state with the axis at
    // 0 (or 90) degrees carries no other moment. A drawn section may be
    // point-symmetric without that (a parallelogram): it takes the uniaxial
    // solve too, on one side when the other mirrors it.
    const bool uniaxial = angleDeg == 0 || angleDeg == 90;
    if (t.PointSymmetric && (t.Outline.empty() || !uniaxial)) {
        solveHalf({&pts, angleDeg, PMin, PMax, &s}, Half::Magnitude);
    } else if (uniaxial) {
        // Bending about one axis alone: at each level and on each side the
        // neutral axis is turned until the other moment vanishes, so the
        // curve is the section's pure-Mx (or pure-My) capacity, the point
        // its Mx-My curve at that force has on the axis.
        const int levels = nP - 1;
        std::vector<double> Pt(static_cast<size_t>(std::max(levels, 0)));
        const PmJob job{&pts, angleDeg, PMin, PMax, &s};
        for (int o = 1; o <= levels; ++o) Pt[static_cast<size_t>(o - 1)] = LevelTarget(job, o);
        std::vector<UniaxialState> states(Pt.size());
        for (const bool other : {false, true}) {
            if (other && t.PointSymmetric) break;
            SolveUniaxialStates(t, B, H, angleDeg, other, s.strainLimit, s.factor, Pt.data(), levels,
                                states.data(), options);
            for (int o = 1; o <= levels; ++o) {
                const UniaxialState& u = states[static_cast<size_t>(o - 1)];
                const double signedM = angleDeg == 0 ? -u.Mx : u.My;
                const double m = t.PointSymmetric ? std::fabs(signedM) : signedM;
                if (angleDeg == 0) {
                    (other ? curve.PXNeg : curve.PX)[o] = u.P;
                    (other ? curve.MXNeg : curve.MX)[o] = m;
                } else {
                    (other ? curve.PYNeg : curve.PY)[o] = u.P;
                    (other ? curve.MYNeg : curve.MY)[o] = m;
                }
                const double toward = angleDeg == 0 ? -1.0 : 1.0;
                StoreSteel(curve, angleDeg == 0, other, o, u.steel,
                           t.PointSymmetric ? (toward * (angleDeg == 0 ? u.Mx : u.My) < 0 ? -toward : toward) : toward);
            }
            // The bar moves by halves: one for each side's levels.
            if (progress) progress(other || t.PointSymmetric ? 100 : 50);
        }
    } else {
        solveHalf({&pts, angleDeg, PMin, PMax, &s}, Half::Positive);
        // The other side compressed: the same search on the turned fibers.
        const StrainLimitPoints turnedPts = pts.Turned();
        TurnedFibers turned(t, true);
        solveHalf({&turnedPts, angleDeg, PMin, PMax, &s}, Half::Negative);
    }
    if (progress) progress(0);
}

// The strain plane with the top limit point (the compressed side of the
// direction: the top at 0 degrees, the left at 90) at the code's limit and
// the steel fiber farthest from it at its yield strain plus `extra`.
PMCurve::SteelPoint SteelPlanePoint(const FiberTable& t, double B, double H, bool yDir, double extra) {
    PMCurve::SteelPoint out;
    const double limit = t.Rules.compression;
    if (!(limit < 0) || !t.PointSymmetric) return out;
    FiberTable f = t;  // X' = Y, Y' = -X at 90 degrees: the left side on top
    if (yDir) {
        for (int i = 1; i <= f.NFib; ++i) {
            const double x = f[i].X;
            f[i].X = f[i].Y;
            f[i].Y = -x;
        }
    }
    const StrainLimitPoints pts = StrainLimitPoints::Of(t, B, H);
    double top = 0;
    for (int k = 0; k < pts.size(); ++k) {
        const double y = yDir ? -pts.x[static_cast<size_t>(k)] : pts.y[static_cast<size_t>(k)];
        if (k == 0 || y > top) top = y;
    }
    int steel = 0;
    for (int i = 1; i <= f.NFib; ++i)
        if ((f[i].MatId == MatRebar || f[i].MatId == MatSteelSection) && (steel == 0 || f[i].Y < f[steel].Y)) steel = i;
    if (steel == 0 || !(f[steel].Y < top)) return out;
    const double epsS = checkedDiv(f[steel].Fy, f[steel].Es) + extra;
    const double phi = checkedDiv(-limit + epsS, top - f[steel].Y);
    const double c = top + checkedDiv(limit, phi);  // strain = phi (c - Y)
    const SectionForceResult r = SectionForces(f, 0, c, phi);
    out.found = true;
    out.P = r.P;
    out.M = std::fabs(r.Mx);
    return out;
}

}  // namespace

void SolvePM(FiberTable& t, double B, double H, const PmSettings& s, double angleDeg, double PMin,
             double PMax, PMCurve& curve, const Progress& progress, const SolveOptions& options) {
    CheckPmSettings(s);
    SolveKeepingOnCancel(curve, options, [&](PMCurve& c) {
        SolveAll(t, B, H, s, angleDeg, PMin, PMax, c, progress, options);
        if (angleDeg == 0 || angleDeg == 90) {
            const int k = angleDeg == 90 ? 1 : 0;
            c.Balanced[k] = SteelPlanePoint(t, B, H, k == 1, 0);
            c.TensionStart[k] = SteelPlanePoint(t, B, H, k == 1, 0.003);
        }
    });
}

}  // namespace px
