#pragma once
// The member's settings as the window holds them ("Member" group of the P-M
// page), and the texts of its interaction curves.
#include <atomic>
#include <string>
#include <vector>

#include "input/fields.h"
#include "member/member.h"

namespace px {

// "Slenderness" (ComboBox11), in item order.
enum class Slenderness { None = 0, Code = 1, General = 2 };

struct MemberInput {
    Slenderness method = Slenderness::None;
    MemberSettings settings;  // length, kx, ky and bow from the fields; the rest as the caller sets it
    double betaDns = 0;       // "ACI beta_dns" (Edit75)
    double phiEf = 0;         // "EN phi_ef" (Edit76)
};

// Axial levels of the member curves the window and the batch show, from the
// tension to the compression capacity.
inline constexpr int kMemberCurveLevels = 20;

// Largest "Initial Bow": a tenth of the length.
inline constexpr double kMaxMemberBow = 0.1;

// Reads ComboBox11 and, when it is not "None", Edit72 .. Edit77 (an empty
// field is its default: length 0, kx and ky 1, beta_dns and phi_ef 0, bow
// 0.001) and refuses, naming the field, a length or factor not greater than
// 0, a negative beta_dns or phi_ef, a bow outside [0, 0.1], end moments
// ("Mx Other End" Edit79, "My Other End" Edit80) given while no forces are
// imported, and the code method under "Design Code" (ComboBox9) "None".
// With "None" nothing else is read and nothing is refused.
MemberInput ReadMemberInput(const FieldSource& f, bool forcesImported);

// The member's curves of both directions at the levels (kN), by the general
// method; the code method is refused (its curve is not built yet). Progress
// 0..100 over both; a set cancel flag throws Cancelled.
struct MemberCurves {
    MemberCurve x, y;
};
MemberCurves SolveMemberCurves(FiberTable& t, double B, double H, const MemberInput& in,
                               const std::vector<double>& levels, const Progress& progress = {},
                               const std::atomic<bool>* cancel = nullptr);

// "general method" or "code method".
const char* MethodName(Slenderness method);

// Caption of a member curve on the P-M chart: "Member L = 3000 mm, kx = 1,
// general method".
std::string MemberCurveLabel(const MemberInput& in, MemberAxis axis);

// The member's curves of both directions as text: for each direction a
// heading naming it and the method, then one line per axial level, P (kN)
// and the largest first-order end moment (kNm), tab separated.
std::vector<std::string> MemberCurveText(const MemberInput& in, const MemberCurve& x, const MemberCurve& y);

}  // namespace px
