#pragma once
// P-M interaction curves of the fiber section for bending at 0 degrees (X
// direction) and 90 degrees (Y direction).
#include "analysis/curves.h"
#include "analysis/section_steps.h"
#include "input/fields.h"
#include "section/fiber.h"

namespace px {

struct PmSettings {
    int nP = 10;               // "Axial Force Division Points"
    int K = 5;                 // "Outside Steps K"
    int N = 100;               // "Inside Steps N"
    double factor = 1.2;       // "Extention Factor"
    double strainLimit = -0.0035;  // "Strain Limit"
};

// Largest accepted division and grid counts: the working arrays and the
// curve arrays are sized from them.
inline constexpr int kMaxPmDivisions = 1000000;
inline constexpr int kMaxGridSteps = 1000000;

// Reads Edit33, Edit52, Edit53, Edit60, Edit32 in that order.
PmSettings ReadPmSettings(const FieldSource& f);

// Refuses settings the search cannot run with, naming the caption and limit.
void CheckPmSettings(const PmSettings& s);

// Solves the levels PMin + (PMax - PMin) / nP x o, o = 1 .. nP - 1, for the
// neutral axis at angleDeg. Sizes the curve arrays to nP + 1 (keeping values),
// writes the end points of both directions and stores the solved points in
// PX/MX for angle 0 and PY/MY for angle 90 only. Progress ends at 0.
// The strain limits apply at t.LimitPoints, or with none at the corners of
// the B x H rectangle. A point-symmetric section stores moment magnitudes; any
// other also solves the direction with the other side compressed into the
// curve's negative half (PXNeg ...), both halves with signed moments.
void SolvePM(FiberTable& t, double B, double H, const PmSettings& s, double angleDeg, double PMin,
             double PMax, PMCurve& curve, const Progress& progress = {},
             const SolveOptions& options = {});

}  // namespace px
