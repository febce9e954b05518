#include "section/section_from_fields.h"

#include "section/mesh.h"

namespace px {

void MeshSectionFromFields(const FieldSource& f, SectionInput& in, FiberTable& t) {
    ReadSectionInput(f, in);
    CheckSectionInput(in);
    BuildFiberTable(in, t);
    AssignFiberMaterials(f, t);
}

}  // namespace px
