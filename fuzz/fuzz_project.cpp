// Fuzz target: a file's bytes through the project reader. Whatever it
// accepts must write back to text that reads again to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "input/error.h"
#include "project/json.h"
#include "project/project_file.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The bare reader on any value.
    try {
        px::JsonReader r(bytes);
        r.skipValue();
        r.finish();
    } catch (const px::JsonError& e) {
        check(e.offset <= size && !e.problem.empty());
    }

    px::ProjectData d;
    try {
        d = px::ReadProject(bytes);
    } catch (const px::AppError& e) {
        check(e.what()[0] != '\0');
        return 0;
    }
    check(d.Fields.size() == px::ProjectFieldNames().size());
    if (d.Forces) {
        check(d.Forces->Table.Items.size() == static_cast<size_t>(d.Forces->Table.Count) + 1);
        check(d.Forces->Grid.size() <= static_cast<size_t>(d.Forces->Table.Count) + 2);
    }
    const std::string text = px::WriteProject(d);
    const px::ProjectData again = px::ReadProject(text);  // throws (and crashes the run) if not readable
    check(px::WriteProject(again) == text);
    return 0;
}
