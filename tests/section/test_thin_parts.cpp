// The thickness of a drawn section's parts, the default Mesh Size taken from
// the thinnest one, and the refusal of a Mesh Size that leaves a part one
// fiber across.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "geometry/section_file.h"
#include "input/error.h"
#include "input/section_input.h"
#include "section/fiber.h"
#include "section/mesh_custom.h"
#include "section/thin_parts.h"

using namespace px;

namespace {

constexpr double kPi = 3.14159265358979323846;

double Thinnest(const std::string& text) { return ThinnestPartOf(geom::ReadSectionFile(text)).thickness; }

// A regular polygon of n sides round (0, 0), its vertices at radius r.
std::string Disc(double r, int n) {
    std::string s = "cover";
    for (int k = 0; k < n; ++k) {
        const double a = 2 * kPi * k / n;
        s += " " + std::to_string(r * std::cos(a)) + " " + std::to_string(r * std::sin(a));
    }
    return s + "\n";
}

SectionInput Custom(const std::string& text, double meshSize) {
    SectionInput in;
    in.SectionType = 9;
    in.Custom = geom::LoadSection(text, "part.sec");
    in.MeshSize = meshSize;
    return in;
}

const char* kWall = "cover 0 0 3000 0 3000 50 0 50\n";
// A U core 3000 wide and 2000 deep with 300 mm walls, open at the top.
const char* kU = "cover 0 0 3000 0 3000 2000 2700 2000 2700 300 300 300 300 2000 0 2000\n";

}  // namespace

// Thicknesses worked out by hand, each part's thinnest place.
TEST(ThinParts, ThicknessOfEachShape) {
    const struct {
        const char* what;
        std::string text;
        double thickness;
    } cases[] = {
        {"wall 50 x 3000", kWall, 50},
        {"square 400", "cover 0 0 400 0 400 400 0 400\n", 400},
        {"wall turned 45 degrees, 50 thick", "cover 0 0 1000 1000 964.6446609406726 1035.3553390593274 -35.35533905932738 35.35533905932738\n", 50},
        // A 1000 x 300 flange on a 50 x 1000 web: the web, not the average.
        {"T", "cover -25 0 25 0 25 1000 500 1000 500 1300 -500 1300 -500 1000 -25 1000\n", 50},
        {"box 600 with a 560 hole", "steel 0 0 600 0 600 600 0 600\nhole 20 20 580 20 580 580 20 580\n", 20},
        {"U core", kU, 300},
        // Between the hole and the outer faces 50 mm are left.
        {"L with a hole", "cover 0 0 600 0 600 200 200 200 200 600 0 600\nhole 50 50 150 50 150 150 50 150\n", 50},
        // Across the flats of a 64-gon: 2 r cos(pi / 64).
        {"disc", Disc(300, 64), 600 * std::cos(kPi / 64)},
        {"a thick part and a thin one", std::string("cover 0 0 800 0 800 800 0 800\n") + "steel 100 100 700 100 700 108 100 108\n", 8},
    };
    for (const auto& c : cases) EXPECT_NEAR(Thinnest(c.text), c.thickness, 1e-6 * c.thickness) << c.what;
    const ThinnestPart thin = ThinnestPartOf(geom::ReadSectionFile(cases[8].text));
    EXPECT_EQ(thin.polygon, 1u);
}

// The default puts four fibers across the thinnest part: the 50 mm wall gets
// 12.5 mm cells (not 3000 / 40 = 75, one fiber across), and its fibers then
// hold (1 - 1/4^2) of the wall's own weak-axis inertia 3000 x 50^3 / 12,
// where one fiber across would hold none.
TEST(ThinParts, DefaultPutsFourFibersAcross) {
    const geom::Shape wall = geom::ReadSectionFile(kWall);
    EXPECT_DOUBLE_EQ(DefaultMeshSize(wall), 12.5);
    FiberTable t;
    MeshCustomSection(wall, DefaultMeshSize(wall), t);
    double inertia = 0;
    for (int i = 1; i <= t.NFib; ++i) inertia += t[i].Area * t[i].Y * t[i].Y;
    const double exact = 3000.0 * 50 * 50 * 50 / 12;
    EXPECT_NEAR(inertia, exact * 15 / 16, 1e-6 * exact);
    // Where the larger side / 40 is finer, it stays.
    EXPECT_DOUBLE_EQ(DefaultMeshSize(geom::ReadSectionFile(kU)), 75);
    EXPECT_DOUBLE_EQ(DefaultMeshSize(geom::ReadSectionFile("cover 0 0 600 0 600 200 200 200 200 600 0 600\n")), 15);
    // A quarter of a 2 mm plate in a 20 m square would need 1.6 x 10^9 cells:
    // the default stops at the finest size the fiber limit allows, which the
    // guard then refuses, naming the plate.
    const std::string huge = "cover 0 0 20000 0 20000 20000 0 20000\nsteel 100 100 900 100 900 102 100 102\n";
    const double least = std::sqrt(20000.0 * 20000 / 1000000);
    EXPECT_DOUBLE_EQ(DefaultMeshSize(geom::ReadSectionFile(huge)), least);
    try {
        CheckSectionInput(Custom(huge, least));
        ADD_FAILURE() << "accepted";
    } catch (const AppError& e) {
        EXPECT_EQ(std::string(e.what()), "Mesh Size 20.00 mm leaves the steel polygon of Line 2 one fiber across its "
                                         "2.00 mm thickness; Mesh Size must be less than 2.00 mm");
    }
}

// "Mesh Size" at a part's thickness or above is refused before any work,
// naming the field, the polygon and the limit; just below it is taken. A
// size that is no length at all is left to the mesher's own message.
TEST(ThinParts, RefusesAMeshSizeThatLeavesAPartOneFiberAcross) {
    const struct {
        const char* what;
        const char* text;
        double mesh;
        const char* says;  // nullptr: accepted
    } cases[] = {
        {"U core, 5000", kU, 5000,
         "Mesh Size 5000.00 mm leaves the cover polygon of Line 1 one fiber across its 300.00 mm thickness; "
         "Mesh Size must be less than 300.00 mm"},
        {"U core, at the walls' thickness", kU, 300, "Mesh Size 300.00 mm"},
        {"U core, just below", kU, 299.99, nullptr},
        {"wall, 75", kWall, 75, "its 50.00 mm thickness"},
        {"wall, 49", kWall, 49, nullptr},
        {"no length", kWall, 0, nullptr},
        {"not a number", kWall, std::nan(""), nullptr},
        {"infinite", kWall, HUGE_VAL, nullptr},
    };
    for (const auto& c : cases) {
        const SectionInput in = Custom(c.text, c.mesh);
        if (!c.says) {
            EXPECT_NO_THROW(CheckSectionInput(in)) << c.what;
            continue;
        }
        try {
            CheckSectionInput(in);
            ADD_FAILURE() << c.what << " accepted";
        } catch (const AppError& e) {
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << c.what << ": " << e.what();
        }
    }
    EXPECT_THROW(CheckCustomMesh(geom::ReadSectionFile(kWall), 0), AppError);
}
