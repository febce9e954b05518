// Every fiber of a drawn section's grid lies in its own cell: a circle's
// vertex on a grid line must not hand a whole column of cells to one fiber.
#include <gtest/gtest.h>

#include "geometry/section_file.h"
#include "section/mesh_custom.h"
#include "section/section_export.h"
#include "support/sections.h"

using namespace px;

// The steel tube and the circular column as their section files, meshed with
// sizes whose grid lines run through the circles' lowest vertices: no fiber
// is larger than its cell and the fibers' areas add up to the section's.
TEST(MeshCells, NoFiberIsLargerThanItsCell) {
    for (const int type : {2, 5}) {
        const geom::Shape s = geom::ReadSectionFile(ExportTemplateSectionFile(fixtures::DefaultInput(type)));
        const double gross = ComputeGrossSection(s).Area;
        for (const double h : {5.0, 10.0}) {
            FiberTable t;
            MeshCustomSection(s, h, t);
            double area = 0, largest = 0;
            for (int i = 1; i <= t.NFib; ++i) {
                if (t[i].MatId == MatRebar) continue;
                area += t[i].Area;
                largest = std::max(largest, t[i].Area);
            }
            EXPECT_LE(largest, h * h * (1 + 1e-9)) << type << " " << h;
            EXPECT_NEAR(area, gross, 1e-9 * gross) << type << " " << h;
        }
    }
}
