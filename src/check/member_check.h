#pragma once
// The check of a slender member by the general method: each force's moments
// are replaced, axis by axis, by the largest second-order moment along the
// braced, pin-ended member under that force's end moments, and the section
// is checked against those.
#include <atomic>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "analysis/mm_solver.h"
#include "member/member.h"
#include "member/member_input.h"
#include "section/fiber.h"

namespace px {

// What a row of the check shows of the member: each axis's slenderness
// k L / r (r the radius of gyration of the section's area about its
// centroid), its magnifier M2nd / M2 (nothing without an end moment on that
// axis, or for a force whose moments are not magnified) and its magnified
// moment (nothing where the section has no curve at the force's P).
struct MemberRow {
    double SlenderX = 0, SlenderY = 0;
    std::optional<double> MagX, MagY;
    std::optional<double> Mx, My;
};

// How the member's moments are taken, as the table's tooltip and the
// summary say it.
inline constexpr const char* kMemberCheckRule =
    "General method: each axis magnified on its own, with its own k and bow (L/1000 by default), the largest "
    "second-order moment along the member; k L / r with r of the section's area";

// The member the check magnifies by, from the "Member" group: nothing for
// "Slenderness" "None"; the general method's settings with the MM page's
// strain limit and factor; "Code method" refused naming ComboBox11 (the
// check takes the general method only).
std::optional<MemberSettings> MemberForCheck(const MemberInput& in, const MmSettings& mm);

// Radii of gyration of the fibers' area (deducted fibers subtracted) about
// its centroid, mm: rx for bending about x (the fibers' Y), ry about y.
void AreaRadii(const FiberTable& t, double& rx, double& ry);

// One force on the member: its P (kN) and each axis's moments at this end
// and at the other (kNm; the other end's nothing: equal end moments).
struct MemberForce {
    double P = 0, Mx = 0, My = 0;
    std::optional<double> MxOther, MyOther;
};

enum class MemberFate { Magnified, Buckled, Unstable, OutOfReach };

// The force's magnified moments. Tension and no force keep the end moments
// (magnifier 1). Buckled: the member carries no end moment at P; Unstable:
// no stable shape carries the end moments (the member's limit is below
// them); OutOfReach: no state of the section carries P.
struct MemberMagnified {
    MemberFate fate = MemberFate::Magnified;
    MemberRow row;
};

// Magnifies forces over one fiber table, keeping each axial force's
// moment-curvature branches for the next force at the same P.
class MemberMagnifier {
public:
    MemberMagnifier(const FiberTable& t, double B, double H, const MemberSettings& s);
    MemberMagnified magnify(const MemberForce& f, const std::atomic<bool>* cancel = nullptr);
    // The slenderness alone, for a force whose moments are not magnified.
    MemberRow slenderness() const;

private:
    struct Branches;
    FiberTable t_;
    double B_, H_;
    MemberSettings s_;
    double rx_ = 0, ry_ = 0;
    std::vector<std::pair<double, std::shared_ptr<Branches>>> cache_;
};

}  // namespace px
