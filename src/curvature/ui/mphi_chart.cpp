#include "curvature/ui/mphi_chart.h"

#include "plot/frame.h"
#include "plot/ui/chart_canvas.h"

namespace px {

namespace {
const QColor kYieldGreen(0, 128, 0);

// Black text whose top-right corner is at (x, y).
void DrawTextRightAligned(QPainter& p, int x, int y, const std::string& text) {
    const QPen keep = p.pen();
    p.setPen(Qt::black);
    p.drawText(QRect(x - 300, y, 300, 100), Qt::AlignRight | Qt::AlignTop, QString::fromStdString(text));
    p.setPen(keep);
}

// The legend in the frame's bottom right corner, above the curvature axis's
// title: a sample of each mark and its name on a white box.
void DrawLegend(QPainter& p, int W, int H, bool bilinear, bool yield) {
    const MphiLegendBox box = MphiLegendPlace(W, H);
    p.setPen(ChartPen(kChartGrey, 1));
    p.setBrush(Qt::white);
    p.drawRect(box.x, box.y, box.w, box.h);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 4; ++i) {
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
            default:
                p.setPen(ChartPen(kAxialLinePurple, 2));
                DrawMarker(p, x + 10, mid, 4);
                break;
        }
        DrawChartText(p, x + 28, y, kMphiLegend[i]);
    }
}
}  // namespace

MphiLegendBox MphiLegendPlace(int W, int H) {
    const int w = 112, h = 4 * kMphiLegendRow + 8;
    return {W - kFrameSide - 4 - w, H - kFrameEnd - 20 - h, w, h};
}

MphiPlotScale DrawMphiCurve(QPainter& p, int W, int H, const MphiResult* r) {
    // Limits first: a fault leaves the picture as it was.
    const MphiPlotScale s = r ? MphiAxisLimits(*r) : MphiPlotScale{};
    PrepareChartPainter(p);
    BeginChart(p, W, H);
    DrawChartGrid(p, W, H, MphiCurvatureLabels(s), MphiMomentLabels(s));
    // Axis titles: the moment's above its labels, the curvature's inside the
    // frame's bottom right corner (its labels fill the margin below).
    DrawChartText(p, 5, 2, kMphiMomentTitle);
    DrawTextRightAligned(p, W - kFrameSide - 4, H - kFrameEnd - 17, kMphiCurvatureTitle);
    if (r) DrawChartText(p, 70, 2, MphiHeading(r->settings));
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
    DrawLegend(p, W, H, !corners.empty(), r->yield.has_value());
    p.setPen(ChartPen(Qt::black, 1));
    return s;
}

}  // namespace px
