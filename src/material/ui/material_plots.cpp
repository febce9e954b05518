#include "material/ui/material_plots.h"

#include "plot/frame.h"
#include "plot/material_chart.h"
#include "plot/ui/chart_canvas.h"

namespace px {

namespace {

// A chart with an empty strain or stress range shows its frame and labels only.
void drawChart(QImage& image, const MaterialChart& c) {
    const int W = image.width(), H = image.height();
    QPainter p(&image);
    BeginChart(p, W, H);
    DrawChartGrid(p, W, H, MaterialStrainLabels(c), MaterialStressLabels(c));
    if (!MaterialChartUsable(c)) return;
    p.setPen(ChartPen(kCurveRed, 2));
    QPoint last;
    for (size_t i = 0; i < c.Strain.size(); ++i) {
        const QPoint pt(MapX(c.Strain[i], c.StrainMin, c.StrainMax, W),
                        MapY(c.Stress[i], c.StressBottom, c.StressTop, H));
        if (i > 0) p.drawLine(last, pt);
        last = pt;
    }
}

}  // namespace

void DrawConcreteCurve(QImage& image, int model, double fc, double fcu, double e0, double ecu) {
    drawChart(image, ConcreteChart(model, fc, fcu, e0, ecu));
}

void DrawSteelCurve(QImage& image, int model, double fy, double es) {
    drawChart(image, SteelChart(model, fy, es));
}

}  // namespace px
