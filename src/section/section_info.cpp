#include "section/section_info.h"

#include "analysis/section_steps.h"
#include "input/error.h"
#include "input/numbers.h"
#include "section/mesh_custom.h"

namespace px {

SectionInfo ComputeSectionInfo(const SectionInput& in, const FiberTable& t) {
    SectionInfo s;
    // Gross area of the outline; the circular types hold the diameter in H.
    const bool circular = in.SectionType == 2 || in.SectionType == 5 || in.SectionType == 7;
    s.Ag = checkedFinite(circular ? 3.14 * in.H * in.H / 4 : in.B * in.H);
    if (in.SectionType == 9 && in.Custom) {
        const GrossSection g = ComputeGrossSection(in.Custom->Section);
        s.Ag = checkedFinite(g.Area);
        s.custom = true;
        s.centroidX = g.X;
        s.centroidY = g.Y;
    }

    for (int i = 1; i <= t.NFib; ++i) {
        const Fiber& f = t[i];
        switch (f.MatId) {
            case MatCoverConcrete:
            case MatCoreConcrete1:
            case MatCoreConcrete2: s.Ac += f.Area; break;
            case MatDeductedConcrete1: s.Ac -= f.Area; break;
            case MatRebar: s.As += f.Area; break;
            case MatSteelSection: s.Aa += f.Area; break;
            default: break;
        }
    }
    checkedFinite(s.Ac);
    checkedFinite(s.As);
    checkedFinite(s.Aa);

    if (!t.PointSymmetric) {
        const PureAxialPoints a = ComputePureAxialPoints(t);
        s.pureAxial = true;
        s.PMax = a.PMax;
        s.PMin = a.PMin;
        s.Mx0 = a.Mx0;
        s.My0 = a.My0;
        s.Mx1 = a.Mx1;
        s.My1 = a.My1;
    }

    s.barRatio = checkedFinite(checkedDiv(s.As, s.Ag) * 100);
    s.steelRatio = checkedFinite(checkedDiv(s.Aa, s.Ag) * 100);
    return s;
}

SectionInfoTexts FormatSectionInfo(const SectionInfo& s) {
    SectionInfoTexts x;
    x.Edit36 = F0(s.Ag);
    x.Edit31 = F0(s.Ac);
    x.Edit37 = F0(s.As);
    x.Edit38 = F0(s.Aa);
    x.Edit39 = F3(s.barRatio);
    x.Edit40 = F3(s.steelRatio);
    if (s.custom) x.Centroid = "Centroid at x = " + F2(s.centroidX) + ", y = " + F2(s.centroidY) + " mm";
    if (s.pureAxial) {
        auto point = [](const char* name, double P, double Mx, double My) {
            return std::string(name) + " = " + F2(P) + " kN at Mx = " + F2(Mx) + ", My = " + F2(My) + " kNm";
        };
        if (!x.Centroid.empty()) x.Centroid += '\n';
        x.Centroid += point("PMax", s.PMax, s.Mx0, s.My0) + '\n' + point("PMin", s.PMin, s.Mx1, s.My1);
    }
    return x;
}

}  // namespace px
