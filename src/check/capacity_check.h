#pragma once
// Capacity check of the imported load combinations: each amplified force is
// compared with the Mx-My curve of the section at its own axial force.
#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "analysis/mm_solver.h"
#include "analysis/section_steps.h"
#include "check/level_jobs.h"
#include "check/member_check.h"
#include "loads/load_table.h"
#include "section/fiber.h"

namespace px {

// Largest t > 0 with t * (ux, uy) on an edge of the closed polygon
// (Mx[k], My[k]), k = first .. last, closed back to `first`; (ux, uy) is a
// unit vector. Nothing when no edge is crossed.
std::optional<double> CapacityAlong(const double* Mx, const double* My, int first, int last,
                                    double ux, double uy);
// The same for the ray that starts at (cx, cy) instead of the origin.
std::optional<double> CapacityAlongFrom(const double* Mx, const double* My, int first, int last,
                                        double cx, double cy, double ux, double uy);

// Whether (x, y) lies inside the closed polygon (Mx[k], My[k]), k = first ..
// last (the odd-even rule; a point on an edge may go either way).
bool InsidePolygon(const double* Mx, const double* My, int first, int last, double x, double y);

// How a force's ratio is taken, as the table's heading, the export and the
// report name it. At the force's axial force P the ray starts at the
// section's plastic centroid: the moments of the two pure-axial states
// interpolated in P (the origin for a point-symmetric section). The ratio
// is the force's distance from it over the distance of the Mx-My curve
// along the same ray; a force at the centre itself takes P / PMax or
// P / PMin. Forces beyond PMax or PMin take that ratio too, above 1.
inline constexpr const char* kCheckRatioRule =
    "Ratio along the ray from the plastic centroid at the force's P to the Mx-My curve";

// The radial ratio: the force seen as a vector in (P, Mx, My) from the
// origin (for a section that is not point-symmetric, from its plastic
// centroid at P = 0), its length over the distance along it to the
// interaction surface that the check's Mx-My curves span. The scaled force
// t (P, Mx, My) meets the surface where its constant-P ratio is 1; the
// radial ratio is 1 / t. Beside the constant-P ratio, which keeps P fixed.
inline constexpr const char* kCheckRadialRule =
    "Radial ratio: the force as a vector in (P, Mx, My) from the origin (from the plastic centroid at P = 0 for "
    "a section that is not point-symmetric) over its distance to the interaction surface along it";

// Why a row has no capacity: the text its Capacity cell shows.
enum class NoCapacity {
    None, AbovePMax, BelowPMin, AtPMax, AtPMin, NoMoment, OutOfReach, NoCrossing,
    MemberBuckles,   // the slender member carries no end moment at P
    MemberUnstable,  // no stable shape of the member carries the end moments (the last value)
};
const char* NoCapacityText(NoCapacity why);

struct CheckRow {
    int Case = 0;            // entry of the load table, 1-based
    double P = 0, Mx = 0, My = 0;  // amplified forces
    // Moment capacity along the demand: the distance from the plastic
    // centroid at P to the curve along the ray through the force.
    std::optional<double> Capacity;
    std::optional<double> Ratio;     // nothing: "n/a"
    std::optional<double> Radial;    // the radial ratio; nothing: "n/a"
    NoCapacity Missing = NoCapacity::None;  // why Capacity is nothing
    std::string Name;        // the combination's name from the table; empty for none
    // A slender member's slenderness, magnifiers and magnified moments;
    // nothing without "Slenderness".
    std::optional<MemberRow> Member;
    // The moments the section is checked against: the magnified ones of a
    // slender member, else Mx and My.
    double checkMx() const { return Member && Member->Mx ? *Member->Mx : Mx; }
    double checkMy() const { return Member && Member->My ? *Member->My : My; }
    bool ok() const { return Ratio && *Ratio <= 1; }
    // The case as the table shows it: its name, else its number.
    std::string caseText() const { return Name.empty() ? std::to_string(Case) : Name; }
};

struct CheckResult {
    std::vector<CheckRow> Rows;  // file order
    int Passed = 0;
    int Governing = -1;  // index into Rows; -1 when there are none
    int RadialGoverning = -1;  // the same for the radial ratio
    int Curves = 0;      // curves solved: one per distinct axial force that needs one
    int RadialCurves = 0;  // curves the radial ratios' search solved
    // The section is not point-symmetric: the rays start at its plastic
    // centroid, which the ratio column's caption says.
    bool FromCentre = false;
    // The moments were magnified on a slender member: the table has the
    // member's columns after its own.
    bool Slender = false;
};

// Counts the rows that pass and picks the governing one: the largest ratio,
// "n/a" counting as largest, the first in file order on ties; the same for
// the radial ratio.
void TallyCheck(CheckResult& r);

// The section, with each case solved at its own axial force, and the loads.
struct CheckRequest : SectionRequest {
    const LoadCombinationTable* Loads = nullptr;
    double FactorP = 1, FactorMx = 1, FactorMy = 1;
    // A slender member by the general method (MemberForCheck): each row's
    // moments are magnified before the check. Nothing: the section alone.
    std::optional<MemberSettings> Member = std::nullopt;
};

// Checks every combination: the constant-P ratio, then the radial ratio
// (a few more passes of curves at the scaled forces' axial forces, each
// narrowing every row's bracket on the scale). Raises AppError for a fault
// of the solver and Cancelled when options.cancel is set during the run.
// Progress 0..100 on the calling thread.
CheckResult RunCapacityCheck(const CheckRequest& req, const Progress& progress = {},
                             const SolveOptions& options = {});

// The check's table as the export, the 3D page and the report show it: the
// columns' captions with their units, and a row's texts column by column
// (the case's name or number, forces by "%0.2F", a missing capacity by
// why it is missing ("n/a: P above PMax"), the ratios by "%0.4F" or "n/a",
// "OK" or "NG").
inline constexpr int kCheckColumns = 8;
inline constexpr int kRatioColumn = 5, kStatusColumn = 6, kRadialColumn = 7;
inline constexpr const char* kCheckColumnNames[kCheckColumns] = {
    "Case", "P (kN)", "Mx (kNm)", "My (kNm)", "Capacity (kNm)", "Ratio", "Status", "Radial Ratio"};
// A slender member's check adds kMemberColumns after these.
inline constexpr int kMemberColumns = 6;
inline constexpr const char* kMemberColumnNames[kMemberColumns] = {
    "Slenderness x (kL/r)", "Slenderness y (kL/r)", "Magnifier x", "Magnifier y", "Magnified Mx (kNm)",
    "Magnified My (kNm)"};
// Columns of a result: kCheckColumns, and the member's for a Slender one.
int CheckColumnCount(const CheckResult& r);
std::string CheckCellText(const CheckRow& row, int column);
// Caption of column `column` of a result: kCheckColumnNames (then
// kMemberColumnNames), with the
// ratios' "Ratio from plastic centroid" and "Radial Ratio from plastic
// centroid" for a result FromCentre.
std::string CheckColumnName(const CheckResult& r, int column);
// A number to sort column `column` by: the value itself; a missing capacity
// below every other, a missing ratio above every other; Status NG above OK.
double CheckSortKey(const CheckRow& row, int column);

// The captions and one line per row in file order, cells joined by commas,
// each line followed by `eol`.
std::string CheckCsv(const CheckResult& r, const std::string& eol);

// "Passed N of M; governing case i, ratio r".
std::string CheckSummaryLine(const CheckResult& r);
// The radial ratio's line and which of the two ratios governs (the larger
// of the two largest; "n/a" counts as largest, the constant-P ratio on a
// tie): "Radial ratio: governing case j, ratio r; the constant-P ratio
// governs" (or "the radial ratio governs"). Empty without rows.
std::string CheckRadialLine(const CheckResult& r);

}  // namespace px
