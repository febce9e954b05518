#include "loads/ui/force_overlay.h"

#include "plot/overlay.h"
#include "plot/ui/chart_canvas.h"

namespace px {

namespace {
const QColor kMarkerBlue(0, 0, 255);
const QColor kFaintGrey(240, 240, 240);
}  // namespace

void DrawForcesOnPM(QImage& image, double direction, const LoadCombinationTable& table, double fP,
                    double fMx, double fMy, const PMPlotScaleSet& s, bool signedMoments) {
    QPainter p(&image);
    DrawForcesOnPM(p, image.width(), image.height(), direction, table, fP, fMx, fMy, s, signedMoments);
}

void DrawForcesOnPM(QPainter& p, int W, int H, double direction, const LoadCombinationTable& table, double fP,
                    double fMx, double fMy, const PMPlotScaleSet& s, bool signedMoments) {
    const auto markers = PMForceMarkers(direction, table, fP, fMx, fMy, s, W, H, signedMoments);
    if (markers.empty()) return;
    PrepareChartPainter(p);
    p.setPen(ChartPen(kMarkerBlue, 1));
    for (const ForceMarker& m : markers) DrawMarker(p, m.X, m.Y, 2);
}

void DrawForcesOnMM(QImage& image, const LoadCombinationTable& table, double fP, double fMx,
                    double fMy, const MMPlotScale& s, double MMAxialForce, double r) {
    QPainter p(&image);
    DrawForcesOnMM(p, image.width(), image.height(), table, fP, fMx, fMy, s, MMAxialForce, r);
}

void DrawForcesOnMM(QPainter& p, int W, int H, const LoadCombinationTable& table, double fP, double fMx,
                    double fMy, const MMPlotScale& s, double MMAxialForce, double r) {
    const auto markers = MMForceMarkers(table, fP, fMx, fMy, s, MMAxialForce, r, W, H);
    if (markers.empty()) return;
    PrepareChartPainter(p);
    p.setPen(ChartPen(kFaintGrey, 1));
    for (const ForceMarker& m : markers) DrawMarker(p, m.X, m.Y, 2);
    p.setPen(ChartPen(kMarkerBlue, 2));
    for (const ForceMarker& m : markers)
        if (m.Highlighted) DrawMarker(p, m.X, m.Y, 4);
}

}  // namespace px
