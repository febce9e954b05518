#pragma once
// Sections drawn in CAD: closed polylines and circles on the layers COVER,
// CORE1, CORE2, STEEL, HOLE and REBAR of an ASCII DXF drawing.
#include <string_view>

#include "geometry/shape.h"

namespace px::geom {

// Reads and checks a DXF drawing (lengths scaled to mm by $INSUNITS; none
// given: mm). Closed LWPOLYLINE and POLYLINE entities become polygons of
// their layer's group, arcs (bulges) and circles become polygons whose sides
// lie at most 0.5 mm from the curve, a CIRCLE on REBAR is a bar, and a
// polygon on HOLE is a hole of the smallest polygon containing it. Entities
// on other layers are listed in Shape::warning. Refuses a binary drawing and
// an open polyline on a section layer (naming its handle and layer).
Shape ReadDxf(std::string_view content);

// True when the bytes start like a binary DXF drawing.
bool IsBinaryDxf(std::string_view content);

}  // namespace px::geom
