#include <algorithm>
#include <cmath>
#include <iterator>
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

BoxIndex IndexOf(const std::vector<BBox>& boxes) {
    std::vector<BoxEntry> entries;
    entries.reserve(boxes.size());
    for (size_t i = 0; i < boxes.size(); ++i) entries.emplace_back(boxes[i], i);
    return BoxIndex(entries.begin(), entries.end());  // packed in one pass
}

std::vector<size_t> Meeting(const BoxIndex& index, const BBox& box) {
    std::vector<BoxEntry> hits;
    index.query(bg::index::intersects(box), std::back_inserter(hits));
    std::vector<size_t> out;
    out.reserve(hits.size());
    for (const BoxEntry& e : hits) out.push_back(e.second);
    std::sort(out.begin(), out.end());
    return out;
}

namespace {

BMulti FoldUnion(std::vector<BMulti>::const_iterator first, std::vector<BMulti>::const_iterator last) {
    BMulti u;
    for (; first != last; ++first) {
        BMulti next;
        bg::union_(u, *first, next);
        u = std::move(next);
    }
    return u;
}

// The union of parts[idx[lo..hi)], halved until few are left.
BMulti HalvedUnion(const std::vector<BMulti>& parts, const std::vector<size_t>& idx, size_t lo, size_t hi) {
    if (hi - lo == 1) return parts[idx[lo]];
    if (hi - lo == 2) {
        BMulti u;
        bg::union_(parts[idx[lo]], parts[idx[lo + 1]], u);
        return u;
    }
    const size_t mid = lo + (hi - lo) / 2;
    const BMulti a = HalvedUnion(parts, idx, lo, mid), b = HalvedUnion(parts, idx, mid, hi);
    BMulti u;
    bg::union_(a, b, u);
    return u;
}

size_t Root(std::vector<size_t>& parent, size_t i) {
    while (parent[i] != i) i = parent[i] = parent[parent[i]];
    return i;
}

}  // namespace

BMulti UnionOfRegions(const std::vector<BMulti>& parts) {
    if (parts.size() <= kFewPieces) return FoldUnion(parts.begin(), parts.end());
    std::vector<BBox> boxes;
    std::vector<size_t> live;  // parts with any area
    boxes.reserve(parts.size());
    for (size_t i = 0; i < parts.size(); ++i) {
        if (parts[i].empty()) continue;
        live.push_back(i);
        boxes.push_back(bg::return_envelope<BBox>(parts[i]));
    }
    // Groups of parts whose boxes meet, directly or through others.
    const BoxIndex index = IndexOf(boxes);
    std::vector<size_t> parent(boxes.size());
    for (size_t i = 0; i < parent.size(); ++i) parent[i] = i;
    for (size_t i = 0; i < boxes.size(); ++i)
        for (size_t j : Meeting(index, boxes[i])) parent[Root(parent, i)] = Root(parent, j);
    std::vector<std::vector<size_t>> groups(boxes.size());
    for (size_t i = 0; i < boxes.size(); ++i) groups[Root(parent, i)].push_back(live[i]);
    BMulti u;
    for (const std::vector<size_t>& g : groups) {
        if (g.empty()) continue;
        BMulti part = HalvedUnion(parts, g, 0, g.size());
        for (BPoly& p : part) u.push_back(std::move(p));
    }
    return u;
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
    std::vector<BBox> boxes;
    for (const Polygon& p : polygons) {
        CheckRing(p.outer, p.where);
        outers.push_back(ToBoost(p.outer));
        areas.push_back(bg::area(outers.back()));
        boxes.push_back(bg::return_envelope<BBox>(outers.back()));
    }
    const BoxIndex index = IndexOf(boxes);
    for (const auto& [ring, where] : holes) {
        CheckRing(ring, where);
        const BPoly h = ToBoost(ring);
        const double tol = kAreaShare * Extent(ring) * Extent(ring);
        const double area = bg::area(h);
        // The smallest polygon around the hole, whatever the drawing's order.
        // One whose outline is the hole's own is what fills the hole (a core
        // drawn with the hole of its tube), so a larger one is taken before
        // it. Between outlines of the same area, steel is taken before
        // concrete: concrete under steel is taken away, so a hole in it
        // would leave the steel whole.
        auto before = [&](size_t i, size_t j) {
            const bool iSame = areas[i] <= area + tol, jSame = areas[j] <= area + tol;
            if (iSame != jSame) return jSame;
            if (std::fabs(areas[i] - areas[j]) > tol) return areas[i] < areas[j];
            const bool iSteel = polygons[i].group == Group::Steel, jSteel = polygons[j].group == Group::Steel;
            if (iSteel != jSteel) return iSteel;
            return i < j;
        };
        int best = -1;
        for (size_t i : Meeting(index, bg::return_envelope<BBox>(h)))
            if (OutsideArea(h, outers[i]) <= tol && (best < 0 || before(i, static_cast<size_t>(best))))
                best = static_cast<int>(i);
        if (best < 0) Refuse(where, "the hole lies inside no polygon");
        polygons[static_cast<size_t>(best)].holes.push_back(ring);
        polygons[static_cast<size_t>(best)].holeWhere.push_back(where);
    }
}

// A checked polygon: its outline, its holes and their boxes.
struct Checked {
    BPoly outer, full;
    BBox box;
    std::vector<BPoly> holes;
    std::vector<BBox> holeBoxes;
    BoxIndex holeIndex;
};

// The polygon with only those of its holes whose boxes meet `box`: the same
// as the whole polygon inside `box`, and far smaller when it has many holes.
BPoly Near(const Checked& c, const BBox& box) {
    if (c.holes.size() <= kFewPieces) return c.full;
    BPoly p;
    p.outer() = c.outer.outer();
    for (size_t k : Meeting(c.holeIndex, box)) p.inners().push_back(c.holes[k].outer());
    bg::correct(p);
    return p;
}

double SegmentDistance(const BPoint& q, const BPoint& a, const BPoint& b) {
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((q.x() - a.x()) * dx + (q.y() - a.y()) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(q.x() - (a.x() + t * dx), q.y() - (a.y() + t * dy));
}

// Outlines of more points than this are not walked whole for each bar.
constexpr size_t kManyOutline = 1024;

// Every side of every ring, each with the polygon it bounds.
struct Sides {
    std::vector<std::pair<BPoint, BPoint>> ends;
    std::vector<size_t> owner;
    BoxIndex index;
};

// Whether the point lies in polygon i's material or on its edge. An
// outline of many points is not walked whole for each bar: only the sides
// that a ray from the point to the right meets are counted.
bool Covers(const Checked& c, size_t i, const Sides& sides, const BPoint& q) {
    if (!bg::covered_by(q, c.box)) return false;
    if (c.outer.outer().size() <= kManyOutline) {
        if (!bg::covered_by(q, c.outer)) return false;
        for (size_t k : Meeting(c.holeIndex, BBox(q, q)))
            if (bg::within(q, c.holes[k])) return false;
        return true;
    }
    bool inside = false;
    for (size_t k : Meeting(sides.index, BBox(q, BPoint(c.box.max_corner().x(), q.y())))) {
        if (sides.owner[k] != i) continue;
        const BPoint &a = sides.ends[k].first, &b = sides.ends[k].second;
        if (SegmentDistance(q, a, b) == 0) return true;
        if ((a.y() > q.y()) != (b.y() > q.y()) &&
            a.x() + (q.y() - a.y()) * (b.x() - a.x()) / (b.y() - a.y()) > q.x())
            inside = !inside;
    }
    return inside;
}

Sides SidesOf(const std::vector<Checked>& pcs) {
    Sides s;
    std::vector<BBox> boxes;
    auto add = [&](const BPoly::ring_type& r, size_t i) {
        for (size_t k = 0; k + 1 < r.size(); ++k) {
            s.ends.emplace_back(r[k], r[k + 1]);
            s.owner.push_back(i);
            BBox b(r[k], r[k]);
            bg::expand(b, r[k + 1]);
            boxes.push_back(b);
        }
    };
    for (size_t i = 0; i < pcs.size(); ++i) {
        add(pcs[i].outer.outer(), i);
        for (const BPoly& h : pcs[i].holes) add(h.outer(), i);
    }
    s.index = IndexOf(boxes);
    return s;
}

void ValidateUnguarded(const Shape& s) {
    if (s.polygons.empty()) throw AppError("The section has no polygon (cover, core1, core2 or steel)");
    double extent = 0;
    for (const Polygon& p : s.polygons) extent = std::max(extent, Extent(p.outer));
    const double tol = kAreaShare * extent * extent;

    std::vector<Checked> pcs(s.polygons.size());
    std::vector<BBox> boxes;
    boxes.reserve(s.polygons.size());
    for (size_t i = 0; i < s.polygons.size(); ++i) {
        const Polygon& p = s.polygons[i];
        Checked& c = pcs[i];
        CheckRing(p.outer, p.where);
        c.outer = ToBoost(p.outer);
        c.box = bg::return_envelope<BBox>(c.outer);
        double left = bg::area(c.outer);
        for (size_t k = 0; k < p.holes.size(); ++k) {
            const std::string& where = k < p.holeWhere.size() ? p.holeWhere[k] : p.where;
            CheckRing(p.holes[k], where);
            c.holes.push_back(ToBoost(p.holes[k]));
            c.holeBoxes.push_back(bg::return_envelope<BBox>(c.holes.back()));
            if (OutsideArea(c.holes.back(), c.outer) > tol) Refuse(where, "the hole is not inside its polygon");
            for (size_t j : Meeting(c.holeIndex, c.holeBoxes.back()))
                if (OverlapArea(c.holes[j], c.holes.back()) > tol)
                    Refuse(where, "the hole overlaps another hole of its polygon");
            c.holeIndex.insert(BoxEntry(c.holeBoxes.back(), k));
            left -= bg::area(c.holes.back());
        }
        // The holes lie inside and overlap nowhere: what they leave is the
        // outline's area less theirs.
        if (!(left > tol)) Refuse(p.where, "the holes leave the polygon no area");
        c.full = ToBoost(p);
        boxes.push_back(c.box);
    }

    const BoxIndex index = IndexOf(boxes);
    for (size_t i = 0; i < s.polygons.size(); ++i)
        for (size_t j : Meeting(index, boxes[i])) {
            if (j >= i) break;
            const bool concrete = IsConcrete(s.polygons[i].group);
            if (concrete != IsConcrete(s.polygons[j].group)) continue;
            if (OverlapArea(Near(pcs[i], boxes[j]), Near(pcs[j], boxes[i])) > tol)
                Refuse(s.polygons[i].where, std::string(concrete ? "the concrete polygon" : "the steel polygon") +
                                                " overlaps the one at " + s.polygons[j].where);
        }

    if (s.bars.empty()) return;
    const Sides sides = SidesOf(pcs);
    const double lenTol = 1e-9 * extent;
    BoxIndex bars;
    for (size_t b = 0; b < s.bars.size(); ++b) {
        const Bar& bar = s.bars[b];
        if (!(bar.d > 0)) Refuse(bar.where, "the bar's diameter must be greater than 0");
        const BPoint c(bar.x, bar.y);
        std::vector<size_t> around;  // the polygons the centre lies in
        for (size_t i : Meeting(index, BBox(c, c)))
            if (Covers(pcs[i], i, sides, c)) around.push_back(i);
        if (around.empty()) Refuse(bar.where, "the bar's centre lies outside every polygon");

        const double r = bar.d / 2;
        const BBox box(BPoint(bar.x - r, bar.y - r), BPoint(bar.x + r, bar.y + r));
        for (size_t j : Meeting(bars, box)) {
            const Bar& o = s.bars[j];
            const double gap = std::hypot(o.x - bar.x, o.y - bar.y);
            if (gap <= lenTol) Refuse(bar.where, "the bar has the same centre as the one at " + o.where);
            if (gap < r + o.d / 2 - lenTol) Refuse(bar.where, "the bar overlaps the one at " + o.where);
        }
        bars.insert(BoxEntry(box, b));

        // The circle is in the material when no side of a polygon comes
        // into it; sides that do may be shared by two polygons (a bar across
        // cover and core), so then the polygons there are joined and the
        // circle, as a 64-sided polygon on it, compared with them.
        std::vector<size_t> near = around;
        for (size_t k : Meeting(sides.index, box))
            if (SegmentDistance(c, sides.ends[k].first, sides.ends[k].second) < r - lenTol)
                near.push_back(sides.owner[k]);
        if (near.size() == around.size()) continue;
        std::sort(near.begin(), near.end());
        near.erase(std::unique(near.begin(), near.end()), near.end());
        std::vector<BMulti> parts;
        for (size_t i : near) {
            BMulti part;
            bg::intersection(Near(pcs[i], box), box, part);
            parts.push_back(std::move(part));
        }
        const BMulti material = UnionOfRegions(parts);
        BPoly circle;
        for (int k = 0; k <= 64; ++k) {
            const double t = 2 * 3.14159265358979323846 * (k % 64) / 64;
            circle.outer().emplace_back(bar.x + r * std::cos(t), bar.y - r * std::sin(t));
        }
        bg::correct(circle);
        BMulti outside;
        bg::difference(circle, material, outside);
        if (bg::area(outside) > tol) Refuse(bar.where, "the bar's circle leaves the section's material");
    }
}

}  // namespace

}  // namespace px::geom
