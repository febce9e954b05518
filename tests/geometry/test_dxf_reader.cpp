// DXF drawings as CAD programs and careless or hostile writers make them:
// bounded reading, every entity read or named, and the shapes they give.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "batch/ui/batch_runner.h"
#include "geometry/dxf_reader.h"
#include "geometry/source.h"
#include "input/error.h"
#include "input/section_input.h"
#include "section/section_warnings.h"
#include "study/study.h"

namespace {

using namespace px;
using namespace px::geom;

constexpr double kPi = 3.14159265358979323846;

std::string G(int code, const std::string& v) { return std::to_string(code) + "\n" + v + "\n"; }
std::string N(double v) {
    char b[64];
    std::snprintf(b, sizeof b, "%.17g", v);
    return b;
}

struct V {
    double x, y, bulge = 0;
};

// An LWPOLYLINE; `extra` groups go after the layer (extrusion, width, 67).
std::string Lw(const std::string& h, const std::string& layer, const std::vector<V>& v, const std::string& extra = "",
               long long count = -1) {
    std::string s = G(0, "LWPOLYLINE") + G(5, h) + G(8, layer) + extra +
                    G(90, std::to_string(count >= 0 ? count : static_cast<long long>(v.size()))) + G(70, "1");
    for (const V& p : v) {
        s += G(10, N(p.x)) + G(20, N(p.y));
        if (p.bulge != 0) s += G(42, N(p.bulge));
    }
    return s;
}
std::string Circle(const std::string& h, const std::string& layer, double x, double y, double r,
                   const std::string& extra = "") {
    return G(0, "CIRCLE") + G(5, h) + G(8, layer) + extra + G(10, N(x)) + G(20, N(y)) + G(40, N(r));
}
std::string Line(const std::string& h, const std::string& layer, double x1, double y1, double x2, double y2) {
    return G(0, "LINE") + G(5, h) + G(8, layer) + G(10, N(x1)) + G(20, N(y1)) + G(11, N(x2)) + G(21, N(y2));
}
std::string Arc(const std::string& h, const std::string& layer, double x, double y, double r, double a0, double a1) {
    return G(0, "ARC") + G(5, h) + G(8, layer) + G(10, N(x)) + G(20, N(y)) + G(40, N(r)) + G(50, N(a0)) +
           G(51, N(a1));
}
std::string Insert(const std::string& h, const std::string& layer, const std::string& block, double x, double y,
                   double sx = 1, double sy = 1, double angle = 0) {
    return G(0, "INSERT") + G(5, h) + G(8, layer) + G(2, block) + G(10, N(x)) + G(20, N(y)) + G(41, N(sx)) +
           G(42, N(sy)) + G(50, N(angle));
}
std::string BlockDef(const std::string& name, double bx, double by, const std::string& entities) {
    return G(0, "BLOCK") + G(8, "0") + G(2, name) + G(70, "0") + G(10, N(bx)) + G(20, N(by)) + entities +
           G(0, "ENDBLK");
}
std::string Dxf(const std::string& entities, const std::string& blocks = "", int insunits = -1) {
    std::string s;
    if (insunits >= 0)
        s += G(0, "SECTION") + G(2, "HEADER") + G(9, "$ACADVER") + G(1, "AC1015") + G(9, "$INSUNITS") +
             G(70, std::to_string(insunits)) + G(0, "ENDSEC");
    if (!blocks.empty()) s += G(0, "SECTION") + G(2, "BLOCKS") + blocks + G(0, "ENDSEC");
    return s + G(0, "SECTION") + G(2, "ENTITIES") + entities + G(0, "ENDSEC") + G(0, "EOF");
}

const std::vector<V> kSquare = {{0, 0}, {600, 0}, {600, 600}, {0, 600}};

std::string Refusal(const std::string& text) {
    try {
        ReadDxf(text);
    } catch (const AppError& e) {
        return e.what();
    }
    return "(accepted)";
}

double Area(const Ring& r) {
    double a = 0;
    for (size_t i = 0; i < r.size(); ++i) a += r[i].x * r[(i + 1) % r.size()].y - r[(i + 1) % r.size()].x * r[i].y;
    return std::fabs(a) / 2;
}

// Every vertex on the circle and every side within 0.5 mm of it.
void ExpectOnCircle(const Ring& r, double cx, double cy, double radius, const std::string& what) {
    for (size_t i = 0; i < r.size(); ++i) {
        const Pt& p = r[i];
        const Pt& q = r[(i + 1) % r.size()];
        EXPECT_NEAR(std::hypot(p.x - cx, p.y - cy), radius, 1e-6) << what;
        EXPECT_GE(std::hypot((p.x + q.x) / 2 - cx, (p.y + q.y) / 2 - cy), radius - 0.5) << what;
    }
}

TEST(DxfReader, BoundedByTheFileNotByItsCounts) {
    const std::string ok = Dxf(Lw("A", "COVER", kSquare));
    const std::string huge(3000, 'x');
    struct Case {
        std::string text, message;
    };
    const std::vector<Case> cases = {
        // What follows EOF is not read; a long line before it is refused.
        {ok + huge + "\n", "(accepted)"},
        {G(999, huge) + ok, "(accepted)"},
        {G(999, std::string(4096, 'c')) + ok, "(accepted)"},
        {G(999, std::string(4097, 'c')) + ok, "Line 2 of the drawing is longer than 4096 characters"},
        {Dxf(Lw("A", "COVER", kSquare, "", 100000000)),
         "Polyline A on layer COVER: it declares 100000000 vertices (group 90) but lists 4"},
        {Dxf(Lw("A", "COVER", kSquare, "", 2147483647)),
         "Polyline A on layer COVER: it declares 2147483647 vertices (group 90) but lists 4"},
        {Dxf(Lw("A", "COVER", kSquare, "", 3)), "Polyline A on layer COVER: it declares 3 vertices (group 90) but lists 4"},
        {Dxf(Lw("A", "COVER", kSquare) + G(0, "SPLINE") + G(5, "B") + G(8, "HOLE") + G(71, "3") + G(72, "500000000") +
             G(73, "2147483647") + G(40, "0")),
         "Spline B on layer HOLE: it declares 500000000 knots (group 72) but lists 1"},
        {Dxf(Lw("A", "COVER", kSquare) + G(0, "LEADER") + G(8, "DIMS") + G(76, "2147483647")), "(accepted)"},
        {"  x\nSECTION\n", "Line 1 of the drawing: 'x' is not a group code (an integer from 0 to 1071)"},
        {"1072\nA\n", "Line 1 of the drawing: '1072' is not a group code (an integer from 0 to 1071)"},
        {"0\nSECTION\n2", "Line 3 of the drawing: group code 2 has no value line"},
    };
    for (const Case& c : cases) {
        const auto t0 = std::chrono::steady_clock::now();
        EXPECT_EQ(Refusal(c.text), c.message) << c.text.substr(0, 80);
        EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2));
    }
}

TEST(DxfReader, RefusesTextWhereANumberBelongsAndNamesTheEntity) {
    // A count or flag that is no integer.
    EXPECT_EQ(Refusal(Dxf(G(0, "LWPOLYLINE") + G(5, "2F") + G(8, "STEEL") + G(90, "3x") + G(70, "1"))),
              "Polyline 2F on layer STEEL, line 12: '3x' in group 90 is not a number");
    for (const char* bad : {"abc", "nan", "inf", "-inf", "0x10", "1,5", "+-2", "", "1e400"}) {
        const std::string text = Dxf(G(0, "LWPOLYLINE") + G(5, "2F") + G(8, "STEEL") + G(90, "3") + G(70, "1") +
                                     G(10, "0") + G(20, "0") + G(10, bad) + G(20, "0") + G(10, "5") + G(20, "5"));
        EXPECT_EQ(Refusal(text), "Polyline 2F on layer STEEL, line 20: '" + std::string(bad) +
                                     "' in group 10 is not a number")
            << bad;
    }
    EXPECT_EQ(Refusal(Dxf(Lw("A", "COVER", kSquare) + G(0, "CIRCLE") + G(5, "C") + G(8, "REBAR") + G(10, "100") +
                          G(20, "100") + G(40, "nan"))),
              "Circle C on layer REBAR, line 42: 'nan' in group 40 is not a number");
    EXPECT_EQ(Refusal(G(0, "SECTION") + G(2, "HEADER") + G(9, "$INSUNITS") + G(70, "mm") + G(0, "ENDSEC") +
                      Dxf(Lw("A", "COVER", kSquare))),
              "Line 8 of the drawing: 'mm' ($INSUNITS) is not a number");
    // Numbers as writers differ in them are taken.
    const Shape s = ReadDxf(Dxf(G(0, "LWPOLYLINE") + G(5, "2F") + G(8, "STEEL") + G(90, "  3") + G(70, "1.0") +
                                G(10, "+0") + G(20, " 0 ") + G(10, "1E2") + G(20, "0.") + G(10, ".5e2") + G(20, "100")));
    EXPECT_DOUBLE_EQ(Area(s.polygons[0].outer), 5000);
}

// A 200 x 150 box with a quarter arc bulging out of one side: the segment
// r^2 / 2 (theta - sin theta) with r = chord / (2 sin(theta / 2)).
TEST(DxfReader, BulgesOnEverySideAndNoiseBulgesAreStraight) {
    const double t = std::tan(kPi / 8), th = kPi / 2;
    auto segment = [&](double chord) {
        const double r = chord / (2 * std::sin(th / 2));
        return r * r / 2 * (th - std::sin(th));
    };
    struct Case {
        const char* what;
        std::vector<V> v;
        double area, chord;
        bool out;  // bulging out: the sides inside the arc leave less
    };
    const std::vector<Case> cases = {
        {"vertical", {{0, 0}, {200, 0, t}, {200, 150}, {0, 150}}, 30000 + segment(150), 150, true},
        {"left, downwards", {{0, 0}, {200, 0}, {200, 150}, {0, 150, t}}, 30000 + segment(150), 150, true},
        {"slanted", {{0, 0}, {200, 0, t}, {100, 150}}, 15000 + segment(std::hypot(100, 150)), std::hypot(100, 150), true},
        {"slanted, cut in", {{0, 0}, {200, 0, -t}, {100, 150}}, 15000 - segment(std::hypot(100, 150)),
         std::hypot(100, 150), false},
    };
    for (const Case& c : cases) {
        const Shape s = ReadDxf(Dxf(Lw("A", "COVER", c.v)));
        const double r = c.chord / (2 * std::sin(th / 2));
        // The sides inside the arc lose at most 0.5 mm along its length.
        EXPECT_NEAR(Area(s.polygons[0].outer), c.area, 0.5 * r * th) << c.what;
        EXPECT_EQ(Area(s.polygons[0].outer) < c.area, c.out) << c.what;
    }
    // About 33,211 mm2 for the box.
    EXPECT_NEAR(30000 + segment(150), 33211, 1);
    // Rounding noise in a bulge leaves the side straight.
    for (double noise : {1e-15, -1e-12, 9e-10}) {
        const Shape s = ReadDxf(Dxf(Lw("A", "COVER", {{0, 0, noise}, {600, 0, noise}, {600, 600}, {0, 600}})));
        EXPECT_EQ(s.polygons[0].outer.size(), 4u) << noise;
        EXPECT_DOUBLE_EQ(Area(s.polygons[0].outer), 360000) << noise;
    }
}

TEST(DxfReader, CurvesInOtherUnitsStayWithinHalfAMillimetre) {
    // A circle of 0.2 m on COVER in a drawing in metres.
    const Shape m = ReadDxf(Dxf(Circle("C", "COVER", 0, 0, 0.2), "", 6));
    ExpectOnCircle(m.polygons[0].outer, 0, 0, 200, "metres");
    EXPECT_LE(Area(m.polygons[0].outer), kPi * 200 * 200);
    EXPECT_GE(Area(m.polygons[0].outer), kPi * 200 * 200 - 0.5 * 2 * kPi * 200);
    EXPECT_EQ(m.warning, "");
    // A closed rational quadratic spline that is exactly a circle of 50 mm.
    const double w = std::sqrt(0.5);
    const double px[] = {50, 50, 0, -50, -50, -50, 0, 50, 50}, py[] = {0, 50, 50, 50, 0, -50, -50, -50, 0};
    std::string spline = G(0, "SPLINE") + G(5, "S") + G(8, "HOLE") + G(70, "11") + G(71, "2") + G(72, "12") +
                         G(73, "9") + G(74, "0");
    for (double k : {0.0, 0.0, 0.0, 0.25, 0.25, 0.5, 0.5, 0.75, 0.75, 1.0, 1.0, 1.0}) spline += G(40, N(k));
    for (int i = 0; i < 9; ++i) spline += G(10, N(100 + px[i])) + G(20, N(100 + py[i])) + G(41, N(i % 2 ? w : 1));
    // An ellipse of 80 x 40 mm, turned 90 degrees.
    const std::string ellipse = G(0, "ELLIPSE") + G(5, "E") + G(8, "HOLE") + G(10, "400") + G(20, "300") +
                                G(11, "0") + G(21, "80") + G(40, "0.5") + G(41, "0") + G(42, N(2 * kPi));
    const Shape s = ReadDxf(Dxf(Lw("A", "COVER", kSquare) + spline + ellipse));
    ASSERT_EQ(s.polygons[0].holes.size(), 2u);
    const size_t spl = s.polygons[0].holeWhere[0] == "Spline S on layer HOLE" ? 0 : 1;
    EXPECT_EQ(s.polygons[0].holeWhere[1 - spl], "Ellipse E on layer HOLE");
    ExpectOnCircle(s.polygons[0].holes[spl], 100, 100, 50, "spline");
    const Ring& e = s.polygons[0].holes[1 - spl];
    for (const Pt& p : e) EXPECT_NEAR(std::pow((p.x - 400) / 40, 2) + std::pow((p.y - 300) / 80, 2), 1, 1e-9);
    EXPECT_NEAR(Area(e), kPi * 80 * 40, 0.5 * 2 * kPi * 80);
    EXPECT_LE(Area(e), kPi * 80 * 40);
    // Half an ellipse (parameters 0 to pi, counter-clockwise) closed by its
    // major axis: it lies on the side its minor axis turns to.
    for (const bool mirrored : {false, true}) {
        const std::string half = G(0, "ELLIPSE") + G(5, "H") + G(8, "HOLE") + G(10, "300") + G(20, "300") +
                                 G(11, "80") + G(21, "0") + G(40, "0.5") + G(41, "0") + G(42, N(kPi)) +
                                 (mirrored ? G(230, "-1") : "") + Line("L", "HOLE", 220, 300, 380, 300);
        const Shape h = ReadDxf(Dxf(Lw("A", "COVER", kSquare) + half));
        for (const Pt& p : h.polygons[0].holes[0]) EXPECT_TRUE(mirrored ? p.y <= 300 : p.y >= 300) << p.y;
        EXPECT_NEAR(Area(h.polygons[0].holes[0]), kPi * 80 * 40 / 2, 0.5 * kPi * 80);
    }
    EXPECT_EQ(Refusal(Dxf(Lw("A", "COVER", kSquare) + G(0, "SPLINE") + G(5, "F") + G(8, "HOLE") + G(71, "3") +
                          G(74, "2") + G(11, "1") + G(21, "1") + G(11, "5") + G(21, "5"))),
              "Spline F on layer HOLE: a SPLINE given by fit points only is not read; save it with its control points");
}

TEST(DxfReader, JoinsClosedChainsOfLinesAndArcsAndRefusesOpenOnes) {
    // A 300 x 200 plate of four lines in any order and direction, with a
    // slot of two lines and two half circles (radius 20, 100 between centres).
    const std::string plate = Line("1", "STEEL", 300, 0, 300, 200) + Line("2", "STEEL", 0, 0, 300, 0) +
                              Line("3", "STEEL", 0, 200, 0, 0) + Line("4", "STEEL", 0, 200, 300, 200);
    const std::string slot = Line("5", "HOLE", 100, 80, 200, 80) + Arc("6", "HOLE", 200, 100, 20, 270, 90) +
                             Line("7", "HOLE", 200, 120, 100, 120) + Arc("8", "HOLE", 100, 100, 20, 90, 270);
    const Shape s = ReadDxf(Dxf(plate + slot + Circle("9", "REBAR", 50, 50, 8)));
    ASSERT_EQ(s.polygons.size(), 1u);
    EXPECT_EQ(s.polygons[0].where, "Line 1 on layer STEEL and 3 more entities");
    EXPECT_DOUBLE_EQ(Area(s.polygons[0].outer), 60000);
    ASSERT_EQ(s.polygons[0].holes.size(), 1u);
    EXPECT_NEAR(Area(s.polygons[0].holes[0]), 100 * 40 + kPi * 400, 0.5 * 2 * kPi * 20);
    EXPECT_EQ(s.warning, "");

    // Ends a CAD program left 0.0005 mm apart join; 0.002 mm apart they do not.
    for (const double gap : {0.0005, 0.002}) {
        const std::string text = Dxf(Line("1", "STEEL", 0, 0, 300, 0) + Line("2", "STEEL", 300 + gap, 0, 300, 200) +
                                     Line("3", "STEEL", 300, 200, 0, 0));
        EXPECT_EQ(Refusal(text), gap < 0.001 ? "(accepted)"
                                             : "Line 1 on layer STEEL: its end at (300.00, 0.00) mm meets no other "
                                               "line, arc or open polyline of its layer; close the outline")
            << gap;
    }
    EXPECT_EQ(Refusal(Dxf(Line("1", "STEEL", 0, 0, 300, 0) + Line("2", "STEEL", 300, 0, 300, 200) +
                          Line("3", "STEEL", 300, 200, 0, 200))),
              "Line 1 on layer STEEL: its end at (0.00, 0.00) mm meets no other line, arc or open polyline of its "
              "layer; close the outline");
    EXPECT_EQ(Refusal(Dxf(plate + Line("5", "STEEL", 300, 200, 400, 300))),
              "Line 1 on layer STEEL: more than two ends meet at (300.00, 200.00) mm; an outline cannot branch");
    // Lines on a layer of their own do not join a section layer's.
    EXPECT_EQ(Refusal(Dxf(Line("1", "STEEL", 0, 0, 300, 0) + Line("2", "HOLE", 300, 0, 0, 0))),
              "Line 1 on layer STEEL: its end at (0.00, 0.00) mm meets no other line, arc or open polyline of its "
              "layer; close the outline");
    EXPECT_EQ(Refusal(Dxf(plate + Line("5", "REBAR", 10, 10, 20, 20))),
              "Line 5 on layer REBAR: a bar is drawn as a CIRCLE or a filled DONUT on layer REBAR");
}

TEST(DxfReader, BlocksPaperSpaceExtrusionAndDonuts) {
    const std::string cover = Lw("A", "COVER", kSquare);
    // A bar block drawn on layer 0 about (10, 10): the INSERT's layer and
    // transform place it; the base point is where the insertion point goes.
    const std::string blocks = BlockDef("BAR", 10, 10, Circle("B1", "0", 20, 10, 5)) +
                               BlockDef("SELF", 0, 0, Insert("S1", "0", "SELF", 0, 0)) +
                               BlockDef("*Paper_Space", 0, 0, Lw("P1", "COVER", kSquare));
    const Shape s = ReadDxf(Dxf(cover + Insert("I", "REBAR", "bar", 100, 200, 2, 2, 90), blocks));
    ASSERT_EQ(s.bars.size(), 1u);
    // (20, 10) less the base (10 right), scaled 2 (20 right), turned 90 (20 up).
    EXPECT_NEAR(s.bars[0].x, 100, 1e-9);
    EXPECT_NEAR(s.bars[0].y, 220, 1e-9);
    EXPECT_DOUBLE_EQ(s.bars[0].d, 20);
    EXPECT_EQ(s.bars[0].where, "Circle B1 on layer REBAR in block BAR");
    EXPECT_EQ(s.warning, "Ignored 1 entity: 1 in paper space on layer COVER");

    // Extrusion (0, 0, -1), as MIRROR writes it: x runs the other way.
    const std::string down = G(210, "0") + G(220, "0") + G(230, "-1");
    const Shape m = ReadDxf(Dxf(Lw("A", "COVER", kSquare, down) + Circle("C", "REBAR", 100, 50, 8, down)));
    EXPECT_DOUBLE_EQ(m.bars[0].x, -100);
    EXPECT_DOUBLE_EQ(m.bars[0].y, 50);
    for (const Pt& p : m.polygons[0].outer) EXPECT_LE(p.x, 0);
    // A mirrored INSERT: its insertion point and its block both turn over.
    const Shape mi = ReadDxf(Dxf(Lw("A", "COVER", kSquare, down) + Insert("I", "REBAR", "BAR", 100, 200) + down, blocks));
    EXPECT_DOUBLE_EQ(mi.bars[0].x, -110);
    EXPECT_DOUBLE_EQ(mi.bars[0].y, 200);

    // A filled DONUT on REBAR is a bar: diameter its centre line's plus its width.
    const std::string donut = G(43, "12");
    const Shape d = ReadDxf(Dxf(cover + Lw("D", "REBAR", {{94, 100, 1}, {106, 100, 1}}, donut)));
    ASSERT_EQ(d.bars.size(), 1u);
    EXPECT_DOUBLE_EQ(d.bars[0].x, 100);
    EXPECT_DOUBLE_EQ(d.bars[0].d, 24);

    struct Case {
        std::string text, message;
    };
    const std::vector<Case> refused = {
        {Dxf(cover + Insert("I", "REBAR", "NONE", 0, 0), blocks),
         "Insert I on layer REBAR: the block 'NONE' is not in the drawing"},
        {Dxf(cover + Insert("I", "REBAR", "SELF", 0, 0), blocks),
         "Insert S1 on layer REBAR in block SELF: the block 'SELF' inserts itself or nests more than 16 deep"},
        {Dxf(cover + Insert("I", "REBAR", "BAR", 100, 100, 1, 2), blocks),
         "Circle B1 on layer REBAR in block BAR: the block is scaled differently in x and y, which makes the bar no "
         "circle"},
        {Dxf(cover + Insert("I", "REBAR", "BAR", 100, 100, 0, 1), blocks), "Insert I on layer REBAR: the INSERT's scale is 0"},
        {Dxf(cover + Lw("D", "REBAR", {{94, 100, 1}, {106, 100, 1}}, G(43, "4"))),
         "Polyline D on layer REBAR: a DONUT with an inside diameter (8.00) is not a bar; draw bars as CIRCLEs or "
         "filled DONUTs"},
        {Dxf(cover + Lw("D", "HOLE", {{94, 100, 1}, {106, 100, 1}}, G(43, "4"))),
         "Polyline D on layer HOLE: a DONUT (a polyline 4.00 wide) is not read as an outline; draw its edges as "
         "circles, or put a filled one on REBAR"},
        {Dxf(cover + Circle("C", "REBAR", 100, 50, 8, G(210, "1") + G(220, "0") + G(230, "0"))),
         "Circle C on layer REBAR: it is drawn in a plane other than the drawing's (extrusion 1.000, 0.000, "
         "0.000); the section is read in the XY plane"},
        // The section nowhere the reader looks: the message says where it is.
        {Dxf(Lw("A", "0", kSquare) + Circle("C", "0", 100, 100, 8)),
         "The section has no polygon: the drawing has no closed outline on the layers COVER, CORE1, CORE2 or STEEL in "
         "model space; its entities are on layer 0"},
        {Dxf(Lw("P", "COVER", kSquare, G(67, "1")), BlockDef("COLUMN", 0, 0, cover)),
         "The section has no polygon: the drawing has no closed outline on the layers COVER, CORE1, CORE2 or STEEL in "
         "model space; block COLUMN holds entities on section layers but no INSERT places them; 1 entity on "
         "section layers is in paper space"},
    };
    for (const Case& c : refused) EXPECT_EQ(Refusal(c.text), c.message);
}

TEST(DxfReader, WarnsOfImplausibleUnitsAndShowsWhatItSkipped) {
    struct Case {
        std::string text, warning;
    };
    const std::vector<Case> cases = {
        {Dxf(Lw("A", "COVER", {{0, 0}, {3, 0}, {3, 2.5}, {0, 2.5}})),
         "The section measures 3.00 x 2.50 mm with the drawing's units read as mm (no $INSUNITS); check the drawing's "
         "units"},
        {Dxf(Lw("A", "COVER", kSquare), "", 6),
         "The section measures 600000 x 600000 mm with the drawing's units read as m ($INSUNITS = 6); check the "
         "drawing's units"},
        {Dxf(Lw("A", "COVER", {{0, 0}, {50, 0}, {50, 10}, {0, 10}})), ""},
        {Dxf(Lw("A", "COVER", {{0, 0}, {50000, 0}, {50000, 10}, {0, 10}})), ""},
        {Dxf(Lw("A", "COVER", {{0, 0}, {49.9, 0}, {49.9, 10}, {0, 10}})),
         "The section measures 49.90 x 10.00 mm with the drawing's units read as mm (no $INSUNITS); check the "
         "drawing's units"},
        {Dxf(Lw("A", "COVER", kSquare) + Line("L", "DIMS", 0, 0, 1, 1) + G(0, "TEXT") + G(8, "COVER") +
             G(1, "C1") + G(0, "HATCH") + G(8, "Rebar 25")),
         "Ignored 3 entities: on layers DIMS, Rebar 25; TEXT on COVER"},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadDxf(c.text).warning, c.warning) << c.text.substr(0, 120);
    // Thousands of layers, in model space or in a block, name twenty.
    std::string many, block;
    for (int i = 0; i < 3000; ++i) {
        many += G(0, "POINT") + G(8, std::to_string(10000 + i));
        block += G(0, "TEXT") + G(8, std::to_string(20000 + i));
    }
    const std::string named = ReadDxf(Dxf(Lw("A", "COVER", kSquare) + many + Insert("I", "0", "NOTES", 0, 0) +
                                          Insert("J", "0", "NOTES", 10, 0),
                                          BlockDef("NOTES", 0, 0, block)))
                                  .warning;
    EXPECT_EQ(named.rfind("Ignored 9000 entities: on layers 10000, 10001, ", 0), 0u) << named;
    EXPECT_NE(named.find(", 10019 and more"), std::string::npos) << named;
    EXPECT_LT(named.size(), 300u);

    // The warning is the section's first, wherever its warnings are shown.
    SectionInput in;
    in.SectionType = 9;
    in.Custom = LoadSection(cases.back().text, "column.dxf");
    const std::vector<SectionWarning> w = ComputeSectionWarnings(in, {});
    ASSERT_EQ(w.size(), 1u);
    EXPECT_EQ(w[0].Text, "Warning: Ignored 3 entities: on layers DIMS, Rebar 25; TEXT on COVER.");
    // pillarix-batch says it on standard error.
    QTemporaryDir dir;
    const std::string path = dir.filePath("column.dxf").toStdString();
    std::ofstream(path) << cases.back().text;
    std::string out, err;
    ASSERT_EQ(RunBatch({"loadsection=" + QString::fromStdString(path)}, out, err), kBatchOk) << err;
    EXPECT_EQ(err, "pillarix-batch: " + path + ": Ignored 3 entities: on layers DIMS, Rebar 25; TEXT on COVER\n");
    // A study's row has it in its Warnings column.
    const StudyRowResult row =
        RunStudyRow(ReadStudyHeader("Name,Section File"), "C,column.dxf", 2, dir.path().toStdString(), {});
    ASSERT_TRUE(row.Ok) << row.Line;
    EXPECT_NE(row.Line.find(",\"Warning: Ignored 3 entities: on layers DIMS, Rebar 25; TEXT on COVER.\",ok"),
              std::string::npos)
        << row.Line;
}

}  // namespace
