#include "section/mesh_custom.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "geometry/boost_types.h"
#include "input/error.h"
#include "input/numbers.h"
#include "section/mesh.h"
#include "section/mesh_common.h"
#include "section/thin_parts.h"

namespace px {

using namespace geom;

namespace {

constexpr double kPi = 3.14159265358979323846;

BMulti RegionOf(const Polygon& p) {
    // A hole touching its outline or another hole along an edge is fine:
    // the region is the outline less each hole; many holes are joined
    // first and taken away at once.
    BMulti region{ToBoost(p.outer)};
    if (p.holes.size() > kFewPieces) {
        std::vector<BMulti> holes;
        holes.reserve(p.holes.size());
        for (const Ring& h : p.holes) holes.push_back(BMulti{ToBoost(h)});
        BMulti left;
        bg::difference(region, UnionOfRegions(holes), left);
        return left;
    }
    for (const Ring& h : p.holes) {
        BMulti next;
        bg::difference(region, ToBoost(h), next);
        region = std::move(next);
    }
    return region;
}

// The region less the steel over it: with few steel pieces all of them,
// with many only those whose boxes meet the region's.
BMulti LessSteel(BMulti region, const BMulti& steel, const BoxIndex& steelIndex) {
    if (steel.empty()) return region;
    BMulti left;
    if (steel.size() <= kFewPieces) {
        bg::difference(region, steel, left);
        return left;
    }
    BMulti over;
    for (size_t k : Meeting(steelIndex, bg::return_envelope<BBox>(region))) over.push_back(steel[k]);
    if (over.empty()) return region;
    bg::difference(region, over, left);
    return left;
}

struct Grid {
    double x0, y0, h;
    long long nx, ny;
};

Grid GridOf(const GrossSection& g, double h) {
    const double w = g.MaxX - g.MinX, ht = g.MaxY - g.MinY;
    Grid grid;
    grid.h = h;
    grid.nx = std::max(1LL, static_cast<long long>(std::ceil(w / h)));
    grid.ny = std::max(1LL, static_cast<long long>(std::ceil(ht / h)));
    grid.x0 = (g.MinX + g.MaxX) / 2 - static_cast<double>(grid.nx) * h / 2;
    grid.y0 = (g.MinY + g.MaxY) / 2 - static_cast<double>(grid.ny) * h / 2;
    return grid;
}

struct Piece {
    int mat;
    BPoly poly;
};

long long Clamp(long long v, long long n) { return std::clamp(v, 0LL, n - 1); }

// The part of `piece` inside a grid cell. Boost's box clipping can hand back
// the whole piece when one of its vertices lies a rounding error outside the
// cell's corner; a result that leaves the cell is clipped again against the
// cell as a polygon.
void ClipToCell(const BPoly& piece, const BBox& cellBox, double eps, BMulti& cell) {
    bg::intersection(piece, cellBox, cell);
    for (const BPoly& c : cell) {
        const BBox e = bg::return_envelope<BBox>(c);
        if (e.min_corner().x() < cellBox.min_corner().x() - eps || e.max_corner().x() > cellBox.max_corner().x() + eps ||
            e.min_corner().y() < cellBox.min_corner().y() - eps || e.max_corner().y() > cellBox.max_corner().y() + eps) {
            BPoly box;
            bg::convert(cellBox, box);
            cell.clear();
            bg::intersection(piece, box, cell);
            return;
        }
    }
}

size_t PointsOf(const BPoly& p) {
    size_t n = p.outer().size();
    for (const auto& inner : p.inners()) n += inner.size();
    return n;
}

// Pieces of more points than this are halved by rows before they are cut
// into cells, and the halves again while they have more than kFewPoints, so
// that no cell is clipped out of a large piece.
constexpr size_t kManyPoints = 256, kFewPoints = 32;

// One column's part of a region (already clipped to the column's sides
// xa, xb) within rows r0..r1, cut row by row from the bottom. Rows that no
// boundary edge reaches are whole cells inside or outside; only the others
// are clipped. A large piece is first halved by rows; the lines it is
// halved along (cut, at rows r0 and r1 + 1) are cell sides, as the
// column's own sides are.
void CutColumn(const BMulti& column, double xa, double xb, const Grid& g, int mat, std::vector<Piece>& out,
               std::vector<char>& boundary, long long r0, long long r1, bool cutBelow, bool cutAbove, bool halved) {
    const double eps = 1e-9 * (g.h + std::fabs(xa) + std::fabs(xb));
    auto y = [&](long long j) { return g.y0 + static_cast<double>(j) * g.h; };
    const double yCut0 = y(r0), yCut1 = y(r1 + 1);
    const double eps2 = 1e-9 * (g.h + std::fabs(yCut0) + std::fabs(yCut1));
    for (const BPoly& piece : column) {
        const BBox pe = bg::return_envelope<BBox>(piece);
        const long long j0 = std::max(r0, Clamp(static_cast<long long>(std::floor((pe.min_corner().y() - g.y0) / g.h)), g.ny));
        const long long j1 = std::min(r1, Clamp(static_cast<long long>(std::floor((pe.max_corner().y() - g.y0) / g.h)), g.ny));
        if (j0 > j1) continue;
        if (j0 < j1 && PointsOf(piece) > (halved ? kFewPoints : kManyPoints)) {
            const long long mid = (j0 + j1) / 2;
            BMulti part;
            bg::intersection(piece, BBox(BPoint(xa - g.h, y(j0) - g.h), BPoint(xb + g.h, y(mid + 1))), part);
            CutColumn(part, xa, xb, g, mat, out, boundary, j0, mid, cutBelow && j0 == r0, true, true);
            part.clear();
            bg::intersection(piece, BBox(BPoint(xa - g.h, y(mid + 1)), BPoint(xb + g.h, y(j1 + 1) + g.h)), part);
            CutColumn(part, xa, xb, g, mat, out, boundary, mid + 1, j1, true, cutAbove && j1 == r1, true);
            continue;
        }
        std::fill(boundary.begin() + j0, boundary.begin() + j1 + 1, 0);
        auto mark = [&](const BPoly::ring_type& r) {
            for (size_t k = 0; k + 1 < r.size(); ++k) {
                const BPoint &a = r[k], &b = r[k + 1];
                const bool onA = std::fabs(a.x() - xa) <= eps && std::fabs(b.x() - xa) <= eps;
                const bool onB = std::fabs(a.x() - xb) <= eps && std::fabs(b.x() - xb) <= eps;
                if (onA || onB) continue;  // the column's own side: a cell side
                const bool onBelow = cutBelow && std::fabs(a.y() - yCut0) <= eps2 && std::fabs(b.y() - yCut0) <= eps2;
                const bool onAbove = cutAbove && std::fabs(a.y() - yCut1) <= eps2 && std::fabs(b.y() - yCut1) <= eps2;
                if (onBelow || onAbove) continue;  // a line the piece was halved along
                const double lo = std::min(a.y(), b.y()), hi = std::max(a.y(), b.y());
                const long long r0 = Clamp(static_cast<long long>(std::floor((lo - g.y0) / g.h)), g.ny);
                const long long r1 = Clamp(static_cast<long long>(std::floor((hi - g.y0) / g.h)), g.ny);
                std::fill(boundary.begin() + r0, boundary.begin() + r1 + 1, 1);
            }
        };
        mark(piece.outer());
        for (const auto& inner : piece.inners()) mark(inner);
        for (long long j = j0; j <= j1; ++j) {
            const double ya = g.y0 + static_cast<double>(j) * g.h, yb = g.y0 + static_cast<double>(j + 1) * g.h;
            const BBox cellBox(BPoint(xa, ya), BPoint(xb, yb));
            if (boundary[static_cast<size_t>(j)]) {
                BMulti cell;
                ClipToCell(piece, cellBox, eps, cell);
                for (BPoly& c : cell) out.push_back({mat, std::move(c)});
            } else if (bg::within(BPoint((xa + xb) / 2, (ya + yb) / 2), piece)) {
                BPoly c;
                bg::convert(cellBox, c);
                out.push_back({mat, std::move(c)});
            }
        }
    }
}

// Columns i0..i1 of a region, left to right: the region is halved between
// columns until one column is left, so each point is clipped about
// log2(columns) times rather than once per column.
void CutColumns(const BMulti& region, long long i0, long long i1, const Grid& g, int mat, std::vector<Piece>& out,
                std::vector<char>& boundary) {
    if (region.empty()) return;
    const BBox env = bg::return_envelope<BBox>(region);
    i0 = std::max(i0, Clamp(static_cast<long long>(std::floor((env.min_corner().x() - g.x0) / g.h)), g.nx));
    i1 = std::min(i1, Clamp(static_cast<long long>(std::floor((env.max_corner().x() - g.x0) / g.h)), g.nx));
    auto x = [&](long long i) { return g.x0 + static_cast<double>(i) * g.h; };
    if (i0 >= i1) {
        CutColumn(region, x(i0), x(i0 + 1), g, mat, out, boundary, 0, g.ny - 1, false, false, false);
        return;
    }
    const long long mid = (i0 + i1) / 2;
    const double y0 = env.min_corner().y() - g.h, y1 = env.max_corner().y() + g.h;
    BMulti left, right;
    bg::intersection(region, BBox(BPoint(x(i0) - g.h, y0), BPoint(x(mid + 1), y1)), left);
    CutColumns(left, i0, mid, g, mat, out, boundary);
    left.clear();
    bg::intersection(region, BBox(BPoint(x(mid + 1), y0), BPoint(x(i1 + 1) + g.h, y1)), right);
    CutColumns(right, mid + 1, i1, g, mat, out, boundary);
}

void CutIntoCells(const BMulti& region, const Grid& g, int mat, std::vector<Piece>& out) {
    std::vector<char> boundary(static_cast<size_t>(g.ny));
    CutColumns(region, 0, g.nx - 1, g, mat, out, boundary);
}

void FillOutline(const Piece& p, double ox, double oy, Fiber& f, std::vector<std::pair<double, double>>& outline) {
    const auto& outer = p.poly.outer();
    outline.clear();
    for (const BPoint& q : outer) outline.emplace_back(q.x() - ox, q.y() - oy);
    for (const auto& inner : p.poly.inners()) {
        for (const BPoint& q : inner) outline.emplace_back(q.x() - ox, q.y() - oy);
        outline.emplace_back(outer.front().x() - ox, outer.front().y() - oy);
    }
    // The old four corners: the piece's own when it has four, else its box.
    if (outer.size() == 5 && p.poly.inners().empty()) {
        f.X1 = outer[0].x() - ox, f.Y1 = outer[0].y() - oy;
        f.X2 = outer[1].x() - ox, f.Y2 = outer[1].y() - oy;
        f.X3 = outer[2].x() - ox, f.Y3 = outer[2].y() - oy;
        f.X4 = outer[3].x() - ox, f.Y4 = outer[3].y() - oy;
    } else {
        const BBox b = bg::return_envelope<BBox>(outer);
        const double x0 = b.min_corner().x() - ox, x1 = b.max_corner().x() - ox;
        const double y0 = b.min_corner().y() - oy, y1 = b.max_corner().y() - oy;
        f.X1 = x0, f.Y1 = y1, f.X2 = x1, f.Y2 = y1, f.X3 = x1, f.Y3 = y0, f.X4 = x0, f.Y4 = y0;
    }
}

// Whether every fiber has a twin of the same material and area at (-x, -y):
// positions are compared on a lattice of step q, so a near miss says no,
// which only costs the solvers the second direction.
bool MapsOntoItself(const FiberTable& t, double q) {
    using Key = std::tuple<int, long long, long long, double>;
    std::vector<Key> a, b;
    a.reserve(static_cast<size_t>(t.NFib));
    b.reserve(static_cast<size_t>(t.NFib));
    for (int i = 1; i <= t.NFib; ++i) {
        const Fiber& f = t[i];
        a.emplace_back(f.MatId, std::llround(f.X / q), std::llround(f.Y / q), f.Area);
        b.emplace_back(f.MatId, std::llround(-f.X / q), std::llround(-f.Y / q), f.Area);
    }
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::get<0>(a[i]) != std::get<0>(b[i]) || std::get<1>(a[i]) != std::get<1>(b[i]) ||
            std::get<2>(a[i]) != std::get<2>(b[i]))
            return false;
        const double x = std::get<3>(a[i]), y = std::get<3>(b[i]);
        if (std::fabs(x - y) > 1e-9 * std::max(std::fabs(x), std::fabs(y))) return false;
    }
    return true;
}

GrossSection GrossUnguarded(const Shape& s);
void MeshUnguarded(const Shape& s, double meshSize, FiberTable& t);

}  // namespace

GrossSection ComputeGrossSection(const Shape& s) {
    return Clipping([&] { return GrossUnguarded(s); });
}

void MeshCustomSection(const Shape& s, double meshSize, FiberTable& t) {
    Clipping([&] { MeshUnguarded(s, meshSize, t); });
}

namespace {

GrossSection GrossOf(const std::vector<BMulti>& regions) {
    const BMulti u = UnionOfRegions(regions);
    GrossSection g;
    g.Area = bg::area(u);
    if (!(g.Area > 0)) throw AppError("The section has no area");
    BPoint c(0, 0);
    bg::centroid(u, c);
    g.X = c.x();
    g.Y = c.y();
    const BBox b = bg::return_envelope<BBox>(u);
    g.MinX = b.min_corner().x();
    g.MinY = b.min_corner().y();
    g.MaxX = b.max_corner().x();
    g.MaxY = b.max_corner().y();
    return g;
}

std::vector<BMulti> RegionsOf(const Shape& s) {
    std::vector<BMulti> all;
    all.reserve(s.polygons.size());
    for (const Polygon& p : s.polygons) all.push_back(RegionOf(p));
    return all;
}

GrossSection GrossUnguarded(const Shape& s) { return GrossOf(RegionsOf(s)); }

double Cells(const GrossSection& g, double h) {
    return std::ceil((g.MaxX - g.MinX) / h) * std::ceil((g.MaxY - g.MinY) / h);
}

// The smallest size in hundredths of a mm that the limit allows.
double LeastSize(const GrossSection& g) {
    const double limit = static_cast<double>(kMaxFibers);
    double least = std::ceil(std::sqrt((g.MaxX - g.MinX) * (g.MaxY - g.MinY) / limit) * 100) / 100;
    while (Cells(g, least) > limit) least = std::ceil(std::max(least + 0.01, least * 1.001) * 100) / 100;
    return least;
}

void CheckSize(const GrossSection& g, double h) {
    if (!(h > 0) || !std::isfinite(h)) throw AppError("Mesh Size must be a length greater than 0 mm");
    if (Cells(g, h) <= static_cast<double>(kMaxFibers)) return;
    throw AppError("Mesh Size " + MeshSizeText(h) + " mm would cut the section into more than " +
                   std::to_string(kMaxFibers) + " cells; it must be at least " + MeshSizeText(LeastSize(g)) + " mm");
}
void MeshUnguarded(const Shape& s, double meshSize, FiberTable& t) {
    std::vector<BMulti> regions = RegionsOf(s);
    const GrossSection g = GrossOf(regions);
    CheckSize(g, meshSize);
    const Grid grid = GridOf(g, meshSize);

    std::vector<BMulti> steel;
    for (size_t i = 0; i < s.polygons.size(); ++i)
        if (s.polygons[i].group == Group::Steel) steel.push_back(regions[i]);
    const BMulti steelUnion = UnionOfRegions(steel);
    std::vector<BBox> steelBoxes;
    if (steelUnion.size() > kFewPieces)
        for (const BPoly& p : steelUnion) steelBoxes.push_back(bg::return_envelope<BBox>(p));
    const BoxIndex steelIndex = IndexOf(steelBoxes);

    std::vector<Piece> pieces;
    for (size_t i = 0; i < s.polygons.size(); ++i) {
        const Polygon& p = s.polygons[i];
        BMulti region = std::move(regions[i]);
        if (p.group != Group::Steel) region = LessSteel(std::move(region), steelUnion, steelIndex);
        CutIntoCells(region, grid, GroupMatId(p.group), pieces);
    }
    // Slivers left by rounding where a side runs along a grid line.
    const double minArea = 1e-10 * meshSize * meshSize;
    std::erase_if(pieces, [&](const Piece& p) { return !(bg::area(p.poly) > minArea); });

    const long long count = static_cast<long long>(pieces.size()) + static_cast<long long>(s.bars.size());
    if (count > kMaxFibers)
        throw AppError("The mesh would have " + std::to_string(count) + " fibers; at most " +
                       std::to_string(kMaxFibers) + " are allowed");

    const double ox = g.X, oy = g.Y;
    mesh::FiberWriter w(t, count);
    t.Outline.assign(static_cast<size_t>(count) + 1, {});
    int index = 0;
    for (const Piece& p : pieces) {
        Fiber& f = w.next();
        ++index;
        f = Fiber{};
        BPoint c(0, 0);
        bg::centroid(p.poly, c);
        f.X = c.x() - ox;
        f.Y = c.y() - oy;
        f.Area = bg::area(p.poly);
        f.MatId = p.mat;
        FillOutline(p, ox, oy, f, t.Outline[static_cast<size_t>(index)]);
    }
    for (const Bar& b : s.bars) {
        Fiber& f = w.next();
        ++index;
        f = Fiber{};
        f.X = b.x - ox;
        f.Y = b.y - oy;
        f.Area = kPi * b.d * b.d / 4;
        f.MatId = MatRebar;
        f.BarDia = b.d;
    }
    w.finish();
    t.OriginX = ox;
    t.OriginY = oy;

    bg::model::multi_point<BPoint> corners;
    for (const Polygon& p : s.polygons)
        for (const Pt& q : p.outer) corners.emplace_back(q.x - ox, q.y - oy);
    BPoly hull;
    bg::convex_hull(corners, hull);
    t.LimitPoints.clear();
    const auto& ring = hull.outer();
    for (size_t k = 0; k + 1 < ring.size(); ++k) t.LimitPoints.emplace_back(ring[k].x(), ring[k].y());

    const double size = std::max(g.MaxX - g.MinX, g.MaxY - g.MinY);
    t.PointSymmetric = MapsOntoItself(t, 1e-6 * size);
}

}  // namespace

std::string MeshSizeText(double h) {
    if (!std::isfinite(h)) return F2(h);
    const double a = std::fabs(h);
    // Six significant digits, at least two decimals, trailing zeros beyond
    // those two dropped.
    const int decimals = a > 0 ? std::clamp(5 - static_cast<int>(std::floor(std::log10(a))), 2, 330) : 2;
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, h, std::chars_format::fixed, decimals);
    std::string out(buf, r.ptr);
    const size_t dot = out.find('.');
    while (out.size() > dot + 3 && out.back() == '0') out.pop_back();
    return out;
}

double DefaultMeshSize(const Shape& s) {
    const GrossSection g = ComputeGrossSection(s);
    return ThinPartsMeshSize(g.MaxX - g.MinX, g.MaxY - g.MinY, ThinnestPartOf(s), LeastSize(g));
}

void CheckCustomMesh(const Shape& s, double meshSize) { CheckSize(ComputeGrossSection(s), meshSize); }

}  // namespace px
