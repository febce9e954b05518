#include "geometry/dxf_reader.h"

#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "geometry/validate.h"
#include "input/error.h"

namespace px::geom {

namespace {

constexpr double kPi = 3.14159265358979323846;
// The largest distance between a curve and the sides that replace it, mm.
constexpr double kChordError = 0.5;

enum class Layer { Cover, Core1, Core2, Steel, Hole, Rebar, Other };

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
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

std::string HandleText(int h) {
    if (h < 0) return "without handle";
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(h));
    return buf;
}

std::string EntityName(const std::string& kind, int handle, const std::string& layer) {
    return kind + " " + HandleText(handle) + " on layer " + layer;
}

struct RawVertex {
    double x, y, bulge;
};

struct RawPolyline {
    std::string layer, where;
    bool closed = false;
    std::vector<RawVertex> v;
};

struct RawCircle {
    std::string layer, where;
    double cx, cy, r;
};

class Collector : public DL_CreationAdapter {
public:
    std::vector<RawPolyline> polylines;
    std::vector<RawCircle> circles;
    std::set<std::string> otherLayers;
    std::set<std::string> otherKinds;  // "LINE on COVER"
    long long ignored = 0;
    long long points = 0;
    int insunits = 0;

    void addBlock(const DL_BlockData&) override { inBlock_ = true, current_ = -1; }
    void endBlock() override { inBlock_ = false; }
    void setVariableInt(const std::string& key, int value, int) override {
        if (key == "$INSUNITS") insunits = value;
    }

    void addPolyline(const DL_PolylineData& d) override {
        current_ = -1;
        if (inBlock_) return;
        const DL_Attributes a = getAttributes();
        const Layer l = LayerOf(a.getLayer());
        // Polygon meshes and polyface meshes are not outlines.
        if (l == Layer::Other || l == Layer::Rebar || (d.flags & (16 | 64)) != 0) {
            skip("POLYLINE", a.getLayer(), l);
            return;
        }
        RawPolyline p;
        p.layer = a.getLayer();
        p.where = EntityName("Polyline", a.getHandle(), a.getLayer());
        p.closed = (d.flags & 1) != 0;
        polylines.push_back(std::move(p));
        current_ = static_cast<long long>(polylines.size()) - 1;
    }
    void addVertex(const DL_VertexData& d) override {
        if (current_ < 0) return;
        if (++points > kMaxPoints) return;
        polylines[static_cast<size_t>(current_)].v.push_back({d.x, d.y, d.bulge});
    }
    void addCircle(const DL_CircleData& d) override {
        current_ = -1;
        if (inBlock_) return;
        const DL_Attributes a = getAttributes();
        const Layer l = LayerOf(a.getLayer());
        if (l == Layer::Other) {
            skip("CIRCLE", a.getLayer(), l);
            return;
        }
        ++points;
        circles.push_back({a.getLayer(), EntityName("Circle", a.getHandle(), a.getLayer()), d.cx, d.cy, d.radius});
    }

    void addPoint(const DL_PointData&) override { other("POINT"); }
    void addLine(const DL_LineData&) override { other("LINE"); }
    void addXLine(const DL_XLineData&) override { other("XLINE"); }
    void addRay(const DL_RayData&) override { other("RAY"); }
    void addArc(const DL_ArcData&) override { other("ARC"); }
    void addEllipse(const DL_EllipseData&) override { other("ELLIPSE"); }
    void addSpline(const DL_SplineData&) override { other("SPLINE"); }
    void addInsert(const DL_InsertData&) override { other("INSERT"); }
    void addTrace(const DL_TraceData&) override { other("TRACE"); }
    void add3dFace(const DL_3dFaceData&) override { other("3DFACE"); }
    void addSolid(const DL_SolidData&) override { other("SOLID"); }
    void addMText(const DL_MTextData&) override { other("MTEXT"); }
    void addText(const DL_TextData&) override { other("TEXT"); }
    void addArcAlignedText(const DL_ArcAlignedTextData&) override { other("ARCALIGNEDTEXT"); }
    void addDimAlign(const DL_DimensionData&, const DL_DimAlignedData&) override { other("DIMENSION"); }
    void addDimLinear(const DL_DimensionData&, const DL_DimLinearData&) override { other("DIMENSION"); }
    void addDimRadial(const DL_DimensionData&, const DL_DimRadialData&) override { other("DIMENSION"); }
    void addDimDiametric(const DL_DimensionData&, const DL_DimDiametricData&) override { other("DIMENSION"); }
    void addDimAngular(const DL_DimensionData&, const DL_DimAngular2LData&) override { other("DIMENSION"); }
    void addDimAngular3P(const DL_DimensionData&, const DL_DimAngular3PData&) override { other("DIMENSION"); }
    void addDimOrdinate(const DL_DimensionData&, const DL_DimOrdinateData&) override { other("DIMENSION"); }
    void addLeader(const DL_LeaderData&) override { other("LEADER"); }
    void addHatch(const DL_HatchData&) override { other("HATCH"); }
    void addImage(const DL_ImageData&) override { other("IMAGE"); }

private:
    void other(const char* kind) {
        current_ = -1;
        if (inBlock_) return;
        const std::string layer = getAttributes().getLayer();
        skip(kind, layer, LayerOf(layer));
    }
    void skip(const std::string& kind, const std::string& layer, Layer l) {
        ++ignored;
        if (l == Layer::Other)
            otherLayers.insert(layer);
        else
            otherKinds.insert(kind + " on " + layer);
    }
    bool inBlock_ = false;
    long long current_ = -1;
};

// mm per drawing unit of an $INSUNITS code.
double UnitScale(int code) {
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

// Sides needed for an arc of `angle` radians and radius r so that each lies
// at most `tol` from it.
int ArcSides(double angle, double r, double tol) {
    if (!(r > tol)) return 1;
    const double step = 2 * std::acos(1 - tol / r);
    const double n = std::ceil(std::fabs(angle) / step);
    return static_cast<int>(std::clamp(n, 1.0, static_cast<double>(kMaxPoints)));
}

void Finite(double v, const std::string& where) {
    if (!std::isfinite(v)) throw AppError(where + ": a coordinate is not a finite number");
}

// A coordinate or diameter in mm.
void InRange(double v, const std::string& where) {
    if (!(std::fabs(v) <= kMaxCoordinate)) throw AppError(where + ": a length is beyond 1000000000 mm (1,000 km)");
}

// The points of an arc from a to b with the polyline's bulge (the tangent of
// a quarter of the swept angle, positive counter-clockwise), without b.
void AppendArc(const RawVertex& a, const RawVertex& b, double tol, Ring& out, const std::string& where) {
    out.push_back({a.x, a.y});
    if (a.bulge == 0) return;
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
    if (static_cast<long long>(out.size()) + n > kMaxPoints)
        throw AppError(where + ": the drawing has more than " + std::to_string(kMaxPoints) + " points");
    for (int k = 1; k < n; ++k) {
        const double t = a0 + theta * k / n;
        out.push_back({cx + r * std::cos(t), cy + r * std::sin(t)});
    }
}

Ring CircleRing(double cx, double cy, double r, double tol) {
    int n = std::max(8, ArcSides(2 * kPi, r, tol));
    n = (n + 3) / 4 * 4;  // a multiple of 4: symmetric about both axes
    Ring out;
    out.reserve(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k) {
        const double t = 2 * kPi * k / n;
        out.push_back({cx + r * std::cos(t), cy + r * std::sin(t)});
    }
    return out;
}

Ring Scaled(Ring r, double s) {
    for (Pt& p : r) p = {p.x * s, p.y * s};
    return r;
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

    Collector c;
    {
        std::istringstream in{std::string(content)};
        DL_Dxf dxf;
        if (!dxf.in(in, &c)) throw AppError("The drawing could not be read as a DXF file");
    }
    if (c.points > kMaxPoints)
        throw AppError("The drawing has more than " + std::to_string(kMaxPoints) + " points");
    const double scale = UnitScale(c.insunits);
    const double tol = kChordError / scale;

    Shape s;
    std::vector<std::pair<Ring, std::string>> holes;
    long long points = 0;
    auto place = [&](Layer l, Ring ring, const std::string& where) {
        points += static_cast<long long>(ring.size());
        if (points > kMaxPoints)
            throw AppError(where + ": the drawing has more than " + std::to_string(kMaxPoints) + " points");
        for (const Pt& p : ring) InRange(p.x * scale, where), InRange(p.y * scale, where);
        ring = Normalized(Scaled(std::move(ring), scale));
        if (l == Layer::Hole) {
            holes.emplace_back(std::move(ring), where);
            return;
        }
        Polygon p;
        p.group = l == Layer::Cover ? Group::Cover : l == Layer::Core1 ? Group::Core1
                : l == Layer::Core2 ? Group::Core2 : Group::Steel;
        p.outer = std::move(ring);
        p.where = where;
        s.polygons.push_back(std::move(p));
    };

    for (const RawPolyline& p : c.polylines) {
        bool closed = p.closed;
        std::vector<RawVertex> v = p.v;
        // Ends drawn on the same point close the outline as well as the flag.
        if (!closed && v.size() > 3 && v.front().x == v.back().x && v.front().y == v.back().y) {
            v.pop_back();
            closed = true;
        }
        if (!closed) throw AppError(p.where + ": the polyline is open; close it to make an outline");
        for (const RawVertex& x : v) Finite(x.x, p.where), Finite(x.y, p.where), Finite(x.bulge, p.where);
        Ring ring;
        for (size_t i = 0; i < v.size(); ++i) AppendArc(v[i], v[(i + 1) % v.size()], tol, ring, p.where);
        place(LayerOf(p.layer), std::move(ring), p.where);
    }
    for (const RawCircle& ci : c.circles) {
        for (double x : {ci.cx, ci.cy, ci.r}) Finite(x, ci.where);
        if (!(ci.r > 0)) throw AppError(ci.where + ": the circle's radius must be greater than 0");
        const Layer l = LayerOf(ci.layer);
        if (l == Layer::Rebar) {
            if (++points > kMaxPoints)
                throw AppError(ci.where + ": the drawing has more than " + std::to_string(kMaxPoints) + " points");
            for (double x : {ci.cx, ci.cy, 2 * ci.r}) InRange(x * scale, ci.where);
            s.bars.push_back({ci.cx * scale, ci.cy * scale, 2 * ci.r * scale, ci.where});
        } else {
            place(l, CircleRing(ci.cx, ci.cy, ci.r, tol), ci.where);
        }
    }
    AttachHoles(s.polygons, holes);

    if (c.ignored > 0) {
        std::string w = "Ignored " + std::to_string(c.ignored) + (c.ignored == 1 ? " entity" : " entities");
        std::string sep = ": ";
        if (!c.otherLayers.empty()) {
            w += sep + "on layer" + (c.otherLayers.size() == 1 ? " " : "s ");
            bool first = true;
            for (const std::string& l : c.otherLayers) w += (first ? "" : ", ") + l, first = false;
            sep = "; ";
        }
        for (const std::string& k : c.otherKinds) w += sep + k, sep = ", ";
        s.warning = w;
    }
    ValidateShape(s);
    return s;
}

}  // namespace px::geom
