#include "curvature/ui/mphi_chart.h"

#include "plot/frame.h"
#include "plot/ui/chart_canvas.h"

namespace px {

namespace {
const QColor kYieldGreen(0, 128, 0);

const QColor kPeakOrange(230, 120, 0);
const QColor kStaleRed(160, 0, 0);

// The legend in the frame's bottom right corner: a sample of each mark and
// its name on a white box.
void DrawLegend(QPainter& p, int W, int H, bool bilinear, bool yield) {
    const MphiLegendBox box = MphiLegendPlace(W, H);
    p.setPen(ChartPen(kChartGrey, 1));
    p.setBrush(Qt::white);
    p.drawRect(box.x, box.y, box.w, box.h);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < kMphiLegendEntries; ++i) {
        if ((i == 1 && !bilinear) || (i == 2 && !yield)) continue;
        const int y = box.y + 4 + i * kMphiLegendRow, mid = y + kMphiLegendRow / 2;
        const int x = box.x + 6;
        switch (i) {
            case 0:
                p.setPen(ChartPen(kCurveRed, 2));
                p.drawLine(x, mid, x + 20, mid);
                break;
            case 1: {
                QPen dashed = ChartPen(kZeroLineBlue, 1);
                dashed.setStyle(Qt::DashLine);
                p.setPen(dashed);
                p.drawLine(x, mid, x + 20, mid);
                break;
            }
            case 2:
                p.setPen(ChartPen(kYieldGreen, 2));
                DrawMarker(p, x + 10, mid, 4);
                break;
            case 3:
                p.setPen(ChartPen(kAxialLinePurple, 2));
                DrawMarker(p, x + 10, mid, 4);
                break;
            default:
                p.setPen(ChartPen(kPeakOrange, 2));
                DrawPeakMark(p, x + 10, mid);
                break;
        }
        DrawChartText(p, x + 28, y, kMphiLegend[i]);
    }
}
}  // namespace

MphiLegendBox MphiLegendPlace(int W, int H) {
    const int w = 112, h = kMphiLegendEntries * kMphiLegendRow + 8;
    return {W - kFrameRight - 4 - w, H - kFrameBottom - 4 - h, w, h};
}

void DrawPeakMark(QPainter& p, int x, int y) {
    const int r = 5;
    const QPoint diamond[4] = {{x, y - r}, {x + r, y}, {x, y + r}, {x - r, y}};
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(diamond, 4);
}

MphiPlotScale DrawMphiCurve(QPainter& p, int W, int H, const MphiResult* r, bool stale) {
    // Limits first: a fault leaves the picture as it was.
    const MphiPlotScale s = r ? MphiAxisLimits(*r, W, H) : MphiPlotScale{};
    PrepareChartPainter(p);
    BeginChart(p, W, H);
    DrawChartAxes(p, W, H, MphiCurvatureAxis(s, W), MphiMomentAxis(s, H));
    if (r) DrawChartText(p, 70, 3, MphiHeading(r->settings));
    // A curve of other inputs says so over the frame's top left corner.
    if (r && stale) {
        p.setPen(kStaleRed);
        p.drawText(QRect(kFrameLeft + 4, kFrameTop + 3, W - kFrameLeft - kFrameRight - 8, 40),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, kMphiChartStale);
    }
    if (!r || !AxisHasRange(s.PhiMin, s.PhiMax) || !AxisHasRange(s.MMin, s.MMax)) return s;
    auto at = [&](double phiKm, double m) {
        return QPoint(MapX(phiKm, s.PhiMin, s.PhiMax, W), MapY(m, s.MMin, s.MMax, H));
    };

    const auto corners = MphiBilinearCorners(*r);
    if (!corners.empty()) {
        QPen dashed = ChartPen(kZeroLineBlue, 1);
        dashed.setStyle(Qt::DashLine);
        p.setPen(dashed);
        for (size_t i = 1; i < corners.size(); ++i)
            p.drawLine(at(corners[i - 1].first, corners[i - 1].second), at(corners[i].first, corners[i].second));
    }

    p.setPen(ChartPen(kCurveRed, 2));
    QPoint last;
    for (size_t i = 0; i < r->points.size(); ++i) {
        const QPoint pt = at(PerKm(r->points[i].phi), r->points[i].M);
        if (i > 0) p.drawLine(last, pt);
        last = pt;
    }

    if (r->yield) {
        p.setPen(ChartPen(kYieldGreen, 2));
        const QPoint y = at(PerKm(r->yield->phi), r->yield->M);
        DrawMarker(p, y.x(), y.y(), 5);
    }
    p.setPen(ChartPen(kAxialLinePurple, 2));
    const QPoint u = at(PerKm(r->ultimate.phi), r->ultimate.M);
    DrawMarker(p, u.x(), u.y(), 5);
    p.setPen(ChartPen(kPeakOrange, 2));
    const QPoint peak = at(PerKm(r->phiMmax), r->Mmax);
    DrawPeakMark(p, peak.x(), peak.y());
    DrawLegend(p, W, H, !corners.empty(), r->yield.has_value());
    p.setPen(ChartPen(Qt::black, 1));
    return s;
}

}  // namespace px
