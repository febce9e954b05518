#pragma once
// Imported load combinations drawn over the interaction charts. Both
// functions draw on top of the current picture.
#include <QImage>
#include <QPainter>

#include "loads/load_table.h"
#include "plot/scales.h"

namespace px {

// Blue circles of radius 2 at (|moment|, P) of every combination, amplified
// by the factors; direction 0 uses Mx, 90 uses My. `s` is the scale of that
// direction's chart. signedMoments: the moments on their own side of a
// curve drawn with both halves (PMForceMarkers).
void DrawForcesOnPM(QImage& image, double direction, const LoadCombinationTable& table, double fP,
                    double fMx, double fMy, const PMPlotScaleSet& s, bool signedMoments = false);

// Light grey circles of radius 2 at the signed (Mx, My) of every combination,
// then blue circles of radius 4 (pen 2) around those whose amplified axial
// force lies strictly within r of MMAxialForce.
void DrawForcesOnMM(QImage& image, const LoadCombinationTable& table, double fP, double fMx,
                    double fMy, const MMPlotScale& s, double MMAxialForce, double r);

// The same markers painted on `p` over a W x H pixel chart at the origin.
void DrawForcesOnPM(QPainter& p, int W, int H, double direction, const LoadCombinationTable& table, double fP,
                    double fMx, double fMy, const PMPlotScaleSet& s, bool signedMoments = false);
void DrawForcesOnMM(QPainter& p, int W, int H, const LoadCombinationTable& table, double fP, double fMx,
                    double fMy, const MMPlotScale& s, double MMAxialForce, double r);

}  // namespace px
