#pragma once
// The rules every section must meet before it is meshed.
#include <string>
#include <utility>
#include <vector>

#include "geometry/shape.h"

namespace px::geom {

// The ring without repeated consecutive points and without a closing point
// equal to the first.
Ring Normalized(const Ring& r);

// Refuses, with a message starting with the item's `where`: a ring with
// fewer than 3 distinct points, zero area or crossing itself; a hole not
// inside its polygon; holes that overlap; a polygon its holes leave without
// area; two concrete polygons that overlap, or two steel polygons; a bar with
// a diameter of 0 or less, whose centre lies outside every polygon, whose
// circle leaves the polygons' material (their union less the holes), or
// that lies on or overlaps an earlier bar; and a section without any
// polygon. Throws AppError; changes nothing.
void ValidateShape(const Shape& s);

// Gives each hole (ring, where) to the smallest polygon whose outline
// contains it, whatever their order: one whose outline is the hole's own only
// when no larger one contains it, and between outlines of the same area
// steel before concrete. Refuses a hole inside no polygon. Each ring is
// checked first.
void AttachHoles(std::vector<Polygon>& polygons, const std::vector<std::pair<Ring, std::string>>& holes);

}  // namespace px::geom
