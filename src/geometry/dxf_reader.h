#pragma once
// Sections drawn in CAD: outlines, chains of lines and arcs, curves, bars and
// blocks on the layers COVER, CORE1, CORE2, STEEL, HOLE and REBAR of an ASCII
// DXF drawing, read by our own strict reader.
#include <string_view>

#include "geometry/shape.h"

namespace px::geom {

// Reads and checks a DXF drawing (lengths scaled to mm by $INSUNITS; none
// given: mm). The text is read strictly (dxf_groups.h): lines of at most
// 4,096 characters, numbers where the group code wants one, declared counts
// equal to what is listed; nothing is allocated by a declared count.
// On COVER, CORE1, CORE2, STEEL and HOLE (any case) closed polylines (arcs as
// bulges), circles, closed ellipses and splines are outlines, and LINEs,
// ARCs, open polylines and open curves are joined end to end into closed
// outlines; a chain that stays open or branches is refused. Curves become
// sides that lie at most 0.5 mm from them. On REBAR a CIRCLE or a filled
// DONUT is a bar. A polygon on HOLE is a hole of the smallest polygon
// containing it. INSERTs place their blocks (insertion point, scale,
// rotation, arrays; layer 0 inside a block takes the INSERT's layer); an
// extrusion of (0, 0, -1) mirrors x. Entities on other layers or in paper
// space, and kinds that are not outlines (text, hatches), are counted in
// Shape::warning, which also doubts a section under 50 mm or over 50 m
// across, naming the units read. Throws AppError naming the entity's kind,
// handle and layer (and block) or the line. Keeps no state between calls.
Shape ReadDxf(std::string_view content);

// True when the bytes start like a binary DXF drawing.
bool IsBinaryDxf(std::string_view content);

}  // namespace px::geom
