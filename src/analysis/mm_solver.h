#pragma once
// Mx-My interaction curve of the fiber section at one axial force.
#include <exception>

#include "analysis/curves.h"
#include "analysis/section_steps.h"
#include "input/fields.h"
#include "section/fiber.h"

namespace px {

struct MmSettings {
    int points = 36;               // "Num of MM Curve Points"
    double axialForce = 0;         // "Axial Force", kN, compression positive
    int K = 5;                     // "Outside Step K"
    int N = 100;                   // "Inside Step N"
    double factor = 1.2;           // "Extention Factor"
    double strainLimit = -0.0035;  // "Strain Limit"
};

inline constexpr int kMaxMmPoints = 1000000;

// Reads Edit35, Edit30, Edit61, Edit62, Edit63, Edit34 in that order.
MmSettings ReadMmSettings(const FieldSource& f);

// Refuses settings the search cannot run with, naming the caption and limit.
void CheckMmSettings(const MmSettings& s);

// Slope of the neutral axis for angle step i of `points`, kept away from 0
// and bounded to magnitude 100, and the sign of the cosine of the angle.
void MmSlope(int i, int points, double& slope, double& cosSign);
// The same for an angle in degrees.
void MmSlopeAt(double thetaDeg, double& slope, double& cosSign);

// Root-finding curves at several axial forces at once, each strictly between
// the fibers' PMin and PMax. Every angle's family of states is sampled once
// and shared by all the forces; the result at one force does not depend on
// the others, so it is the same as SolveMMCurve's with MmSearch::Root.
// curves[k] gets points + 1 entries; errors[k] the fault of force k at its
// first failing angle (AxialForceOutOfReach, a floating-point fault) or
// nothing. Angles go to options.threads threads; throws Cancelled.
void SolveMMCurvesRoot(FiberTable& t, double B, double H, const MmSettings& s, const double* Pt,
                       int levels, MMCurve* curves, std::exception_ptr* errors,
                       const Progress& progress = {}, const SolveOptions& options = {});

// The ultimate state of the axis at thetaDeg (bounded slope, as the curve's
// points) whose axial force is s.axialForce, solved exactly with the
// strain limit and window factor of s: its offset, curvature, axial force
// and moments by the curve's sign rule. A direction solved on the turned
// fibers (SolvedTurned) gives the offset of the turned fibers' axis; its
// moments are the section's. Raises AppError for a force outside
// (PMin, PMax) and AxialForceOutOfReach as the solver does.
struct MmState {
    double c = 0, phi = 0, P = 0, Mx = 0, My = 0;
};
MmState SolveMmStateAt(FiberTable& t, double B, double H, const MmSettings& s, double thetaDeg);

// Pure-moment states of a section at several axial forces: for direction 0
// (bending about x) the ultimate state whose moment about y vanishes, for
// direction 90 the one whose moment about x vanishes. The side compressed is
// that of the P-M curve's positive half (the top at 0 degrees, the left at
// 90), or with otherSide the opposite one. At each force the neutral axis is
// turned from the direction's own until the other moment is 0, each trial
// axis solved to the force exactly as the Mx-My root-finding solves an
// angle; the moments returned are the section's (signed as the Mx-My
// curve's). Each Pt must lie strictly between PMin and PMax. Raises
// AxialForceOutOfReach as the Mx-My solver does, Cancelled once
// options.cancel is set.
struct UniaxialState {
    double P = 0, Mx = 0, My = 0;
    double turnDeg = 0;  // how far the axis was turned, degrees
    ExtremeSteel steel;  // the state's extreme tension steel
};
void SolveUniaxialStates(FiberTable& t, double B, double H, double directionDeg, bool otherSide,
                         double strainLimit, double factor, const double* Pt, int levels,
                         UniaxialState* out, const SolveOptions& options = {});

// No ultimate state of one angle's family carries the axial force asked for,
// though it lies between PMin and PMax (strain limits that stop short of the
// laws' plateaus). The curve is left as it was.
class AxialForceOutOfReach : public AppError {
public:
    using AppError::AppError;
};

// Rewrites curve.Mx, curve.My and curve.P (points + 1 entries). Progress is
// left at its last position.
//
// Every solver here takes the strain limits at t.LimitPoints, or with none at
// the corners of the B x H rectangle. Each angle compresses the side above
// its axis, and an angle whose cosine is below 0 gives that state's moments
// negated (the opposite direction of a point-symmetric section); a section
// that is not point-symmetric (t.PointSymmetric false) solves such an angle
// with the side below the axis compressed instead, on the turned fibers.
//
// With the grid search (options.search), each angle runs K passes over its
// window of offsets. When the axial force lies strictly between the fibers'
// PMin and PMax but beyond the axial forces of that window's two ends, the
// grid cannot reach it; the point is then solved exactly instead: the axis
// moves past the window's end until the axial force passes the target, and
// that bracket is narrowed until |P - Pt| <= 1e-9 (PMax - PMin).
//
// With root-finding, every angle is solved that way from the start: a block
// of trials across the window brackets the force (the first crossing from
// the tension end), and the bracket is narrowed to the same tolerance. K and
// N play no part; an axial force outside (PMin, PMax) falls back to the grid.
//
// A section that is not point-symmetric asked for its PMax or PMin exactly
// gets the pure-axial point (ComputePureAxialPoints) at every angle.
//
// Raises AxialForceOutOfReach when no state of an angle's family gets to the
// force.
void SolveMMCurve(FiberTable& t, double B, double H, const MmSettings& s, MMCurve& curve,
                  const Progress& progress = {}, const SolveOptions& options = {});

}  // namespace px
