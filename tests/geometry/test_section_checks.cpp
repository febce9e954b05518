// The checks of a drawn section: holes given to the polygon they are cut
// from whatever the drawing's order, bars that lie on each other or leave
// the material, and the same refusals when a section has so many pieces
// that only pieces whose boxes meet are compared.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "geometry/section_file.h"
#include "geometry/validate.h"
#include "input/error.h"

namespace {

using namespace px;
using namespace px::geom;

constexpr double kPi = 3.14159265358979323846;

std::string Refusal(const std::string& text) {
    try {
        ReadSectionFile(text);
    } catch (const AppError& e) {
        return e.what();
    }
    return "(accepted)";
}

Ring Circle(double r, int n = 96) {
    Ring out;
    for (int i = 0; i < n; ++i) out.push_back({r * std::cos(2 * kPi * i / n), r * std::sin(2 * kPi * i / n)});
    return out;
}

Ring Square(double x, double y, double side) { return {{x, y}, {x + side, y}, {x + side, y + side}, {x, y + side}}; }

std::string Item(const char* key, const Ring& r) {
    std::string s = key;
    for (const Pt& p : r) s += " " + std::to_string(p.x) + " " + std::to_string(p.y);
    return s + "\n";
}

// A filled tube: a steel circle D600, a concrete circle and a hole D560,
// drawn in every order. The hole is the steel's, never the concrete's, and
// never the one of a core drawn on the hole's own outline.
TEST(SectionChecks, HoleGoesToTheSmallestPolygonAroundItInEveryOrder) {
    for (const double core : {300.0, 280.0}) {
        SCOPED_TRACE(core);
        std::vector<int> order = {0, 1, 2};
        do {
            std::vector<Polygon> polygons;
            std::vector<std::pair<Ring, std::string>> holes;
            for (int k : order) {
                if (k == 0) polygons.push_back({Group::Steel, Circle(300), {}, "STEEL", {}});
                if (k == 1) polygons.push_back({Group::Core1, Circle(core), {}, "CORE1", {}});
                if (k == 2) holes.push_back({Circle(280), "HOLE"});
            }
            AttachHoles(polygons, holes);
            for (const Polygon& p : polygons)
                EXPECT_EQ(p.holes.size(), p.group == Group::Steel ? 1u : 0u) << order[0] << order[1] << order[2];
            EXPECT_NO_THROW(ValidateShape(Shape{polygons, {}, ""}));
        } while (std::next_permutation(order.begin(), order.end()));
    }
    // A smaller polygon around the hole wins over a larger one, before or after it.
    for (bool smallFirst : {false, true}) {
        std::vector<Polygon> polygons = {{Group::Cover, Square(0, 0, 400), {}, "big", {}},
                                         {Group::Steel, Square(100, 100, 100), {}, "small", {}}};
        if (smallFirst) std::swap(polygons[0], polygons[1]);
        AttachHoles(polygons, {{Square(120, 120, 20), "HOLE"}});
        for (const Polygon& p : polygons) EXPECT_EQ(p.holes.size(), p.where == "small" ? 1u : 0u);
    }
    // Only a polygon on the hole's own outline: it takes the hole, which
    // leaves it no area.
    std::vector<Polygon> alone = {{Group::Cover, Square(0, 0, 100), {}, "COVER", {}}};
    AttachHoles(alone, {{Square(0, 0, 100), "HOLE"}});
    EXPECT_EQ(alone[0].holes.size(), 1u);
}

TEST(SectionChecks, RefusesBarsOnEachOtherOrOutsideTheMaterial) {
    const std::string sq = "cover 0 0 100 0 100 100 0 100\n";
    // Cover around a core that fills its opening: one material.
    const std::string tube = "cover 0 0 200 0 200 200 0 200\nhole 50 50 150 50 150 150 50 150\ncore1 50 50 150 50 150 150 50 150\n";
    struct Case {
        std::string text, message;
    };
    const std::vector<Case> cases = {
        {sq + "bar 50 50 10\nbar 50 50 16\n", "Line 3: the bar has the same centre as the one at Line 2"},
        {sq + "bar 40 50 10\nbar 20 20 8\nbar 49 50 10\n", "Line 4: the bar overlaps the one at Line 2"},
        {sq + "bar 40 50 10\nbar 50 50 10\nbar 60 50 10\n", "(accepted)"},  // touching bars
        {sq + "bar 5 50 12\n", "Line 2: the bar's circle leaves the section's material"},
        {sq + "bar 5 50 10\nbar 95 95 10\n", "(accepted)"},  // touching the faces
        {sq + "hole 40 40 60 40 60 60 40 60\nbar 36 50 10\n", "Line 3: the bar's circle leaves the section's material"},
        {sq + "hole 40 40 60 40 60 60 40 60\nbar 35 50 10\n", "(accepted)"},
        {tube + "bar 50 100 25\nbar 150 150 25\n", "(accepted)"},  // across cover and core
        {tube + "bar 5 100 25\n", "Line 4: the bar's circle leaves the section's material"},
        // Two squares that touch along half a side: a bar on the shared
        // part stays in, one at the end of it does not.
        {sq + "steel 100 50 200 50 200 150 100 150\nbar 100 75 20\n", "(accepted)"},
        {sq + "steel 100 50 200 50 200 150 100 150\nbar 100 52 20\n", "Line 3: the bar's circle leaves the section's material"},
        {sq + "bar 150 50 10\n", "Line 2: the bar's centre lies outside every polygon"},
    };
    for (const Case& c : cases) EXPECT_EQ(Refusal(c.text), c.message) << c.text;
}

// Sections of more pieces than are joined one at a time: the refusals name
// the same lines as pairwise checks would.
TEST(SectionChecks, ManyPiecesAreCheckedAsFewAre) {
    std::string squares;
    for (int i = 0; i < 60; ++i) squares += Item("cover", Square(20.0 * (i % 10), 20.0 * (i / 10), 10));
    EXPECT_EQ(Refusal(squares), "(accepted)");
    EXPECT_EQ(Refusal(squares + Item("core2", Square(85, 85, 10)) + Item("core1", Square(500, 0, 5))),
              "Line 61: the concrete polygon overlaps the one at Line 45");
    EXPECT_EQ(Refusal(squares + Item("core2", Square(10, 0, 10))), "(accepted)");  // touching two
    // A plate with 60 openings; one more that overlaps the 37th.
    std::string plate = Item("steel", Square(0, 0, 200));
    for (int i = 0; i < 60; ++i) plate += Item("hole", Square(2 + 20.0 * (i % 10), 2 + 20.0 * (i / 10), 10));
    EXPECT_EQ(Refusal(plate), "(accepted)");
    EXPECT_EQ(Refusal(plate + Item("hole", Square(130, 70, 10))), "Line 62: the hole overlaps another hole of its polygon");
    EXPECT_EQ(Refusal(plate + Item("hole", Square(195, 0, 10))), "Line 62: the hole is not inside its polygon");
    EXPECT_EQ(Refusal(plate + "bar 7 7 2\n"), "Line 62: the bar's centre lies outside every polygon");
    EXPECT_EQ(Refusal(plate + "bar 15 7 4\n"), "(accepted)");
    EXPECT_EQ(Refusal(plate + "bar 15 7 8\n"), "Line 62: the bar's circle leaves the section's material");
    // An outline of more points than are walked whole for each bar: the
    // centre is found inside, outside, in an opening and on the edge.
    const std::string disc = Item("cover", Circle(100, 1100)) + Item("hole", Square(40, -10, 20));
    struct Case {
        std::string bar, message;
    };
    const std::vector<Case> bars = {
        {"bar 0 0 10\nbar 0 -60 10\nbar -99 0 1\n", "(accepted)"},
        {"bar 0 0 10\nbar 80 75 2\n", "Line 4: the bar's centre lies outside every polygon"},
        {"bar 50 0 2\n", "Line 3: the bar's centre lies outside every polygon"},
        {"bar 100 0 2\n", "Line 3: the bar's circle leaves the section's material"},
    };
    for (const Case& b : bars) EXPECT_EQ(Refusal(disc + b.bar), b.message) << b.bar;
    // Openings that fill the plate leave it no area.
    std::string filled = Item("steel", Square(0, 0, 100));
    for (int i = 0; i < 25; ++i) filled += Item("hole", Square(20.0 * (i % 5), 20.0 * (i / 5), 20));
    EXPECT_EQ(Refusal(filled), "Line 1: the holes leave the polygon no area");
}

}  // namespace
