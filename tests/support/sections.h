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

// The type's mesher alone, without the guard: what it writes for counts the
// guard refuses (a rectangular core of 0 cells, a section without steel).
inline FiberTable MeshedUnguarded(const SectionInput& in) {
    using Mesher = void (*)(const SectionInput&, FiberTable&);
    static const Mesher meshers[] = {MeshRectColumn,        MeshCircularColumn, MeshRectSrcType1,
                                     MeshRectSrcType2,      MeshCircularSteelTube, MeshRectSteelBox,
                                     MeshCircularSrc,       MeshSteelTubeInRect};
    FiberTable t;
    meshers[in.SectionType - 1](in, t);
    return t;
}

}  // namespace px::fixtures
