#include "member/member_input.h"

#include <cmath>

#include "input/error.h"
#include "input/numbers.h"

namespace px {

namespace {

bool Blank(const std::string& t) { return t.find_first_not_of(" \t") == std::string::npos; }

// The field's number, its default when empty; a text that is no number is
// refused naming the field.
double Real(const FieldSource& f, const char* field, const char* caption, double fallback) {
    const std::string t = f.text(field);
    if (Blank(t)) return fallback;
    try {
        return StrToFloat(t);
    } catch (const ConversionError& e) {
        throw FieldError(field, std::string("\"") + caption + "\": " + e.what());
    }
}

void RequireAbove0(double v, const char* field, const char* caption) {
    if (!(v > 0) || !std::isfinite(v)) throw FieldError(field, std::string("\"") + caption + "\" must be greater than 0");
}

void RequireAtLeast0(double v, const char* field, const char* caption) {
    if (!(v >= 0) || !std::isfinite(v)) throw FieldError(field, std::string("\"") + caption + "\" must be at least 0");
}

const char* LimitWord(MemberLimit l) {
    switch (l) {
        case MemberLimit::Section: return "section";
        case MemberLimit::Instability: return "instability";
        case MemberLimit::Buckled: return "buckled";
        case MemberLimit::Unreachable: return "beyond the section";
        case MemberLimit::None: break;
    }
    return "end of curve";
}

}  // namespace

MemberInput ReadMemberInput(const FieldSource& f, bool forcesImported) {
    MemberInput in;
    const int item = f.itemIndex("ComboBox11");
    if (item <= 0) return in;
    in.method = item == 1 ? Slenderness::Code : Slenderness::General;
    MemberSettings& s = in.settings;
    s.length = Real(f, "Edit72", "Member Length", 0);
    s.kx = Real(f, "Edit73", "kx", 1);
    s.ky = Real(f, "Edit74", "ky", 1);
    in.betaDns = Real(f, "Edit75", "ACI beta_dns", 0);
    in.phiEf = Real(f, "Edit76", "EN phi_ef", 0);
    s.bow = Real(f, "Edit77", "Initial Bow", 0.001);
    RequireAbove0(s.length, "Edit72", "Member Length");
    RequireAbove0(s.kx, "Edit73", "kx");
    RequireAbove0(s.ky, "Edit74", "ky");
    RequireAtLeast0(in.betaDns, "Edit75", "ACI beta_dns");
    RequireAtLeast0(in.phiEf, "Edit76", "EN phi_ef");
    RequireAtLeast0(s.bow, "Edit77", "Initial Bow");
    if (s.bow > kMaxMemberBow) throw FieldError("Edit77", "\"Initial Bow\" must be at most 0.1 (a tenth of the length)");
    if (!forcesImported) {
        for (const auto& [field, caption] : {std::pair{"Edit79", "Mx Other End"}, std::pair{"Edit80", "My Other End"}})
            if (!Blank(f.text(field)))
                throw FieldError(field, std::string("\"") + caption +
                                            "\" names a field of the force table, but no forces are imported");
    }
    if (in.method == Slenderness::Code && f.itemIndex("ComboBox9") == 0)
        throw FieldError("ComboBox11", "\"Slenderness\": the code method needs a \"Design Code\"; under \"None\" "
                                       "only the general method is available");
    return in;
}

MemberCurves SolveMemberCurves(FiberTable& t, double B, double H, const MemberInput& in,
                               const std::vector<double>& levels, const Progress& progress,
                               const std::atomic<bool>* cancel) {
    if (in.method != Slenderness::General)
        throw FieldError("ComboBox11", "\"Slenderness\": the member curve is drawn by the general method only; "
                                       "choose \"General method\"");
    auto half = [&](int base) {
        return Progress([&progress, base](int v) {
            if (progress) progress(base + v / 2);
        });
    };
    MemberCurves c;
    c.x = SolveMemberCurve(t, B, H, in.settings, MemberAxis::X, levels, half(0), cancel);
    c.y = SolveMemberCurve(t, B, H, in.settings, MemberAxis::Y, levels, half(50), cancel);
    return c;
}

const char* MethodName(Slenderness method) {
    return method == Slenderness::Code ? "code method" : "general method";
}

std::string MemberCurveLabel(const MemberInput& in, MemberAxis axis) {
    const MemberSettings& s = in.settings;
    return "Member L = " + F0(s.length) + " mm, " + FactorCaption(axis) + " = " +
           F2(axis == MemberAxis::X ? s.kx : s.ky) + ", " + MethodName(in.method);
}

std::vector<std::string> MemberCurveText(const MemberInput& in, const MemberCurve& x, const MemberCurve& y) {
    std::vector<std::string> lines;
    for (const MemberCurve* c : {&x, &y}) {
        const bool xDir = c->axis == MemberAxis::X;
        lines.push_back(std::string(xDir ? "X Direction Member Curve (Degree=0)" : "Y Direction Member Curve (Degree=90)") +
                        ": " + MemberCurveLabel(in, c->axis) + ", bow " + F2(c->bow) + " mm; P (kN), M (kNm), limit");
        for (const MemberPoint& p : c->points) lines.push_back(F2(p.P) + "\t" + F2(p.M) + "\t" + LimitWord(p.limit));
    }
    return lines;
}

}  // namespace px
