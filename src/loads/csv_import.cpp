#include "loads/csv_import.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>
#include <utility>

#include "common/read_file.h"
#include "input/error.h"
#include "input/numbers.h"
#include "loads/text_decode.h"

namespace px {

namespace {

std::string_view trimControl(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
    return s.substr(b, e - b);
}

// Refuses a field number the line capacity cannot hold.
void checkColumn(int column, const std::string& what) {
    if (column < 1 || column > kCsvMaxFields)
        throw AppError(what + " is " + std::to_string(column) +
                       ": a field number must lie between 1 and " + std::to_string(kCsvMaxFields));
}

// Captions of the optional fields, as the Import page shows them.
constexpr const char* kNameField = "Load Case";
constexpr const char* kMxOtherField = "Mx Other End";
constexpr const char* kMyOtherField = "My Other End";

void checkColumns(const ForceColumns& c) {
    checkColumn(c.P, "The field number of the axial force");
    checkColumn(c.Mx, "The field number of Mx");
    checkColumn(c.My, "The field number of My");
    const std::pair<int, const char*> optional[] = {{c.Name, kNameField}, {c.MxOther, kMxOtherField},
                                                    {c.MyOther, kMyOtherField}};
    for (const auto& [column, caption] : optional)
        if (column != 0) checkColumn(column, std::string("The field number of ") + caption);
}

double convertField(const CsvFields& f, int column, size_t lineNo) {
    try {
        return StrToFloat(f[column]);
    } catch (const AppError& e) {
        // The text as a message can show it: escaped, a long one cut.
        throw AppError(WithShownValue(e.message(), f[column]) + " (line " + std::to_string(lineNo) + ", field " +
                       std::to_string(column) + ")");
    }
}

// An optional moment: an empty cell is not given; a bad number names the
// field it was read for.
std::optional<double> convertOptional(const CsvFields& f, int column, size_t lineNo, const char* caption) {
    if (column == 0 || f[column].empty()) return std::nullopt;
    try {
        return convertField(f, column, lineNo);
    } catch (const AppError& e) {
        throw AppError(std::string(caption) + ": " + e.message());
    }
}

}  // namespace

void SplitCsvLine(std::string_view line, CsvFields& out) {
    out.Slots.fill(std::string_view());
    int k = 0;
    size_t start = 0;
    for (;;) {
        const size_t comma = line.find(',', start);
        const size_t end = comma == std::string_view::npos ? line.size() : comma;
        ++k;
        if (k <= kCsvMaxFields) out.Slots[static_cast<size_t>(k)] = trimControl(line.substr(start, end - start));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    out.FieldCount = k;
}

CsvFields SplitCsvLine(std::string_view line) {
    CsvFields f;
    SplitCsvLine(line, f);
    return f;
}

std::vector<std::string_view> SplitTextLines(std::string_view bytes) {
    if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
        static_cast<unsigned char>(bytes[1]) == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF)
        bytes.remove_prefix(3);
    std::vector<std::string_view> lines;
    const size_t n = bytes.size();
    size_t start = 0, i = 0;
    while (i < n) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        lines.push_back(bytes.substr(start, i - start));
        ++i;
        if (c == '\r' && i < n && bytes[i] == '\n') ++i;
        start = i;
    }
    if (start < n) lines.push_back(bytes.substr(start));
    return lines;
}

std::string ImportCountLine(int count) {
    return "Number of Import Force Load Comb = " + std::to_string(count);
}

ForceImport ImportForcesFromText(std::string_view bytes, int colP, int colMx, int colMy) {
    return ImportForcesFromText(bytes, ForceColumns{colP, colMx, colMy});
}

ForceImport ImportForcesFromText(std::string_view bytes, const ForceColumns& cols) {
    checkColumns(cols);

    // Files from Windows programs are Windows-1252.
    std::string decoded;
    const std::vector<std::string_view> lines = SplitTextLines(DecodeFileText(bytes, decoded));
    if (lines.size() - (lines.empty() ? 0 : 1) > static_cast<size_t>(std::numeric_limits<int>::max() - 1))
        throw AppError("The file holds too many lines to import");
    const int count = lines.empty() ? 0 : static_cast<int>(lines.size() - 1);

    ForceImport r;
    r.Table.Count = count;
    r.Table.Items.assign(static_cast<size_t>(count) + 1, LoadCombination{});
    r.GridRows.resize(lines.size());

    CsvFields f;
    for (size_t li = 0; li < lines.size(); ++li) {
        SplitCsvLine(lines[li], f);
        if (f.FieldCount > kCsvMaxFields)
            throw AppError("Line " + std::to_string(li + 1) + " holds " + std::to_string(f.FieldCount) +
                           " fields: a line may hold at most " + std::to_string(kCsvMaxFields) + " fields");
        ImportGridRow& row = r.GridRows[li];
        row.resize(static_cast<size_t>(std::max(kImportGridColumns, f.FieldCount)));
        for (size_t c = 0; c < row.size(); ++c) row[c] = f[static_cast<int>(c) + 1];
        if (li == 0) continue;  // the header is shown, never converted
        LoadCombination& item = r.Table.Items[li];
        item.P = -convertField(f, cols.P, li + 1);
        item.Mx = convertField(f, cols.Mx, li + 1);
        item.My = convertField(f, cols.My, li + 1);
        if (cols.Name != 0) item.Name = f[cols.Name];
        item.MxOther = convertOptional(f, cols.MxOther, li + 1, kMxOtherField);
        item.MyOther = convertOptional(f, cols.MyOther, li + 1, kMyOtherField);
    }
    r.CountLine = ImportCountLine(count);
    return r;
}

ForceImport ImportForcesFromFile(const std::string& path, int colP, int colMx, int colMy) {
    return ImportForcesFromFile(path, ForceColumns{colP, colMx, colMy});
}

ForceImport ImportForcesFromFile(const std::string& path, const ForceColumns& cols) {
    checkColumns(cols);

    const std::string head = "Cannot open file \"" + path + "\". ";
    const std::string bytes = ReadRegularFile(path, kForceFileMaxBytes, [&](const FileReadFault& f) {
        const std::string most = "; a force file holds at most " + std::to_string(kForceFileMaxBytes >> 20) + " MB";
        switch (f.kind) {
            case FileReadFault::NotAFile: throw AppError(head + "It is not a file");
            case FileReadFault::TooLarge: throw AppError(head + "The file is " + std::to_string(f.size) + " bytes" + most);
            // A file that grows while it is read.
            case FileReadFault::Grew: throw AppError(head + "The file is larger than that" + most);
            default: throw AppError(head + std::strerror(f.err));
        }
    });
    if (HasUtf16ByteOrderMark(bytes))
        throw AppError(head + "The file is UTF-16 text: save it as UTF-8 or Windows-1252");
    return ImportForcesFromText(bytes, cols);
}

void ReadImportSettings(const FieldSource& fields, double& factorP, double& factorMx,
                        double& factorMy, int& columnP, int& columnMx, int& columnMy) {
    double fp = factorP, fmx = factorMx, fmy = factorMy;
    int cp = columnP, cmx = columnMx, cmy = columnMy;
    auto store = [&] {
        factorP = fp;
        factorMx = fmx;
        factorMy = fmy;
        columnP = cp;
        columnMx = cmx;
        columnMy = cmy;
    };
    try {
        fp = fields.real("Edit57");
        fmx = fields.real("Edit58");
        fmy = fields.real("Edit59");
        cp = fields.integer("Edit54");
        cmx = fields.integer("Edit55");
        cmy = fields.integer("Edit56");
    } catch (const AppError&) {
        store();  // what converted before the bad text is kept
        throw;
    }
    checkColumn(cp, "Table Column of Axial Force(kN) (Edit54)");
    checkColumn(cmx, "Table Column of Moment Mx(kNm) (Edit55)");
    checkColumn(cmy, "Table Column of Moment My(kNm) (Edit56)");
    store();
}

void ReadImportSettings(const FieldSource& fields, double& factorP, double& factorMx, double& factorMy,
                        ForceColumns& columns) {
    // The optional field numbers first: a fault there changes nothing.
    const std::pair<const char*, const char*> optional[] = {
        {"Edit78", kNameField}, {"Edit79", kMxOtherField}, {"Edit80", kMyOtherField}};
    int read[3] = {0, 0, 0};
    for (int k = 0; k < 3; ++k) {
        const auto& [edit, caption] = optional[k];
        const std::string text = fields.text(edit);
        if (trimControl(text).empty()) continue;
        const std::string what = std::string("Table Column of ") + caption + " (" + edit + ")";
        int v = 0;
        try {
            v = StrToInt(text);
        } catch (const AppError& e) {
            throw AppError(what + ": " + e.message());
        }
        checkColumn(v, what);
        read[k] = v;
    }
    ReadImportSettings(fields, factorP, factorMx, factorMy, columns.P, columns.Mx, columns.My);
    columns.Name = read[0];
    columns.MxOther = read[1];
    columns.MyOther = read[2];
}

void ReadForceFactors(const FieldSource& fields, double& factorP, double& factorMx, double& factorMy) {
    factorP = fields.real("Edit57");
    factorMx = fields.real("Edit58");
    factorMy = fields.real("Edit59");
}

}  // namespace px
