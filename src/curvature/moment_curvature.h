#pragma once
// Moment-curvature response of the fiber section at one axial force and one
// neutral-axis angle: the equilibrium state at each curvature, first yield,
// the ultimate state of the interaction solvers and the bilinear
// idealisation.
#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "analysis/section_steps.h"
#include "input/fields.h"
#include "section/fiber.h"

namespace px {

struct MphiSettings {
    double axialForce = 0;         // "Axial Force" (Edit66), kN, compression positive
    double angle = 0;              // "Neutral Axis Angle" (Edit67), degrees
    int steps = 100;               // "Curvature Steps" (Edit68)
    double strainLimit = -0.0035;  // the MM page's "Strain Limit" (Edit34)
    double factor = 1.2;           // the MM page's "Extention Factor" (Edit63)
};

inline constexpr int kMaxCurvatureSteps = 100000;

// Reads Edit66, Edit67, Edit68, Edit34 and Edit63 in that order.
MphiSettings ReadMphiSettings(const FieldSource& f);

// Refuses settings the analysis cannot run with, naming the caption and
// the limit; the axial force is checked against the section's capacities
// PMin < Pt < PMax.
void CheckMphiSettings(const MphiSettings& s);
void CheckMphiForce(double Pt, double PMin, double PMax);

// One state of the curve. Curvature in 1/mm, moments in kNm with the sign
// rule of the Mx-My curve, M = hypot(Mx, My).
struct MphiPoint {
    double phi = 0, Mx = 0, My = 0, M = 0;
    double c = 0;             // offset of the neutral axis, mm
    double cornerStrain = 0;  // strain at the most compressed corner of the B x H rectangle
    // Strain of largest magnitude among the yield fibers: a bar's at its
    // centre, a steel section fiber's at its corner farthest from the axis.
    double barStrain = 0;
    double yieldRatio = 0;    // largest |strain| / (fy / Es) among the yield fibers
};

struct MphiResult {
    MphiSettings settings;
    std::vector<MphiPoint> points;  // steps + 1, curvature phi_u k / steps
    MphiPoint ultimate;             // the exact ultimate state (the last point)
    std::optional<MphiPoint> yield; // first yield of a bar (or of the steel section without bars)
    std::string yieldNote;          // why there is no first yield
    // Bilinear line: elastic through first yield up to Mp, then Mp to phi_u,
    // with the area of the computed curve; Mp = min(that Mp, Mmax).
    std::optional<double> Mp, phiYieldIdeal, ductility, stiffness;  // kNm, 1/mm, -, kN m2
    std::string bilinearNote;       // why there is no bilinear line
    bool MpCapped = false;          // Mp is Mmax: the equal-area plateau lay above the peak
    double curveArea = 0;           // kNm / mm, trapezoids over points and first yield
    double Mmax = 0, phiMmax = 0;   // peak moment and its curvature
};

// The state at curvature phi (1/mm, > 0) whose axial force is Pt within
// 1e-9 (PMax - PMin): strain = phi x d, d the signed distance from the axis
// at `angle`: for a drawn section (t.Outline not empty) the angle itself,
// its cosine and sine; for a template the Mx-My solver's bounded slope, as
// its curves have always been. When the force crosses Pt
// more than once, the crossing met first coming from the tension side.
// Raises "No state with axial force ... at curvature ..." when none exists.
// phi = 0 gives the uniform strain that carries Pt.
MphiPoint SolveAtCurvature(FiberTable& t, double B, double H, const MphiSettings& s, double phi);

// The whole analysis. Progress 0..100; a set cancel flag throws Cancelled.
MphiResult SolveMomentCurvature(FiberTable& t, double B, double H, const MphiSettings& s,
                                const Progress& progress = {},
                                const std::atomic<bool>* cancel = nullptr);

// What a curve is computed from: the texts of the Section and material
// fields, the MM page's strain limit and window factor, the page's three
// fields, the combo boxes but "Ref. PM Curve", and the custom section's
// "Mesh Size" and loaded file. A curve whose key differs
// from the fields' is stale.
std::string MphiInputsKey(const FieldSource& f);

// Curvature in 1/km from 1/mm.
inline double PerKm(double phiPerMm) { return phiPerMm * 1e6; }

// The key values as lines "caption = value unit" ("n/a (reason)" where a
// value is missing), in the order My, phi_y, Mp, phi_y', phi_u, Mu, Mmax,
// phi at Mmax, mu, EIeff.
std::vector<std::string> MphiKeyLines(const MphiResult& r);

// "Export Text": the table of points (curvature 1/km, moments kNm, strains
// in thousandths), then the key values.
std::vector<std::string> FillMphiText(const MphiResult& r);

}  // namespace px
