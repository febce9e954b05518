#pragma once
// Painting the M-Phi chart.
#include <QImage>
#include <QPainter>

#include "curvature/moment_curvature.h"
#include "curvature/mphi_plot.h"

namespace px {

// The frame, grid and labels; the curve in red; the bilinear line dashed in
// blue; first yield as a green circle and the ultimate point as a purple
// one. Returns the chart's limits. Without a result, an empty frame.
MphiPlotScale DrawMphiCurve(QPainter& p, int W, int H, const MphiResult* r);
MphiPlotScale DrawMphiCurve(QImage& image, const MphiResult* r);

}  // namespace px
