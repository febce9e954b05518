#pragma once
// A section drawn as polygons and bars, as the section file and the DXF
// reader give it: plain data, coordinates in mm in the drawing's own axes.
#include <string>
#include <vector>

namespace px::geom {

struct Pt {
    double x = 0, y = 0;
    bool operator==(const Pt&) const = default;
};

// A ring's points in order, without repeating the first at the end.
using Ring = std::vector<Pt>;

// The material group a polygon belongs to.
enum class Group { Cover, Core1, Core2, Steel };

struct Polygon {
    Group group = Group::Cover;
    Ring outer;
    std::vector<Ring> holes;
    // Where the item came from, for messages: "Line 12" or
    // "Entity 2F on layer COVER"; holeWhere runs beside holes.
    std::string where;
    std::vector<std::string> holeWhere;
};

struct Bar {
    double x = 0, y = 0, d = 0;
    std::string where;
};

struct Shape {
    std::vector<Polygon> polygons;
    std::vector<Bar> bars;
    // One line naming what a reader skipped (entities on other layers);
    // empty when nothing was skipped.
    std::string warning;
};

// At most this many points in a section (ring vertices and bars together).
inline constexpr long long kMaxPoints = 100000;
// Coordinates and diameters lie within this many mm of 0 (1,000 km), where
// the clipping's arithmetic is exact enough.
inline constexpr double kMaxCoordinate = 1e9;
// At most this many bytes in a section file or drawing (50 MB).
inline constexpr long long kMaxFileBytes = 50LL * 1024 * 1024;

// The keyword of a group in the section file: cover, core1, core2, steel.
const char* GroupKeyword(Group g);
// The material id of a group's fibers.
int GroupMatId(Group g);

}  // namespace px::geom
