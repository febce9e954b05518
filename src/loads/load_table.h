#pragma once
// Imported design forces.
#include <optional>
#include <string>
#include <vector>

namespace px {

struct LoadCombination {
    double P = 0;   // kN, compression positive (file value negated)
    double Mx = 0;  // kNm
    double My = 0;  // kNm
    // The combination's name from the "Load Case" field; empty when the
    // table gives none (the case is then known by its number).
    std::string Name;
    // Moments at the member's other end (kNm), from the "Mx Other End" and
    // "My Other End" fields. Nothing: equal end moments in single curvature.
    std::optional<double> MxOther, MyOther;
};

// Entries 1..Count; entry 0 is never written.
struct LoadCombinationTable {
    int Count = 0;
    std::vector<LoadCombination> Items{1};
};

// Field numbers of an import, counted from 1. The last three are optional:
// 0 means the table has no such field.
struct ForceColumns {
    int P = 0, Mx = 0, My = 0;
    int Name = 0, MxOther = 0, MyOther = 0;
};

}  // namespace px
