#include "codes/design_code.h"

#include <cmath>

#include "input/error.h"
#include "input/field_defaults.h"
#include "input/numbers.h"

namespace px::codes {

namespace {

// A strength as the user typed it: whole numbers without decimals.
std::string Mpa(double v) { return (v == std::floor(v) ? F0(v) : F2(v)) + " N/mm2"; }

}  // namespace

const std::vector<std::string>& DesignCodeNames() {
    static const std::vector<std::string> names = {"None", "ACI 318-19", "EN 1992-1-1 / EN 1994-1-1",
                                                   "AISC 360-16"};
    return names;
}

const std::string& DesignCodeName(DesignCode code) {
    return DesignCodeNames().at(static_cast<size_t>(code));
}

DesignCode DesignCodeFromIndex(int index) {
    const int n = static_cast<int>(DesignCodeNames().size());
    if (index < 0 || index >= n)
        throw AppError("\"Design Code\" must be an item index from 0 to " + std::to_string(n - 1));
    return static_cast<DesignCode>(index);
}

DesignCode DesignCodeFromName(const std::string& name) {
    const auto& names = DesignCodeNames();
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name) return static_cast<DesignCode>(i);
    throw AppError("\"" + name + "\" is not a design code");
}

bool HasSteelProfile(int sectionType, bool customHasSteel) {
    if (sectionType < 1 || sectionType > 9)
        throw AppError("Section type " + std::to_string(sectionType) + " does not exist");
    if (sectionType == 9) return customHasSteel;
    return sectionType >= 3;
}

CodeRules RulesFor(DesignCode code, int sectionType, bool customHasSteel) {
    const bool steel = HasSteelProfile(sectionType, customHasSteel);
    switch (code) {
    case DesignCode::None:
        return CodeRules::None;
    case DesignCode::Aci318:
        return CodeRules::Aci318;
    case DesignCode::Eurocode:
        return steel ? CodeRules::En1994 : CodeRules::En1992;
    case DesignCode::Aisc360:
        if (steel) return CodeRules::Aisc360;
        throw AppError("AISC 360-16 designs composite members only, and \"" +
                       ComboBoxItems("ComboBox1").at(static_cast<size_t>(sectionType - 1)) +
                       "\" has no steel profile; choose ACI 318-19, to which AISC 360-16 refers for it");
    }
    throw AppError("Unknown design code");
}

std::vector<std::string> StrengthWarnings(CodeRules rules, const Strengths& s) {
    std::vector<std::string> out;
    const bool fc = s.Fc > 0, bars = s.FyBars > 0, steel = s.FySteel > 0;
    switch (rules) {
    case CodeRules::None:
        break;
    case CodeRules::Aci318:
        if (fc && s.Fc < 17)
            out.push_back("ACI 318-19 Table 19.2.1.1 asks for f'c of at least 17 N/mm2; the concrete has " + Mpa(s.Fc));
        break;
    case CodeRules::En1992:
        if (fc && s.Fc > 90)
            out.push_back("EN 1992-1-1 3.1.2(2) covers fck up to 90 N/mm2; the concrete has " + Mpa(s.Fc));
        break;
    case CodeRules::En1994:
        if (fc && (s.Fc < 20 || s.Fc > 60))
            out.push_back("EN 1994-1-1 3.1(2) covers fck from 20 to 60 N/mm2; the concrete has " + Mpa(s.Fc));
        if (steel && s.FySteel > 460)
            out.push_back("EN 1994-1-1 3.3(2) covers structural steel up to fy 460 N/mm2; the steel section has " +
                          Mpa(s.FySteel));
        break;
    case CodeRules::Aisc360:
        if (fc && (s.Fc < 21 || s.Fc > 69))
            out.push_back(
                "AISC 360-16 I1.3 covers normal-weight concrete with f'c from 21 to 69 N/mm2; the concrete has " +
                Mpa(s.Fc));
        if (steel && s.FySteel > 525)
            out.push_back("AISC 360-16 I1.3 covers structural steel up to Fy 525 N/mm2; the steel section has " +
                          Mpa(s.FySteel));
        if (bars && s.FyBars > 550)
            out.push_back("AISC 360-16 I1.3 covers reinforcing bars up to Fysr 550 N/mm2; the bars have " +
                          Mpa(s.FyBars));
        break;
    }
    return out;
}

double RequirePositive(const char* quantity, double v) {
    if (!(v > 0) || std::isinf(v)) throw AppError(std::string(quantity) + " must be greater than 0");
    return v;
}

double RequireNonNegative(const char* quantity, double v) {
    if (!(v >= 0) || std::isinf(v)) throw AppError(std::string(quantity) + " must not be negative");
    return v;
}

}  // namespace px::codes
