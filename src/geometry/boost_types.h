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
#pragma GCC diagnostic pop

#include <exception>
#include <string>

#include "geometry/shape.h"
#include "input/error.h"

namespace px::geom {

namespace bg = boost::geometry;
using BPoint = bg::model::d2::point_xy<double>;
using BPoly = bg::model::polygon<BPoint>;  // clockwise outer ring, closed
using BMulti = bg::model::multi_polygon<BPoly>;
using BBox = bg::model::box<BPoint>;

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
