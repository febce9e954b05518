#pragma once
// A section under a design code: the fiber table with the code's laws, its
// strain limits and net concrete, the facts of the section the code's rules
// need (filled walls, wall classes, confinement) and the design pass that
// turns each nominal P-M point into a design point.
#include <string>
#include <vector>

#include "analysis/curves.h"
#include "codes/aci318.h"
#include "codes/aisc360.h"
#include "codes/design_code.h"
#include "section/fiber.h"

namespace px::codes {

// What the design-code fields hold: "Design Code", "Transverse
// Reinforcement", alpha_cc and "Member Length" (mm, 0: not given).
struct CodeSettings {
    DesignCode code = DesignCode::None;
    aci318::Transverse transverse = aci318::Transverse::Ties;
    double alphaCc = 1.0;
    double memberLength = 0;
};

// The section's shape as the codes' rules see it: its type (1..9), whether
// a custom section holds steel, and for the filled tubes (types 5 and 6) the
// outside sizes (B, H; a round tube's diameter in H) and wall thicknesses
// (tx of the walls across B, ty of the walls across H; a round tube's in tx).
struct CodeShape {
    int type = 1;
    bool customHasSteel = false;
    double B = 0, H = 0, tx = 0, ty = 0;
};

// The rule set a section takes and the facts its rules use. Refuses a code
// that does not apply (RulesFor).
struct CodeSection {
    CodeRules rules = CodeRules::None;
    CodeSettings settings;
    CodeShape shape;
    bool steelShape = false;  // a steel profile (ACI's 0.85 cap, 22.4.2.2)
    // AISC 360-16, filled tubes: the wall's slenderness, class and Pno / Pp,
    // the factor on the compression side of the plastic distribution.
    bool filledWall = false;
    double wallLambda = 0;
    aisc360::WallClass wallClass = aisc360::WallClass::Compact;
    double pnoRatio = 1;
    // EN 1994-1-1, circular filled tubes with a "Member Length": lambda_bar
    // and the data of the confined resistance (6.7.3.2(6)): t / d, fy / fck,
    // the outside diameter (mm) and the pure-compression shares of the steel
    // (Aa fyd) and the concrete (Ac fcd), kN. Confinement applies when
    // lambda_bar <= 0.5.
    bool confinement = false;
    double lambdaBar = 0, tOverD = 0, fyOverFck = 0, diameter = 0, paMax = 0, pcMax = 0;
    // Why the section information says what it says about the code's
    // section rules (wall class, confinement), one sentence each.
    std::vector<std::string> notes;
};

// Checks the settings (alpha_cc in (0, 1], Member Length >= 0) and which
// rule set the section takes. The fiber table (with the fields' strengths)
// gives the strengths for the AISC wall class.
CodeSection DescribeSection(const CodeSettings& s, const CodeShape& shape, const FiberTable& t);

// The fiber table under the section's code: each concrete fiber's field
// strength read as f'c / fck and each steel fiber's as fy, replaced by the
// code's law (ACI: the stress block with 0.85 f'c, bars and steel
// elastic-perfectly plastic with Es 200,000; EN 1992-1-1: the
// parabola-rectangle of fcd, steel of fyd; EN 1994-1-1 and AISC 360-16: the
// plastic distribution), the code's strain limits in Rules, and net
// concrete: every bar, and the steel of the types whose concrete runs under
// it (3, 4, 7), takes its area out of core concrete one (or, with none, the
// first concrete) by a deducted fiber of that concrete's law at its centre.
// Under "None" the table is returned as it is.
FiberTable CodeFiberTable(const FiberTable& t, const CodeSection& c);

// One design point: the factored force and moment, the factor (phi, or the
// governing factor; 1 under the Eurocodes) and the net tensile strain.
struct DesignPoint {
    double P = 0, M = 0, factor = 1, epsT = 0;
};
struct DesignCurve {
    std::vector<DesignPoint> X, Y, XNeg, YNeg;
    double cap = 0;  // the design axial cap (ACI phi Pn,max, AISC phi_c Pno), kN
};

// The design curve of a nominal curve solved on CodeFiberTable: one pass
// over the points. ACI: (phi Pn, phi Mn) with phi from eps_t, phi Pn cut at
// phi Pn,max (0.80 Po with ties, 0.85 Po with spirals or a steel shape).
// Eurocodes: the design values are in the laws, factor 1. AISC: compressive
// P scaled by Pno / Pp of the wall's class, then 0.75 P (0.90 in tension)
// and 0.90 M.
DesignCurve MakeDesignCurve(const PMCurve& nominal, const CodeSection& c);

// The code's factor at one point of a half with n + 1 points (index 0 the
// pure tension end, n the pure compression end).
double PointFactor(const CodeSection& c, int i, int n, double P, double epsT, double epsTy);

// A key point of the code on one direction's nominal curve: its name, the
// nominal P (kN) and M (kNm), the factor's name ("phi" or "factor") and
// value. The charts mark them on the design curve (factor x P, M).
struct KeyPoint {
    std::string name;
    double P = 0, M = 0;
    std::string factorName;
    double factor = 1;
};
std::vector<KeyPoint> KeyPoints(const PMCurve& nominal, const CodeSection& c, bool yDir = false);

// The code's key points of the X direction, one a line: "name: P = .. kN,
// M = .. kNm, phi = ..".
std::vector<std::string> KeyPointLines(const PMCurve& nominal, const CodeSection& c);

}  // namespace px::codes
