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
    // point-symmetric section, whose MX and MY are magnitudes.
    std::vector<double> PXNeg, MXNeg, PYNeg, MYNeg;
    bool bothWays() const { return !MXNeg.empty(); }
};

// Mx-My curve; MMPointCount + 1 entries, indexed by angle step.
struct MMCurve {
    std::vector<double> Mx, My;
    std::vector<double> P;  // axial force of the state behind each point, kN
};

}  // namespace px
