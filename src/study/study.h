#pragma once
// Studies of many columns: a table of columns in (one row per column, the
// window's fields by name), a table of results out. Rows run on worker
// threads and stream: only a bounded window of rows is in memory at a time,
// and the results are written in input order whatever the thread count.
#include <array>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/section_steps.h"
#include "input/field_defaults.h"

namespace px {

// The output table's header and line ending. Every caption of a figure
// carries its unit.
inline constexpr std::string_view kStudyHeader =
    "Name,Section Type,NFib,Gross Area (mm2),Rebar Ratio (%),Steel Ratio (%),PMax (kN),PMin (kN),"
    "M0 X (kNm),M0 Y (kNm),Max M X (kNm),Max M Y (kNm),Forces,Passed,Check,Governing Case,"
    "Governing P (kN),Governing Mx (kNm),Governing My (kNm),Governing Ratio,Warnings,Status";
inline constexpr std::string_view kStudyEol = "\r\n";
// Columns of every output line.
inline constexpr int kStudyOutputColumns = 22;
// Longest failed row's message, in characters; a longer one is cut.
inline constexpr size_t kStudyMessageChars = 400;

// The moment of one direction's P-M curve (points 0 .. divisions) at P = 0,
// linear between the two points around it; nothing when no point pair
// reaches P = 0.
std::optional<double> MomentAtZeroAxialForce(const std::vector<double>& P, const std::vector<double>& M,
                                             int divisions);

// Which column of the input table feeds what. Column numbers count from 0.
struct StudyColumns {
    int Name = -1;
    int Forces = -1;                    // -1: no force files
    int SectionFile = -1;               // -1: no section files
    std::map<std::string, int> Fields;  // "Edit7" or "ComboBox1" -> column
    int Count = 0;                      // columns of the header line
    // The same by number: EditColumn[7] is the column of "Edit7", -1 for none.
    std::array<int, kEditCount + 1> EditColumn;
    std::array<int, kComboBoxCount + 1> ComboColumn;
    StudyColumns() {
        EditColumn.fill(-1);
        ComboColumn.fill(-1);
    }
};

// Reads the header line (already decoded). Names: "Name" (required),
// "Forces", "Section File", "Edit1" ... "Edit80", "ComboBox1" ... "ComboBox11", "Design Code"
// (ComboBox9, its cells an index or a code's name); a column with
// an empty name is ignored. An unknown or repeated name, or no "Name", is
// refused with an AppError naming it.
StudyColumns ReadStudyHeader(std::string_view header);

// The fields of one line at every ',', each trimmed of blanks (space, tab and
// the line-break characters), without the force import's limit of 40. Other
// control bytes, a NUL among them, stay in the cell, so its message shows
// them.
std::vector<std::string_view> SplitStudyLine(std::string_view line);

// One output line (without its ending) and whether the row passed.
struct StudyRowResult {
    std::string Line;
    bool Ok = false;
};

// Runs one data row (decoded text) as the window runs "Input Section" and
// "Show PM Curve" on the row's fields, the absent ones at their starting
// texts; with a force file, its import and the capacity check. With a
// section file (a section file or DXF drawing) the row is a "Custom Section"
// of that file; a ComboBox1 other than 8 beside it is refused. Force and
// section files are looked up relative to `folder`. Never throws: a failure becomes the
// row's status, "line N: message" with N = `line`, the row's line in the
// table, and the column after the number when the message is about one
// ("line 14, Edit7: X-Dir Rebar Diameter (Section page): '22O0' is not a valid floating
// point value.").
// A force or section file must lie in `folder` or below it, or in or below
// one of `allowedFolders`, once ".." and symbolic links are resolved; a file
// name holding a NUL is refused.
StudyRowResult RunStudyRow(const StudyColumns& cols, std::string_view row, long long line, const std::string& folder,
                           const SolveOptions& options, const std::vector<std::string>& allowedFolders = {});

// The file a row's `Forces` or `Section File` cell names: `cell` in `folder`.
// Throws AppError for a name with a NUL, or for a file that lies outside
// `folder` and every one of `allowedFolders` (".." and links resolved).
std::string StudyInputPath(const std::string& folder, std::string_view cell,
                           const std::vector<std::string>& allowedFolders);

// A field of an output line: quoted (with its quotation marks doubled) when
// it holds a comma, a quotation mark or a line break.
std::string CsvCell(std::string_view text);

// Largest table read.
inline constexpr unsigned long long kStudyTableMaxBytes = 1ull << 30;

// Reads a table file one line at a time. Opening makes a first pass that
// checks whether the whole file is valid UTF-8 (else every line is read as
// Windows-1252) and counts the data rows; lines end at CR LF, LF or CR; a
// leading UTF-8 byte order mark is skipped; lines that hold nothing but
// commas and blanks are not rows. A pipe or FIFO is read once, into an
// unnamed temporary file; anything else that is not a file is refused.
class StudyTable {
public:
    // Throws AppError "Cannot open file ..." (the system's reason, "It is
    // not a file", or a file larger than kStudyTableMaxBytes), or for a
    // UTF-16 file or one without a header.
    explicit StudyTable(const std::string& path);
    ~StudyTable();
    StudyTable(const StudyTable&) = delete;
    StudyTable& operator=(const StudyTable&) = delete;

    const StudyColumns& Columns() const { return columns_; }
    // Folder the force and section files are relative to: the table's, or
    // the working folder for a table read from a pipe.
    const std::string& Folder() const { return folder_; }
    long long RowCount() const { return rows_; }
    // The next data row, decoded to UTF-8; false at the end.
    bool NextRow(std::string& row);
    // Line of the file (the header is line 1) of the row NextRow gave last.
    long long LineNumber() const;
    // Back to the first row.
    void Restart();

private:
    struct Lines;
    std::string decode(const std::string& line) const;
    std::unique_ptr<Lines> lines_;
    StudyColumns columns_;
    std::string folder_;
    long long rows_ = 0;
    bool utf8_ = true;
};

struct StudyOptions {
    int Threads = 1;       // workers taking rows
    int SolveThreads = 1;  // threads of each row's solves (0: every core)
    long long ShardIndex = 0, ShardCount = 1;
    // Folders besides the table's whose files the rows may read.
    std::vector<std::string> AllowedFolders;
};

// Rows [I x R / N, (I + 1) x R / N) of R rows for shard I of N.
void ShardRange(long long rows, long long index, long long count, long long& first, long long& end);

struct StudySummary {
    long long Rows = 0;    // rows of this shard
    long long Failed = 0;  // rows whose status is not "ok"
};

// Runs the shard's rows and hands the output to `write` in order: the header
// (shard 0 only), then one line per row, every line ending in CR LF. When
// `write` throws, no further row is read: the rows in flight finish unseen
// and the exception is thrown on.
StudySummary RunStudy(StudyTable& table, const StudyOptions& options,
                      const std::function<void(std::string_view)>& write);

}  // namespace px
