#pragma once
// Fast fiber pass: the fibers' positions, areas and law parameters in
// contiguous arrays, and one sweep over them that evaluates a whole grid of
// trial axes at once. Each trial's sums still run in fiber order with the
// operations of SectionForces, so the results are the same bits.
#include <atomic>
#include <vector>

#include <cstddef>  // fiber.h uses size_t

#include "analysis/section_steps.h"
#include "section/fiber.h"

namespace px {

// A design code's laws: Block (concrete model 3, deducted too) and
// PlasticSteel (steel model 2).
enum class SweepLaw : unsigned char { Fixed, Concrete, DeductedConcrete, Steel, Block, DeductedBlock, PlasticSteel };

struct SweepTable {
    struct Run {
        int begin, end;  // fibers [begin, end) of one law, 0-based
        SweepLaw law;
    };
    int n = 0;
    std::vector<double> X, Y, A;
    // Concrete and Block: P1 = -Fc, P2 = -E0. Steel: P1 = Es, P2 = Fy / Es,
    // P3 = Fy. PlasticSteel: P3 = Fy.
    // Fixed (no law, or a model other than 1): P1 = the stress it keeps.
    std::vector<double> P1, P2, P3;
    std::vector<Run> runs;
    // False when a fiber's stress would change from trial to trial without a
    // law (deducted concrete of a model other than 1 flips its sign on every
    // pass), or when a concrete fiber uses the descending model or the
    // parabola-rectangle of a code (model 4), which the sweep does not
    // evaluate; the solvers then use the reference pass.
    bool reproducible = true;
};

SweepTable BuildSweepTable(const FiberTable& t);

// The same table with every fiber turned by 180 degrees about the origin, as
// TurnedFibers turns the fiber table.
SweepTable TurnedSweepTable(SweepTable s);

// U[i] = w X[i] - Y[i], the part of a fiber's distance that does not depend
// on the offset.
void AxisTerms(const SweepTable& s, double w, std::vector<double>& U);

// Instruction set of the sweep, resolved once per solve: Auto picks the
// widest the processor has, unless the environment variable PILLARIX_ISA
// names one ("baseline", "avx2", "avx512"); one that is not available falls
// back to the baseline. All give the same bits.
bool SweepIsaSupported(SweepIsa isa);
SweepIsa ResolveSweepIsa(SweepIsa wanted);
// What PILLARIX_ISA names, read once: Auto when it is unset or empty; an
// unknown name is Auto too, and `known` (when given) is set false.
SweepIsa SweepIsaFromEnvironment(bool* known = nullptr);

// Sums of trials g = 0 .. T - 1 with offsets c[g] and curvatures phi[g]:
// F = sum of stress x area, Sx = sum of (stress x area) x Y,
// Sy = sum of (stress x area) x X, in fiber order. Once *cancel is set the
// sweep stops between passes over the fibers and leaves the sums incomplete.
void SweepTrials(const SweepTable& s, SweepIsa isa, const double* U, double norm, const double* c,
                 const double* phi, int T, double* F, double* Sx, double* Sy,
                 const std::atomic<bool>* cancel = nullptr);

// Whether one sweep of T trials is worth sharing between threads.
bool WorthSharing(const SweepTable& s, int T);

// Working arrays of one thread's grid passes.
struct GridScratch {
    std::vector<double> c, phi, F, Sx, Sy, P;  // N + 1 trials each
    std::vector<double> U;                      // one per fiber
    void resize(int N, int fibers);
};

class ChunkHelpers;
class PassProgress;

// How the fast pass runs: instruction set, threads sharing each sweep (none
// when null), the stop flag and the count of finished grid passes (none when
// null).
struct SweepRun {
    SweepIsa isa = SweepIsa::Baseline;
    ChunkHelpers* helpers = nullptr;
    const std::atomic<bool>* cancel = nullptr;
    PassProgress* passes = nullptr;
};

// The axis a grid pass searches: slope w with its divisor norm and the
// fibers' terms U (AxisTerms), with the curvatures of TrialCurvature(limit,
// strict) at the points where the strain limits apply.
struct GridAxis {
    const double* U;
    double w, norm;
    const StrainLimitPoints* pts;
    double limit;
    bool strict;
};

// One pass of the grid search over the offsets GridOffset(cmin, cmax, G, N),
// G = 0 .. N, of the axis: the curvature of each trial, then one sweep for
// all of them. Fills c, phi, F, Sx, Sy and P = -F / 1000 of ws and counts
// the pass in run.passes. A fault at trial G is raised after the trials
// before it, as the one-by-one pass would. Throws Cancelled once
// *run.cancel is set (checked before the pass and between passes over the
// fibers, on every thread that shares the sweep).
void SweepGridPass(const SweepTable& st, const SweepRun& run, const GridAxis& axis, double cmin,
                   double cmax, int N, GridScratch& ws);

// Writes Strain and Stress of every fiber for one trial, as the reference
// pass leaves them.
void StoreTrialState(FiberTable& t, double w, double norm, double c, double phi);

}  // namespace px
