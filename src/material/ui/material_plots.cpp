#include "material/ui/material_plots.h"

#include "plot/frame.h"
#include "plot/material_chart.h"
#include "plot/ui/chart_canvas.h"

namespace px {

namespace {

// A chart with an empty strain or stress range shows its frame and labels only.
void drawChart(QPainter& p, int W, int H, const MaterialChart& c) {
    BeginChart(p, W, H);
    DrawChartAxes(p, W, H, MaterialStrainAxis(c, W), MaterialStressAxis(c, H));
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
    QPainter p(&image);
    DrawConcreteCurve(p, image.width(), image.height(), model, fc, fcu, e0, ecu);
}

void DrawSteelCurve(QImage& image, int model, double fy, double es) {
    QPainter p(&image);
    DrawSteelCurve(p, image.width(), image.height(), model, fy, es);
}

void DrawConcreteCurve(QPainter& p, int W, int H, int model, double fc, double fcu, double e0, double ecu) {
    drawChart(p, W, H, ConcreteChart(model, fc, fcu, e0, ecu, W, H));
}

void DrawSteelCurve(QPainter& p, int W, int H, int model, double fy, double es) {
    drawChart(p, W, H, SteelChart(model, fy, es, W, H));
}

}  // namespace px
