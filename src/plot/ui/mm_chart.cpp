#include "plot/ui/mm_chart.h"

#include "plot/frame.h"
#include "plot/mm_plot.h"
#include "plot/ui/chart_canvas.h"

namespace px {

void DrawMMCurve(QImage& image, const MMCurve& curve, int MMPointCount, MMPlotScale& scale) {
    QPainter p(&image);
    DrawMMCurve(p, image.width(), image.height(), curve, MMPointCount, scale);
}

void DrawMMCurve(QPainter& p, int W, int H, const MMCurve& curve, int MMPointCount, MMPlotScale& scale) {
    const bool hasPoints = MMPointCount >= 0 && curve.Mx.size() > static_cast<size_t>(MMPointCount) &&
                           curve.My.size() > static_cast<size_t>(MMPointCount);
    const MMPlotScale s = hasPoints ? MMAxisLimits(curve, MMPointCount, W, H) : MMPlotScale{};

    BeginChart(p, W, H);
    scale = s;
    DrawChartAxes(p, W, H, MMMxAxis(s, W, H), MMMyAxis(s, W, H));
    if (!hasPoints || !MMScaleUsable(s)) return;

    p.setPen(ChartPen(kCurveRed, 2));
    auto at = [&](int i) {
        return QPoint(MapX(curve.Mx[i], s.MxAxisMin, s.MxAxisMax, W),
                      MapY(curve.My[i], s.MyAxisMin, s.MyAxisMax, H));
    };
    QPoint last;
    for (int i = 1; i <= MMPointCount; ++i) {
        const QPoint pt = at(i);
        DrawMarker(p, pt.x(), pt.y(), 4);
        if (i > 1) p.drawLine(last, pt);
        last = pt;
    }
    if (MMPointCount >= 2) p.drawLine(at(MMPointCount), at(1));
}

}  // namespace px
