#pragma once
// Steps shared by the P-M and Mx-My solvers: axial capacities, the window of
// neutral-axis offsets, the curvature of a trial axis and the section forces
// of a trial strain plane.
#include <atomic>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include <cstddef>  // fiber.h uses size_t

#include "input/error.h"
#include "section/fiber.h"

namespace px {

// Progress of a solve, 0..100. Always called on the thread that runs the solve.
using Progress = std::function<void(int)>;

// Which fiber pass the solvers use. The reference pass walks the fiber table
// one trial at a time; the fast pass sweeps the fibers once for a whole grid
// of trials and spreads levels (or angles) over threads. Both give the same
// bits.
enum class SolverPass { Reference, Fast };

// Vector instructions of the fast pass: the widest available, or one named.
// The baseline is what the build targets (SSE2 on plain x86-64); AVX2 is
// chosen at run time where the processor has it.
enum class SweepIsa { Auto, Baseline, Avx2, Avx512 };

// How the Mx-My solver finds each angle's state: the grid search of "Gen MM
// Curve", or root-finding on the offset straight to the axial force (the
// check and the surface).
enum class MmSearch { Grid, Root };

struct AxialBounds {
    double PMax = 0, PMin = 0;
};

struct SolveOptions {
    SolverPass pass = SolverPass::Fast;
    int threads = 0;  // fast pass only; 0 = every hardware thread
    SweepIsa isa = SweepIsa::Auto;
    // Set by another thread to stop the solve; the solver then throws
    // Cancelled and leaves the caller's curve as it was (the fibers' Strain
    // and Stress may hold those of a trial).
    const std::atomic<bool>* cancel = nullptr;
    MmSearch search = MmSearch::Grid;
    // The table's axial capacities (ComputeAxialBounds) when the caller holds
    // them already; the solver makes its own pass over the fibers otherwise.
    std::optional<AxialBounds> bounds = std::nullopt;
};

// Whether the caller has asked the solve to stop. A relaxed load: the flag
// only ever goes from false to true during a solve.
inline bool CancelRequested(const std::atomic<bool>* cancel) {
    return cancel && cancel->load(std::memory_order_relaxed);
}
inline void ThrowIfCancelled(const std::atomic<bool>* cancel) {
    if (CancelRequested(cancel)) throw Cancelled();
}

// Runs solve(curve) so that a cancelled solve leaves the caller's curve as it
// was: with a cancel flag the solve writes into a copy, which replaces the
// curve unless the solve was cancelled (after a fault the curve keeps what
// was written before it, as without the flag).
template <class Curve, class Solve>
void SolveKeepingOnCancel(Curve& curve, const SolveOptions& options, Solve&& solve) {
    ThrowIfCancelled(options.cancel);
    if (!options.cancel) {
        solve(curve);
        return;
    }
    Curve work = curve;
    try {
        solve(work);
    } catch (const Cancelled&) {
        throw;
    } catch (...) {
        curve = std::move(work);
        throw;
    }
    curve = std::move(work);
}

// Tensile strain limit of the corner that is stretched most.
inline constexpr double kTensileStrainLimit = 0.01;
// Degrees to radians.
inline constexpr double kDegToRad = 0.017453292519943295;

// Pure compression (PMax, positive) and pure tension (PMin) capacities, kN.
void ComputeAxialBounds(const FiberTable& t, double& PMax, double& PMin);

// The two pure-axial states with the moments they carry about the origin
// (the outline's centroid), signed as the section forces' (lever arms Y and
// X): every fiber at its compressive capacity (PMax; Mx0, My0) and every
// steel fiber at its tensile capacity with the concrete cracked (PMin; Mx1,
// My1). A point-symmetric table carries none: its moments are exactly 0.
struct PureAxialPoints {
    double PMax = 0, PMin = 0;
    double Mx0 = 0, My0 = 0;  // at PMax, kNm
    double Mx1 = 0, My1 = 0;  // at PMin, kNm
    // Moments of the pure-axial states interpolated linearly in P: the
    // plastic centroid's moments at the axial force P (PMin <= P <= PMax).
    void centreAt(double P, double& Mx, double& My) const;
};
PureAxialPoints ComputePureAxialPoints(const FiberTable& t);

// Points where the strain limits apply, in the solvers' coordinates: the
// corners of the B x H rectangle centred at the origin, or a section's own
// extreme fibers (FiberTable::LimitPoints).
struct StrainLimitPoints {
    std::vector<double> x, y;
    // The limits that apply at them (a design code's, or the solvers' own).
    StrainRules rules;

    // Corners (-B/2, -H/2), (B/2, -H/2), (B/2, H/2), (-B/2, H/2), in that order.
    static StrainLimitPoints Rectangle(double B, double H);
    // The table's LimitPoints, or with none the corners of the B x H
    // rectangle, with the table's Rules.
    static StrainLimitPoints Of(const FiberTable& t, double B, double H);
    // Every point turned by 180 degrees about the origin.
    StrainLimitPoints Turned() const;
    int size() const { return static_cast<int>(x.size()); }
};

struct AxisWindowResult {
    double w = 0;     // slope of the neutral axis y = w x + c
    double cmin = 0;  // smallest offset of the window
    double cmax = 0;  // largest offset of the window
};

// Window of offsets for a given slope: the offsets y - w x of the points
// where the strain limits apply, least and greatest, each multiplied by
// factor.
AxisWindowResult AxisWindowForSlope(double w, const StrainLimitPoints& pts, double factor);
// The same for the corners of the B x H rectangle centred at the origin.
AxisWindowResult AxisWindowForSlope(double w, double B, double H, double factor);

// Slope tan(angle) and the window of offsets for that slope.
AxisWindowResult AxisWindow(double angleDeg, const StrainLimitPoints& pts, double factor);
AxisWindowResult AxisWindow(double angleDeg, double B, double H, double factor);

// sqrt(w w + 1), the divisor of the signed distance from the axis y = w x + c.
double AxisNorm(double w);

// Least and greatest signed distance (w x - y + c) / sqrt(w w + 1) of the
// points where the strain limits apply; negative on the compressed side.
void CornerDistances(double w, double c, const StrainLimitPoints& pts, double& dmin, double& dmax);
// The same for the four corners of the B x H rectangle.
void CornerDistances(double w, double c, double B, double H, double& dmin, double& dmax);

// Smallest curvature that brings a corner to a strain limit:
//   limit / dmin if dmin <= 0, 0.01 / dmin if dmin >= 0,
//   0.01 / dmax if dmax >= 0, limit / dmax if dmax <= 0;
// with strict = true the tests are < and >. A candidate whose distance is
// exactly zero is skipped; with no candidate left (a rectangle of no extent)
// raises "Floating point division by zero".
double TrialCurvature(double dmin, double dmax, double limit, bool strict);

// The same under a code's rules: its compression limit in place of `limit`,
// the stretched side unlimited while a point is compressed unless
// rules.tensionAlways, and the pivot of a section wholly in compression.
// With the default rules it is TrialCurvature, operation for operation.
double TrialCurvature(double dmin, double dmax, double limit, bool strict, const StrainRules& rules);

// The compressive stress (positive) of a steel fiber in the pure-compression
// state: Fy, or under a pivot rule the elastic-plastic law at the pivot's
// uniform strain.
double PureCompressionSteelStress(const Fiber& f, const StrainRules& rules);

// TrialCurvature of the corner distances of the axis y = w x + c, under the
// points' rules.
double TrialCurvatureAt(double w, double c, const StrainLimitPoints& pts, double limit, bool strict);
double TrialCurvatureAt(double w, double c, double B, double H, double limit, bool strict);

// The fibers turned by 180 degrees about the origin (centres and corners
// negated, which is exact) while the object lives, then turned back to the same bits; does
// nothing when `turn` is false. A section that is not point-symmetric solves
// the directions whose compressed side lies below the axis on the turned
// fibers: the strain plane of offset c on the turned fibers is the plane of
// the original fibers compressed on the other side, and its moments are the
// original's negated.
class TurnedFibers {
public:
    TurnedFibers(FiberTable& t, bool turn);
    ~TurnedFibers();
    TurnedFibers(const TurnedFibers&) = delete;
    TurnedFibers& operator=(const TurnedFibers&) = delete;

private:
    FiberTable& t_;
    bool turn_;
};

// Whether the direction with this cosine sign is solved on the turned fibers.
inline bool SolvedTurned(const FiberTable& t, double cosSign) { return !t.PointSymmetric && cosSign < 0; }

struct SectionForceResult {
    double P = 0;   // axial force, kN, compression positive
    double Mx = 0;  // signed moment about x (lever arm Y), kNm
    double My = 0;  // signed moment about y (lever arm X), kNm
};

// Strain, stress and force sums of every fiber for the strain plane
// strain = phi * (w X - Y + c) / sqrt(w w + 1). Writes Strain and Stress of
// each fiber; raises the overflow / invalid-operation message when a sum
// leaves the finite range.
SectionForceResult SectionForces(FiberTable& t, double w, double c, double phi);

// The same pass with the divisor sqrt(w w + 1) already computed.
SectionForceResult SectionForcesNorm(FiberTable& t, double w, double norm, double c, double phi);

// The largest strain (tension positive) of the steel fibers (bars and
// steel section) for the strain plane of SectionForcesNorm, and the yield
// strain Fy / Es of the fiber that has it: the net tensile strain of the
// extreme tension steel. Both 0 for a table without steel. With them the
// shares of the section forces (kN, kNm, signed as SectionForces) that the
// steel section (a) and the concrete (c, deducted fibers included) carry.
struct ExtremeSteel {
    double epsT = 0, epsTy = 0;
    double Pa = 0, Mxa = 0, Mya = 0;
    double Pc = 0, Mxc = 0, Myc = 0;
};
ExtremeSteel ExtremeSteelStrain(const FiberTable& t, double w, double norm, double c, double phi);

// Raises the fault message for a sum that is no longer finite.
void CheckSums(double F, double Sx, double Sy);

// Index in [from, to] whose P is closest to target; of equally close ones the
// last. The running minimum starts at |P[from] - target|.
int ChooseClosest(const double* P, int from, int to, double target);

// Offset of grid point g of n in the window [cmin, cmax].
inline double GridOffset(double cmin, double cmax, int g, int n) {
    return cmin + (static_cast<double>(g) / n) * (cmax - cmin);
}

// Narrows [cmin, cmax] to the grid neighbours b - 1 and b + 1 of the chosen
// index, both computed from the old window; not clamped.
void NarrowWindow(double& cmin, double& cmax, int b, int n);

}  // namespace px
