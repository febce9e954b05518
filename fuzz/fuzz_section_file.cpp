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

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    px::geom::Shape s;
    try {
        s = px::geom::ReadSectionFile(bytes);
    } catch (const px::AppError& e) {
        check(e.what()[0] != '\0');
        return 0;
    }
    check(!s.polygons.empty());
    long long points = static_cast<long long>(s.bars.size());
    for (const auto& p : s.polygons) {
        check(p.outer.size() >= 3 && p.holes.size() == p.holeWhere.size());
        points += static_cast<long long>(p.outer.size());
        for (const auto& q : p.outer) check(std::isfinite(q.x) && std::isfinite(q.y));
        for (const auto& h : p.holes) points += static_cast<long long>(h.size());
    }
    for (const auto& b : s.bars) check(b.d > 0 && std::isfinite(b.d));
    check(points <= px::geom::kMaxPoints);
    const std::string text = px::geom::WriteSectionFile(s);
    const px::geom::Shape again = px::geom::ReadSectionFile(text);  // throws (and crashes the run) if not readable
    check(px::geom::WriteSectionFile(again) == text);
    return 0;
}
