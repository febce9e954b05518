#include "section/ui/section_drawing.h"

#include <QPainter>
#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <algorithm>
#include <cmath>

#include "common/version.h"
#include "input/error.h"
#include "input/numbers.h"
#include "section/ui/section_regions.h"

namespace px {

namespace {

QColor ToQColor(const Rgb& c) { return QColor(c.r, c.g, c.b); }

// Section coordinates (mm, y up, origin at the centre) to pixels.
struct PixelMap {
    double s, halfW, halfH;
    QPoint operator()(double x, double y) const { return QPoint(nearest(s * x + halfW), nearest(halfH - s * y)); }
};

// The longest round length (1, 2 or 5 x 10^n mm) not above `most` mm.
double RoundLength(double most) {
    double step = std::pow(10.0, std::floor(std::log10(most)));
    for (const double k : {5.0, 2.0, 1.0})
        if (k * step <= most) return k * step;
    return step;
}

// A scale bar of a round length near a quarter of the picture's width, at
// its bottom left: the bar, its end ticks and its length in mm.
void DrawScaleBar(QPainter& p, int W, int Hs, double pixelsPerMm) {
    const double mm = RoundLength(checkedDiv(W / 4.0, pixelsPerMm));
    const int len = nearest(mm * pixelsPerMm);
    const int x0 = 10, y = Hs - 12;
    p.drawLine(x0, y, x0 + len, y);
    p.drawLine(x0, y - 4, x0, y + 4);
    p.drawLine(x0 + len, y - 4, x0 + len, y + 4);
    p.drawText(QRect(x0, y - 20, W, 16), Qt::AlignLeft | Qt::AlignBottom, QString::fromStdString(FormatFixed(mm, mm >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(mm)))) + " mm"));
}

}  // namespace

void DrawSection(QImage& img, const SectionInput& in, const FiberTable& t, const MaterialColors& colors,
                 const QString& creditLine) {
    QPainter p(&img);
    DrawSection(p, img.width(), img.height(), in, t, colors, creditLine);
}

void DrawSection(QPainter& p, int W, int Hs, const SectionInput& in, const FiberTable& t,
                 const MaterialColors& colors, const QString& creditLine) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);

    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRect(0, 0, W - 1, Hs - 1);

    const QString lines[3] = {QString::fromUtf8(kProgramBanner), creditLine, QStringLiteral("NFib = %1").arg(t.NFib)};
    for (int k = 0; k < 3; ++k)
        p.drawText(QRect(10, 10 + 15 * k, W, Hs), Qt::AlignLeft | Qt::AlignTop, lines[k]);

    const double sx = checkedDiv(0.8 * W, in.B);
    const double sy = checkedDiv(0.8 * Hs, in.H);
    PixelMap map{std::min(sx, sy), W / 2.0, Hs / 2.0};
    // A drawn section's origin is its centroid: centre its bounding box instead.
    const bool drawn = !t.Outline.empty();
    if (drawn) {
        double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
        bool first = true;
        for (const auto& ring : t.Outline)
            for (const auto& [x, y] : ring) {
                if (first) x0 = x1 = x, y0 = y1 = y, first = false;
                x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
            }
        map.halfW -= map.s * (x0 + x1) / 2;
        map.halfH += map.s * (y0 + y1) / 2;
    }

    // A fine mesh as its parts; its bars are drawn below as always.
    const bool regions = t.NFib > kRegionDrawingFibers;
    if (regions) DrawFiberRegions(p, W, Hs, t, colors, map.s, map.halfW, map.halfH);
    for (int i = 1; i <= t.NFib; ++i) {
        const Fiber& f = t[i];
        if (regions && f.MatId != MatRebar) continue;
        int colour;
        switch (f.MatId) {
            case MatCoverConcrete: colour = 1; break;
            case MatCoreConcrete1: colour = 2; break;
            case MatCoreConcrete2: colour = 3; break;
            case MatRebar: colour = 4; break;
            case MatSteelSection: colour = 5; break;
            default: continue;  // deducted concrete and unknown ids leave no mark
        }
        p.setBrush(ToQColor(colors.c[colour]));
        if (f.MatId == MatRebar) {
            const QPoint c = map(f.X, f.Y);
            int r = nearest(f.BarDia / 2 * map.s);
            // A drawn section's bars stay visible however large the section.
            if (drawn) r = std::max(r, kMinBarRadius);
            p.drawEllipse(c.x() - r, c.y() - r, 2 * r, 2 * r);
        } else if (drawn && static_cast<size_t>(i) < t.Outline.size() && !t.Outline[i].empty()) {
            QPolygon poly;
            for (const auto& [x, y] : t.Outline[i]) poly << map(x, y);
            p.drawPolygon(poly, Qt::OddEvenFill);
        } else {
            QPolygon poly;
            poly << map(f.X1, f.Y1) << map(f.X2, f.Y2) << map(f.X3, f.Y3) << map(f.X4, f.Y4) << map(f.X1, f.Y1);
            p.drawPolygon(poly);
        }
    }
    if (drawn) {
        // The centroid, where the moments are taken about.
        const QPoint c = map(0, 0);
        p.setPen(QPen(Qt::red, 2));
        p.drawLine(c.x() - 8, c.y(), c.x() + 8, c.y());
        p.drawLine(c.x(), c.y() - 8, c.x(), c.y() + 8);
        p.setPen(QPen(Qt::black, 1));
        DrawScaleBar(p, W, Hs, map.s);
    }
}

}  // namespace px
