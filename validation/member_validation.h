#pragma once
// Slender specimens and those with unequal end eccentricities, predicted as
// members: a second-order analysis of the pin-ended member on the section's
// own moment-curvature (the program's general method), with the program's
// nominal laws, the measured strengths and an initial bow of L/1000.
#include <string>
#include <vector>

#include "member/member.h"
#include "validation/experiments.h"
#include "validation/validate.h"

namespace px::validation {

// The member analysis's share of the length as the initial bow.
inline constexpr double kMemberBow = 0.001;
// Mesh counts of the members' sections: the member's strength rests on its
// stiffness more than on the last per cent of the section's, and every
// specimen takes a dozen moment-curvature analyses.
inline constexpr int kMemberMesh = 20;

// Specimens the section analysis leaves out for their length or their
// unequal end eccentricities: the member analysis predicts them.
bool MemberInScope(const Specimen& s);

struct MemberPrediction {
    bool Ok = false;
    double Value = 0;        // predicted axial strength, kN
    double Ratio = 0;        // test / predicted
    double Squash = 0;       // the section's PMax, kN
    double Slenderness = 0;  // L over the depth in the plane of bending
    double EndRatio = 1;     // M1 / M2 of the end eccentricities, positive in single curvature
    MemberLimit Limit = MemberLimit::None;  // what ends the member at its strength
    std::string Error;
    // The code methods for slender columns without eccentricity, factors 1
    // (0 where the method does not apply or refuses the section), kN:
    // EN 1994-1-1 6.7.3.3, chi Npl,Rk; AISC 360-16 I2, Pn.
    double En1994 = 0, Aisc = 0;
};

// The end eccentricities' ratio M1/M2 (smaller over larger, positive when
// both bend the member the same way); 1 without eccentricity.
double EndEccentricityRatio(double et, double eb);

// The member's strength: the largest axial force under which the pin-ended
// member of length L with end moments P e2 and P e1 (e2 the larger) and the
// bow still holds, found by bisection on P to 0.1 % of the squash load.
MemberPrediction PredictMember(const Specimen& s, const RunSettings& settings);

// Every specimen in the member's scope, on worker threads; the others get
// an empty prediction.
std::vector<MemberPrediction> PredictMembers(const std::vector<Specimen>& all, const RunSettings& settings);

// Areas (mm2) and second moments (mm4) about the axis of bending of the
// section's steel section, bars and concrete (net of the steel where the
// template's concrete covers it), from its fibers.
struct SectionParts {
    double Aa = 0, Ia = 0, As = 0, Is = 0, Ac = 0, Ic = 0;
};
SectionParts PartsOf(const FiberTable& t, bool strong, bool concreteUnderSteel);

// The code methods' axial strength of a slender column (factors 1), kN;
// 0 where a method refuses the section.
double En1994ColumnStrength(const Specimen& s, const SectionParts& p);
double AiscColumnStrength(const Specimen& s, const SectionParts& p);

// The member groups of a family: slender columns (no eccentricity), slender
// beam-columns and beam-columns with unequal end eccentricities.
const char* MemberGroupName(const Specimen& s);

}  // namespace px::validation
