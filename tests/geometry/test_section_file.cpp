// The section file and DXF readers: what they accept, and every fault they
// refuse with the line or entity that holds it.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "geometry/dxf_reader.h"
#include "geometry/section_file.h"
#include "geometry/source.h"
#include "input/error.h"

namespace {

using namespace px;
using namespace px::geom;

constexpr double kPi = 3.14159265358979323846;

std::string Refusal(const std::string& text, bool dxf = false) {
    try {
        dxf ? ReadDxf(text) : ReadSectionFile(text);
    } catch (const AppError& e) {
        return e.what();
    }
    return "(accepted)";
}

double RingArea(const Ring& r) {
    double a = 0;
    for (size_t i = 0; i < r.size(); ++i) {
        const Pt& p = r[i];
        const Pt& q = r[(i + 1) % r.size()];
        a += p.x * q.y - q.x * p.y;
    }
    return std::fabs(a) / 2;
}

const std::string kSquare = "cover 0 0 100 0 100 100 0 100\n";

TEST(SectionFile, RefusesEachFaultNamingItsLine) {
    struct Case {
        std::string text, message;
    };
    const std::vector<Case> cases = {
        {kSquare + "cover 200 0 300 100 300 0 200 100\n", "Line 2: the ring crosses itself"},
        {"cover 0 0 10 0 0 0 10 0\n", "Line 1: the ring has fewer than 3 distinct points"},
        {"cover 0 0 10 0 20 0 30 0\n", "Line 1: the ring has zero area"},
        {kSquare + "hole 50 50 150 50 150 80 50 80\n", "Line 2: the hole is not inside its polygon"},
        {kSquare + "hole 10 10 50 10 50 50 10 50\n# a gap\nhole 40 40 60 40 60 60 40 60\n",
         "Line 4: the hole overlaps another hole of its polygon"},
        {kSquare + "hole 0 0 100 0 100 100 0 100\n", "Line 1: the holes leave the polygon no area"},
        {kSquare + "core1 50 50 150 50 150 150 50 150\n", "Line 2: the concrete polygon overlaps the one at Line 1"},
        {kSquare + "steel 10 10 20 10 20 20\nsteel 15 12 30 12 30 30\n",
         "Line 3: the steel polygon overlaps the one at Line 2"},
        {kSquare + "bar 150 50 20\n", "Line 2: the bar's centre lies outside every polygon"},
        {kSquare + "hole 40 40 60 40 60 60 40 60\nbar 50 50 10\n", "Line 3: the bar's centre lies outside every polygon"},
        {kSquare + "bar 50 50 0\n", "Line 2: the bar's diameter must be greater than 0"},
        {kSquare + "bar 50 50 -3\n", "Line 2: the bar's diameter must be greater than 0"},
        {kSquare + "bar 50 50\n", "Line 2: a bar takes three numbers: x y d"},
        {"cover 0 0 1x 0 10 10\n", "Line 1: '1x' is not a valid number"},
        {"cover 0 0 nan 0 10 10\n", "Line 1: 'nan' is not a finite number"},
        {"cover 0 0 inf 0 10 10\n", "Line 1: 'inf' is not a finite number"},
        {"cover 0 0 1e999 0 10 10\n", "Line 1: '1e999' is not a finite number"},
        {"cover 0,0,,10 0 10 10\n", "Line 1: a number is missing between two commas"},
        {"cover 0 0 10 0 10\n", "Line 1: the coordinates do not come in x y pairs"},
        {kSquare + "circle 0 0 5\n", "Line 2: unknown item 'circle'"},
        {"\n# nothing above\nhole 0 0 1 0 1 1\n", "Line 3: a hole must follow its polygon"},
        {kSquare + "bar 50 50 10\nhole 1 1 2 1 2 2\n", "Line 3: a hole must follow its polygon"},
        {"# comments only\n\n", "The section has no polygon"},
        {kSquare + "units cm\n", "Line 2: 'units' must be the first item"},
        {"units ft\n" + kSquare, "Line 1: unknown unit 'ft'"},
        {"units m\ncover 0 0 1e306 0 1e306 1e306\n", "Line 2: a length is beyond 1000000000 mm"},
        // The limit holds in mm, after the unit: 2,000,000 m is 2e9 mm.
        {"units m\ncover 0 0 2000000 0 2000000 1 0 1\n", "Line 2: a length is beyond 1000000000 mm"},
        {"units cm\n" + kSquare + "bar 50 50 200000000\n", "Line 3: a length is beyond 1000000000 mm"},
        {", 1 2\n", "Line 1: the line starts with a comma"},
        {"cover -200 -300 200 -300 200 1.0222e23 1e16 2.8e13\n", "Line 1: a length is beyond 1000000000 mm"},
    };
    for (const Case& c : cases) EXPECT_EQ(Refusal(c.text).rfind(c.message, 0), 0u) << c.text << " -> " << Refusal(c.text);
}

TEST(SectionFile, RefusesTooManyPointsAndTooManyBytes) {
    std::string big = "cover";
    for (int i = 0; i < 100001; ++i) {
        const double t = 2 * kPi * i / 100001;
        big += ' ';
        big += std::to_string(1000 * std::cos(t));
        big += ' ';
        big += std::to_string(1000 * std::sin(t));
    }
    EXPECT_EQ(Refusal(big + "\n"), "Line 1: the section has more than 100000 points");
    // 4 corners and 99,996 bars (0.1 mm, 0.25 mm apart) are the most a file
    // may hold.
    std::string bars = kSquare;
    auto bar = [](int i) {
        return "bar " + std::to_string(0.5 + 0.25 * (i % 396)) + " " + std::to_string(0.5 + 0.25 * (i / 396)) + " 0.1\n";
    };
    for (int i = 0; i < 99996; ++i) bars += bar(i);
    EXPECT_EQ(ReadSectionFile(bars).bars.size(), 99996u);
    EXPECT_EQ(Refusal(bars + "bar 50 50 1\n"), "Line 99998: the section has more than 100000 points");
    std::string holes = kSquare;
    for (int i = 0; i < 99993; ++i) holes += bar(i);
    holes += "steel 0 0 10 0 10 10\n";  // the 100,000th point
    EXPECT_EQ(Refusal(holes + "hole 1 1 2 1 2 2\n"), "Line 99996: the section has more than 100000 points");
    EXPECT_EQ(Refusal(kSquare + std::string(kMaxFileBytes, ' ')).rfind("The section file is larger than 50 MB", 0), 0u);
}

TEST(SectionFile, ReadsUnitsCommasCommentsAndEitherOrientation) {
    const Shape s = ReadSectionFile(
        "  # a column\r\nUNITS cm\r\ncover, 0,0, 0,10, 10,10, 10,0, 0,0,,\r\n"
        "hole 2 2 4 2 4 4 2 4  # an opening\ncore2 20 0 30 0 30 10\nbar 5 8 1.6\n");
    ASSERT_EQ(s.polygons.size(), 2u);
    EXPECT_EQ(s.polygons[0].group, Group::Cover);
    EXPECT_EQ(s.polygons[0].outer.size(), 4u);  // the closing point dropped
    EXPECT_EQ(s.polygons[0].outer[2], (Pt{100, 100}));
    EXPECT_DOUBLE_EQ(RingArea(s.polygons[0].outer), 10000);
    ASSERT_EQ(s.polygons[0].holes.size(), 1u);
    EXPECT_EQ(s.polygons[0].holeWhere[0], "Line 4");
    EXPECT_EQ(s.polygons[1].group, Group::Core2);
    ASSERT_EQ(s.bars.size(), 1u);
    EXPECT_DOUBLE_EQ(s.bars[0].d, 16);
    EXPECT_DOUBLE_EQ(s.bars[0].y, 80);
    // Inches, and the written file reads back to the same numbers.
    const Shape in = ReadSectionFile("units in\nsteel 0 0 1 0 1 1\n");
    EXPECT_DOUBLE_EQ(in.polygons[0].outer[1].x, 25.4);
    // 1,000 km in metres is within the limit.
    EXPECT_DOUBLE_EQ(ReadSectionFile("units m\ncover 0 0 1000000 0 1000000 1 0 1\n").polygons[0].outer[1].x, 1e9);
    const std::string text = WriteSectionFile(s, "two\nlines");
    EXPECT_EQ(WriteSectionFile(ReadSectionFile(text), "two\nlines"), text);
    EXPECT_EQ(text.rfind("# two lines\nunits mm\ncover 0 0 0 100 100 100 100 0\nhole ", 0), 0u);
}

TEST(SectionFile, ReadsByteOrderMarkAndEveryLineEnd) {
    for (const char* eol : {"\n", "\r\n", "\r"}) {
        const std::string text = std::string("\xEF\xBB\xBF# a column") + eol + "cover 0 0 100 0 100 100 0 100" + eol +
                                 "bar 50 50 10" + eol + eol + "bar 50 50 10" + eol;
        // The refusal names line 5: each end counted once, CR LF as one.
        EXPECT_EQ(Refusal(text), "Line 5: the bar has the same centre as the one at Line 3") << int(eol[0]);
        const Shape s = ReadSectionFile(text.substr(0, text.rfind("bar")));
        EXPECT_EQ(s.polygons.size(), 1u);
        EXPECT_EQ(s.bars.size(), 1u);
    }
    EXPECT_EQ(ReadSectionFile("\xEF\xBB\xBF" + kSquare).polygons.size(), 1u);
}

TEST(SectionFile, NamesTheEncodingOfFilesThatAreNotText) {
    auto utf16 = [](const std::string& ascii, bool big) {
        std::string out;
        for (char c : ascii) big ? (out += '\0', out += c) : (out += c, out += '\0');
        return out;
    };
    const std::string sixteen = "The section file is UTF-16 text; save it as UTF-8 (plain text)";
    EXPECT_EQ(Refusal("\xFF\xFE" + utf16(kSquare, false)), sixteen);
    EXPECT_EQ(Refusal("\xFE\xFF" + utf16(kSquare, true)), sixteen);
    EXPECT_EQ(Refusal(utf16(kSquare, false)), sixteen);
    EXPECT_EQ(Refusal(utf16(kSquare, true)), sixteen);
    EXPECT_EQ(Refusal(std::string("\xFF\xFE\0\0", 4) + "c\0\0\0"), "The section file is UTF-32 text; save it as UTF-8 (plain text)");
    EXPECT_EQ(Refusal(kSquare + std::string("bar 1 1 1\0\x01\x02", 13)),
              "The section file is binary, not text (a NUL byte at byte 40); save it as plain text");
}

TEST(SectionFile, ShowsTheFilesTextEscapedAndCut) {
    EXPECT_EQ(Refusal("\x1b[2J 0 0\n"), "Line 1: unknown item '\\x1B[2J' (units, cover, core1, core2, steel, hole or bar)");
    EXPECT_EQ(Refusal("units \x07m\n"), "Line 1: unknown unit '\\x07m' (mm, cm, m or in)");
    EXPECT_EQ(Refusal("cover 0 0 1\x9b 0 1 1\n"), "Line 1: '1\\x9B' is not a valid number");
    const std::string shown = "Line 1: '" + std::string(60, '7') + "...' is not a valid number";
    EXPECT_EQ(Refusal("cover 0 0 " + std::string(1 << 20, '7') + "x 1 1 1\n"), shown);
    EXPECT_EQ(Refusal(std::string(100000, 'q') + "\n"),
              "Line 1: unknown item '" + std::string(60, 'q') + "...' (units, cover, core1, core2, steel, hole or bar)");
}

TEST(SectionFile, ReadsOnlyFiles) {
    const std::string dir = ::testing::TempDir() + "section_file_kinds";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string fifo = dir + "/pipe.sec";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto refusal = [](const std::string& path) {
        try {
            ReadSectionBytes(path);
        } catch (const AppError& e) {
            return std::string(e.what());
        }
        return std::string("(read)");
    };
    // No writer ever opens the FIFO: the read must not wait for one.
    EXPECT_EQ(refusal(fifo), "Cannot open the section file " + fifo + ": It is not a file");
    EXPECT_EQ(refusal("/dev/zero"), "Cannot open the section file /dev/zero: It is not a file");
    EXPECT_EQ(refusal(dir), "Cannot open the section file " + dir + ": Is a directory");
    EXPECT_EQ(refusal(dir + "/none\x1b.sec"), "Cannot open the section file " + dir + "/none\\x1B.sec: No such file or directory");
    {
        std::ofstream(dir + "/ok.sec") << kSquare;
    }
    EXPECT_EQ(ReadSectionBytes(dir + "/ok.sec"), kSquare);
    std::filesystem::remove_all(dir);
}

// A DXF drawing as CAD programs write it: group codes and values on
// alternate lines.
std::string Group(int code, const std::string& v) { return std::to_string(code) + "\n" + v + "\n"; }
std::string Num(double v) {
    char b[64];
    std::snprintf(b, sizeof b, "%.12g", v);
    return b;
}

struct V {
    double x, y, bulge = 0;
};

std::string LwPolyline(const std::string& handle, const std::string& layer, bool closed, const std::vector<V>& v) {
    std::string s = Group(0, "LWPOLYLINE") + Group(5, handle) + Group(100, "AcDbEntity") + Group(8, layer) +
                    Group(100, "AcDbPolyline") + Group(90, std::to_string(v.size())) + Group(70, closed ? "1" : "0");
    for (const V& p : v) {
        s += Group(10, Num(p.x)) + Group(20, Num(p.y));
        if (p.bulge != 0) s += Group(42, Num(p.bulge));
    }
    return s;
}

// R12: POLYLINE, one VERTEX entity per point, SEQEND.
std::string Polyline12(const std::string& handle, const std::string& layer, bool closed, const std::vector<V>& v) {
    std::string s = Group(0, "POLYLINE") + Group(5, handle) + Group(8, layer) + Group(66, "1") + Group(10, "0") +
                    Group(20, "0") + Group(30, "0") + Group(70, closed ? "1" : "0");
    for (const V& p : v) {
        s += Group(0, "VERTEX") + Group(8, layer) + Group(10, Num(p.x)) + Group(20, Num(p.y)) + Group(30, "0");
        if (p.bulge != 0) s += Group(42, Num(p.bulge));
    }
    return s + Group(0, "SEQEND") + Group(8, layer);
}

std::string Circle(const std::string& handle, const std::string& layer, double x, double y, double r) {
    return Group(0, "CIRCLE") + Group(5, handle) + Group(8, layer) + Group(10, Num(x)) + Group(20, Num(y)) +
           Group(30, "0") + Group(40, Num(r));
}

std::string Drawing(const std::string& entities, int insunits = -1) {
    std::string s;
    if (insunits >= 0)
        s += Group(0, "SECTION") + Group(2, "HEADER") + Group(9, "$INSUNITS") + Group(70, std::to_string(insunits)) +
             Group(0, "ENDSEC");
    return s + Group(0, "SECTION") + Group(2, "ENTITIES") + entities + Group(0, "ENDSEC") + Group(0, "EOF");
}

const std::vector<V> kBox = {{0, 0}, {400, 0}, {400, 300}, {0, 300}};

TEST(Dxf, ReadsLayersHolesBarsAndListsWhatItSkips) {
    const std::string text = Drawing(
        LwPolyline("2F", "cover", true, kBox) +
        Polyline12("30", "Hole", true, {{100, 100}, {150, 100}, {150, 150}, {100, 150}}) +
        Polyline12("31", "STEEL", true, {{250, 100}, {350, 100}, {350, 200}, {250, 200}}) +
        LwPolyline("32", "HOLE", true, {{280, 130}, {320, 130}, {320, 170}, {280, 170}}) +
        Circle("33", "REBAR", 50, 50, 10) + Circle("34", "Core2", 600, 150, 20) +
        Group(0, "LINE") + Group(5, "35") + Group(8, "DIMS") + Group(10, "0") + Group(20, "0") + Group(11, "1") +
        Group(21, "1") + Group(0, "TEXT") + Group(5, "36") + Group(8, "NOTES") + Group(10, "0") + Group(20, "0") +
        Group(40, "5") + Group(1, "C1"));
    const Shape s = ReadSectionSource(text, "column.DXF");
    ASSERT_EQ(s.polygons.size(), 3u);
    EXPECT_EQ(s.polygons[0].group, Group::Cover);
    EXPECT_EQ(s.polygons[0].where, "Polyline 2F on layer cover");
    // Each hole goes to the smallest polygon around it.
    ASSERT_EQ(s.polygons[0].holes.size(), 1u);
    EXPECT_DOUBLE_EQ(RingArea(s.polygons[0].holes[0]), 2500);
    EXPECT_EQ(s.polygons[1].group, Group::Steel);
    ASSERT_EQ(s.polygons[1].holes.size(), 1u);
    EXPECT_EQ(s.polygons[1].holeWhere[0], "Polyline 32 on layer HOLE");
    EXPECT_EQ(s.polygons[2].group, Group::Core2);
    ASSERT_EQ(s.bars.size(), 1u);
    EXPECT_DOUBLE_EQ(s.bars[0].d, 20);
    EXPECT_EQ(s.warning, "Ignored 2 entities: on layers DIMS, NOTES");
}

TEST(Dxf, ScalesByInsunits) {
    for (auto [code, scale] : std::vector<std::pair<int, double>>{{-1, 1}, {0, 1}, {1, 25.4}, {4, 1}, {5, 10}, {6, 1000}}) {
        const Shape s = ReadDxf(Drawing(LwPolyline("A", "STEEL", true, {{0, 0}, {2, 0}, {2, 1}, {0, 1}}) +
                                            Circle("B", "REBAR", 1, 0.5, 0.01),
                                        code));
        EXPECT_DOUBLE_EQ(RingArea(s.polygons[0].outer), 2 * scale * scale) << code;
        EXPECT_DOUBLE_EQ(s.bars[0].d, 0.02 * scale) << code;
    }
    EXPECT_EQ(Refusal(Drawing(LwPolyline("A", "STEEL", true, kBox), 3), true).rfind("The drawing's length unit ($INSUNITS = 3)", 0), 0u);
}

// Arcs and circles become polygons whose sides stay within 0.5 mm of the curve.
void ExpectNearCircle(const Ring& r, double cx, double cy, double radius) {
    for (size_t i = 0; i < r.size(); ++i) {
        const Pt& p = r[i];
        const Pt& q = r[(i + 1) % r.size()];
        EXPECT_LE(std::hypot(p.x - cx, p.y - cy), radius + 1e-9);
        const double mid = std::hypot((p.x + q.x) / 2 - cx, (p.y + q.y) / 2 - cy);
        if (std::fabs(mid - radius) < 1) {
            EXPECT_GE(mid, radius - 0.5);
        }
    }
}

TEST(Dxf, BulgesAndCirclesBecomeCloseFittingPolygons) {
    struct Case {
        double bulge, area;
    };
    // A 200 x 150 rectangle whose top side is a half circle of radius 100,
    // bulging out (positive, counter-clockwise) or cutting in; the sides
    // inside the arc leave a little less of it.
    for (const Case c : {Case{1, 30000 + kPi * 1e4 / 2}, Case{-1, 30000 - kPi * 1e4 / 2}})
        for (bool r12 : {false, true}) {
            const std::vector<V> v = {{0, 0}, {200, 0}, {200, 150, c.bulge}, {0, 150}};
            const std::string e = r12 ? Polyline12("A", "COVER", true, v) : LwPolyline("A", "COVER", true, v);
            const Shape s = ReadDxf(Drawing(e));
            const Ring& ring = s.polygons[0].outer;
            EXPECT_NEAR(RingArea(ring), c.area, 0.5 * 100 * kPi) << c.bulge;
            EXPECT_EQ(RingArea(ring) < c.area, c.bulge > 0);
            ExpectNearCircle(Ring(ring.begin() + 3, ring.end()), 100, 150, 100);
        }
    // A quarter circle (bulge tan 22.5 degrees) from (0, 0) to (100, 0),
    // counter-clockwise about (50, 50), closed by its chord: a segment of
    // r^2 / 2 (theta - sin theta) with r^2 = 5,000.
    const Shape seg = ReadDxf(Drawing(LwPolyline("D", "STEEL", true, {{0, 0, std::tan(kPi / 8)}, {100, 0}})));
    ExpectNearCircle(seg.polygons[0].outer, 50, 50, std::sqrt(5000.0));
    EXPECT_NEAR(RingArea(seg.polygons[0].outer), 2500 * (kPi / 2 - 1), 0.5 * std::sqrt(5000.0) * kPi / 2);
    for (const Pt& p : seg.polygons[0].outer) EXPECT_LE(p.y, 1e-9);
    const Shape s = ReadDxf(Drawing(Circle("C", "steel", 10, 20, 300)));
    EXPECT_EQ(s.polygons[0].outer.size() % 4, 0u);
    ExpectNearCircle(s.polygons[0].outer, 10, 20, 300);
    EXPECT_NEAR(RingArea(s.polygons[0].outer), kPi * 9e4, 0.5 * 2 * kPi * 300);
}

TEST(Dxf, RefusesOpenPolylinesBinaryDrawingsAndStrayHoles) {
    const std::vector<V> open = {{0, 0}, {100, 0}, {100, 100}, {0, 100}};
    EXPECT_EQ(Refusal(Drawing(LwPolyline("2F", "COVER", false, open)), true),
              "Polyline 2F on layer COVER: the polyline is open; close it to make an outline");
    EXPECT_EQ(Refusal(Drawing(Polyline12("1A0", "core1", false, open)), true),
              "Polyline 1A0 on layer core1: the polyline is open; close it to make an outline");
    // Ends drawn on the same point close it; an open line elsewhere is no outline.
    std::vector<V> ends = open;
    ends.push_back(open.front());
    EXPECT_EQ(ReadDxf(Drawing(LwPolyline("2F", "COVER", false, ends) + LwPolyline("7", "SKETCH", false, open))).warning,
              "Ignored 1 entity: on layer SKETCH");
    EXPECT_EQ(Refusal(std::string("AutoCAD Binary DXF\r\n\x1a\0", 22) + "junk", true),
              "The drawing is a binary DXF file; save it as an ASCII DXF drawing");
    EXPECT_EQ(Refusal(Drawing(LwPolyline("2F", "COVER", true, kBox) +
                              LwPolyline("3C", "HOLE", true, {{500, 0}, {600, 0}, {600, 50}})),
                      true),
              "Polyline 3C on layer HOLE: the hole lies inside no polygon");
    EXPECT_EQ(Refusal(Drawing(LwPolyline("2F", "COVER", true, kBox) + Circle("9", "REBAR", 900, 0, 8)), true),
              "Circle 9 on layer REBAR: the bar's centre lies outside every polygon");
    EXPECT_EQ(Refusal(Drawing(LwPolyline("2F", "COVER", true, kBox) + LwPolyline("2A", "CORE1", true, kBox)), true),
              "Polyline 2A on layer CORE1: the concrete polygon overlaps the one at Polyline 2F on layer COVER");
}

}  // namespace
