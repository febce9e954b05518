#pragma once
// The validation report: markdown with its plots as SVG files beside it,
// and the guard that compares a run with a committed report.
#include <map>
#include <string>
#include <vector>

#include "validation/experiments.h"
#include "validation/member_validation.h"
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

// The report's files by name: report.md and its SVG plots. `files` are the
// data files of the run, as LoadSpecimens told them.
// `members`, when given, are the member analysis's predictions (PredictMembers):
// the report gains their section and plot.
std::map<std::string, std::string> BuildReport(const std::vector<Specimen>& all, const std::vector<Prediction>& pred,
                                               const RunSettings& settings, const std::vector<DataFile>& files,
                                               const std::vector<MemberPrediction>* members = nullptr);

// Writes report.md and the SVG plots into `folder`.
void WriteReport(const std::string& folder, const std::vector<Specimen>& all, const std::vector<Prediction>& pred,
                 const RunSettings& settings, const std::vector<DataFile>& files,
                 const std::vector<MemberPrediction>* members = nullptr);

// Statistics of the member analysis by family and member group, in family
// then group order: the group's name as MemberGroupName gives it.
struct MemberGroupStats {
    Family Fam;
    std::string Group;
    Stats S;
};
std::vector<MemberGroupStats> MemberGroupStatistics(const std::vector<Specimen>& all,
                                                    const std::vector<MemberPrediction>& members);

// Every specimen as a CSV table, one line each: its inputs as the program
// read them (mm, N/mm2, kN, kNm), the prediction, the ratio, and what became
// of it (predicted, out of scope and why, refused and why).
std::string SpecimenCsv(const std::vector<Specimen>& all, const std::vector<Prediction>& pred);

// Rows read, refused, out of scope, predicted and not analysed.
struct RowCounts {
    int Read = 0, Refused = 0, OutOfScope = 0, Predicted = 0, Failed = 0;
};
RowCounts CountRows(const std::vector<Specimen>& all, const std::vector<Prediction>& pred);

// One row of a table of a report: a statistics row (Count, Mean ... Below
// 0.9) or a count row (a name and Count), keyed by its section's heading
// and its name cells.
struct SummaryRow {
    std::string Key;  // "Summary / CCFT stub columns"
    bool Stats = false;
    int Count = 0;
    double Mean = 0, Cov = 0, Fractile5 = 0, Min = 0;
    int Below09 = 0;
};

// The rows of every table of a report's text.
std::vector<SummaryRow> ReadSummary(const std::string& reportText);

// Differences between the committed rows and this run's: a row in only one
// of them, a count, or a mean, COV, 5 % fractile or minimum more than
// `tolerance` apart (a value that is not a number never matches); one line
// each, empty when the run matches.
std::vector<std::string> CompareWithReport(const std::vector<SummaryRow>& committed,
                                           const std::vector<SummaryRow>& run, double tolerance);

}  // namespace px::validation
