#pragma once
// Reading design forces from a comma-separated text file: line splitting,
// field splitting, the import settings and the import itself.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "input/fields.h"
#include "loads/load_table.h"

namespace px {

// Capacity of a line: fields 1..40.
inline constexpr int kCsvMaxFields = 40;
// Columns the import grid has at least; a wider table shows all its fields.
inline constexpr int kImportGridColumns = 10;

// The fields of one line. Slot 0 is always empty; slots 1..40 hold fields
// 1..40, slots past the last field stay empty. The views point into the
// line that was split and live as long as it does.
struct CsvFields {
    std::array<std::string_view, kCsvMaxFields + 1> Slots{};
    // Number of fields of the line, which may exceed 40 (then only the first
    // 40 are kept).
    int FieldCount = 0;
    // Field k, or empty text for k outside 1..40.
    std::string_view operator[](int k) const {
        return k >= 1 && k <= kCsvMaxFields ? Slots[static_cast<size_t>(k)] : std::string_view();
    }
};

// Splits one line at every ','. No quoting: quotation marks are ordinary
// characters. Each field loses its leading and trailing characters of code
// 32 or below. An empty line has one empty field.
void SplitCsvLine(std::string_view line, CsvFields& out);
CsvFields SplitCsvLine(std::string_view line);

// Lines of a file's bytes; a line ends at CR LF, LF or CR. A last line
// without an ending still counts; an ending at the very end adds no empty
// line. A leading UTF-8 byte order mark is skipped. Views into `bytes`.
std::vector<std::string_view> SplitTextLines(std::string_view bytes);

// One row of the import grid: every field of a line, at least
// kImportGridColumns (empty past the line's last field).
using ImportGridRow = std::vector<std::string>;

// Everything one import produces; nothing is stored until the caller takes it.
struct ForceImport {
    LoadCombinationTable Table;          // Count = lines - 1 (0 for an empty file)
    std::vector<ImportGridRow> GridRows;  // one per line, the header line included
    std::string CountLine;               // "Number of Import Force Load Comb = %d"
};

// Imports the text of a whole file, read as DecodeFileText reads it (UTF-8
// when valid as a whole, else Windows-1252): the grid rows are UTF-8. Field
// numbers count from 1. P is stored
// with its sign reversed (compression positive), Mx and My as written.
// All or nothing: on any fault an AppError is thrown and nothing is returned:
//  - a field number outside 1..40 (checked before the text is looked at);
//  - a line with more than 40 fields;
//  - a chosen field that is not a number: the conversion message followed by
//    " (line L, field F)", L counting the header as line 1.
ForceImport ImportForcesFromText(std::string_view bytes, int colP, int colMx, int colMy);
// The same with the optional fields: each row's name (the "Load Case" field,
// its text as written; an empty cell gives no name) and the moments at the
// other end ("Mx Other End", "My Other End"; an empty cell leaves that row's
// value not given). A field number of 0 reads nothing; any other outside
// 1..40 is refused as the forces' are. A bad number in an other-end field
// names the field: "Mx Other End: <conversion message> (line L, field F)".
ForceImport ImportForcesFromText(std::string_view bytes, const ForceColumns& columns);

// Largest force file read.
inline constexpr unsigned long long kForceFileMaxBytes = 256ull << 20;

// Reads the file at `path` (raw bytes) and imports it as above. A file that
// cannot be read gives "Cannot open file "<path>". <reason>": the system's
// reason, "It is not a file" for anything but a regular file (a FIFO or a
// device, which might never end, is not opened for reading), a file larger
// than kForceFileMaxBytes, or UTF-16 text.
ForceImport ImportForcesFromFile(const std::string& path, int colP, int colMx, int colMy);
ForceImport ImportForcesFromFile(const std::string& path, const ForceColumns& columns);

// The import settings, in the window's order: Edit57, Edit58, Edit59 into the
// three factors, then Edit54, Edit55, Edit56 into the three field numbers.
// A text that does not convert throws the conversion message; the settings
// converted before it keep their new values. A field number outside 1..40 is
// refused before any of the six is changed.
void ReadImportSettings(const FieldSource& fields, double& factorP, double& factorMx,
                        double& factorMy, int& columnP, int& columnMx, int& columnMy);
// The same, then the optional field numbers Edit78 ("Load Case"), Edit79
// ("Mx Other End") and Edit80 ("My Other End"): an empty text is 0 (the
// table has no such field), any other must be a whole number from 1 to 40.
// A fault in them is refused before any setting is changed.
void ReadImportSettings(const FieldSource& fields, double& factorP, double& factorMx,
                        double& factorMy, ForceColumns& columns);

// The "Input" command's reading of Edit57, Edit58, Edit59 in this order; a
// text that does not convert throws, the factors read before it are stored.
void ReadForceFactors(const FieldSource& fields, double& factorP, double& factorMx,
                      double& factorMy);

// "Number of Import Force Load Comb = %d".
std::string ImportCountLine(int count);

}  // namespace px
