#include "section/section_export.h"

#include <cmath>
#include <numeric>
#include <vector>

#include "geometry/boost_types.h"
#include "geometry/section_file.h"
#include "geometry/validate.h"
#include "input/error.h"
#include "input/field_defaults.h"

namespace px {

using namespace geom;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kChordError = 0.5;  // mm between a circle and its sides

Ring Rect(double cx, double cy, double w, double h) {
    return {{cx - w / 2, cy - h / 2}, {cx + w / 2, cy - h / 2}, {cx + w / 2, cy + h / 2}, {cx - w / 2, cy + h / 2}};
}

// Sides of the circles of a template meshed with `sectors` sectors, for the
// largest radius r.
int CircleSides(int sectors, double r) {
    const int n = std::max(sectors, 1);
    const int step = n * (4 / std::gcd(n, 4));  // keep the count a multiple of 4
    int m = step;
    while (m < 4096 && r * (1 - std::cos(kPi / m)) > kChordError) m += step;
    return m;
}

Ring Circle(double r, int sides) {
    Ring out;
    out.reserve(static_cast<size_t>(sides));
    for (int k = 0; k < sides; ++k) {
        const double t = 2 * kPi * k / sides;
        out.push_back({r * std::cos(t), r * std::sin(t)});
    }
    return out;
}

Polygon Poly(Group g, Ring outer, std::vector<Ring> holes = {}) {
    Polygon p;
    p.group = g;
    p.outer = std::move(outer);
    p.holes = std::move(holes);
    p.holeWhere.assign(p.holes.size(), "");
    return p;
}

void AddBar(Shape& s, double x, double y, double d) {
    if (d > 0) s.bars.push_back({x, y, d, ""});
}

void RectColumn(const SectionInput& in, Shape& s, std::vector<Ring> coreHoles = {}) {
    const double B = in.B, H = in.H, cv = in.Cover;
    const double Bc = B - 2 * cv, Hc = H - 2 * cv;
    if (cv > 0) s.polygons.push_back(Poly(Group::Cover, Rect(0, 0, B, H), {Rect(0, 0, Bc, Hc)}));
    s.polygons.push_back(Poly(Group::Core1, Rect(0, 0, Bc, Hc), std::move(coreHoles)));
    for (int r = 1; r <= in.XBarRows; ++r)
        for (int m = 1; m <= in.XBarNum; ++m) {
            const double x = -B / 2 + cv + Bc / (in.XBarNum + 1) * m;
            AddBar(s, x, -H / 2 + cv + (r - 1) * 40, in.XBarDia);
            AddBar(s, x, H / 2 - cv - (r - 1) * 40, in.XBarDia);
        }
    for (int r = 1; r <= in.YBarRows; ++r)
        for (int m = 1; m <= in.YBarNum; ++m) {
            const double y = -H / 2 + cv + Hc / (in.YBarNum + 1) * m;
            AddBar(s, -B / 2 + cv + (r - 1) * 40, y, in.YBarDia);
            AddBar(s, B / 2 - cv - (r - 1) * 40, y, in.YBarDia);
        }
    // A corner bundle is one bar of the bundle's area.
    if (in.CornerBarNum > 0) {
        const double d = std::sqrt(static_cast<double>(in.CornerBarNum)) * in.CornerBarDia;
        const double cx[4] = {-B / 2 + cv, B / 2 - cv, B / 2 - cv, -B / 2 + cv};
        const double cy[4] = {-H / 2 + cv, -H / 2 + cv, H / 2 - cv, H / 2 - cv};
        for (int c = 0; c < 4; ++c) AddBar(s, cx[c], cy[c], d);
    }
}

void CircularColumn(const SectionInput& in, Shape& s) {
    const double D = in.H, cv = in.Cover, Rc = (D - 2 * cv) / 2;
    const int sides = CircleSides(in.MeshX, D / 2);
    if (cv > 0) s.polygons.push_back(Poly(Group::Cover, Circle(D / 2, sides), {Circle(Rc, sides)}));
    s.polygons.push_back(Poly(Group::Core1, Circle(Rc, sides)));
    for (int m = 1; m <= in.XBarNum; ++m) {
        const double a = (360.0 / in.XBarNum) * m * (kPi / 180);
        for (int r = 1; r <= in.XBarRows; ++r) {
            const double Dr = D - 2 * cv - (r - 1) * 40 * 2;
            AddBar(s, Dr / 2 * std::cos(a), Dr / 2 * std::sin(a), in.XBarDia);
        }
    }
}

void SteelUnionUnguarded(const std::vector<Ring>& plates, Shape& s);

// The union of steel plates, as steel polygons.
void SteelUnion(const std::vector<Ring>& plates, Shape& s) {
    Clipping([&] { SteelUnionUnguarded(plates, s); });
}

void SteelUnionUnguarded(const std::vector<Ring>& plates, Shape& s) {
    BMulti u;
    for (const Ring& r : plates) {
        if (!(std::fabs(bg::area(ToBoost(r))) > 0)) continue;
        BMulti next;
        bg::union_(u, ToBoost(r), next);
        u = std::move(next);
    }
    for (const BPoly& p : u) {
        auto ringOf = [](const BPoly::ring_type& r) {
            Ring out;
            for (size_t k = 0; k + 1 < r.size(); ++k) out.push_back({r[k].x(), r[k].y()});
            return out;
        };
        std::vector<Ring> holes;
        for (const auto& inner : p.inners()) holes.push_back(ringOf(inner));
        s.polygons.push_back(Poly(Group::Steel, ringOf(p.outer()), std::move(holes)));
    }
}

std::vector<Ring> YSection(const SectionInput& in) {
    const double B = in.SteelYB, H = in.SteelYH, tf = in.SteelYTf, tw = in.SteelYTw;
    return {Rect(0, -H / 2 + tf / 2, B, tf), Rect(0, H / 2 - tf / 2, B, tf), Rect(0, 0, tw, H - 2 * tf)};
}

std::vector<Ring> XSection(const SectionInput& in) {
    const double B = in.SteelXB, H = in.SteelXH, tf = in.SteelXTf, tw = in.SteelXTw;
    return {Rect(-H / 2 + tf / 2, 0, tf, B), Rect(H / 2 - tf / 2, 0, tf, B), Rect(0, 0, H - 2 * tf, tw)};
}

std::vector<Ring> Crossed(const SectionInput& in) {
    std::vector<Ring> v = YSection(in);
    for (Ring& r : XSection(in)) v.push_back(std::move(r));
    return v;
}

}  // namespace

Shape TemplateShape(const SectionInput& in) {
    Shape s;
    switch (in.SectionType) {
        case 1: RectColumn(in, s); break;
        case 2: CircularColumn(in, s); break;
        case 3:
            RectColumn(in, s);
            SteelUnion(Crossed(in), s);
            break;
        case 4:
            RectColumn(in, s);
            SteelUnion(YSection(in), s);
            break;
        case 5: {
            const double D = in.H, Di = D - 2 * in.SteelYTw;
            const int sides = CircleSides(in.MeshX, D / 2);
            s.polygons.push_back(Poly(Group::Core1, Circle(Di / 2, sides)));
            s.polygons.push_back(Poly(Group::Steel, Circle(D / 2, sides), {Circle(Di / 2, sides)}));
            break;
        }
        case 6: {
            const double B = in.B, H = in.H, bi = B - 2 * in.SteelYTw, hi = H - 2 * in.SteelXTw;
            s.polygons.push_back(Poly(Group::Core1, Rect(0, 0, bi, hi)));
            s.polygons.push_back(Poly(Group::Steel, Rect(0, 0, B, H), {Rect(0, 0, bi, hi)}));
            break;
        }
        case 7:
            CircularColumn(in, s);
            SteelUnion(Crossed(in), s);
            break;
        case 8: {
            // The tube's wall lies on core concrete one, which it takes away;
            // core concrete two fills the tube.
            const double Dp = in.SteelYH, Di = Dp - 2 * in.SteelYTf;
            const int sides = CircleSides(in.FlangeMesh, Dp / 2);
            RectColumn(in, s, {Circle(Di / 2, sides)});
            s.polygons.push_back(Poly(Group::Core2, Circle(Di / 2, sides)));
            s.polygons.push_back(Poly(Group::Steel, Circle(Dp / 2, sides), {Circle(Di / 2, sides)}));
            break;
        }
        default:
            throw AppError("Export Section File writes the section templates 1 to 8; the type is " +
                           std::to_string(in.SectionType));
    }
    // Name each item as the written file will number its lines.
    int line = 2;  // after the title and the units line
    for (Polygon& p : s.polygons) {
        p.where = "Line " + std::to_string(++line);
        for (std::string& w : p.holeWhere) w = "Line " + std::to_string(++line);
    }
    for (Bar& b : s.bars) b.where = "Line " + std::to_string(++line);
    return s;
}

std::string ExportTemplateSectionFile(const SectionInput& in) {
    const Shape s = TemplateShape(in);
    ValidateShape(s);
    const auto& items = ComboBoxItems("ComboBox1");
    const size_t k = static_cast<size_t>(in.SectionType - 1);
    return WriteSectionFile(s, "Pillarix section: " + (k < items.size() ? items[k] : std::string("template")));
}

std::string ExportSectionFile(const SectionInput& in) {
    if (in.SectionType != 9) return ExportTemplateSectionFile(in);
    if (!in.Custom) throw AppError("Custom Section: no section is loaded");
    return WriteSectionFile(in.Custom->Section, "Pillarix section: Custom Section, from " + in.Custom->Name);
}

}  // namespace px
