// Fuzz target: a drawing's bytes through the DXF reader. It must answer in
// bounded time and memory (the runner's -timeout and -rss_limit_mb), and
// whatever it accepts must hold at most the allowed points, with finite
// coordinates within 1,000 km, and read again to the same shape once
// written as a section file.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "geometry/dxf_reader.h"
#include "geometry/section_file.h"
#include "input/error.h"
#include "shape_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    px::geom::Shape s;
    try {
        s = px::geom::ReadDxf(bytes);
    } catch (const px::AppError& e) {
        pxfuzz::Check(e.what()[0] != '\0');
        return 0;
    }
    pxfuzz::CheckShape(s);
    const std::string text = px::geom::WriteSectionFile(s);
    px::geom::ReadSectionFile(text);  // throws (and crashes the run) if not readable
    return 0;
}
