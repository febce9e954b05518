#pragma once
// Imported design forces.
#include <vector>

namespace px {

struct LoadCombination {
    double P = 0;   // kN, compression positive (file value negated)
    double Mx = 0;  // kNm
    double My = 0;  // kNm
};

// Entries 1..Count; entry 0 is never written.
struct LoadCombinationTable {
    int Count = 0;
    std::vector<LoadCombination> Items{1};
};

}  // namespace px
