#pragma once
// Results of the interaction solvers.
#include <vector>

namespace px {

// P-M curves of both directions; every array has Divisions + 1 entries.
struct PMCurve {
    int Divisions = 0;
    std::vector<double> PX, MX, PY, MY;
    // A section that is not point-symmetric: each direction's other half,
    // compressed on the opposite side, with its moments signed (negative for
    // the usual section), and MX, MY above signed too (positive). Empty for a
    // point-symmetric section, whose MX and MY are magnitudes. Such a
    // section's curves are uniaxial: the X direction's points carry no My,
    // the Y direction's no Mx.
    std::vector<double> PXNeg, MXNeg, PYNeg, MYNeg;
    // Moments of the pure-axial states about the centroid, signed as the
    // Mx-My curve's: at PMax (Mx0, My0) and at PMin (Mx1, My1). The curve's
    // ends are these points (MX = -Mx, MY = My); 0 for a point-symmetric
    // section.
    double Mx0 = 0, My0 = 0, Mx1 = 0, My1 = 0;
    // Net tensile strain of the extreme tension steel at each point and the
    // yield strain of that steel (ExtremeSteelStrain), indexed as the points
    // of the same half; 0 at the pure-axial ends and without steel. A design
    // code's factor is taken from them.
    std::vector<double> EpsTX, EpsTyX, EpsTY, EpsTyY, EpsTXNeg, EpsTyXNeg, EpsTYNeg, EpsTyYNeg;
    // The shares of each point's P and M (signed as the point's) that the
    // steel section (Pa, Ma) and the concrete (Pc, Mc) carry, for the
    // confinement of filled tubes; zero at the pure-axial ends.
    struct Parts {
        double Pa = 0, Ma = 0, Pc = 0, Mc = 0;
    };
    std::vector<Parts> PartsX, PartsY, PartsXNeg, PartsYNeg;
    // Under a code's compression limit (StrainRules::compression), for a
    // point-symmetric section: the states with the extreme compression
    // fiber at that limit and the extreme tension steel at its yield strain
    // plus 0 (balanced) and plus 0.003, solved exactly; [0] X, [1] Y.
    struct SteelPoint {
        bool found = false;
        double P = 0, M = 0;
    };
    SteelPoint Balanced[2], TensionStart[2];
    bool bothWays() const { return !MXNeg.empty(); }
};

// What the P-M curves of a section bent both ways show, on the P-M page and
// in its text.
inline constexpr const char* kUniaxialNote = "Uniaxial: Mx with My = 0, My with Mx = 0";

// Mx-My curve; MMPointCount + 1 entries, indexed by angle step.
struct MMCurve {
    std::vector<double> Mx, My;
    std::vector<double> P;  // axial force of the state behind each point, kN
};

}  // namespace px
