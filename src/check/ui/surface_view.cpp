#include "check/ui/surface_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QFontMetricsF>
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
const QColor kLabelGround(255, 255, 255, 210);

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

void drawAxes(const Painter& d) {
    const SceneLimits& l = d.lim;
    const double p0 = momentAxesP(l);
    d.p.setPen(QPen(kAxisColor, 1));
    d.line({-l.MxMax, 0, p0}, {l.MxMax, 0, p0});
    d.line({0, -l.MyMax, p0}, {0, l.MyMax, p0});
    d.line({0, 0, l.PMin}, {0, 0, l.PMax});
    auto ticks = [&](double lo, double hi, auto point) {
        for (double v : AxisSteps(lo, hi, kPmmTickIntervals)) {
            const QPointF c = d.at(point(v));
            d.p.drawLine(c - QPointF(2, 0), c + QPointF(2, 0));
            d.p.drawLine(c - QPointF(0, 2), c + QPointF(0, 2));
        }
    };
    ticks(-l.MxMax, l.MxMax, [&](double v) { return Point3{v, 0, p0}; });
    ticks(-l.MyMax, l.MyMax, [&](double v) { return Point3{0, v, p0}; });
    ticks(l.PMin, l.PMax, [&](double v) { return Point3{0, 0, v}; });
}

void drawLabels(QPainter& p, const SceneLimits& lim, const View3D& view, int W, int H) {
    QFont font = p.font();
    p.setPen(kAxisColor);
    for (const PmmLabel& label : PmmAxisLabels(lim, view, W, H, font)) {
        font.setBold(label.title);
        p.setFont(font);
        p.fillRect(label.box, kLabelGround);  // keeps the text readable over the wire
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
    const double p0 = momentAxesP(l);
    auto at = [&](const Point3& q) {
        const ScreenPoint s = ProjectPoint(q, l, view, W, H);
        return QPointF(s.x, s.y);
    };
    std::vector<PmmLabel> out;
    // A label whose box would touch one already placed is left out.
    auto place = [&](const QString& text, bool title, QPointF anchor, QPointF dir) {
        const QFontMetricsF& fm = title ? bold : plain;
        const QSizeF size(fm.horizontalAdvance(text), fm.height());
        const double reach = 4 + std::abs(dir.x()) * size.width() / 2 + std::abs(dir.y()) * size.height() / 2;
        const QPointF centre = anchor + dir * reach;
        const QRectF box(centre.x() - size.width() / 2, centre.y() - size.height() / 2, size.width(), size.height());
        for (const PmmLabel& other : out)
            if (other.box.adjusted(-1, -1, 1, 1).intersects(box)) return;
        out.push_back({box, text, title});
    };
    struct Axis {
        QString title;
        double vlo, vhi;
    };
    const Axis axes[3] = {{"P", l.PMin, l.PMax}, {"Mx", -l.MxMax, l.MxMax}, {"My", -l.MyMax, l.MyMax}};
    auto point = [&](int a, double v) {
        return a == 0 ? Point3{0, 0, v} : a == 1 ? Point3{v, 0, p0} : Point3{0, v, p0};
    };
    // Unit direction of each axis on the picture and the side its labels
    // go: left of an upright axis, below a lying one.
    QPointF along[3], side[3];
    for (int a = 0; a < 3; ++a) {
        const QPointF v = at(point(a, axes[a].vhi)) - at(point(a, axes[a].vlo));
        const double len = std::hypot(v.x(), v.y());
        along[a] = len > 1 ? v / len : QPointF(0, -1);
        QPointF n(along[a].y(), -along[a].x());
        if (std::abs(n.y()) > std::abs(n.x()) ? n.y() < 0 : n.x() > 0) n = -n;
        side[a] = std::abs(n.x()) > 0.9 ? QPointF(n.x() < 0 ? -1 : 1, 0) : n;
    }
    // Titles beyond the positive ends, then the ticks; the origin is
    // labelled once.
    for (int a = 0; a < 3; ++a) place(axes[a].title, true, at(point(a, axes[a].vhi)), along[a]);
    bool originLabelled = false;
    for (int a = 0; a < 3; ++a) {
        const Axis& ax = axes[a];
        const std::vector<double> v = AxisSteps(ax.vlo, ax.vhi, kPmmTickIntervals);
        const std::vector<std::string> t = AxisLabelsF0(ax.vlo, ax.vhi, kPmmTickIntervals);
        for (size_t i = 0; i < v.size(); ++i) {
            const Point3 q = point(a, v[i]);
            const bool origin = q.Mx == 0 && q.My == 0 && q.P == p0;
            if (origin && originLabelled) continue;
            originLabelled |= origin;
            place(QString::fromStdString(t[i]), false, at(q), side[a]);
        }
    }
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
