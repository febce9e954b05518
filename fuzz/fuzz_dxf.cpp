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

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

void checkRing(const px::geom::Ring& r) {
    for (const auto& q : r)
        check(std::fabs(q.x) <= px::geom::kMaxCoordinate && std::fabs(q.y) <= px::geom::kMaxCoordinate);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    px::geom::Shape s;
    try {
        s = px::geom::ReadDxf(bytes);
    } catch (const px::AppError& e) {
        check(e.what()[0] != '\0');
        return 0;
    }
    check(!s.polygons.empty());
    long long points = static_cast<long long>(s.bars.size());
    for (const auto& p : s.polygons) {
        check(p.outer.size() >= 3 && p.holes.size() == p.holeWhere.size());
        points += static_cast<long long>(p.outer.size());
        checkRing(p.outer);
        for (const auto& h : p.holes) points += static_cast<long long>(h.size()), checkRing(h);
    }
    for (const auto& b : s.bars) check(b.d > 0 && std::isfinite(b.d) && std::isfinite(b.x) && std::isfinite(b.y));
    check(points <= px::geom::kMaxPoints);
    const std::string text = px::geom::WriteSectionFile(s);
    px::geom::ReadSectionFile(text);  // throws (and crashes the run) if not readable
    return 0;
}
