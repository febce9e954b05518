#pragma once
// Results of the interaction solvers.
#include <vector>

namespace px {

// P-M curves of both directions; every array has Divisions + 1 entries.
struct PMCurve {
    int Divisions = 0;
    std::vector<double> PX, MX, PY, MY;
};

// Mx-My curve; MMPointCount + 1 entries, indexed by angle step.
struct MMCurve {
    std::vector<double> Mx, My;
    std::vector<double> P;  // axial force of the state behind each point, kN
};

}  // namespace px
