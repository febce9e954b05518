#include <algorithm>
#include <cmath>
#include <limits>

#include "geometry/boost_types.h"
#include "geometry/validate.h"
#include "input/error.h"
#include "section/fiber.h"

namespace px::geom {

const char* GroupKeyword(Group g) {
    switch (g) {
        case Group::Cover: return "cover";
        case Group::Core1: return "core1";
        case Group::Core2: return "core2";
        case Group::Steel: return "steel";
    }
    return "cover";
}

int GroupMatId(Group g) {
    switch (g) {
        case Group::Cover: return MatCoverConcrete;
        case Group::Core1: return MatCoreConcrete1;
        case Group::Core2: return MatCoreConcrete2;
        case Group::Steel: return MatSteelSection;
    }
    return MatCoverConcrete;
}

namespace {

void AppendRing(const Ring& r, BPoly::ring_type& out) {
    out.clear();
    out.reserve(r.size() + 1);
    for (const Pt& p : r) out.emplace_back(p.x, p.y);
    if (!r.empty()) out.emplace_back(r.front().x, r.front().y);
}

}  // namespace

BPoly ToBoost(const Ring& r) {
    BPoly p;
    AppendRing(r, p.outer());
    bg::correct(p);
    return p;
}

BPoly ToBoost(const Polygon& poly) {
    BPoly p;
    AppendRing(poly.outer, p.outer());
    p.inners().resize(poly.holes.size());
    for (size_t i = 0; i < poly.holes.size(); ++i) AppendRing(poly.holes[i], p.inners()[i]);
    bg::correct(p);
    return p;
}

Ring Normalized(const Ring& r) {
    Ring out;
    out.reserve(r.size());
    for (const Pt& p : r)
        if (out.empty() || !(out.back() == p)) out.push_back(p);
    while (out.size() > 1 && out.back() == out.front()) out.pop_back();
    return out;
}

namespace {

// Areas below this share of the section's squared extent count as zero:
// what is left of a shared edge after floating-point clipping.
constexpr double kAreaShare = 1e-9;

double Extent(const Ring& r) {
    double x0 = std::numeric_limits<double>::max(), y0 = x0, x1 = -x0, y1 = -x0;
    for (const Pt& p : r) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    return r.empty() ? 0 : std::max(x1 - x0, y1 - y0);
}

void Refuse(const std::string& where, const std::string& problem) {
    throw AppError(where.empty() ? problem : where + ": " + problem);
}

void CheckRing(const Ring& ring, const std::string& where) {
    Ring distinct = ring;
    std::sort(distinct.begin(), distinct.end(),
              [](const Pt& a, const Pt& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    if (distinct.size() < 3) Refuse(where, "the ring has fewer than 3 distinct points");
    const BPoly p = ToBoost(ring);
    bg::validity_failure_type failure;
    const bool valid = bg::is_valid(p, failure);
    if (!valid && (failure == bg::failure_self_intersections || bg::intersects(p)))
        Refuse(where, "the ring crosses itself");
    const double e = Extent(ring);
    if (!(bg::area(p) > kAreaShare * e * e)) Refuse(where, "the ring has zero area");
    if (!valid) Refuse(where, "the ring crosses itself");
}

double OverlapArea(const BPoly& a, const BPoly& b) {
    if (bg::disjoint(bg::return_envelope<BBox>(a), bg::return_envelope<BBox>(b))) return 0;
    BMulti out;
    bg::intersection(a, b, out);
    return bg::area(out);
}

double OutsideArea(const BPoly& inner, const BPoly& outer) {
    BMulti out;
    bg::difference(inner, outer, out);
    return bg::area(out);
}

bool IsConcrete(Group g) { return g != Group::Steel; }

void AttachHolesUnguarded(std::vector<Polygon>& polygons, const std::vector<std::pair<Ring, std::string>>& holes);
void ValidateUnguarded(const Shape& s);

}  // namespace

void AttachHoles(std::vector<Polygon>& polygons, const std::vector<std::pair<Ring, std::string>>& holes) {
    Clipping([&] { AttachHolesUnguarded(polygons, holes); });
}

void ValidateShape(const Shape& s) {
    Clipping([&] { ValidateUnguarded(s); });
}

namespace {

void AttachHolesUnguarded(std::vector<Polygon>& polygons, const std::vector<std::pair<Ring, std::string>>& holes) {
    std::vector<BPoly> outers;
    std::vector<double> areas;
    for (const Polygon& p : polygons) {
        CheckRing(p.outer, p.where);
        outers.push_back(ToBoost(p.outer));
        areas.push_back(bg::area(outers.back()));
    }
    for (const auto& [ring, where] : holes) {
        CheckRing(ring, where);
        const BPoly h = ToBoost(ring);
        const double tol = kAreaShare * Extent(ring) * Extent(ring);
        int best = -1;
        for (size_t i = 0; i < polygons.size(); ++i)
            if (OutsideArea(h, outers[i]) <= tol && (best < 0 || areas[i] < areas[static_cast<size_t>(best)]))
                best = static_cast<int>(i);
        if (best < 0) Refuse(where, "the hole lies inside no polygon");
        polygons[static_cast<size_t>(best)].holes.push_back(ring);
        polygons[static_cast<size_t>(best)].holeWhere.push_back(where);
    }
}

void ValidateUnguarded(const Shape& s) {
    if (s.polygons.empty()) throw AppError("The section has no polygon (cover, core1, core2 or steel)");
    double extent = 0;
    for (const Polygon& p : s.polygons) extent = std::max(extent, Extent(p.outer));
    const double tol = kAreaShare * extent * extent;

    std::vector<BPoly> full;
    full.reserve(s.polygons.size());
    for (const Polygon& p : s.polygons) {
        CheckRing(p.outer, p.where);
        const BPoly outer = ToBoost(p.outer);
        std::vector<BPoly> holes;
        for (size_t i = 0; i < p.holes.size(); ++i) {
            const std::string& where = i < p.holeWhere.size() ? p.holeWhere[i] : p.where;
            CheckRing(p.holes[i], where);
            holes.push_back(ToBoost(p.holes[i]));
            if (OutsideArea(holes.back(), outer) > tol) Refuse(where, "the hole is not inside its polygon");
            for (size_t j = 0; j + 1 < holes.size(); ++j)
                if (OverlapArea(holes[j], holes.back()) > tol)
                    Refuse(where, "the hole overlaps another hole of its polygon");
        }
        BMulti left{outer};
        for (const BPoly& h : holes) {
            BMulti next;
            bg::difference(left, h, next);
            left = std::move(next);
        }
        if (!(bg::area(left) > tol)) Refuse(p.where, "the holes leave the polygon no area");
        full.push_back(ToBoost(p));
    }

    for (size_t i = 0; i < s.polygons.size(); ++i)
        for (size_t j = 0; j < i; ++j) {
            const bool concrete = IsConcrete(s.polygons[i].group);
            if (concrete != IsConcrete(s.polygons[j].group)) continue;
            if (OverlapArea(full[i], full[j]) > tol)
                Refuse(s.polygons[i].where, std::string(concrete ? "the concrete polygon" : "the steel polygon") +
                                                " overlaps the one at " + s.polygons[j].where);
        }

    std::vector<BBox> boxes;
    for (const BPoly& p : full) boxes.push_back(bg::return_envelope<BBox>(p));
    for (const Bar& b : s.bars) {
        if (!(b.d > 0)) Refuse(b.where, "the bar's diameter must be greater than 0");
        const BPoint c(b.x, b.y);
        bool inside = false;
        for (size_t i = 0; i < full.size() && !inside; ++i)
            inside = bg::covered_by(c, boxes[i]) && bg::covered_by(c, full[i]);
        if (!inside) Refuse(b.where, "the bar's centre lies outside every polygon");
    }
}

}  // namespace

}  // namespace px::geom
