// Warnings where the section model is not safe: each limit at its edge, the
// types it applies to, and the materials read from a meshed section.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "input/fields.h"
#include "input/section_input.h"
#include "section/fiber.h"
#include "section/section_from_fields.h"
#include "section/section_warnings.h"

using namespace px;

namespace {

double up(double v) { return std::nextafter(v, std::numeric_limits<double>::infinity()); }
double below(double v) { return v * (1 - 1e-9); }
double above(double v) { return v * (1 + 1e-9); }

std::vector<WarningKind> kinds(const SectionInput& in, const WarningMaterials& m) {
    std::vector<WarningKind> k;
    for (const SectionWarning& w : ComputeSectionWarnings(in, m)) k.push_back(w.Kind);
    return k;
}

SectionInput tube(double D, double t) {
    SectionInput in;
    in.SectionType = 5;
    in.B = in.H = D;
    in.SteelYTw = t;
    return in;
}

SectionInput box(double B, double H, double tx, double ty) {
    SectionInput in;
    in.SectionType = 6;
    in.B = B;
    in.H = H;
    in.SteelYTw = tx;
    in.SteelXTw = ty;
    return in;
}

// Type 4: a 500 x 500 column around a 440 wide H section.
SectionInput encased(double B, double d, double bf, double tf, double tw) {
    SectionInput in;
    in.SectionType = 4;
    in.B = in.H = B;
    in.SteelYH = d;
    in.SteelYB = bf;
    in.SteelYTf = tf;
    in.SteelYTw = tw;
    return in;
}

using K = std::vector<WarningKind>;

}  // namespace

// Each wall limit: exactly at it or just inside, no warning; just beyond, one.
TEST(SectionWarnings, WallLimitsAtTheirEdges) {
    const WarningMaterials m{300, 200000, 30};
    const double tubeLimit = 0.15 * m.SteelEs / m.SteelFy;  // 100
    const double boxLimit = 2.26 * std::sqrt(m.SteelEs / m.SteelFy);
    struct Case {
        const char* what;
        SectionInput in;
        K want;
    };
    const Case cases[] = {
        {"tube at the limit", tube(tubeLimit * 4, 4), {}},
        {"tube just beyond", tube(up(tubeLimit) * 4, 4), {WarningKind::TubeWall}},
        {"tube far inside", tube(200, 10), {}},
        {"box inside", box(below(boxLimit) * 5 + 15, 100, 5, 5), {}},
        // Top and bottom walls span B, the side walls H.
        {"box, top wall beyond", box(above(boxLimit) * 5 + 15, 100, 5, 5), {WarningKind::BoxWall}},
        {"box, side wall beyond", box(100, above(boxLimit) * 5 + 15, 5, 5), {WarningKind::BoxWall}},
        {"box, thin side walls span H", box(above(boxLimit) * 2 + 6, 100, 2, 10), {}},
        {"box, thin side walls beyond", box(100, above(boxLimit) * 2 + 6, 2, 10), {WarningKind::BoxWall}},
        {"no wall", tube(200, 0), {}},
    };
    for (const Case& c : cases) EXPECT_EQ(kinds(c.in, m), c.want) << c.what;

    double ratio = 0, limit = 0;
    ASSERT_TRUE(WallSlenderness(tube(400, 4), m, ratio, limit));
    EXPECT_DOUBLE_EQ(ratio, 100);
    EXPECT_DOUBLE_EQ(limit, 100);
    ASSERT_TRUE(WallSlenderness(box(215, 415, 5, 10), m, ratio, limit));
    EXPECT_DOUBLE_EQ(ratio, 80);  // max(185 / 10, 400 / 5)
    EXPECT_DOUBLE_EQ(limit, boxLimit);
    // Without a yield stress nothing can be said.
    EXPECT_FALSE(WallSlenderness(tube(400, 1), {0, 200000, 30}, ratio, limit));
    EXPECT_TRUE(kinds(tube(4000, 1), {0, 200000, 30}).empty());
    EXPECT_FALSE(WallSlenderness(encased(500, 400, 440, 10, 10), m, ratio, limit));
}

// Encased H sections: the flange limit counts only where the cover is thin;
// the web, held by concrete on both faces, never warns.
TEST(SectionWarnings, EncasedFlangesAtTheirEdges) {
    // fy = 235: the flange limit is 44.
    const WarningMaterials m{235, 200000, 30};
    // bf = 300: the cover needed is max(40, 50) = 50; cover = (B - bf) / 2.
    struct Case {
        const char* what;
        SectionInput in;
        K want;
    };
    const Case cases[] = {
        {"flange at 44, thin cover", encased(380, 300, 300, 300.0 / 44, 20), {}},
        {"flange beyond, thin cover", encased(380, 300, 300, below(300.0 / 44), 20), {WarningKind::HFlange}},
        {"flange beyond, cover at the edge", encased(400, 300, 300, below(300.0 / 44), 20), {}},
        {"flange beyond, cover just thin", encased(below(400), 300, 300, below(300.0 / 44), 20), {WarningKind::HFlange}},
        {"thin web, thin cover", encased(380, 300, 300, 20, 1), {}},
    };
    for (const Case& c : cases) EXPECT_EQ(kinds(c.in, m), c.want) << c.what;

    // A small section needs 40 mm whatever bf / 6 says.
    EXPECT_TRUE(kinds(encased(179.9, 60, 100, 1, 1), m).size() == 1);
    EXPECT_TRUE(kinds(encased(180, 60, 100, 1, 1), m).empty());
    // Type 3 checks its X-direction section too, lying along x.
    SectionInput two = encased(600, 300, 300, 20, 20);
    two.SectionType = 3;
    two.SteelXH = 300;
    two.SteelXB = 300;
    two.SteelXTf = 5;
    two.SteelXTw = 20;
    two.H = 380;  // thin cover over the X section's flange tips, not over the Y section's flanges
    EXPECT_EQ(kinds(two, m), K{WarningKind::HFlange});
    // On a column that is not square the X section's depth runs along B and
    // its width along H: B 800, H 600, X section 200 deep, 540 wide, tf 8.
    // Cover beyond its flange tips (600 - 540) / 2 = 30 and beyond its depth
    // (800 - 200) / 2 = 300: 30 < max(40, 540 / 6 = 90), and 540 / 8 = 67.5
    // > 44, so it warns. Taken across (B and H swapped) the cover would be
    // min(200, 130) = 130 and nothing would be said.
    SectionInput wide;
    wide.SectionType = 3;
    wide.B = 800;
    wide.H = 600;
    wide.SteelYH = wide.SteelYB = 300;
    wide.SteelYTf = wide.SteelYTw = 20;
    wide.SteelXH = 200;
    wide.SteelXB = 540;
    wide.SteelXTf = wide.SteelXTw = 8;
    const std::vector<SectionWarning> w = ComputeSectionWarnings(wide, m);
    ASSERT_EQ(w.size(), 1u);
    EXPECT_EQ(w[0].Kind, WarningKind::HFlange);
    EXPECT_NE(w[0].Text.find("X-direction H section's flange bf/tf = 67.5"), std::string::npos) << w[0].Text;
    EXPECT_NE(w[0].Text.find("cover of 30.0 mm"), std::string::npos) << w[0].Text;
    // Type 7: the cover is what is left outside the section's corners.
    SectionInput round = encased(2 * std::hypot(150, 150) + 49, 300, 300, 5, 20);
    round.SectionType = 7;
    round.SteelXTf = round.SteelXTw = 0;  // no X section
    EXPECT_EQ(kinds(round, m), K{WarningKind::HFlange});
    round.B = round.H = 2 * std::hypot(150, 150) + 101;
    EXPECT_TRUE(kinds(round, m).empty());
}

// Strong concrete: composite types only, strictly beyond 69.
TEST(SectionWarnings, HighStrengthConcrete) {
    for (int type = 1; type <= 8; ++type) {
        SectionInput in;
        in.SectionType = type;
        const bool composite = type >= 3;
        EXPECT_TRUE(kinds(in, {0, 0, 69}).empty()) << type;
        EXPECT_EQ(kinds(in, {0, 0, up(69)}), composite ? K{WarningKind::HighConcrete} : K{}) << type;
    }
    // A drawn section is composite when it holds steel.
    for (const bool steel : {false, true}) {
        SectionInput in;
        in.SectionType = 9;
        in.Custom = geom::LoadSection(std::string("cover 0 0 400 0 400 400 0 400\n") +
                                          (steel ? "steel 100 100 300 100 300 120 100 120\n" : ""),
                                      "c.sec");
        EXPECT_EQ(kinds(in, {0, 0, up(69)}), steel ? K{WarningKind::HighConcrete} : K{}) << steel;
    }
}

// From the fields: the window's starting section has no warning, a thin box
// wall and strong concrete give two sentences, each naming its limit.
TEST(SectionWarnings, FromTheMeshedSection) {
    MapFields f = DefaultFields();
    for (int type : {0, 2, 3, 4, 5, 6, 7}) {
        f.items["ComboBox1"] = type;
        SectionInput in;
        FiberTable t;
        MeshSectionFromFields(f, in, t);
        EXPECT_EQ(SectionWarningsText(in, t), "") << type;
    }
    f.items["ComboBox1"] = 5;
    f["Edit3"] = f["Edit41"] = "20";
    f["Edit18"] = "80";
    f["Edit29"] = "355";
    SectionInput in;
    FiberTable t;
    MeshSectionFromFields(f, in, t);
    const WarningMaterials m = WarningMaterialsOf(t);
    EXPECT_EQ(m.SteelFy, 355);
    EXPECT_EQ(m.SteelEs, 215000);
    EXPECT_EQ(m.ConcreteFc, 80);
    EXPECT_EQ(SectionWarningsText(in, t),
              "Warning: the box wall's b/t = 107.0 is beyond 2.26 sqrt(Es/fy) = 55.6: the wall may buckle locally "
              "before the section reaches its computed strength. Warning: concrete of fc = 80.0 N/mm2 is beyond "
              "69 N/mm2: tests of such composite sections fall short of the computed strength more often.");
}
