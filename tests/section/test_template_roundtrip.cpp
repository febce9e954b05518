// Every template's exported section file, loaded back as a "Custom Section",
// gives the template's P-M and Mx-My curves within the meshes' error.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "analysis/mm_solver.h"
#include "analysis/pm_solver.h"
#include "analysis/section_steps.h"
#include "geometry/source.h"
#include "input/fields.h"
#include "input/section_input.h"
#include "section/mesh.h"
#include "section/section_export.h"

namespace {

using namespace px;

struct Curves {
    double pMax = 0, pMin = 0, mx = 0, my = 0;  // capacities and each P-M curve's largest moment
    MMCurve mm;
    int nfib = 0;
};

Curves Solve(const MapFields& f) {
    Curves c;
    SectionInput in;
    ReadSectionInput(f, in);
    CheckSectionInput(in);
    FiberTable t;
    BuildFiberTable(in, t);
    AssignFiberMaterials(f, t);
    c.nfib = t.NFib;
    ComputeAxialBounds(t, c.pMax, c.pMin);
    const PmSettings pm = ReadPmSettings(f);
    PMCurve curve;
    SolvePM(t, in.B, in.H, pm, 0, c.pMin, c.pMax, curve);
    SolvePM(t, in.B, in.H, pm, 90, c.pMin, c.pMax, curve);
    for (int i = 0; i <= curve.Divisions; ++i) {
        c.mx = std::max(c.mx, std::fabs(curve.MX[static_cast<size_t>(i)]));
        c.my = std::max(c.my, std::fabs(curve.MY[static_cast<size_t>(i)]));
    }
    MmSettings mm = ReadMmSettings(f);
    mm.axialForce = 0.3 * c.pMax;  // a level both sections reach, where the curve is widest
    SolveMMCurve(t, in.B, in.H, mm, c.mm);
    return c;
}

TEST(TemplateRoundTrip, ExportedFilesGiveTheTemplatesCurves) {
    for (int type = 1; type <= 8; ++type) {
        SCOPED_TRACE("section type " + std::to_string(type));
        MapFields f = DefaultFields();
        f.items["ComboBox1"] = type - 1;
        // A drawn section takes its strain limits on its outline; a circle's
        // template does so only with "Section outline".
        if (type == 2 || type == 5 || type == 7) f.items["ComboBox8"] = 1;
        // A template's circle is a polygon of its sector count (12 at start: 4.5 %
        // less area than the circle), the file's is within 0.5 mm of the circle;
        // with 72 sectors the template's own polygon is within 0.13 % of it.
        if (type == 2 || type == 5 || type == 7) f["Edit12"] = "72";
        if (type == 8) f["Edit50"] = "72";
        const Curves tmpl = Solve(f);

        SectionInput in;
        ReadSectionInput(f, in);
        MapFields g = f;
        g.items["ComboBox1"] = 8;
        g.custom = geom::LoadSection(ExportTemplateSectionFile(in), "template.sec");
        const Curves custom = Solve(g);
        EXPECT_GT(custom.nfib, 1000);

        // Types 3, 4 and 7 count the concrete under their encased H sections
        // as well as the steel; a drawn section takes that concrete away, so
        // its squash load is 1.6 to 3.5 % lower and its curves follow within
        // 4 %. Every other template agrees within 1 %.
        const bool encased = type == 3 || type == 4 || type == 7;
        const double tol = encased ? 0.04 : 0.01;
        EXPECT_NEAR(custom.pMax, tmpl.pMax, tol * std::fabs(tmpl.pMax));
        EXPECT_NEAR(custom.pMin, tmpl.pMin, tol * std::fabs(tmpl.pMin));
        EXPECT_NEAR(custom.mx, tmpl.mx, tol * tmpl.mx);
        EXPECT_NEAR(custom.my, tmpl.my, tol * tmpl.my);
        ASSERT_EQ(custom.mm.Mx.size(), tmpl.mm.Mx.size());
        double reach = 0;
        for (size_t i = 0; i < tmpl.mm.Mx.size(); ++i) reach = std::max(reach, std::hypot(tmpl.mm.Mx[i], tmpl.mm.My[i]));
        for (size_t i = 0; i < tmpl.mm.Mx.size(); ++i) {
            EXPECT_NEAR(custom.mm.Mx[i], tmpl.mm.Mx[i], tol * reach) << "point " << i;
            EXPECT_NEAR(custom.mm.My[i], tmpl.mm.My[i], tol * reach) << "point " << i;
        }
    }
}

// A custom section's file name goes into the exported file's comment line; a
// line break in the name must not start an item there.
TEST(TemplateRoundTrip, ACustomSectionExportsAsLoadedWhateverItsName) {
    SectionInput in;
    in.SectionType = 9;
    in.Custom = geom::LoadSection("cover 0 0 400 0 400 300 0 300\nbar 100 100 20\n", "odd\nbar 9 9 9\r.sec");
    const geom::Shape back = geom::ReadSectionSource(ExportSectionFile(in), "back.sec");
    ASSERT_EQ(back.polygons.size(), 1u);
    EXPECT_EQ(back.polygons[0].outer, in.Custom->Section.polygons[0].outer);
    ASSERT_EQ(back.bars.size(), 1u);
    EXPECT_EQ(back.bars[0].d, 20);
}

}  // namespace
