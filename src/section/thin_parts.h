#pragma once
// How thin the parts of a drawn section are, so that its square grid puts
// several fibers across each of them.
#include <cstddef>
#include <string>

#include "geometry/shape.h"

namespace px {

// The thickness of a polygon (its holes taken out): the least of
//  - the width of the rectangle with the polygon's area and perimeter,
//    A / (P / 4 + sqrt(max(0, P^2 / 16 - A))), its thickness for a strip,
//    a wall, a tube or a square and a little less for anything bent;
//  - the shortest chord across it along the inward normal at the middle of
//    each edge, outline and holes alike (a T's thin web beside its flange),
//    taken while the polygons' edge pairs stay within a fixed budget.
double PolygonThickness(const geom::Polygon& p, long long& pairBudget);

struct ThinnestPart {
    double thickness = 0;  // mm; 0 for a shape without polygons
    std::size_t polygon = 0;  // index into Shape::polygons
};
ThinnestPart ThinnestPartOf(const geom::Shape& s);

// The default "Mesh Size": the larger side of the section's bounding box
// (width, height) / 40, or a quarter of its thinnest part's thickness when
// that is smaller, so that at least four fibers lie across every part; but
// never below `least`, the smallest size the fiber limit allows.
double ThinPartsMeshSize(double width, double height, const ThinnestPart& thin, double least);

// Refuses a Mesh Size that leaves a polygon one fiber across (its thickness
// or less, which also makes a small polygon a single fiber): the message
// names "Mesh Size", the polygon and the largest size allowed. Sizes that
// are not finite numbers above 0 are left to the mesher's own guard.
void CheckMeshAcrossParts(const geom::Shape& s, double meshSize);

}  // namespace px
