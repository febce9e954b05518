#pragma once
// Imported load combinations drawn over the interaction charts. Both
// functions draw on top of the current picture.
#include <QColor>
#include <QImage>
#include <QPainter>

#include "analysis/curves.h"
#include "loads/load_table.h"
#include "plot/scales.h"

namespace px {

// Marker colours that read apart without colour vision: blue and
// vermillion, and different shapes (an OK force is a ring, an NG force a
// cross); forces at another axial level are dark grey dots.
inline const QColor kMarkerOk(0, 114, 178);
inline const QColor kMarkerNg(213, 94, 0);
inline const QColor kMarkerOther(90, 90, 90);
inline constexpr int kMarkerRadius = 5;  // ring radius and cross half-width, pixels

// Legend strip above the frame, right of the vertical axis's title; the
// strip is cleared first, so a second overlay does not write over the first.
inline constexpr int kLegendLeft = 66;

// The markers of PMForceMarkers at (moment, P) of every combination,
// amplified by the factors; direction 0 uses Mx, 90 uses My. `s` is the
// scale of that direction's chart and `curve` the curve it shows. Markers
// whose centre lies outside the frame are not drawn; the legend counts them.
void DrawForcesOnPM(QImage& image, double direction, const LoadCombinationTable& table, double fP,
                    double fMx, double fMy, const PMPlotScaleSet& s, const PMCurve& curve);

// The markers of MMForceMarkers at the signed (Mx, My) of every combination:
// those whose amplified axial force lies strictly within r of MMAxialForce
// judged against the drawn curve (entries 1..MMPointCount), the others as
// dots of another level.
void DrawForcesOnMM(QImage& image, const LoadCombinationTable& table, double fP, double fMx,
                    double fMy, const MMPlotScale& s, double MMAxialForce, double r, const MMCurve& curve,
                    int MMPointCount);

// The same markers painted on `p` over a W x H pixel chart at the origin.
void DrawForcesOnPM(QPainter& p, int W, int H, double direction, const LoadCombinationTable& table, double fP,
                    double fMx, double fMy, const PMPlotScaleSet& s, const PMCurve& curve);
void DrawForcesOnMM(QPainter& p, int W, int H, const LoadCombinationTable& table, double fP, double fMx,
                    double fMy, const MMPlotScale& s, double MMAxialForce, double r, const MMCurve& curve,
                    int MMPointCount);

}  // namespace px
