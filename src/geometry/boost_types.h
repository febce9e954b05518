#pragma once
// Boost.Geometry models used by the geometry layer and the custom mesher.
// Boost 1.74's geometry headers include some of its own deprecated headers.
#ifndef BOOST_ALLOW_DEPRECATED_HEADERS
#define BOOST_ALLOW_DEPRECATED_HEADERS
#endif
// GCC 12 takes the rescaling factor of Boost 1.74's overlay for uninitialised.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <boost/geometry.hpp>
#include <boost/geometry/geometries/box.hpp>
#include <boost/geometry/geometries/multi_polygon.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>
#include <boost/geometry/index/rtree.hpp>
#pragma GCC diagnostic pop

#include <cstddef>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "geometry/shape.h"
#include "input/error.h"

namespace px::geom {

namespace bg = boost::geometry;
using BPoint = bg::model::d2::point_xy<double>;
using BPoly = bg::model::polygon<BPoint>;  // clockwise outer ring, closed
using BMulti = bg::model::multi_polygon<BPoly>;
using BBox = bg::model::box<BPoint>;

// Boxes with the index of what they bound, searched by overlap: the pairwise
// checks and unions look only at pieces whose boxes meet.
using BoxEntry = std::pair<BBox, std::size_t>;
using BoxIndex = bg::index::rtree<BoxEntry, bg::index::rstar<16>>;
BoxIndex IndexOf(const std::vector<BBox>& boxes);
// Indices of the boxes of `index` that meet `box` (edges touching count), in
// increasing order.
std::vector<std::size_t> Meeting(const BoxIndex& index, const BBox& box);

// The union of regions. A few are joined one at a time; many are grouped by
// boxes that meet, each group joined in halves, the groups then set side by
// side (they share no point), so the work grows little faster than the
// count rather than with its square.
BMulti UnionOfRegions(const std::vector<BMulti>& parts);
// Pieces up to this many are joined one at a time.
inline constexpr std::size_t kFewPieces = 16;

// A ring as a closed, clockwise Boost polygon without holes.
BPoly ToBoost(const Ring& r);
// A polygon with its holes, oriented and closed.
BPoly ToBoost(const Polygon& p);

// Runs f, turning whatever the geometry library throws (a numeric cast it
// cannot make, an overlay it cannot finish) into the program's error.
template <class F>
decltype(auto) Clipping(F&& f) {
    try {
        return f();
    } catch (const AppError&) {
        throw;
    } catch (const std::exception& e) {
        throw AppError(std::string("The section's polygons could not be clipped (") + e.what() + ")");
    }
}

}  // namespace px::geom
