// Fuzz target: a file's bytes through the section-file reader. Whatever it
// accepts must write back to text that reads again to the same text, and
// must hold at most the allowed points with finite coordinates.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "geometry/section_file.h"
#include "input/error.h"
#include "shape_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    px::geom::Shape s;
    try {
        s = px::geom::ReadSectionFile(bytes);
    } catch (const px::AppError& e) {
        pxfuzz::Check(e.what()[0] != '\0');
        return 0;
    }
    pxfuzz::CheckShape(s);
    const std::string text = px::geom::WriteSectionFile(s);
    const px::geom::Shape again = px::geom::ReadSectionFile(text);  // throws (and crashes the run) if not readable
    pxfuzz::Check(px::geom::WriteSectionFile(again) == text);
    return 0;
}
