#include "section/section_warnings.h"

#include <algorithm>
#include <cmath>

#include "input/numbers.h"

namespace px {

namespace {

// Normal-weight concrete above this strength lies beyond the tests the
// composite rules of AISC 360-16 (I1.3) rest on, N/mm2.
constexpr double kHighConcrete = 69.0;
// Cover that keeps an encased section's plates from buckling locally, mm.
constexpr double kEncasedCover = 40.0;

std::string F1(double v) { return FormatFixed(v, 1); }

// An encased H section's flange outstands are held by the cover alone; the
// web lies between the flanges with concrete on both faces and cannot
// buckle out of its plane, so only the flanges are checked.
void encasedH(const char* which, double bf, double tf, double cover, const WarningMaterials& m,
              std::vector<SectionWarning>& out) {
    if (m.SteelFy <= 0 || tf <= 0) return;
    const double needed = std::max(kEncasedCover, bf / 6);
    if (cover >= needed) return;
    const double flange = bf / tf, limit = 44 * std::sqrt(235 / m.SteelFy);
    if (flange <= limit) return;
    std::string text = "Warning: the ";
    text += which;
    text += " H section's flange bf/tf = " + F1(flange) + " is beyond 44 sqrt(235/fy) = " + F1(limit);
    text += " and its concrete cover of " + F1(cover) + " mm is below the larger of 40 mm and bf/6 (";
    text += F1(needed) + " mm): the flanges may buckle locally before the section reaches its computed strength.";
    out.push_back({WarningKind::HFlange, flange, limit, text});
}

}  // namespace

WarningMaterials WarningMaterialsOf(const FiberTable& t) {
    WarningMaterials m;
    bool steel = false;
    for (int i = 1; i <= t.NFib; ++i) {
        const Fiber& f = t.f[static_cast<size_t>(i)];
        if (f.MatId == MatSteelSection && !steel) {
            m.SteelFy = f.Fy;
            m.SteelEs = f.Es;
            steel = true;
        } else if (f.MatId == MatCoverConcrete || f.MatId == MatCoreConcrete1 || f.MatId == MatCoreConcrete2) {
            m.ConcreteFc = std::max(m.ConcreteFc, f.Fc);
        }
    }
    return m;
}

bool WallSlenderness(const SectionInput& in, const WarningMaterials& m, double& ratio, double& limit) {
    if (m.SteelFy <= 0 || m.SteelEs <= 0) return false;
    if (in.SectionType == 5) {
        if (in.SteelYTw <= 0) return false;
        ratio = in.H / in.SteelYTw;
        limit = 0.15 * m.SteelEs / m.SteelFy;
        return true;
    }
    if (in.SectionType == 6) {
        const double tx = in.SteelYTw, ty = in.SteelXTw;
        if (tx <= 0 || ty <= 0) return false;
        // Top and bottom walls span the width, the side walls the height.
        ratio = std::max((in.B - 3 * ty) / ty, (in.H - 3 * tx) / tx);
        limit = 2.26 * std::sqrt(m.SteelEs / m.SteelFy);
        return true;
    }
    return false;
}

std::vector<SectionWarning> ComputeSectionWarnings(const SectionInput& in, const WarningMaterials& m) {
    std::vector<SectionWarning> out;
    if (in.SectionType == 9 && in.Custom && !in.Custom->Section.warning.empty())
        out.push_back({WarningKind::Drawing, 0, 0, "Warning: " + in.Custom->Section.warning + "."});
    double ratio = 0, limit = 0;
    if (WallSlenderness(in, m, ratio, limit) && ratio > limit) {
        const bool tube = in.SectionType == 5;
        out.push_back({tube ? WarningKind::TubeWall : WarningKind::BoxWall, ratio, limit,
                       std::string(tube ? "Warning: the tube wall's D/t = " : "Warning: the box wall's b/t = ") +
                           F1(ratio) + (tube ? " is beyond 0.15 Es/fy = " : " is beyond 2.26 sqrt(Es/fy) = ") +
                           F1(limit) +
                           ": the wall may buckle locally before the section reaches its computed strength."});
    }
    switch (in.SectionType) {
    case 3:
    case 4:
        encasedH(in.SectionType == 3 ? "Y-direction" : "encased", in.SteelYB, in.SteelYTf,
                 std::min((in.H - in.SteelYH) / 2, (in.B - in.SteelYB) / 2), m, out);
        // The X-direction section lies with its web along x.
        if (in.SectionType == 3)
            encasedH("X-direction", in.SteelXB, in.SteelXTf, std::min((in.B - in.SteelXH) / 2, (in.H - in.SteelXB) / 2),
                     m, out);
        break;
    case 7:
        encasedH("Y-direction", in.SteelYB, in.SteelYTf, in.B / 2 - std::hypot(in.SteelYB / 2, in.SteelYH / 2), m, out);
        encasedH("X-direction", in.SteelXB, in.SteelXTf, in.B / 2 - std::hypot(in.SteelXB / 2, in.SteelXH / 2), m, out);
        break;
    default:
        break;
    }
    // A drawn section is composite when it holds steel.
    bool composite = in.SectionType >= 3 && in.SectionType <= 8;
    if (in.SectionType == 9 && in.Custom)
        for (const auto& poly : in.Custom->Section.polygons) composite = composite || poly.group == geom::Group::Steel;
    if (composite && m.ConcreteFc > kHighConcrete)
        out.push_back({WarningKind::HighConcrete, m.ConcreteFc, kHighConcrete,
                       "Warning: concrete of fc = " + F1(m.ConcreteFc) +
                           " N/mm2 is beyond 69 N/mm2: tests of such composite sections fall short of the computed "
                           "strength more often."});
    return out;
}

std::string WarningsText(const std::vector<SectionWarning>& w) {
    std::string s;
    for (const SectionWarning& x : w) {
        if (!s.empty()) s += ' ';
        s += x.Text;
    }
    return s;
}

}  // namespace px
