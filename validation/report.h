#pragma once
// The validation report: markdown with its plots as SVG files beside it,
// and the guard that compares a run with a committed report.
#include <string>
#include <vector>

#include "validation/experiments.h"
#include "validation/validate.h"

namespace px::validation {

struct GroupStats {
    Family Fam;
    Kind K;
    Stats S;
};

// Statistics of every family and kind that has predicted specimens, in
// family then kind order.
std::vector<GroupStats> GroupStatistics(const std::vector<Specimen>& all, const std::vector<Prediction>& pred);

// Writes report.md and the SVG plots into `folder`.
void WriteReport(const std::string& folder, const std::vector<Specimen>& all, const std::vector<Prediction>& pred,
                 const RunSettings& settings);

// One row of a report's summary table.
struct SummaryRow {
    std::string Family, Members;
    double Mean = 0, Fractile5 = 0;
};

// The summary rows of a report's text.
std::vector<SummaryRow> ReadSummary(const std::string& reportText);

// Differences beyond `tolerance` between the committed rows and this run's
// groups (a mean or 5 % fractile, or a group present in only one), one line
// each; empty when the run matches.
std::vector<std::string> CompareWithReport(const std::vector<SummaryRow>& committed,
                                           const std::vector<GroupStats>& run, double tolerance);

}  // namespace px::validation
