#pragma once
// Fiber tables for the solver tests.
#include <cstddef>

#include "input/fields.h"
#include "input/section_input.h"
#include "section/fiber.h"
#include "section/mesh.h"

namespace pxtest {

struct Column {
    px::SectionInput in;
    px::FiberTable t;
};

// A section of the given type meshed with the window's defaults and the
// default materials; extra field texts override the defaults.
inline Column MeshedColumn(int typeIndex = 0, const px::MapFields* overrides = nullptr) {
    px::MapFields f = px::DefaultFields();
    f.items["ComboBox1"] = typeIndex;
    if (overrides) {
        for (const auto& [k, v] : overrides->texts) f.texts[k] = v;
    }
    Column c;
    px::ReadSectionInput(f, c.in);
    px::BuildFiberTable(c.in, c.t);
    px::AssignFiberMaterials(f, c.t);
    return c;
}

// Adds one fiber with the default material parameters of its id.
inline void AddFiber(px::FiberTable& t, double x, double y, double area, int id) {
    t.resize(t.NFib + 1);
    px::Fiber& f = t[t.NFib];
    f.X = x;
    f.Y = y;
    f.Area = area;
    f.MatId = id;
    f.ConcModel = f.SteelModel = 1;
    f.Fc = f.Fcu = (id == px::MatCoreConcrete2 ? 11.9 : 27.5);
    f.E0 = 0.002;
    f.Ecu = 0.0035;
    f.Es = id == px::MatSteelSection ? 215000 : 206000;
    f.Fy = id == px::MatSteelSection ? 260 : 330;
}

}  // namespace pxtest
