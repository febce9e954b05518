#pragma once
// Second-order strength of a braced, pin-ended member on the section's own
// moment-curvature response: the largest first-order end moment the member
// carries at an axial force, and the member's interaction curve.
//
// The member of effective length l = k L is cut into segments; at each
// station the moment is the first-order moment of the end moments plus
// P (y + y0), y the deflection and y0 the initial bow, and the curvature is
// the section's at that moment on its loading branch (from zero curvature to
// the section's peak moment at P). The deflected shape follows from the
// curvatures by central differences, solved by Newton's method. The end
// moment grows until no stable shape exists: either a section reaches its
// peak moment, or the member's tangent stiffness vanishes first (instability).
#include <atomic>
#include <string>
#include <vector>

#include "analysis/section_steps.h"
#include "section/fiber.h"

namespace px {

// The direction of bending: X bends the section at 0 degrees with the
// effective length kx L, Y at 90 degrees with ky L.
enum class MemberAxis { X, Y };

struct MemberSettings {
    double length = 0;     // "Member Length" (Edit72), mm
    double kx = 1;         // "kx" (Edit73)
    double ky = 1;         // "ky" (Edit74)
    double bow = 0.001;    // "Initial Bow" (Edit77), share of the effective length
    // M1 / M2, the other end's moment over the larger one, in [-1, 1]:
    // positive in single curvature (1: equal end moments, the worst case),
    // negative in double curvature.
    double endRatio = 1;
    int segments = 100;        // of the effective length, at least kMinMemberSegments
    int curvatureSteps = 100;  // of the section's moment-curvature table at each level
    double strainLimit = -0.0035;  // the section's strain limit, as the MM page's
    double factor = 1.2;           // the solvers' window factor
};

inline constexpr int kMinMemberSegments = 20;
inline constexpr int kMaxMemberSegments = 100000;

// Refuses a length or an effective length factor that is not greater than
// 0, a negative bow, an end ratio outside [-1, 1] and a count outside its
// range, naming the field; nothing is computed before.
void CheckMemberSettings(const MemberSettings& s);

// Effective length of the axis, mm, and the caption and control of its factor.
double EffectiveLength(const MemberSettings& s, MemberAxis axis);
const char* FactorCaption(MemberAxis axis);  // "kx" or "ky"
const char* FactorField(MemberAxis axis);    // "Edit73" or "Edit74"
// Neutral-axis angle of the axis, degrees: 0 or 90.
double AxisAngle(MemberAxis axis);

// What ends the member's strength at a level.
enum class MemberLimit {
    None,         // an end of the curve (pure compression or tension): no moment
    Section,      // a section reaches its peak moment (at the strain limit when the curve rises to it)
    Instability,  // the member's stiffness vanishes before any section reaches its peak
    Buckled,      // the member carries no end moment at this force
    Unreachable,  // no state of the section within its strain limits carries the force
};

struct MemberPoint {
    double P = 0;         // kN, compression positive
    double M = 0;         // largest first-order end moment M2, kNm
    double Mcrit = 0;     // second-order moment at the critical section under M2, kNm
    double xCrit = 0;     // distance of the critical section from the M2 end, mm
    double deflection = 0;  // deflection there, bow excluded, mm
    double Msection = 0;  // the section's peak moment at P, kNm
    MemberLimit limit = MemberLimit::None;
};

// The section's response at one force in one direction: curvature (1/mm,
// from 0) and moment (kNm) along the loading branch up to the peak moment.
// Moments are about the section's origin, and the state without curvature
// counts as no moment: exact for a section symmetric about the axis of
// bending, which carries the force there without a moment.
struct MphiBranch {
    std::vector<double> phi, M;
};

// The largest end moment of the member of effective length l (mm) at force P
// (kN) with the initial bow e0 (mm), for the positive moments on `pos` and
// the negative ones on `neg` (magnitudes); `segments` as in MemberSettings.
// A member that cannot carry P alone is Buckled with M = 0. The end moment
// is found to `precision` times the largest one the sections allow. Refuses
// l <= 0, e0 < 0, a ratio outside [-1, 1], a count outside its range and a
// precision outside [1e-15, 0.1].
MemberPoint SolveMemberLimit(const MphiBranch& pos, const MphiBranch& neg, double P, double l, double e0,
                             double endRatio, int segments, double precision = 1e-12);

// The member's state under the end moments M2 >= 0 and endRatio M2 (kNm) at
// the force P (kN), reached from the straight member by continuation in
// the end moment: the largest moment along it (kNm, signed as M2's side),
// where it acts (mm from the M2 end) and the deflection there (mm, bow
// excluded). Not stable when no stable shape carries the end moments: the
// member's limit lies below M2. This is the second-order moment a check
// of the member takes. Refuses what SolveMemberLimit refuses and M2 < 0.
struct MemberState {
    bool stable = false;
    double Mmax = 0, xMax = 0, deflection = 0;
};
MemberState SolveMemberState(const MphiBranch& pos, const MphiBranch& neg, double P, double l, double e0,
                             double endRatio, int segments, double M2);

// The loading branch of the section's moment-curvature analysis at P.
MphiBranch SectionBranch(FiberTable& t, double B, double H, const MemberSettings& s, double angle, double P);

// The axial levels of the P-M curve: PMin + (PMax - PMin) o / nP, o = 0 .. nP.
std::vector<double> MemberLevels(double PMin, double PMax, int nP);

struct MemberCurve {
    MemberAxis axis = MemberAxis::X;
    double effectiveLength = 0;  // mm
    double bow = 0;              // e0, mm
    std::vector<MemberPoint> points;  // one per level
};

// The member's interaction curve at the levels (kN). Levels at or beyond
// the section's capacities, or beyond the forces its strain limits let it
// carry, carry no moment. Refuses, naming "Member
// Length" and the axis's factor, a member that buckles under its smallest
// compressive level. Progress 0..100; a set cancel flag throws Cancelled.
MemberCurve SolveMemberCurve(FiberTable& t, double B, double H, const MemberSettings& s, MemberAxis axis,
                             const std::vector<double>& levels, const Progress& progress = {},
                             const std::atomic<bool>* cancel = nullptr);

}  // namespace px
