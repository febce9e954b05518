#include "plot/ui/pm_chart.h"

#include "plot/frame.h"
#include "plot/mm_plot.h"
#include "plot/pm_plot.h"
#include "plot/ui/chart_canvas.h"

namespace px {

void DrawPMCurve(QImage& image, const PMCurve& curve, double angle, PMPlotScale& scale) {
    // The painter changes no pixel until the limits are known.
    QPainter p(&image);
    DrawPMCurve(p, image.width(), image.height(), curve, angle, scale);
}

void DrawPMCurve(QPainter& p, int W, int H, const PMCurve& curve, double angle, PMPlotScale& scale) {
    const bool yDir = angle == 90;
    const PMChartLine line = PMChartPolygon(curve, yDir ? 90 : 0);
    const bool hasPoints = !line.P.empty();
    const int n = static_cast<int>(line.P.size()) - 1;
    // Limits first: a fault in the data leaves the picture as it was.
    const PMPlotScaleSet s = hasPoints ? PMAxisLimits(line.P, line.M, n, W, H) : PMPlotScaleSet{};

    BeginChart(p, W, H);
    (yDir ? scale.Y : scale.X) = s;
    DrawChartAxes(p, W, H, PMMomentAxis(s, yDir ? 90 : 0, W), PMForceAxis(s, H));

    const bool mRange = AxisHasRange(s.MAxisMin, s.MAxisMax);
    const bool pRange = AxisHasRange(s.PAxisMin, s.PAxisMax);
    p.setPen(ChartPen(kCurveRed, 2));
    if (hasPoints && mRange && pRange) {
        QPoint last;
        for (int i = 0; i <= n; ++i) {
            const QPoint pt(MapX(line.M[i], s.MAxisMin, s.MAxisMax, W),
                            MapY(line.P[i], s.PAxisMin, s.PAxisMax, H));
            DrawMarker(p, pt.x(), pt.y(), 4);
            if (i > 0) p.drawLine(last, pt);
            last = pt;
        }
    }
    if (auto y0 = ZeroForceLineY(s, H)) {
        p.setPen(ChartPen(kZeroLineBlue, 2));
        p.drawLine(kFrameLeft, *y0, W - kFrameRight, *y0);
    }
    // A section bent both ways: the curve is uniaxial, which the top strip
    // names at its right.
    if (curve.bothWays()) DrawChartTextRight(p, W - kFrameRight, 3, PMCurveCaption(yDir ? 90 : 0));
}

void DrawAxialForceLine(QImage& image, const PMPlotScaleSet& s, double axialForce) {
    QPainter p(&image);
    DrawAxialForceLine(p, image.width(), image.height(), s, axialForce);
}

void DrawAxialForceLine(QPainter& p, int W, int H, const PMPlotScaleSet& s, double axialForce) {
    const auto y = AxialForceLineY(s, axialForce, H);
    if (!y) return;
    PrepareChartPainter(p);
    p.setPen(ChartPen(kAxialLinePurple, 2));
    p.drawLine(kFrameLeft, *y, W - kFrameRight, *y);
}

}  // namespace px
