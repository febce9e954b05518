#pragma once
// The section of the Section and material pages, read, checked and meshed
// the way the section commands do it, for the front ends that work on a
// copy of their own (the 3D page, the study).
#include "input/fields.h"
#include "input/section_input.h"
#include "section/fiber.h"

namespace px {

// ReadSectionInput over `in` (a field that does not convert leaves the values
// read before it), CheckSectionInput, BuildFiberTable (its mesh guard first)
// and AssignFiberMaterials, in this order; the first step that fails raises
// its message and the later ones do not run.
void MeshSectionFromFields(const FieldSource& f, SectionInput& in, FiberTable& t);

}  // namespace px
