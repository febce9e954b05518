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

// Rewrites curve.Mx and curve.My (points + 1 entries). Progress is left at
// its last position.
void SolveMMCurve(FiberTable& t, double B, double H, const MmSettings& s, MMCurve& curve,
                  const Progress& progress = {}, const SolveOptions& options = {});

}  // namespace px
