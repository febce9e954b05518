#include "codes/code_fields.h"

#include <algorithm>

#include "input/numbers.h"
#include "output/curve_text.h"

namespace px::codes {

CodeSettings ReadCodeSettings(const FieldSource& f) {
    CodeSettings s;
    s.code = DesignCodeFromIndex(f.itemIndex("ComboBox9"));
    if (s.code == DesignCode::None) return s;
    s.transverse = f.itemIndex("ComboBox10") == 1 ? aci318::Transverse::Spirals : aci318::Transverse::Ties;
    s.alphaCc = StrToFloat(f.text("Edit71"));
    s.memberLength = StrToFloat(f.text("Edit72"));
    return s;
}

CodeSection SectionCodeOf(const FieldSource& f, const SectionInput& in, const FiberTable& t) {
    CodeShape shape;
    shape.type = in.SectionType;
    for (int i = 1; i <= t.NFib && !shape.customHasSteel; ++i) shape.customHasSteel = t[i].MatId == MatSteelSection;
    shape.B = in.B;
    shape.H = in.H;
    shape.tx = in.SteelYTw;
    shape.ty = in.SteelXTw;
    return DescribeSection(ReadCodeSettings(f), shape, t);
}

FiberTable& SolverTable(FiberTable& t, const CodeSection& c, FiberTable& coded) {
    if (c.rules == CodeRules::None) return t;
    coded = CodeFiberTable(t, c);
    return coded;
}

void AppendDesignText(std::vector<std::string>& lines, const PMCurve& nominal, const DesignCurve& d,
                      const CodeSection& c) {
    if (c.rules == CodeRules::None) return;
    auto cell = [](const std::string& s) { return PadRight(kTextCellWidth, s); };
    lines.push_back("");
    lines.push_back("Design_Code = " + DesignCodeName(c.settings.code));
    for (const std::string& n : c.notes) lines.push_back(n);
    for (const std::string& k : KeyPointLines(nominal, c)) lines.push_back(k);
    if (d.cap > 0) lines.push_back("Design axial cap = " + F2(d.cap) + " kN");
    lines.push_back("eps_t: net tensile strain of the extreme tension steel, per mille");
    const std::string rule(120, '=');
    lines.push_back(rule);
    lines.push_back(cell("phi_X") + cell("phi_Pn_X") + cell("phi_Mn_X") + cell("eps_t_X") + cell("phi_Y") +
                    cell("phi_Pn_Y") + cell("phi_Mn_Y") + cell("eps_t_Y"));
    lines.push_back(rule);
    auto row = [&](const std::vector<DesignPoint>& x, const std::vector<DesignPoint>& y, size_t i) {
        const DesignPoint& a = x[i];
        const DesignPoint& b = y[i];
        lines.push_back(cell(F3(a.factor)) + cell(F2(a.P)) + cell(F2(a.M)) + cell(F3(a.epsT * 1000)) +
                        cell(F3(b.factor)) + cell(F2(b.P)) + cell(F2(b.M)) + cell(F3(b.epsT * 1000)));
    };
    const size_t n = std::min(d.X.size(), d.Y.size());
    for (size_t i = 0; i < n; ++i) row(d.X, d.Y, i);
    const size_t m = std::min(d.XNeg.size(), d.YNeg.size());
    for (size_t i = m; i-- > 0;) row(d.XNeg, d.YNeg, i);
    lines.push_back(rule);
}

}  // namespace px::codes
