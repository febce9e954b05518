#include "loads/ui/force_overlay.h"

#include "plot/overlay.h"
#include "plot/ui/chart_canvas.h"

namespace px {

namespace {
const QColor kMarkerBlue(0, 0, 255);
const QColor kFaintGrey(240, 240, 240);
}  // namespace

void DrawForcesOnPM(QImage& image, double direction, const LoadCombinationTable& table, double fP,
                    double fMx, double fMy, const PMPlotScaleSet& s) {
    const auto markers = PMForceMarkers(direction, table, fP, fMx, fMy, s, image.width(), image.height());
    if (markers.empty()) return;
    QPainter p(&image);
    PrepareChartPainter(p);
    p.setPen(ChartPen(kMarkerBlue, 1));
    for (const ForceMarker& m : markers) DrawMarker(p, m.X, m.Y, 2);
}

void DrawForcesOnMM(QImage& image, const LoadCombinationTable& table, double fP, double fMx,
                    double fMy, const MMPlotScale& s, double MMAxialForce, double r) {
    const auto markers =
        MMForceMarkers(table, fP, fMx, fMy, s, MMAxialForce, r, image.width(), image.height());
    if (markers.empty()) return;
    QPainter p(&image);
    PrepareChartPainter(p);
    p.setPen(ChartPen(kFaintGrey, 1));
    for (const ForceMarker& m : markers) DrawMarker(p, m.X, m.Y, 2);
    p.setPen(ChartPen(kMarkerBlue, 2));
    for (const ForceMarker& m : markers)
        if (m.Highlighted) DrawMarker(p, m.X, m.Y, 4);
}

}  // namespace px
