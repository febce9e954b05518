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
    const std::vector<double>& PHalf = yDir ? curve.PY : curve.PX;
    const std::vector<double>& MHalf = yDir ? curve.MY : curve.MX;
    int nP = curve.Divisions;
    bool hasPoints = nP >= 0 && PHalf.size() > static_cast<size_t>(nP) &&
                     MHalf.size() > static_cast<size_t>(nP);
    // A section bent both ways: the positive half from PMin to PMax, then the
    // negative half back down, one closed line.
    std::vector<double> both[2];
    const std::vector<double>& PNeg = yDir ? curve.PYNeg : curve.PXNeg;
    const std::vector<double>& MNeg = yDir ? curve.MYNeg : curve.MXNeg;
    if (hasPoints && curve.bothWays() && PNeg.size() > static_cast<size_t>(nP) &&
        MNeg.size() > static_cast<size_t>(nP)) {
        for (int i = 0; i <= nP; ++i) {
            both[0].push_back(PHalf[i]);
            both[1].push_back(MHalf[i]);
        }
        for (int i = nP; i >= 0; --i) {
            both[0].push_back(PNeg[i]);
            both[1].push_back(MNeg[i]);
        }
        nP = 2 * nP + 1;
    }
    const std::vector<double>& P = both[0].empty() ? PHalf : both[0];
    const std::vector<double>& M = both[0].empty() ? MHalf : both[1];
    // Limits first: a fault in the data leaves the picture as it was.
    const PMPlotScaleSet s = hasPoints ? PMAxisLimits(P, M, nP) : PMPlotScaleSet{};

    BeginChart(p, W, H);
    (yDir ? scale.Y : scale.X) = s;
    DrawChartGrid(p, W, H, PMMomentLabels(s), PMForceLabels(s));

    const bool mRange = AxisHasRange(s.MAxisMin, s.MAxisMax);
    const bool pRange = AxisHasRange(s.PAxisMin, s.PAxisMax);
    p.setPen(ChartPen(kCurveRed, 2));
    if (hasPoints && mRange && pRange) {
        QPoint last;
        for (int i = 0; i <= nP; ++i) {
            const QPoint pt(MapX(M[i], s.MAxisMin, s.MAxisMax, W),
                            MapY(P[i], s.PAxisMin, s.PAxisMax, H));
            DrawMarker(p, pt.x(), pt.y(), 4);
            if (i > 0) p.drawLine(last, pt);
            last = pt;
        }
    }
    if (auto y0 = ZeroForceLineY(s, H)) {
        p.setPen(ChartPen(kZeroLineBlue, 2));
        p.drawLine(kFrameSide, *y0, W - kFrameSide, *y0);
    }
    // A section bent both ways: the curve is uniaxial, which the top strip
    // names (a point-symmetric section's picture stays as it was).
    if (curve.bothWays()) DrawChartText(p, kFrameSide, 3, PMCurveCaption(yDir ? 90 : 0));
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
    p.drawLine(kFrameSide, *y, W - kFrameSide, *y);
}

}  // namespace px
