#pragma once
// P-M charts (Image2, Image3) and the axial-force line on their copy (Image4).
#include <QImage>
#include <QPainter>

#include "analysis/curves.h"
#include "plot/scales.h"

namespace px {

// Draws one direction of the curve: angle 90 draws PY against MY and writes
// scale.Y, any other angle (0) draws PX against MX and writes scale.X. A
// direction whose moment or force axis has no range gets the frame and labels
// without the curve. Raises a floating-point fault (leaving image and scale
// untouched) when a point is not finite.
void DrawPMCurve(QImage& image, const PMCurve& curve, double angle, PMPlotScale& scale);

// The same chart painted on `p` over a W x H pixel area at the origin.
void DrawPMCurve(QPainter& p, int W, int H, const PMCurve& curve, double angle, PMPlotScale& scale);

// Purple line of width 2 across the frame at the axial force, on the force
// scale of the chart `s` was written by. Nothing when that scale has no range
// or the line falls outside the image.
void DrawAxialForceLine(QImage& image, const PMPlotScaleSet& s, double axialForce);

// The same line painted on `p` over a W x H pixel chart at the origin.
void DrawAxialForceLine(QPainter& p, int W, int H, const PMPlotScaleSet& s, double axialForce);

}  // namespace px
