#include "geometry/dxf_reader.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "geometry/dxf_groups.h"
#include "geometry/validate.h"
#include "input/error.h"
#include "input/numbers.h"

namespace px::geom {

namespace {

constexpr double kPi = 3.14159265358979323846;
// The largest distance between a curve and the sides that replace it, mm.
constexpr double kChordError = 0.5;
// A bulge smaller than this is a straight side (rounding noise from CAD).
constexpr double kStraightBulge = 1e-9;
// Ends of lines and arcs closer than this join, mm.
constexpr double kJoinDistance = 1e-3;
// Coordinates and factors a drawing may hold before any scaling, in its own
// units, so that nothing overflows on the way to the 1,000 km check.
constexpr double kMaxDrawingValue = 1e13;
// Blocks: how deep INSERTs may nest and how many entities they may place.
constexpr int kMaxBlockDepth = 16;
constexpr long long kMaxPlaced = 1000000;
// Groups kept of one entity: its points and a margin for the rest.
constexpr std::size_t kMaxEntityGroups = 8 * static_cast<std::size_t>(kMaxPoints) + 64;

enum class Layer { Cover, Core1, Core2, Steel, Hole, Rebar, Other };

std::string Upper(std::string_view s) {
    std::string u(s);
    for (char& c : u)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return u;
}

Layer LayerOf(const std::string& name) {
    const std::string u = Upper(name);
    if (u == "COVER") return Layer::Cover;
    if (u == "CORE1") return Layer::Core1;
    if (u == "CORE2") return Layer::Core2;
    if (u == "STEEL") return Layer::Steel;
    if (u == "HOLE") return Layer::Hole;
    if (u == "REBAR") return Layer::Rebar;
    return Layer::Other;
}

std::string PointsLimit() { return "the drawing has more than " + std::to_string(kMaxPoints) + " points"; }

// Lengths in messages with the digits they need.
std::string Length(double v) {
    const double a = std::fabs(v);
    return FormatFixed(v, a >= 1000 ? 0 : a >= 0.01 || a == 0 ? 2 : 6);
}

struct Vtx {
    double x = 0, y = 0, bulge = 0;
};

enum class Kind { Polyline, Circle, Arc, Line, Ellipse, Spline, Insert, Skipped };

// One entity as the drawing gives it, in its own coordinates.
struct Entity {
    Kind kind = Kind::Skipped;
    std::string type;  // as written: "LWPOLYLINE"
    std::string handle, layer;
    bool paper = false;   // group 67 = 1
    bool mirror = false;  // extrusion (0, 0, -1): its x runs against the drawing's
    long long line = 0;
    // Polyline: vertices (bulges), closed, constant width; Line: two
    // vertices; Spline: control points.
    std::vector<Vtx> v;
    bool closed = false;
    double width = 0;
    bool varyingWidth = false;
    // Circle, Arc, Ellipse, Insert: centre or insertion point.
    double cx = 0, cy = 0, r = 0;
    double a0 = 0, a1 = 0;     // Arc: degrees; Ellipse: parameters, radians
    double mx = 0, my = 0;     // Ellipse: end of the major axis from the centre
    double ratio = 1;          // Ellipse: minor / major
    double sx = 1, sy = 1;     // Insert: scale
    double angle = 0;          // Insert: degrees
    long long cols = 1, rows = 1;
    double colSpacing = 0, rowSpacing = 0;
    std::string block;         // Insert: the block's name
    int degree = 0;            // Spline
    std::vector<double> knots, weights;
    long long fitPoints = 0;

    std::string name() const { return name(layer); }
    // "Polyline 2F on layer COVER", on the layer it is placed on.
    std::string name(const std::string& on) const {
        static const char* names[] = {"Polyline", "Circle", "Arc", "Line", "Ellipse", "Spline", "Insert", ""};
        std::string k = kind == Kind::Skipped ? ShownDxfText(type) : names[static_cast<int>(kind)];
        return k + " " + (handle.empty() ? std::string("without handle") : ShownDxfText(handle)) + " on layer " +
               ShownDxfText(on);
    }
};

// Widths 40 and 41 (of the vertices or the polyline) and 43 (constant): one
// width for the whole polyline, or `varyingWidth`.
void TakeWidth(double w, bool& seen, Entity& e) {
    if (!seen && e.width == 0) e.width = w;
    seen = true;
    if (w != e.width) e.varyingWidth = true;
}

// At most this many names in one list of a message.
constexpr std::size_t kMaxNames = 20;

// Names for a message: the first kMaxNames, then "and more".
struct Names {
    std::set<std::string> names;
    bool more = false;
    void insert(const std::string& n) {
        if (names.size() < kMaxNames || names.count(n))
            names.insert(n);
        else
            more = true;
    }
    bool empty() const { return names.empty(); }
    // "layer A" or "layers A, B".
    std::string list(const std::string& what) const {
        std::string out = what + (names.size() == 1 && !more ? " " : "s ");
        bool first = true;
        for (const std::string& x : names) out += (first ? "" : ", ") + x, first = false;
        return more ? out + " and more" : out;
    }
};

// What is not part of the section, for the warning.
struct Skips {
    long long ignored = 0, paper = 0;
    Names otherLayers, otherKinds, paperLayers;

    void add(const std::string& type, const std::string& layer, long long n) {
        ignored += n;
        if (LayerOf(layer) == Layer::Other)
            otherLayers.insert(ShownDxfText(layer));
        else
            otherKinds.insert(ShownDxfText(type) + " on " + ShownDxfText(layer));
    }
    // Paper space on a section layer; elsewhere it is the layout's own.
    void addPaper(const std::string& layer, long long n) {
        if (LayerOf(layer) == Layer::Other) return;
        ignored += n, paper += n;
        paperLayers.insert(ShownDxfText(layer));
    }
};

struct Block {
    std::string name;
    double bx = 0, by = 0;
    std::vector<Entity> entities;
    // Entities that are never part of a section, by layer and type, counted
    // each time the block is placed.
    std::map<std::pair<std::string, std::string>, long long> skipped;
};

// The values of one entity's groups, each number checked.
class Fields {
public:
    Fields(const std::vector<DxfGroup>& g, Entity& e) : g_(g), e_(e) {
        for (const DxfGroup& x : g) {
            if (x.code == 5) e.handle = std::string(x.value);
            if (x.code == 8) e.layer = std::string(x.value);
        }
        for (const DxfGroup& x : g) {
            const DxfValue k = ValueKindOf(x.code);
            double d = 0;
            long long i = 0;
            if ((k == DxfValue::Real && !ParseDxfReal(x.value, d)) ||
                (k == DxfValue::Integer && !ParseDxfInteger(x.value, i)))
                throw AppError(e.name() + ", line " + std::to_string(x.line) + ": '" + ShownDxfText(x.value) +
                               "' in group " + std::to_string(x.code) + " is not a number");
            if (k == DxfValue::Real && std::fabs(d) > kMaxDrawingValue)
                throw AppError(e.name() + ", line " + std::to_string(x.line) + ": " + ShownDxfText(x.value) +
                               " in group " + std::to_string(x.code) + " is beyond 1e13");
        }
    }
    double real(const DxfGroup& x) const {
        double d = 0;
        ParseDxfReal(x.value, d);
        return d;
    }
    long long integer(const DxfGroup& x) const {
        long long i = 0;
        ParseDxfInteger(x.value, i);
        return i;
    }
    // The first value of a code, or `def`.
    double real(int code, double def) const {
        for (const DxfGroup& x : g_)
            if (x.code == code) return real(x);
        return def;
    }
    long long integer(int code, long long def) const {
        for (const DxfGroup& x : g_)
            if (x.code == code) return integer(x);
        return def;
    }
    bool has(int code) const {
        return std::any_of(g_.begin(), g_.end(), [&](const DxfGroup& x) { return x.code == code; });
    }
    const std::vector<DxfGroup>& groups() const { return g_; }

    // Paper space and the extrusion every entity carries.
    void common(bool planar) {
        e_.paper = integer(67, 0) == 1;
        const double nx = real(210, 0), ny = real(220, 0), nz = real(230, 1);
        const double n = std::hypot(nx, ny, nz);
        if (planar && (!(std::fabs(nz) > 0) || std::hypot(nx, ny) > 1e-9 * n))
            throw AppError(e_.name() + ": it is drawn in a plane other than the drawing's (extrusion " +
                           FormatFixed(nx, 3) + ", " + FormatFixed(ny, 3) + ", " + FormatFixed(nz, 3) +
                           "); the section is read in the XY plane");
        e_.mirror = nz < 0;
    }

private:
    const std::vector<DxfGroup>& g_;
    Entity& e_;
};

void Vertices(const Fields& f, Entity& e) {
    bool seen = e.width != 0;
    for (const DxfGroup& x : f.groups()) {
        if (x.code == 10) e.v.push_back({f.real(x), 0, 0});
        if (e.v.empty()) continue;
        if (x.code == 20) e.v.back().y = f.real(x);
        if (x.code == 42) e.v.back().bulge = f.real(x);
        if (x.code == 40 || x.code == 41) TakeWidth(f.real(x), seen, e);
    }
}

void CheckCount(const Entity& e, long long declared, std::size_t listed, const char* what, int code) {
    if (declared != static_cast<long long>(listed))
        throw AppError(e.name() + ": it declares " + std::to_string(declared) + " " + what + " (group " +
                       std::to_string(code) + ") but lists " + std::to_string(listed));
}

// An entity of the kinds read, from its groups.
Entity MakeEntity(const std::string& type, const std::vector<DxfGroup>& g, long long line) {
    Entity e;
    e.type = type;
    e.line = line;
    // The kind first, for the messages of the checks.
    const std::pair<const char*, Kind> kinds[] = {{"LWPOLYLINE", Kind::Polyline}, {"POLYLINE", Kind::Polyline},
                                                  {"CIRCLE", Kind::Circle},       {"ARC", Kind::Arc},
                                                  {"LINE", Kind::Line},           {"ELLIPSE", Kind::Ellipse},
                                                  {"SPLINE", Kind::Spline},       {"INSERT", Kind::Insert}};
    for (const auto& [t, k] : kinds)
        if (type == t) e.kind = k;
    Fields f(g, e);
    if (type == "LWPOLYLINE") {
        e.kind = Kind::Polyline;
        f.common(true);
        e.closed = (f.integer(70, 0) & 1) != 0;
        e.width = f.real(43, 0);
        Vertices(f, e);
        if (f.has(90)) CheckCount(e, f.integer(90, 0), e.v.size(), "vertices", 90);
    } else if (type == "POLYLINE") {
        const long long flags = f.integer(70, 0);
        e.kind = (flags & (16 | 64)) != 0 ? Kind::Skipped : Kind::Polyline;  // meshes are no outlines
        f.common(e.kind == Kind::Polyline && (flags & 8) == 0);
        if ((flags & 8) != 0) e.mirror = false;  // a 3D polyline's points are the drawing's own
        e.closed = (flags & 1) != 0;
        bool seen = false;
        if (f.has(40)) TakeWidth(f.real(40, 0), seen, e);
        if (f.has(41)) TakeWidth(f.real(41, 0), seen, e);
    } else if (type == "CIRCLE" || type == "ARC") {
        e.kind = type == "CIRCLE" ? Kind::Circle : Kind::Arc;
        f.common(true);
        e.cx = f.real(10, 0), e.cy = f.real(20, 0), e.r = f.real(40, 0);
        e.a0 = f.real(50, 0), e.a1 = f.real(51, 0);
        if (!(e.r > 0)) throw AppError(e.name() + ": the circle's radius must be greater than 0");
    } else if (type == "LINE") {
        e.kind = Kind::Line;
        f.common(false);
        e.mirror = false;  // its points are the drawing's own
        e.v = {{f.real(10, 0), f.real(20, 0), 0}, {f.real(11, 0), f.real(21, 0), 0}};
    } else if (type == "ELLIPSE") {
        e.kind = Kind::Ellipse;
        f.common(true);
        e.cx = f.real(10, 0), e.cy = f.real(20, 0), e.mx = f.real(11, 0), e.my = f.real(21, 0);
        e.ratio = f.real(40, 1), e.a0 = f.real(41, 0), e.a1 = f.real(42, 2 * kPi);
        if (!(e.ratio > 0 && e.ratio <= 1) || !(std::hypot(e.mx, e.my) > 0))
            throw AppError(e.name() + ": the ellipse's axes are not valid (ratio " + FormatFixed(e.ratio, 3) + ")");
    } else if (type == "SPLINE") {
        e.kind = Kind::Spline;
        f.common(false);
        e.mirror = false;
        e.closed = (f.integer(70, 0) & 1) != 0;
        e.degree = static_cast<int>(std::clamp(f.integer(71, 3), -1LL, 1000LL));
        for (const DxfGroup& x : f.groups()) {
            if (x.code == 40) e.knots.push_back(f.real(x));
            if (x.code == 41) e.weights.push_back(f.real(x));
            if (x.code == 11) ++e.fitPoints;
            if (x.code == 10) e.v.push_back({f.real(x), 0, 0});
            if (x.code == 20 && !e.v.empty()) e.v.back().y = f.real(x);
        }
        if (f.has(72)) CheckCount(e, f.integer(72, 0), e.knots.size(), "knots", 72);
        if (f.has(73)) CheckCount(e, f.integer(73, 0), e.v.size(), "control points", 73);
        if (f.has(74)) CheckCount(e, f.integer(74, 0), static_cast<std::size_t>(e.fitPoints), "fit points", 74);
    } else if (type == "INSERT") {
        e.kind = Kind::Insert;
        f.common(true);
        for (const DxfGroup& x : g)
            if (x.code == 2) e.block = std::string(x.value);
        e.cx = f.real(10, 0), e.cy = f.real(20, 0);
        e.sx = f.real(41, 1), e.sy = f.real(42, 1), e.angle = f.real(50, 0);
        e.cols = f.integer(70, 1), e.rows = f.integer(71, 1);
        e.colSpacing = f.real(44, 0), e.rowSpacing = f.real(45, 0);
    } else {
        f.common(false);
    }
    return e;
}

// The kinds whose groups are kept whole; of the others only the handle,
// layer and paper-space flag.
bool KeepsGroups(const std::string& type) {
    return type == "LWPOLYLINE" || type == "POLYLINE" || type == "VERTEX" || type == "CIRCLE" || type == "ARC" ||
           type == "LINE" || type == "ELLIPSE" || type == "SPLINE" || type == "INSERT" || type == "BLOCK";
}

// Parts of an entity that are not entities of their own.
bool IsPart(const std::string& type) {
    return type == "VERTEX" || type == "SEQEND" || type == "ATTRIB" || type == "BLOCK" || type == "ENDBLK" ||
           type == "SECTION" || type == "ENDSEC" || type == "EOF";
}

// mm per drawing unit of an $INSUNITS code.
double UnitScale(long long code) {
    switch (code) {
        case 0: return 1;       // unitless: mm
        case 1: return 25.4;    // inches
        case 2: return 304.8;   // feet
        case 4: return 1;       // millimetres
        case 5: return 10;      // centimetres
        case 6: return 1000;    // metres
        case 13: return 0.001;  // micrometres
        case 14: return 100;    // decimetres
        default:
            throw AppError("The drawing's length unit ($INSUNITS = " + std::to_string(code) +
                           ") is not one of inches, feet, mm, cm, dm, m or micrometres");
    }
}

const char* UnitName(long long code) {
    switch (code) {
        case 1: return "inches";
        case 2: return "feet";
        case 5: return "cm";
        case 6: return "m";
        case 13: return "micrometres";
        case 14: return "dm";
        default: return "mm";
    }
}

// The drawing as read: its header's unit, blocks and model-space entities.
struct Drawing {
    bool hasUnits = false;
    long long insunits = 0;
    std::map<std::string, Block> blocks;  // by upper-case name
    std::vector<Entity> entities;
    // Model-space entities that are not part of the section; paper space.
    Skips skips;
    long long stored = 0;
};

// Entities kept for placing: on section layers, on layer 0 in blocks, and
// INSERTs. Each gives at least one point or places a block.
constexpr long long kMaxStored = 2 * kMaxPoints;

Drawing Parse(std::string_view content) {
    Drawing d;
    DxfGroups groups(content);
    std::string section, type;
    std::vector<DxfGroup> rec;
    long long recLine = 0;
    std::string lastVariable;
    Block* block = nullptr;
    bool paperBlock = false;
    Entity* polyline = nullptr;  // a POLYLINE taking VERTEX records

    auto finish = [&] {
        if (type.empty()) return;
        if (type == "SECTION") {
            section.clear();
            for (const DxfGroup& x : rec)
                if (x.code == 2) {
                    section = Upper(x.value);
                    break;
                }
            return;
        }
        if (type == "ENDSEC") {
            section.clear();
            block = nullptr;
            return;
        }
        if (section == "BLOCKS" && type == "BLOCK") {
            Block b;
            Entity scratch;
            Fields f(rec, scratch);
            for (const DxfGroup& x : rec)
                if (x.code == 2) b.name = std::string(x.value);
            b.bx = f.real(10, 0), b.by = f.real(20, 0);
            const std::string key = Upper(b.name);
            if (d.blocks.size() >= static_cast<std::size_t>(kMaxStored) && !d.blocks.count(key))
                throw AppError("The drawing has more than " + std::to_string(kMaxStored) + " blocks");
            paperBlock = key.rfind("*PAPER_SPACE", 0) == 0;
            block = &(d.blocks[key] = std::move(b));
            polyline = nullptr;
            return;
        }
        if (type == "ENDBLK") {
            block = nullptr;
            polyline = nullptr;
            return;
        }
        if (section != "ENTITIES" && !(section == "BLOCKS" && block)) return;
        if (type == "VERTEX") {
            if (!polyline) return;
            Entity scratch;
            scratch.handle = polyline->handle, scratch.layer = polyline->layer, scratch.kind = polyline->kind;
            Fields f(rec, scratch);
            const long long flags = f.integer(70, 0);
            // Spline frame control points are not on the outline.
            if ((flags & 16) == 0) {
                polyline->v.push_back({f.real(10, 0), f.real(20, 0), f.real(42, 0)});
                if (static_cast<long long>(polyline->v.size()) > kMaxPoints)
                    throw AppError(polyline->name() + ": " + PointsLimit());
            }
            bool seen = polyline->width != 0 || polyline->varyingWidth;
            if (f.has(40)) TakeWidth(f.real(40, 0), seen, *polyline);
            if (f.has(41)) TakeWidth(f.real(41, 0), seen, *polyline);
            return;
        }
        polyline = nullptr;
        if (IsPart(type)) return;
        Entity e = MakeEntity(type, rec, recLine);
        std::vector<Entity>& list = block ? block->entities : d.entities;
        if (block && paperBlock) {
            d.skips.addPaper(e.layer, 1);
            return;
        }
        const bool onSection = LayerOf(e.layer) != Layer::Other || (block && e.layer == "0");
        if (!block && e.paper) {
            d.skips.addPaper(e.layer, 1);
            return;
        }
        if (e.kind != Kind::Insert && (e.kind == Kind::Skipped || !onSection)) {
            if (block && block->skipped.size() < kMaxNames)
                ++block->skipped[{e.layer, e.type}];
            else if (block)
                ++block->skipped[{block->skipped.count({e.layer, e.type}) ? e.layer : "(other layers)", e.type}];
            else
                d.skips.add(e.type, e.layer, 1);
            return;
        }
        if (++d.stored > kMaxStored)
            throw AppError("The drawing has more than " + std::to_string(kMaxStored) +
                           " entities that may be part of the section (on its layers, on layer 0 in blocks, or "
                           "INSERTs)");
        list.push_back(std::move(e));
        if (type == "POLYLINE" && list.back().kind == Kind::Polyline) polyline = &list.back();
    };

    DxfGroup g;
    while (groups.Next(g)) {
        if (g.code == 0) {
            finish();
            type = std::string(g.value);
            rec.clear();
            recLine = g.line;
            continue;
        }
        // The header's variables follow its SECTION record: only the unit is read.
        if (type == "SECTION" && rec.empty() && g.code == 2) {
            rec.push_back(g);
            continue;
        }
        if (type == "SECTION") {
            if (g.code == 9) lastVariable = std::string(g.value);
            if (lastVariable == "$INSUNITS" && g.code == 70) {
                if (!ParseDxfInteger(g.value, d.insunits))
                    throw AppError("Line " + std::to_string(g.line) + " of the drawing: '" + ShownDxfText(g.value) +
                                   "' ($INSUNITS) is not a number");
                d.hasUnits = true;
                lastVariable.clear();
            }
            continue;
        }
        if (KeepsGroups(type) || g.code == 5 || g.code == 8 || g.code == 67) {
            if (rec.size() >= kMaxEntityGroups) {
                Entity e;
                e.type = type;
                for (const DxfGroup& x : rec) {
                    if (x.code == 5) e.handle = std::string(x.value);
                    if (x.code == 8) e.layer = std::string(x.value);
                }
                throw AppError(e.name() + ": " + PointsLimit());
            }
            rec.push_back(g);
        }
    }
    finish();
    return d;
}

// ------------------------------------------------------------ placement

// x' = a x + b y + c, y' = d x + e y + f.
struct Xform {
    double a = 1, b = 0, c = 0, d = 0, e = 1, f = 0;
    Pt apply(Pt p) const { return {a * p.x + b * p.y + c, d * p.x + e * p.y + f}; }
    Xform then(const Xform& inner) const {  // this after inner
        return {a * inner.a + b * inner.d, a * inner.b + b * inner.e, a * inner.c + b * inner.f + c,
                d * inner.a + e * inner.d, d * inner.b + e * inner.e, d * inner.c + e * inner.f + f};
    }
    // The largest and smallest stretch of a length.
    void stretch(double& hi, double& lo) const {
        const double p = a * a + b * b + d * d + e * e, q = std::fabs(a * e - b * d);
        hi = std::sqrt((p + std::sqrt(std::max(0.0, p * p - 4 * q * q))) / 2);
        lo = hi > 0 ? q / hi : 0;
    }
};

Xform Mirror(bool on) { return on ? Xform{-1, 0, 0, 0, 1, 0} : Xform{}; }

// Sides needed for an arc of `angle` radians and radius r so that each lies
// at most `tol` from it.
int ArcSides(double angle, double r, double tol) {
    if (!(r > tol)) return 1;
    const double step = 2 * std::acos(1 - tol / r);
    const double n = std::ceil(std::fabs(angle) / step);
    return static_cast<int>(std::clamp(n, 1.0, static_cast<double>(kMaxPoints + 1)));
}

// The points of an arc from a to b with the polyline's bulge (the tangent of
// a quarter of the swept angle, positive counter-clockwise), without b.
void AppendArc(const Vtx& a, const Vtx& b, double tol, Ring& out, const std::string& where) {
    out.push_back({a.x, a.y});
    if (std::fabs(a.bulge) < kStraightBulge) return;
    const double theta = 4 * std::atan(a.bulge);
    const double vx = b.x - a.x, vy = b.y - a.y;
    const double c = std::hypot(vx, vy);
    if (c == 0) return;
    const double mx = (a.x + b.x) / 2, my = (a.y + b.y) / 2;
    const double off = (c / 2) / std::tan(theta / 2);
    const double cx = mx - vy / c * off, cy = my + vx / c * off;
    const double r = std::hypot(a.x - cx, a.y - cy);
    const double a0 = std::atan2(a.y - cy, a.x - cx);
    const int n = ArcSides(theta, r, tol);
    if (static_cast<long long>(out.size()) + n > kMaxPoints) throw AppError(where + ": " + PointsLimit());
    for (int k = 1; k < n; ++k) {
        const double t = a0 + theta * k / n;
        out.push_back({cx + r * std::cos(t), cy + r * std::sin(t)});
    }
}

Ring CircleRing(double cx, double cy, double r, double tol, const std::string& where) {
    int n = std::max(8, ArcSides(2 * kPi, r, tol));
    n = (n + 3) / 4 * 4;  // a multiple of 4: symmetric about both axes
    if (n > kMaxPoints) throw AppError(where + ": " + PointsLimit());
    Ring out;
    out.reserve(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k) {
        const double t = 2 * kPi * k / n;
        out.push_back({cx + r * std::cos(t), cy + r * std::sin(t)});
    }
    return out;
}

// A rational B-spline's point at u (de Boor).
Pt SplineAt(const Entity& e, double u) {
    const int p = e.degree;
    const auto& k = e.knots;
    const int n = static_cast<int>(e.v.size());
    // The span k[span] <= u < k[span + 1], the last one for u at the end.
    const auto up = std::upper_bound(k.begin() + p, k.begin() + n, u);
    const int span = std::clamp(static_cast<int>(up - k.begin()) - 1, p, n - 1);
    double dx[32], dy[32], dw[32];
    for (int j = 0; j <= p; ++j) {
        const size_t i = static_cast<size_t>(span - p + j);
        const double w = e.weights.empty() ? 1 : e.weights[i];
        dx[j] = e.v[i].x * w, dy[j] = e.v[i].y * w, dw[j] = w;
    }
    for (int r = 1; r <= p; ++r)
        for (int j = p; j >= r; --j) {
            const double lo = k[static_cast<size_t>(j + span - p)], hi = k[static_cast<size_t>(j + 1 + span - r)];
            const double al = (u - lo) / (hi - lo);
            dx[j] = (1 - al) * dx[j - 1] + al * dx[j];
            dy[j] = (1 - al) * dy[j - 1] + al * dy[j];
            dw[j] = (1 - al) * dw[j - 1] + al * dw[j];
        }
    return {dx[p] / dw[p], dy[p] / dw[p]};
}

class Flattener {
public:
    Flattener(const Entity& e, double tol, const std::string& where) : e_(e), tol_(tol), where_(where) {}
    void run(Ring& out) {
        const auto& k = e_.knots;
        const size_t p = static_cast<size_t>(e_.degree);
        const double u0 = k[p], u1 = k[k.size() - 1 - p];
        out.push_back(SplineAt(e_, u0));
        for (size_t i = p; i + 1 < k.size() - p; ++i) {
            if (!(k[i + 1] > k[i])) continue;
            // Four pieces per span, each halved until it lies within tol.
            for (int q = 0; q < 4; ++q) {
                const double a = k[i] + (k[i + 1] - k[i]) * q / 4, b = q == 3 ? k[i + 1] : k[i] + (k[i + 1] - k[i]) * (q + 1) / 4;
                split(a, b, out.back(), SplineAt(e_, std::min(b, u1)), 0, out);
            }
        }
    }

private:
    void split(double a, double b, Pt pa, Pt pb, int depth, Ring& out) {
        const double m = (a + b) / 2;
        const Pt pm = SplineAt(e_, m);
        const double len = std::hypot(pb.x - pa.x, pb.y - pa.y);
        const double dev = len > 0 ? std::fabs((pb.x - pa.x) * (pa.y - pm.y) - (pa.x - pm.x) * (pb.y - pa.y)) / len
                                   : std::hypot(pm.x - pa.x, pm.y - pa.y);
        // Halved until the middle lies within half the tolerance: the
        // largest distance need not fall at the middle parameter.
        if (dev > tol_ / 2 && depth < 30) {
            split(a, m, pa, pm, depth + 1, out);
            split(m, b, pm, pb, depth + 1, out);
            return;
        }
        if (static_cast<long long>(out.size()) >= kMaxPoints) throw AppError(where_ + ": " + PointsLimit());
        out.push_back(pb);
    }
    const Entity& e_;
    double tol_;
    const std::string& where_;
};

void CheckSpline(const Entity& e, const std::string& where) {
    if (e.v.empty())
        throw AppError(where + ": a SPLINE given by fit points only is not read; save it with its control points");
    const size_t n = e.v.size();
    if (e.degree < 1 || e.degree > 25 || n < static_cast<size_t>(e.degree) + 1)
        throw AppError(where + ": the SPLINE's degree " + std::to_string(e.degree) + " does not fit its " +
                       std::to_string(n) + " control points");
    if (e.knots.size() != n + static_cast<size_t>(e.degree) + 1)
        throw AppError(where + ": the SPLINE has " + std::to_string(e.knots.size()) + " knots; " +
                       std::to_string(n + static_cast<size_t>(e.degree) + 1) + " are needed");
    for (size_t i = 1; i < e.knots.size(); ++i)
        if (e.knots[i] < e.knots[i - 1]) throw AppError(where + ": the SPLINE's knots decrease");
    const size_t p = static_cast<size_t>(e.degree);
    if (!(e.knots[e.knots.size() - 1 - p] > e.knots[p])) throw AppError(where + ": the SPLINE's knots span nothing");
    if (!e.weights.empty()) {
        if (e.weights.size() != n)
            throw AppError(where + ": the SPLINE has " + std::to_string(e.weights.size()) + " weights for " +
                           std::to_string(n) + " control points");
        for (double w : e.weights)
            if (!(w > 0)) throw AppError(where + ": the SPLINE's weights must be greater than 0");
    }
}

// A piece of outline in mm, closed or waiting to be joined.
struct Piece {
    Layer layer;
    Ring pts;
    std::string where;
    bool polyline = false;
};

class Placer {
public:
    Placer(const Drawing& d, double unit) : skips(d.skips), d_(d) { root_ = {unit, 0, 0, 0, unit, 0}; }

    std::vector<Piece> rings, chains;
    std::vector<Bar> bars;
    Skips skips;
    Names unplacedBlocks;

    void run() {
        for (const Entity& e : d_.entities) place(e, root_, "", "", 0);
        std::set<std::string> inserted = used_;
        for (const auto& [key, b] : d_.blocks) {
            if (inserted.count(key) || key.rfind("*PAPER_SPACE", 0) == 0 || key.rfind("*MODEL_SPACE", 0) == 0)
                continue;
            for (const Entity& e : b.entities)
                if (LayerOf(e.layer) != Layer::Other && e.kind != Kind::Skipped) unplacedBlocks.insert(ShownDxfText(b.name));
        }
    }

private:
    void count(long long n) {
        points_ += n;
        if (points_ > kMaxPoints) throw AppError("The drawing has more than " + std::to_string(kMaxPoints) + " points");
    }
    void place(const Entity& e, const Xform& xf, const std::string& inherited, const std::string& in, int depth) {
        if (depth > 0 && ++placed_ > kMaxPlaced)
            throw AppError("The drawing's blocks place more than " + std::to_string(kMaxPlaced) + " entities");
        const std::string layerName = !inherited.empty() && e.layer == "0" ? inherited : e.layer;
        const std::string where = e.name(layerName) + in;
        const Layer l = LayerOf(layerName);
        if (e.kind == Kind::Insert) {
            explode(e, xf, layerName, where, depth);
            return;
        }
        if (e.kind == Kind::Skipped || l == Layer::Other) {
            skips.add(e.type, layerName, 1);
            return;
        }
        double hi = 0, lo = 0;
        xf.stretch(hi, lo);
        const double tol = kChordError / hi;
        // An ellipse's points are the drawing's own; its extrusion only turns its minor axis.
        const Xform full = xf.then(Mirror(e.mirror && e.kind != Kind::Ellipse));
        const bool isDonut = e.kind == Kind::Polyline && e.closed && e.v.size() == 2 && (e.width > 0 || e.varyingWidth) &&
                             std::fabs(std::fabs(e.v[0].bulge) - 1) < 1e-6 && std::fabs(e.v[1].bulge - e.v[0].bulge) < 1e-6;
        if (l == Layer::Rebar) {
            double d = 0, cx = 0, cy = 0;
            if (e.kind == Kind::Circle) {
                d = 2 * e.r, cx = e.cx, cy = e.cy;
            } else if (isDonut && !e.varyingWidth) {
                // A filled DONUT: its centre line's diameter equals its width.
                const double chord = std::hypot(e.v[1].x - e.v[0].x, e.v[1].y - e.v[0].y);
                if (std::fabs(chord - e.width) > 1e-6 * chord)
                    throw AppError(where + ": a DONUT with an inside diameter (" + Length(chord - e.width) +
                                   ") is not a bar; draw bars as CIRCLEs or filled DONUTs");
                d = chord + e.width, cx = (e.v[0].x + e.v[1].x) / 2, cy = (e.v[0].y + e.v[1].y) / 2;
            } else {
                throw AppError(where + ": a bar is drawn as a CIRCLE or a filled DONUT on layer REBAR");
            }
            if (hi - lo > 1e-9 * hi)
                throw AppError(where + ": the block is scaled differently in x and y, which makes the bar no circle");
            count(1);
            const Pt c = full.apply({cx, cy});
            for (double v : {c.x, c.y, d * hi})
                if (!(std::fabs(v) <= kMaxCoordinate))
                    throw AppError(where + ": a length is beyond 1000000000 mm (1,000 km)");
            bars.push_back({c.x, c.y, d * hi, where});
            return;
        }
        if (isDonut)
            throw AppError(where + ": a DONUT (a polyline " + Length(e.width) +
                           " wide) is not read as an outline; draw its edges as circles, or put a filled one on REBAR");
        Ring pts;
        bool closed = false;
        switch (e.kind) {
            case Kind::Polyline: {
                if (e.v.empty()) throw AppError(where + ": the polyline has no vertices");
                closed = e.closed;
                std::vector<Vtx> v = e.v;
                for (size_t i = 0; i + 1 < v.size() || (closed && i < v.size()); ++i)
                    AppendArc(v[i], v[(i + 1) % v.size()], tol, pts, where);
                if (!closed) pts.push_back({v.back().x, v.back().y});
                break;
            }
            case Kind::Circle:
                pts = CircleRing(e.cx, e.cy, e.r, tol, where);
                closed = true;
                break;
            case Kind::Arc: {
                double sweep = std::fmod(e.a1 - e.a0, 360.0);
                if (sweep <= 0) sweep += 360;
                const double a0 = e.a0 * kPi / 180, th = sweep * kPi / 180;
                const int n = ArcSides(th, e.r, tol);
                if (n > kMaxPoints) throw AppError(where + ": " + PointsLimit());
                for (int k = 0; k <= n; ++k)
                    pts.push_back({e.cx + e.r * std::cos(a0 + th * k / n), e.cy + e.r * std::sin(a0 + th * k / n)});
                break;
            }
            case Kind::Line:
                pts = {{e.v[0].x, e.v[0].y}, {e.v[1].x, e.v[1].y}};
                break;
            case Kind::Ellipse: {
                double sweep = std::fmod(e.a1 - e.a0, 2 * kPi);
                if (sweep <= 1e-12) sweep += 2 * kPi;
                sweep = std::min(sweep, 2 * kPi);
                closed = sweep > 2 * kPi - 1e-9;
                const double major = std::hypot(e.mx, e.my);
                // Minor axis: the major turned a quarter about the extrusion.
                const double nx = (e.mirror ? e.my : -e.my) * e.ratio, ny = (e.mirror ? -e.mx : e.mx) * e.ratio;
                // A side over a parameter step h lies within h^2 / 8 * major of the curve.
                const double h = std::sqrt(8 * tol / major);
                const double steps = std::ceil(sweep / h);
                if (!(steps <= kMaxPoints)) throw AppError(where + ": " + PointsLimit());
                const int n = std::max(closed ? 16 : 1, static_cast<int>(steps));
                for (int k = 0; k < n + (closed ? 0 : 1); ++k) {
                    const double t = e.a0 + sweep * k / n;
                    pts.push_back({e.cx + std::cos(t) * e.mx + std::sin(t) * nx, e.cy + std::cos(t) * e.my + std::sin(t) * ny});
                }
                break;
            }
            case Kind::Spline:
                CheckSpline(e, where);
                Flattener(e, tol, where).run(pts);
                break;
            default:
                break;
        }
        count(static_cast<long long>(pts.size()));
        for (Pt& p : pts) {
            p = full.apply(p);
            if (!(std::fabs(p.x) <= kMaxCoordinate && std::fabs(p.y) <= kMaxCoordinate))
                throw AppError(where + ": a length is beyond 1000000000 mm (1,000 km)");
        }
        Piece piece{l, std::move(pts), where, e.kind == Kind::Polyline};
        (closed ? rings : chains).push_back(std::move(piece));
    }

    void explode(const Entity& ins, const Xform& xf, const std::string& layer, const std::string& where, int depth) {
        const std::string key = Upper(ins.block);
        const auto it = d_.blocks.find(key);
        if (it == d_.blocks.end())
            throw AppError(where + ": the block '" + ShownDxfText(ins.block) + "' is not in the drawing");
        if (depth >= kMaxBlockDepth || active_.count(key))
            throw AppError(where + ": the block '" + ShownDxfText(ins.block) + "' inserts itself or nests more than " +
                           std::to_string(kMaxBlockDepth) + " deep");
        if (ins.sx == 0 || ins.sy == 0) throw AppError(where + ": the INSERT's scale is 0");
        const long long cols = std::max(1LL, ins.cols), rows = std::max(1LL, ins.rows);
        const double cells = static_cast<double>(cols) * static_cast<double>(rows);
        if (cells * static_cast<double>(it->second.entities.size() + it->second.skipped.size() + 1) >
            static_cast<double>(kMaxPlaced - placed_))
            throw AppError("The drawing's blocks place more than " + std::to_string(kMaxPlaced) + " entities");
        used_.insert(key);
        active_.insert(key);
        const Block& b = it->second;
        const double t = ins.angle * kPi / 180, c = std::cos(t), s = std::sin(t);
        for (long long r = 0; r < rows; ++r)
            for (long long k = 0; k < cols; ++k) {
                ++placed_;
                // Block units to the INSERT's: less the base point, scaled,
                // moved along the array, turned, moved to the insertion point.
                const double ox = k * ins.colSpacing, oy = r * ins.rowSpacing;
                const Xform local{c * ins.sx, -s * ins.sy, c * (ox - ins.sx * b.bx) - s * (oy - ins.sy * b.by) + ins.cx,
                                  s * ins.sx, c * ins.sy, s * (ox - ins.sx * b.bx) + c * (oy - ins.sy * b.by) + ins.cy};
                const Xform m = xf.then(Mirror(ins.mirror)).then(local);
                for (const Entity& e : b.entities)
                    place(e, m, layer, " in block " + ShownDxfText(b.name), depth + 1);
                for (const auto& [what, n] : b.skipped) {
                    placed_ += 1;
                    skips.add(what.second, what.first == "0" ? layer : what.first, n);
                }
            }
        active_.erase(key);
    }

    const Drawing& d_;
    Xform root_;
    long long points_ = 0, placed_ = 0;
    std::set<std::string> used_, active_;
};

// Ends of pieces on one layer joined into closed rings.
void JoinChains(std::vector<Piece>& chains, std::vector<Piece>& rings) {
    const size_t n = chains.size();
    if (n == 0) return;
    using Key = std::pair<long long, long long>;
    std::map<Key, std::vector<size_t>> grid;  // end index: 2 i (start), 2 i + 1 (end)
    auto endPt = [&](size_t e) { const Ring& r = chains[e / 2].pts; return e % 2 ? r.back() : r.front(); };
    auto keyOf = [](Pt p) { return Key{std::llround(p.x / kJoinDistance), std::llround(p.y / kJoinDistance)}; };
    for (size_t e = 0; e < 2 * n; ++e) grid[keyOf(endPt(e))].push_back(e);
    std::vector<long long> partner(2 * n, -1);
    for (size_t e = 0; e < 2 * n; ++e) {
        const Pt p = endPt(e);
        const Key k = keyOf(p);
        std::vector<size_t> near;
        for (long long dx = -1; dx <= 1; ++dx)
            for (long long dy = -1; dy <= 1; ++dy) {
                const auto it = grid.find({k.first + dx, k.second + dy});
                if (it == grid.end()) continue;
                for (size_t o : it->second) {
                    const Pt q = endPt(o);
                    if (o != e && chains[o / 2].layer == chains[e / 2].layer && std::hypot(q.x - p.x, q.y - p.y) <= kJoinDistance)
                        near.push_back(o);
                }
            }
        const Piece& pc = chains[e / 2];
        const std::string at = " at (" + Length(p.x) + ", " + Length(p.y) + ") mm";
        if (near.empty()) {
            if (pc.polyline && n == 1) throw AppError(pc.where + ": the polyline is open; close it to make an outline");
            throw AppError(pc.where + ": its end" + at +
                           " meets no other line, arc or open polyline of its layer; close the outline");
        }
        if (near.size() > 1)
            throw AppError(pc.where + ": more than two ends meet" + at + "; an outline cannot branch");
        partner[e] = static_cast<long long>(near[0]);
    }
    std::vector<bool> used(n, false);
    for (size_t i = 0; i < n; ++i) {
        if (used[i]) continue;
        Piece ring{chains[i].layer, {}, chains[i].where, false};
        size_t count = 0, cur = i;
        bool forward = true;
        while (true) {
            used[cur] = true;
            ++count;
            const Ring& r = chains[cur].pts;
            if (forward) ring.pts.insert(ring.pts.end(), r.begin(), r.end() - 1);
            else ring.pts.insert(ring.pts.end(), r.rbegin(), r.rend() - 1);
            const size_t out = 2 * cur + (forward ? 1 : 0);
            const size_t next = static_cast<size_t>(partner[out]);
            cur = next / 2;
            forward = next % 2 == 0;
            if (cur == i) break;
            if (used[cur]) break;  // cannot happen with every end paired once
        }
        if (count > 1) ring.where += " and " + std::to_string(count - 1) + (count == 2 ? " more entity" : " more entities");
        rings.push_back(std::move(ring));
    }
}

}  // namespace

bool IsBinaryDxf(std::string_view content) {
    return content.substr(0, 18) == "AutoCAD Binary DXF";
}

Shape ReadDxf(std::string_view content) {
    if (static_cast<long long>(content.size()) > kMaxFileBytes)
        throw AppError("The drawing is larger than 50 MB (" + std::to_string(kMaxFileBytes) + " bytes)");
    if (IsBinaryDxf(content))
        throw AppError("The drawing is a binary DXF file; save it as an ASCII DXF drawing");

    const Drawing d = Parse(content);
    const long long units = d.hasUnits ? d.insunits : 0;
    Placer p(d, UnitScale(units));
    p.run();
    JoinChains(p.chains, p.rings);

    Shape s;
    std::vector<std::pair<Ring, std::string>> holes;
    for (Piece& piece : p.rings) {
        Ring ring = Normalized(piece.pts);
        if (piece.layer == Layer::Hole) {
            holes.emplace_back(std::move(ring), piece.where);
            continue;
        }
        Polygon poly;
        poly.group = piece.layer == Layer::Cover ? Group::Cover : piece.layer == Layer::Core1 ? Group::Core1
                   : piece.layer == Layer::Core2 ? Group::Core2 : Group::Steel;
        poly.outer = std::move(ring);
        poly.where = piece.where;
        s.polygons.push_back(std::move(poly));
    }
    s.bars = std::move(p.bars);

    const Skips& k = p.skips;
    if (s.polygons.empty()) {
        std::string m = "The section has no polygon: the drawing has no closed outline on the layers COVER, CORE1, "
                        "CORE2 or STEEL in model space";
        if (!k.otherLayers.empty()) m += "; its entities are on " + k.otherLayers.list("layer");
        if (!p.unplacedBlocks.empty())
            m += "; " + p.unplacedBlocks.list("block") +
                 (p.unplacedBlocks.names.size() == 1 && !p.unplacedBlocks.more ? " holds" : " hold") +
                 " entities on section layers but no INSERT places them";
        if (k.paper > 0)
            m += "; " + std::to_string(k.paper) + (k.paper == 1 ? " entity" : " entities") + " on section layers " +
                 (k.paper == 1 ? "is" : "are") + " in paper space";
        throw AppError(m);
    }
    AttachHoles(s.polygons, holes);

    std::vector<std::string> notes;
    if (k.ignored > 0) {
        std::string w = "Ignored " + std::to_string(k.ignored) + (k.ignored == 1 ? " entity" : " entities");
        std::string sep = ": ";
        if (!k.otherLayers.empty()) {
            w += sep + "on " + k.otherLayers.list("layer");
            sep = "; ";
        }
        for (const std::string& x : k.otherKinds.names) w += sep + x, sep = ", ";
        if (k.otherKinds.more) w += " and more";
        if (k.paper > 0)
            w += (sep == ", " ? "; " : sep) + std::to_string(k.paper) + " in paper space on " + k.paperLayers.list("layer");
        notes.push_back(w);
    }
    // A drawing in another unit than it says gives a section 1,000 times off.
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    for (const Polygon& poly : s.polygons)
        for (const Pt& q : poly.outer) x0 = std::min(x0, q.x), y0 = std::min(y0, q.y), x1 = std::max(x1, q.x), y1 = std::max(y1, q.y);
    const double extent = std::max(x1 - x0, y1 - y0);
    if (extent < 50 || extent > 50000)
        notes.push_back("The section measures " + Length(x1 - x0) + " x " + Length(y1 - y0) + " mm with the drawing's units read as " +
                        UnitName(units) + " (" + (d.hasUnits ? "$INSUNITS = " + std::to_string(units) : std::string("no $INSUNITS")) +
                        "); check the drawing's units");
    for (const std::string& n : notes) s.warning += (s.warning.empty() ? "" : ". ") + n;
    ValidateShape(s);
    return s;
}

}  // namespace px::geom
