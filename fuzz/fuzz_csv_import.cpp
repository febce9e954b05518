// Fuzz target: a file's bytes through line splitting, field splitting, the
// import with the window's default field numbers, and the data summary.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "input/error.h"
#include "loads/csv_import.h"
#include "loads/data_summary.h"
#include "loads/text_decode.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

void importWith(std::string_view bytes, int colP, int colMx, int colMy) {
    // The import reads the text as UTF-8 or, when it is not, as Windows-1252
    // after its byte order mark.
    std::string text(bytes);
    if (!px::IsValidUtf8(bytes)) {
        std::string_view body = bytes;
        if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
        text = px::Windows1252ToUtf8(body);
    }
    const auto lines = px::SplitTextLines(text);
    px::ForceImport r;
    try {
        r = px::ImportForcesFromText(bytes, colP, colMx, colMy);
    } catch (const px::AppError& e) {
        check(e.what()[0] != '\0');
        return;
    }
    const int count = lines.empty() ? 0 : static_cast<int>(lines.size()) - 1;
    check(r.Table.Count == count);
    check(r.Table.Items.size() == static_cast<size_t>(count) + 1);
    check(r.GridRows.size() == lines.size());
    check(r.Table.Items[0].P == 0 && r.Table.Items[0].Mx == 0 && r.Table.Items[0].My == 0);
    for (size_t i = 0; i < lines.size(); ++i) {
        const px::CsvFields f = px::SplitCsvLine(lines[i]);
        check(f.FieldCount >= 1 && f.FieldCount <= px::kCsvMaxFields);
        check(f[0].empty());
        // Every field of the line in the grid, at least kImportGridColumns.
        check(r.GridRows[i].size() == static_cast<size_t>(std::max(px::kImportGridColumns, f.FieldCount)));
        for (size_t k = 1; k <= r.GridRows[i].size(); ++k) check(r.GridRows[i][k - 1] == f[static_cast<int>(k)]);
    }
    const px::DataSummaryGrid g = px::DataSummary(r.Table);
    check(g.Cells[0][0] == "Case");
    check((count == 0) == g.Cells[1][0].empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    importWith(bytes, 5, 10, 9);
    importWith(bytes, 1, 2, 3);
    return 0;
}
