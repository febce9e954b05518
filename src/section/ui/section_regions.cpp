#include "section/ui/section_regions.h"

#include <QImage>
#include <QPolygonF>
#include <vector>

namespace px {

namespace {

// The colour index of a fiber's material; 0 for what leaves no mark.
int ColourOf(int matId) {
    switch (matId) {
        case MatCoverConcrete: return 1;
        case MatCoreConcrete1: return 2;
        case MatCoreConcrete2: return 3;
        case MatSteelSection: return 5;
        default: return 0;
    }
}

}  // namespace

void DrawFiberRegions(QPainter& p, int W, int H, const FiberTable& t, const MaterialColors& colors, double s,
                      double cx, double cy) {
    if (W <= 0 || H <= 0) return;
    // Each pixel takes the material of the fiber over its centre: the
    // fibers tile the section, so no pixel inside it is left out.
    QImage ids(W, H, QImage::Format_RGB32);
    ids.fill(0);
    {
        QPainter q(&ids);
        q.setRenderHint(QPainter::Antialiasing, false);
        q.setPen(Qt::NoPen);
        auto at = [&](double x, double y) { return QPointF(s * x + cx, cy - s * y); };
        QPolygonF poly;
        for (int i = 1; i <= t.NFib; ++i) {
            const Fiber& f = t[i];
            const int c = ColourOf(f.MatId);
            if (!c) continue;
            q.setBrush(QColor(QRgb(c)));
            poly.clear();
            if (static_cast<size_t>(i) < t.Outline.size() && !t.Outline[i].empty()) {
                for (const auto& [x, y] : t.Outline[i]) poly << at(x, y);
                q.drawPolygon(poly, Qt::OddEvenFill);
            } else {
                poly << at(f.X1, f.Y1) << at(f.X2, f.Y2) << at(f.X3, f.Y3) << at(f.X4, f.Y4);
                q.drawPolygon(poly);
            }
        }
    }
    // The parts in their colours, black where a neighbour differs.
    QImage out(W, H, QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    QRgb palette[6] = {};
    for (int k = 1; k <= 5; ++k) palette[k] = qRgb(colors.c[k].r, colors.c[k].g, colors.c[k].b);
    auto id = [&](int x, int y) -> int {
        if (x < 0 || y < 0 || x >= W || y >= H) return 0;
        return int(reinterpret_cast<const QRgb*>(ids.constScanLine(y))[x] & 0xFF);
    };
    for (int y = 0; y < H; ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < W; ++x) {
            const int c = id(x, y);
            if (c < 1 || c > 5) continue;
            const bool edge = id(x - 1, y) != c || id(x + 1, y) != c || id(x, y - 1) != c || id(x, y + 1) != c;
            row[x] = edge ? qRgb(0, 0, 0) : palette[c];
        }
    }
    p.drawImage(QRect(0, 0, W, H), out);
}

}  // namespace px
