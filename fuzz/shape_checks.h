#pragma once
// What every section reader's accepted shape must hold, for the fuzz
// targets: polygons of at least three points with a name for each hole, at
// most the allowed points, finite coordinates within 1,000 km, and bars of a
// finite positive diameter at finite centres. Aborts (a finding) otherwise.
#include <cmath>
#include <cstdlib>

#include "geometry/shape.h"

namespace pxfuzz {

inline void Check(bool ok) {
    if (!ok) std::abort();
}

inline void CheckShape(const px::geom::Shape& s) {
    auto ring = [](const px::geom::Ring& r) {
        for (const auto& q : r)
            Check(std::fabs(q.x) <= px::geom::kMaxCoordinate && std::fabs(q.y) <= px::geom::kMaxCoordinate);
    };
    Check(!s.polygons.empty());
    long long points = static_cast<long long>(s.bars.size());
    for (const auto& p : s.polygons) {
        Check(p.outer.size() >= 3 && p.holes.size() == p.holeWhere.size());
        points += static_cast<long long>(p.outer.size());
        ring(p.outer);
        for (const auto& h : p.holes) points += static_cast<long long>(h.size()), ring(h);
    }
    for (const auto& b : s.bars) Check(b.d > 0 && std::isfinite(b.d) && std::isfinite(b.x) && std::isfinite(b.y));
    Check(points <= px::geom::kMaxPoints);
}

}  // namespace pxfuzz
