#include "section/thin_parts.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "input/error.h"
#include "input/numbers.h"

namespace px {

namespace {

using geom::Pt;
using geom::Ring;

// Edge pairs the chords may look at over a whole section: some 10^7
// intersection tests, a few tens of milliseconds.
constexpr long long kPairBudget = 20000000;

double Cross(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }

double SignedArea(const Ring& r) {
    double a = 0;
    for (std::size_t i = 0; i < r.size(); ++i) {
        const Pt& p = r[i];
        const Pt& q = r[(i + 1) % r.size()];
        a += Cross(p.x, p.y, q.x, q.y);
    }
    return a / 2;
}

double Perimeter(const Ring& r) {
    double s = 0;
    for (std::size_t i = 0; i < r.size(); ++i) {
        const Pt& p = r[i];
        const Pt& q = r[(i + 1) % r.size()];
        s += std::hypot(q.x - p.x, q.y - p.y);
    }
    return s;
}

// An edge with the unit normal that points into the material.
struct Edge {
    Pt a, b;
    double nx = 0, ny = 0;
};

void AddEdges(const Ring& r, bool hole, std::vector<Edge>& out) {
    // The material lies left of a counter-clockwise outline and right of a
    // counter-clockwise hole.
    const double side = (SignedArea(r) > 0 ? 1.0 : -1.0) * (hole ? -1.0 : 1.0);
    for (std::size_t i = 0; i < r.size(); ++i) {
        const Pt& a = r[i];
        const Pt& b = r[(i + 1) % r.size()];
        const double len = std::hypot(b.x - a.x, b.y - a.y);
        if (!(len > 0)) continue;
        out.push_back({a, b, side * -(b.y - a.y) / len, side * (b.x - a.x) / len});
    }
}

// The shortest chord from the middle of each edge along its inward normal
// to the next edge it meets; infinity where none is met.
double ShortestChord(const std::vector<Edge>& edges, double scale) {
    double best = std::numeric_limits<double>::infinity();
    const double eps = 1e-9 * scale;
    for (std::size_t i = 0; i < edges.size(); ++i) {
        const Edge& e = edges[i];
        const double mx = (e.a.x + e.b.x) / 2, my = (e.a.y + e.b.y) / 2;
        double nearest = std::numeric_limits<double>::infinity();
        for (std::size_t j = 0; j < edges.size(); ++j) {
            if (j == i) continue;
            const Edge& f = edges[j];
            const double dx = f.b.x - f.a.x, dy = f.b.y - f.a.y;
            const double den = Cross(e.nx, e.ny, dx, dy);
            if (den == 0) continue;
            const double ax = f.a.x - mx, ay = f.a.y - my;
            const double s = Cross(ax, ay, dx, dy) / den;  // along the normal
            const double u = Cross(ax, ay, e.nx, e.ny) / den;  // along f
            if (s > eps && u >= 0 && u <= 1) nearest = std::min(nearest, s);
        }
        best = std::min(best, nearest);
    }
    return best;
}

}  // namespace

double PolygonThickness(const geom::Polygon& p, long long& pairBudget) {
    double area = std::fabs(SignedArea(p.outer)), perimeter = Perimeter(p.outer);
    for (const Ring& h : p.holes) {
        area -= std::fabs(SignedArea(h));
        perimeter += Perimeter(h);
    }
    if (!(area > 0) || !(perimeter > 0)) return 0;
    const double q = perimeter / 4;
    double thickness = area / (q + std::sqrt(std::max(0.0, q * q - area)));

    std::vector<Edge> edges;
    AddEdges(p.outer, false, edges);
    for (const Ring& h : p.holes) AddEdges(h, true, edges);
    const long long pairs = static_cast<long long>(edges.size()) * static_cast<long long>(edges.size());
    if (pairs <= pairBudget) {
        pairBudget -= pairs;
        thickness = std::min(thickness, ShortestChord(edges, perimeter));
    }
    return thickness;
}

ThinnestPart ThinnestPartOf(const geom::Shape& s) {
    ThinnestPart thin;
    long long budget = kPairBudget;
    for (std::size_t i = 0; i < s.polygons.size(); ++i) {
        const double t = PolygonThickness(s.polygons[i], budget);
        if (i == 0 || t < thin.thickness) thin = {t, i};
    }
    return thin;
}

double ThinPartsMeshSize(double width, double height, const ThinnestPart& thin, double least) {
    double h = std::max(width, height) / 40;
    if (thin.thickness > 0) h = std::min(h, thin.thickness / 4);
    return std::max(h, least);
}

void CheckMeshAcrossParts(const geom::Shape& s, double meshSize) {
    if (!(meshSize > 0) || !std::isfinite(meshSize)) return;
    const ThinnestPart thin = ThinnestPartOf(s);
    if (s.polygons.empty() || meshSize < thin.thickness) return;
    const geom::Polygon& p = s.polygons[thin.polygon];
    throw AppError("Mesh Size " + F2(meshSize) + " mm leaves the " + geom::GroupKeyword(p.group) + " polygon" +
                   (p.where.empty() ? std::string() : " of " + p.where) + " one fiber across its " +
                   F2(thin.thickness) + " mm thickness; Mesh Size must be less than " + F2(thin.thickness) +
                   " mm");
}

}  // namespace px
