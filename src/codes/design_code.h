#pragma once
// The design codes the program can apply and which of their rule sets a
// section type takes. Each code's formulas live in a file of its own
// (aci318.h, en1992.h, en1994.h, aisc360.h): plain functions over plain
// values in N, mm and N/mm2. Forces there are positive in compression, as
// the codes write them; the fiber laws keep the program's sign (strain and
// stress negative in compression).
#include <string>
#include <vector>

namespace px::codes {

// The items of "Design Code", in the order the combo box shows them.
enum class DesignCode { None = 0, Aci318 = 1, Eurocode = 2, Aisc360 = 3 };

// "None", "ACI 318-19", "EN 1992-1-1 / EN 1994-1-1", "AISC 360-16".
const std::vector<std::string>& DesignCodeNames();
const std::string& DesignCodeName(DesignCode code);
// Refuses an index outside the list, or a name that is not one of it.
DesignCode DesignCodeFromIndex(int index);
DesignCode DesignCodeFromName(const std::string& name);

// The rule set a section is designed by under a code.
enum class CodeRules { None, Aci318, En1992, En1994, Aisc360 };

// Section types 3 to 8 hold a steel profile, 1 and 2 do not; a custom
// section (9) holds one when `customHasSteel`. Refuses a type outside 1..9.
bool HasSteelProfile(int sectionType, bool customHasSteel);

// ACI 318-19 takes every section (a steel profile as a composite column);
// the Eurocodes take EN 1992-1-1 without a steel profile and EN 1994-1-1
// with one; AISC 360-16 takes only sections with a steel profile, and
// refuses the others with a message naming the code and the section type.
CodeRules RulesFor(DesignCode code, int sectionType, bool customHasSteel);

// The characteristic strengths a section is designed with (N/mm2); a
// strength of 0 is a material the section does not have.
struct Strengths {
    double Fc = 0;  // strongest concrete of the section
    double FyBars = 0;
    double FySteel = 0;
};

// One sentence per strength outside the range the rule set covers, naming
// the clause. The strengths are used all the same.
std::vector<std::string> StrengthWarnings(CodeRules rules, const Strengths& s);

// Guards shared by the codes' functions: a refusal naming the quantity.
double RequirePositive(const char* quantity, double v);
double RequireNonNegative(const char* quantity, double v);

}  // namespace px::codes
