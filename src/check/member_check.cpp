#include "check/member_check.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include "analysis/section_steps.h"
#include "input/error.h"
#include "input/numbers.h"

namespace px {

std::optional<MemberSettings> MemberForCheck(const MemberInput& in, const MmSettings& mm) {
    if (in.method == Slenderness::None) return std::nullopt;
    if (in.method != Slenderness::General)
        throw FieldError("ComboBox11", "\"Slenderness\": \"Code method\" is not in the check yet; choose "
                                       "\"General method\" or \"None\" for \"Check Forces\"");
    MemberSettings s = in.settings;
    s.strainLimit = mm.strainLimit;
    s.factor = mm.factor;
    s.endRatio = 1;
    CheckMemberSettings(s);
    return s;
}

void AreaRadii(const FiberTable& t, double& rx, double& ry) {
    double A = 0, Sx = 0, Sy = 0;
    auto area = [&](const Fiber& f) { return f.MatId == MatDeductedConcrete1 ? -f.Area : f.Area; };
    for (int i = 1; i <= t.NFib; ++i) {
        const double a = area(t[i]);
        A += a;
        Sx += a * t[i].X;
        Sy += a * t[i].Y;
    }
    const double xc = checkedDiv(Sx, A), yc = checkedDiv(Sy, A);
    double Ix = 0, Iy = 0;
    for (int i = 1; i <= t.NFib; ++i) {
        const double a = area(t[i]), dx = t[i].X - xc, dy = t[i].Y - yc;
        Ix += a * dy * dy;
        Iy += a * dx * dx;
    }
    rx = checkedFinite(std::sqrt(checkedDiv(Ix, A)));
    ry = checkedFinite(std::sqrt(checkedDiv(Iy, A)));
}

// The loading branches at one axial force: X's positive and negative sides
// (0 and 180 degrees), Y's (90 and 270).
struct MemberMagnifier::Branches {
    MphiBranch x[2], y[2];
    bool reached = true;
};

MemberMagnifier::MemberMagnifier(const FiberTable& t, double B, double H, const MemberSettings& s)
    : t_(t), B_(B), H_(H), s_(s) {
    CheckMemberSettings(s_);
    AreaRadii(t_, rx_, ry_);
}

namespace {

struct AxisResult {
    MemberFate fate = MemberFate::Magnified;
    std::optional<double> mag;
    double M = 0;
};

// One axis: M this end, O the other; the larger end's side takes `side[0]`.
AxisResult MagnifyAxis(const MphiBranch side[2], double P, double l, double e0, int segments, double M, double O) {
    const bool thisLarger = std::fabs(M) >= std::fabs(O);
    const double big = thisLarger ? M : O, small = thisLarger ? O : M;
    const double M2 = std::fabs(big);
    const double sign = big < 0 ? -1 : 1;
    const double ratio = M2 > 0 ? std::clamp(small / big, -1.0, 1.0) : 1.0;
    const MphiBranch& pos = side[big < 0 ? 1 : 0];
    const MphiBranch& neg = side[big < 0 ? 0 : 1];
    AxisResult r;
    const MemberState st = SolveMemberState(pos, neg, P, l, e0, ratio, segments, M2);
    if (!st.stable) {
        r.fate = M2 > 0 && SolveMemberState(pos, neg, P, l, e0, ratio, segments, 0).stable ? MemberFate::Unstable
                                                                                         : MemberFate::Buckled;
        return r;
    }
    r.M = checkedFinite(sign * st.Mmax);
    if (M2 > 0) r.mag = checkedDiv(std::fabs(st.Mmax), M2);
    return r;
}

}  // namespace

MemberRow MemberMagnifier::slenderness() const {
    MemberRow row;
    row.SlenderX = checkedDiv(EffectiveLength(s_, MemberAxis::X), rx_);
    row.SlenderY = checkedDiv(EffectiveLength(s_, MemberAxis::Y), ry_);
    return row;
}

MemberMagnified MemberMagnifier::magnify(const MemberForce& f, const std::atomic<bool>* cancel) {
    ThrowIfCancelled(cancel);
    MemberMagnified out;
    MemberRow& row = out.row;
    row = slenderness();
    const double lx = EffectiveLength(s_, MemberAxis::X), ly = EffectiveLength(s_, MemberAxis::Y);
    const double Ox = f.MxOther ? *f.MxOther : f.Mx, Oy = f.MyOther ? *f.MyOther : f.My;
    if (!(f.P > 0)) {
        // No second-order moment under tension or no force: the larger end
        // moment of each axis, as it is.
        row.Mx = std::fabs(Ox) > std::fabs(f.Mx) ? Ox : f.Mx;
        row.My = std::fabs(Oy) > std::fabs(f.My) ? Oy : f.My;
        if (*row.Mx != 0) row.MagX = 1.0;
        if (*row.My != 0) row.MagY = 1.0;
        return out;
    }
    const std::uint64_t key = std::bit_cast<std::uint64_t>(f.P);
    std::shared_ptr<Branches> b;
    for (const auto& [P, found] : cache_)
        if (std::bit_cast<std::uint64_t>(P) == key) b = found;
    if (!b) {
        b = std::make_shared<Branches>();
        try {
            b->x[0] = SectionBranch(t_, B_, H_, s_, 0, f.P);
            b->y[0] = SectionBranch(t_, B_, H_, s_, 90, f.P);
            // A point-symmetric section answers both sides alike.
            b->x[1] = t_.PointSymmetric ? b->x[0] : SectionBranch(t_, B_, H_, s_, 180, f.P);
            b->y[1] = t_.PointSymmetric ? b->y[0] : SectionBranch(t_, B_, H_, s_, 270, f.P);
        } catch (const AxialForceOutOfReach&) {
            b->reached = false;
        }
        cache_.emplace_back(f.P, b);
    }
    if (!b->reached) {
        out.fate = MemberFate::OutOfReach;
        return out;
    }
    const AxisResult x = MagnifyAxis(b->x, f.P, lx, s_.bow * lx, s_.segments, f.Mx, Ox);
    const AxisResult y = MagnifyAxis(b->y, f.P, ly, s_.bow * ly, s_.segments, f.My, Oy);
    for (const AxisResult* a : {&x, &y})
        if (a->fate != MemberFate::Magnified) {
            // A buckled axis says so before one that is only unstable.
            out.fate = x.fate == MemberFate::Buckled || y.fate == MemberFate::Buckled ? MemberFate::Buckled : a->fate;
            return out;
        }
    row.MagX = x.mag;
    row.MagY = y.mag;
    row.Mx = x.M;
    row.My = y.M;
    return out;
}

}  // namespace px
