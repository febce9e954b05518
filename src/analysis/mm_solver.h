#pragma once
// Mx-My interaction curve of the fiber section at one axial force.
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
// Each angle runs the grid search of K passes over its window of offsets.
// When the axial force lies strictly between the fibers' PMin and PMax but
// beyond the axial forces of that window's two ends, the grid cannot reach
// it; the point is then solved exactly instead: the axis moves past the
// window's end until the axial force passes the target, and that bracket is
// narrowed until |P - Pt| <= 1e-9 (PMax - PMin). Raises AxialForceOutOfReach
// when no state of the family gets there.
void SolveMMCurve(FiberTable& t, double B, double H, const MmSettings& s, MMCurve& curve,
                  const Progress& progress = {}, const SolveOptions& options = {});

}  // namespace px
