#pragma once
// The summary of the governing load combinations.
#include <array>
#include <string>

#include "loads/load_table.h"

namespace px {

inline constexpr int kSummaryRows = 5;
inline constexpr int kSummaryColumns = 4;

// Cells[row][column] of the summary grid. Row 0: "Case", "P", "Mx", "My".
// Row 1 "N,max": largest P; row 2 "N,min": smallest P; row 3 "Mx,max":
// largest |Mx|; row 4 "My,max": largest |My|. Each row shows the chosen
// combination's P, Mx, My with no decimals and their stored signs; ties go to
// the later combination in file order. With no combination rows 1..4 are
// empty. Entries missing from Items are treated as absent, never read.
struct DataSummaryGrid {
    std::array<std::array<std::string, kSummaryColumns>, kSummaryRows> Cells;
};

DataSummaryGrid DataSummary(const LoadCombinationTable& table);

}  // namespace px
