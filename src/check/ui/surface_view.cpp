#include "check/ui/surface_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QFontMetricsF>
#include <array>
#include <cmath>
#include <QWheelEvent>

#include "input/numbers.h"
#include "plot/frame.h"

namespace px {

namespace {

const QColor kBoxColor(210, 210, 210);
const QColor kAxisColor(0, 0, 0);
const QColor kRingColor(0, 0, 160);
const QColor kMeridianColor(110, 130, 230);
const QColor kStaleColor(160, 0, 0);

struct Painter {
    QPainter& p;
    const SceneLimits& lim;
    const View3D& view;
    int W, H;

    QPointF at(const Point3& q) const {
        const ScreenPoint s = ProjectPoint(q, lim, view, W, H);
        return {s.x, s.y};
    }
    void line(const Point3& a, const Point3& b) const { p.drawLine(at(a), at(b)); }
};

void drawBox(const Painter& d) {
    d.p.setPen(QPen(kBoxColor, 1));
    const double xs[2] = {-d.lim.MxMax, d.lim.MxMax};
    const double ys[2] = {-d.lim.MyMax, d.lim.MyMax};
    const double ps[2] = {d.lim.PMin, d.lim.PMax};
    for (int a = 0; a < 2; ++a)
        for (int b = 0; b < 2; ++b) {
            d.line({xs[0], ys[a], ps[b]}, {xs[1], ys[a], ps[b]});
            d.line({xs[a], ys[0], ps[b]}, {xs[a], ys[1], ps[b]});
            d.line({xs[a], ys[b], ps[0]}, {xs[a], ys[b], ps[1]});
        }
}

// The origin of the moment axes: at P = 0 when the range holds it.
double momentAxesP(const SceneLimits& l) { return l.PMin <= 0 && 0 <= l.PMax ? 0 : l.PMin; }

struct Axis3 {
    const char* title;
    double lo, hi;
};
std::array<Axis3, 3> axes3(const SceneLimits& l) {
    return {{{"P (kN)", l.PMin, l.PMax}, {"Mx (kNm)", -l.MxMax, l.MxMax}, {"My (kNm)", -l.MyMax, l.MyMax}}};
}

// Point of axis a (0 P, 1 Mx, 2 My) at value v on the box edge chosen by the
// corner (cx, cy) of the other two axes (0 low, 1 high).
Point3 edgePoint(const SceneLimits& l, int a, double v, int c1, int c2) {
    const double mx = c1 ? l.MxMax : -l.MxMax, my = c2 ? l.MyMax : -l.MyMax;
    const double pOther = c2 ? l.PMax : l.PMin;
    if (a == 0) return {mx, my, v};
    if (a == 1) return {v, c1 ? l.MyMax : -l.MyMax, pOther};
    return {c1 ? l.MxMax : -l.MxMax, v, pOther};
}

// Where an axis is labelled: the edge of the limit box parallel to it that
// lies at the picture's left (P) or bottom (Mx, My), and the direction
// (unit, on the picture) away from the box.
struct LabelEdge {
    int c1 = 0, c2 = 0;
    QPointF out;
};

QPointF project(const SceneLimits& l, const View3D& v, int W, int H, const Point3& q) {
    const ScreenPoint s = ProjectPoint(q, l, v, W, H);
    return {s.x, s.y};
}

LabelEdge labelEdge(const SceneLimits& l, const View3D& v, int W, int H, int a) {
    const QPointF centre = project(l, v, W, H, {0, 0, (l.PMin + l.PMax) / 2});
    const Axis3 ax = axes3(l)[static_cast<size_t>(a)];
    LabelEdge best;
    double bestKey = -1e300;
    for (int c1 = 0; c1 < 2; ++c1)
        for (int c2 = 0; c2 < 2; ++c2) {
            const QPointF mid = (project(l, v, W, H, edgePoint(l, a, ax.lo, c1, c2)) +
                                 project(l, v, W, H, edgePoint(l, a, ax.hi, c1, c2))) / 2;
            const double key = a == 0 ? -mid.x() : mid.y();
            if (key <= bestKey + 1e-9) continue;
            bestKey = key;
            QPointF out = mid - centre;
            const double len = std::hypot(out.x(), out.y());
            out = len > 1 ? out / len : (a == 0 ? QPointF(-1, 0) : QPointF(0, 1));
            best = {c1, c2, out};
        }
    return best;
}

// The six faces of the limit box on the picture: the wire and the dots lie
// inside them.
std::vector<QPolygonF> boxFaces(const SceneLimits& l, const View3D& v, int W, int H) {
    const double xs[2] = {-l.MxMax, l.MxMax}, ys[2] = {-l.MyMax, l.MyMax}, ps[2] = {l.PMin, l.PMax};
    auto c = [&](int i, int j, int k) { return project(l, v, W, H, {xs[i], ys[j], ps[k]}); };
    std::vector<QPolygonF> faces;
    for (int s = 0; s < 2; ++s) {
        faces.push_back(QPolygonF({c(s, 0, 0), c(s, 1, 0), c(s, 1, 1), c(s, 0, 1)}));
        faces.push_back(QPolygonF({c(0, s, 0), c(1, s, 0), c(1, s, 1), c(0, s, 1)}));
        faces.push_back(QPolygonF({c(0, 0, s), c(1, 0, s), c(1, 1, s), c(0, 1, s)}));
    }
    return faces;
}

void drawAxes(const Painter& d) {
    const SceneLimits& l = d.lim;
    const double p0 = momentAxesP(l);
    d.p.setPen(QPen(kAxisColor, 1));
    d.line({-l.MxMax, 0, p0}, {l.MxMax, 0, p0});
    d.line({0, -l.MyMax, p0}, {0, l.MyMax, p0});
    d.line({0, 0, l.PMin}, {0, 0, l.PMax});
    // Ticks on the labelled edges, pointing away from the box.
    for (int a = 0; a < 3; ++a) {
        const Axis3 ax = axes3(l)[static_cast<size_t>(a)];
        const LabelEdge e = labelEdge(l, d.view, d.W, d.H, a);
        for (const AxisTick& t : AxisTicks(ax.lo, ax.hi, PmmTickStep(ax.lo, ax.hi))) {
            const QPointF c = d.at(edgePoint(l, a, t.value, e.c1, e.c2));
            d.p.drawLine(c, c + e.out * 4);
        }
    }
}

void drawLabels(QPainter& p, const SceneLimits& lim, const View3D& view, int W, int H) {
    QFont font = p.font();
    p.setPen(kAxisColor);
    for (const PmmLabel& label : PmmAxisLabels(lim, view, W, H, font)) {
        font.setBold(label.title);
        p.setFont(font);
        p.drawText(label.box, Qt::AlignLeft | Qt::AlignTop, label.text);
    }
    font.setBold(false);
    p.setFont(font);
}

void drawWire(const Painter& d, const SurfaceWire& w) {
    d.p.setPen(QPen(kMeridianColor, 1));
    size_t n = 0;
    for (const auto& ring : w.Rings) n = std::max(n, ring.size());
    for (size_t k = 0; k < n; ++k) {
        QPainterPath path;
        bool started = false;
        auto add = [&](const Point3& q) {
            if (started) path.lineTo(d.at(q));
            else path.moveTo(d.at(q));
            started = true;
        };
        if (w.Bottom) add(*w.Bottom);
        for (const auto& ring : w.Rings)
            if (k < ring.size()) add(ring[k]);
        if (w.Top) add(*w.Top);
        d.p.drawPath(path);
    }
    d.p.setPen(QPen(kRingColor, 1));
    for (const auto& ring : w.Rings) {
        if (ring.empty()) continue;
        QPolygonF poly;
        for (const Point3& q : ring) poly << d.at(q);
        d.p.drawPolygon(poly);
    }
}

void drawDots(const Painter& d, const CheckResult& check) {
    d.p.setPen(Qt::NoPen);
    for (int i : DotDrawOrder(check, d.lim, d.view, d.W, d.H)) {
        const CheckRow& r = check.Rows[static_cast<size_t>(i)];
        const ScreenPoint s = ProjectPoint({r.checkMx(), r.checkMy(), r.P}, d.lim, d.view, d.W, d.H);
        if (!(s.x > -10 && s.x < d.W + 10 && s.y > -10 && s.y < d.H + 10)) continue;
        d.p.setBrush(QColor::fromRgb(r.ok() ? kDotOk : kDotNg));
        d.p.drawEllipse(QPointF(nearest(s.x) + 0.5, nearest(s.y) + 0.5), 3, 3);
    }
}

}  // namespace

std::vector<PmmLabel> PmmAxisLabels(const SceneLimits& l, const View3D& view, int W, int H, const QFont& font) {
    QFont boldFont = font;
    boldFont.setBold(true);
    const QFontMetricsF plain(font), bold(boldFont);
    const std::vector<QPolygonF> faces = boxFaces(l, view, W, H);
    auto overBox = [&](const QRectF& box) {
        const QPolygonF r(box.adjusted(-2, -2, 2, 2));
        for (const QPolygonF& f : faces)
            if (f.intersects(r)) return true;
        return false;
    };
    std::vector<PmmLabel> out;
    // A label starts just beyond its anchor and moves away from the box
    // until it is clear of it; one that would touch a label already placed,
    // or that finds no clear place, is left out.
    auto place = [&](const QString& text, bool title, QPointF anchor, QPointF dir) {
        const QFontMetricsF& fm = title ? bold : plain;
        const QSizeF size(fm.horizontalAdvance(text), fm.height());
        const double reach = 6 + std::abs(dir.x()) * size.width() / 2 + std::abs(dir.y()) * size.height() / 2;
        for (int step = 0; step < 40; ++step) {
            const QPointF centre = anchor + dir * (reach + 2 * step);
            const QRectF box(centre.x() - size.width() / 2, centre.y() - size.height() / 2, size.width(),
                             size.height());
            if (overBox(box)) continue;
            for (const PmmLabel& other : out)
                if (other.box.adjusted(-1, -1, 1, 1).intersects(box)) return;
            out.push_back({box, text, title});
            return;
        }
    };
    const auto ax = axes3(l);
    LabelEdge edges[3];
    for (int a = 0; a < 3; ++a) edges[a] = labelEdge(l, view, W, H, a);
    auto at = [&](int a, double v) { return project(l, view, W, H, edgePoint(l, a, v, edges[a].c1, edges[a].c2)); };
    // Titles beside the middle of their edges, then the ticks.
    for (int a = 0; a < 3; ++a) {
        const double mid = (ax[a].lo + ax[a].hi) / 2;
        QPointF dir = edges[a].out;
        place(ax[a].title, true, at(a, mid) + dir * 28, dir);
    }
    for (int a = 0; a < 3; ++a)
        for (const AxisTick& t : AxisTicks(ax[a].lo, ax[a].hi, PmmTickStep(ax[a].lo, ax[a].hi)))
            place(QString::fromStdString(t.text), false, at(a, t.value), edges[a].out);
    return out;
}

void DrawPmmPicture(QImage& image, const SurfaceWire& wire, const CheckResult* check, const SceneLimits& lim,
                    const View3D& view, bool stale) {
    image.fill(Qt::white);
    QPainter p(&image);
    DrawPmmPicture(p, image.width(), image.height(), wire, check, lim, view, stale);
}

void DrawPmmPicture(QPainter& p, int W, int H, const SurfaceWire& wire, const CheckResult* check,
                    const SceneLimits& lim, const View3D& view, bool stale) {
    p.fillRect(0, 0, W, H, Qt::white);
    p.setRenderHint(QPainter::Antialiasing, true);
    QFont font("Arial", 8);
    font.setHintingPreference(p.font().hintingPreference());  // the picture's text hinting
    p.setFont(font);
    const Painter d{p, lim, view, W, H};
    drawBox(d);
    drawAxes(d);
    drawWire(d, wire);
    drawLabels(p, lim, view, d.W, d.H);
    if (check) drawDots(d, *check);
    if (stale) {
        p.setPen(kStaleColor);
        p.drawText(QRect(8, 8, 400, 16), Qt::AlignLeft | Qt::AlignTop, "Stale: inputs changed since the last run");
    }
}

SurfaceView::SurfaceView(QWidget* parent) : ImageBox("Image12", kPmmImageSize, kPmmImageSize, parent) {
    setCursor(Qt::OpenHandCursor);
}

void SurfaceView::setContent(SurfaceWire wire, const std::optional<CheckResult>* check, bool stale) {
    wire_ = std::move(wire);
    check_ = check;
    stale_ = stale;
    limits_ = PmmAxisLimits(wire_, this->check());
    redraw();
}

void SurfaceView::setStale(bool stale) {
    if (stale == stale_) return;
    stale_ = stale;
    if (drawn()) redraw();
}

void SurfaceView::setView(const View3D& v) {
    view_ = v;
    redraw();
}

void SurfaceView::redraw() {
    paint([this](QPainter& p, int W, int H) { DrawPmmPicture(p, W, H, wire_, check(), limits_, view_, stale_); });
    refresh();
}

std::optional<int> SurfaceView::dotAt(int x, int y) const {
    if (!check()) return std::nullopt;
    return DotAt(*check(), limits_, view_, width(), height(), x, y, kPmmHoverRadius);
}

void SurfaceView::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        dragging_ = true;
        last_ = e->position().toPoint();
        setCursor(Qt::ClosedHandCursor);
    }
    ImageBox::mousePressEvent(e);
}

void SurfaceView::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    if (dragging_ && (e->buttons() & Qt::LeftButton)) {
        const QPoint delta = pt - last_;
        last_ = pt;
        if (!delta.isNull()) setView(DraggedView(view_, delta.x(), delta.y()));
        return;
    }
    ImageBox::mouseMoveEvent(e);
}

void SurfaceView::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        dragging_ = false;
        setCursor(Qt::OpenHandCursor);
    }
}

void SurfaceView::wheelEvent(QWheelEvent* e) {
    const double steps = e->angleDelta().y() / 120.0;
    if (steps != 0) setView(ZoomedView(view_, steps));
    e->accept();
}

}  // namespace px
