#pragma once
// A template section as polygons and bars, for "Export Section File".
#include <string>

#include "geometry/shape.h"
#include "input/section_input.h"

namespace px {

// The outlines, holes, steel and bars a template (types 1..8) meshes, in
// its own coordinates (centred on the origin). Circles become polygons with a
// multiple of the template's sector count as sides (a multiple of 4 as
// well), at most 0.5 mm from the circle. Encased H sections are written as
// the union of their plates. Refuses other types (AppError).
geom::Shape TemplateShape(const SectionInput& in);

// The section file of a template: TemplateShape, checked as a loaded file
// would be, then written. Throws AppError and writes nothing when the
// template cannot be described (a fault in its sizes).
std::string ExportTemplateSectionFile(const SectionInput& in);

// The section file of the section `in` describes: a template's as above, a
// custom section's (type 9) polygons and bars as loaded, in mm.
std::string ExportSectionFile(const SectionInput& in);

}  // namespace px
