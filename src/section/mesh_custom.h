#pragma once
// The mesher of a drawn section: a square grid clipped to every polygon.
#include <string>

#include "geometry/shape.h"
#include "section/fiber.h"

namespace px {

// The union of a drawn section's polygons with their holes taken out.
struct GrossSection {
    double Area = 0;
    double X = 0, Y = 0;  // centroid, drawing coordinates
    double MinX = 0, MinY = 0, MaxX = 0, MaxY = 0;  // bounding box, drawing coordinates
};
GrossSection ComputeGrossSection(const geom::Shape& s);

// The larger of the section's width and height / 40, or a quarter of its
// thinnest part's thickness when smaller (ThinPartsMeshSize), not below the
// smallest size the fiber limit allows.
double DefaultMeshSize(const geom::Shape& s);

// A mesh size in mm as messages and reports show it: two decimals, more
// when the value needs them (0.001 shows as 0.001, not 0.00), up to six
// significant digits.
std::string MeshSizeText(double h);

// Refuses a "Mesh Size" that is not a number above 0, or so small that the
// grid would have more than kMaxFibers cells. Throws AppError; changes nothing.
void CheckCustomMesh(const geom::Shape& s, double meshSize);

// Lays a square grid of cell size meshSize, centred on the section's
// bounding box, over a checked shape (geom::ValidateShape) and clips it to
// each polygon: every piece is one fiber with its exact area, centroid,
// outline and material group, concrete under steel taken away. Bars follow
// as fibers of area pi d^2 / 4. Coordinates are shifted so that the origin is
// the gross section's centroid (kept in OriginX, OriginY); LimitPoints are
// the vertices of the polygons' convex hull and PointSymmetric tells whether
// the fibers map onto themselves through the origin.
void MeshCustomSection(const geom::Shape& s, double meshSize, FiberTable& t);

}  // namespace px
