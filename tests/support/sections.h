#pragma once
// Sections built from the window's default fields, for tests.
#include "input/fields.h"
#include "input/section_input.h"
#include "section/fiber.h"
#include "section/mesh.h"

namespace px::fixtures {

// The input record of section type `type` (1..8) with the default fields.
inline SectionInput DefaultInput(int type) {
    MapFields f = DefaultFields();
    f.items["ComboBox1"] = type - 1;
    SectionInput in;
    ReadSectionInput(f, in);
    return in;
}

inline FiberTable Meshed(const SectionInput& in) {
    FiberTable t;
    BuildFiberTable(in, t);
    return t;
}

}  // namespace px::fixtures
