#include "loads/ui/force_overlay.h"

#include <QFontMetrics>
#include <string>

#include "plot/frame.h"
#include "plot/overlay.h"
#include "plot/ui/chart_canvas.h"

namespace px {

namespace {

void drawShape(QPainter& p, MarkerVerdict v, int x, int y) {
    const int r = kMarkerRadius;
    switch (v) {
        case MarkerVerdict::Ok:
            p.setPen(ChartPen(kMarkerOk, 2));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPoint(x, y), r - 1, r - 1);
            break;
        case MarkerVerdict::Ng:
            p.setPen(ChartPen(kMarkerNg, 2));
            p.drawLine(x - r, y - r, x + r, y + r);
            p.drawLine(x - r, y + r, x + r, y - r);
            break;
        case MarkerVerdict::OtherLevel:
            p.setPen(ChartPen(kMarkerOther, 1));
            p.setBrush(kMarkerOther);
            p.drawEllipse(QPoint(x, y), 2, 2);
            p.setBrush(Qt::NoBrush);
            break;
    }
}

// Markers inside the frame, the other level first and NG on top; then the
// legend with the counts in the strip above the frame, up to `right`.
void drawMarkers(QPainter& p, int W, int H, const std::vector<ForceMarker>& markers, int right) {
    if (markers.empty()) return;
    PrepareChartPainter(p);
    p.save();
    p.setClipRect(kFrameLeft, kFrameTop, FrameWidth(W) + 1, FrameHeight(H) + 1);
    for (MarkerVerdict v : {MarkerVerdict::OtherLevel, MarkerVerdict::Ok, MarkerVerdict::Ng})
        for (const ForceMarker& m : markers)
            if (m.InFrame && m.Verdict == v) drawShape(p, v, m.X, m.Y);
    p.restore();

    const MarkerCounts c = CountMarkers(markers);
    const QFontMetrics fm(p.font());
    const int top = 2, rowH = kFrameTop - 3;
    p.fillRect(kLegendLeft, top, right - kLegendLeft, rowH, Qt::white);
    int x = kLegendLeft;
    auto entry = [&](bool symbol, MarkerVerdict v, const std::string& text) {
        const int width = (symbol ? 14 : 0) + fm.horizontalAdvance(QString::fromStdString(text));
        if (x + width > right) return;
        if (symbol) drawShape(p, v, x + kMarkerRadius + 1, top + rowH / 2);
        DrawChartText(p, x + (symbol ? 14 : 0), top + (rowH - fm.height()) / 2, text);
        x += width + 10;
    };
    entry(true, MarkerVerdict::Ok, "OK " + std::to_string(c.Ok));
    entry(true, MarkerVerdict::Ng, "NG " + std::to_string(c.Ng));
    if (c.Other > 0) entry(true, MarkerVerdict::OtherLevel, "other P " + std::to_string(c.Other));
    if (c.OffFrame > 0) entry(false, MarkerVerdict::Ok, std::to_string(c.OffFrame) + " off chart");
}

}  // namespace

void DrawForcesOnPM(QImage& image, double direction, const LoadCombinationTable& table, double fP,
                    double fMx, double fMy, const PMPlotScaleSet& s, const PMCurve& curve) {
    QPainter p(&image);
    DrawForcesOnPM(p, image.width(), image.height(), direction, table, fP, fMx, fMy, s, curve);
}

void DrawForcesOnPM(QPainter& p, int W, int H, double direction, const LoadCombinationTable& table, double fP,
                    double fMx, double fMy, const PMPlotScaleSet& s, const PMCurve& curve) {
    // The top strip's right part keeps the caption of a curve with both halves.
    drawMarkers(p, W, H, PMForceMarkers(direction, table, fP, fMx, fMy, curve, s, W, H), W - kFrameRight - 100);
}

void DrawForcesOnMM(QImage& image, const LoadCombinationTable& table, double fP, double fMx,
                    double fMy, const MMPlotScale& s, double MMAxialForce, double r, const MMCurve& curve,
                    int MMPointCount) {
    QPainter p(&image);
    DrawForcesOnMM(p, image.width(), image.height(), table, fP, fMx, fMy, s, MMAxialForce, r, curve, MMPointCount);
}

void DrawForcesOnMM(QPainter& p, int W, int H, const LoadCombinationTable& table, double fP, double fMx,
                    double fMy, const MMPlotScale& s, double MMAxialForce, double r, const MMCurve& curve,
                    int MMPointCount) {
    drawMarkers(p, W, H, MMForceMarkers(table, fP, fMx, fMy, curve, MMPointCount, s, MMAxialForce, r, W, H),
                W - 3);
}

}  // namespace px
