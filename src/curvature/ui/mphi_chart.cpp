#include "curvature/ui/mphi_chart.h"

#include "plot/frame.h"
#include "plot/ui/chart_canvas.h"

namespace px {

namespace {
const QColor kYieldGreen(0, 128, 0);
}  // namespace

MphiPlotScale DrawMphiCurve(QImage& image, const MphiResult* r) {
    QPainter p(&image);
    return DrawMphiCurve(p, image.width(), image.height(), r);
}

MphiPlotScale DrawMphiCurve(QPainter& p, int W, int H, const MphiResult* r) {
    // Limits first: a fault leaves the picture as it was.
    const MphiPlotScale s = r ? MphiAxisLimits(*r) : MphiPlotScale{};
    PrepareChartPainter(p);
    BeginChart(p, W, H);
    DrawChartGrid(p, W, H, MphiCurvatureLabels(s), MphiMomentLabels(s));
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
    p.setPen(ChartPen(Qt::black, 1));
    return s;
}

}  // namespace px
