#pragma once
// Painting the M-Phi chart.
#include <QImage>
#include <QPainter>

#include "curvature/moment_curvature.h"
#include "curvature/mphi_plot.h"

namespace px {

// The frame, grid, labels and axis titles; the curve in red; the bilinear
// line dashed in blue; first yield as a green circle and the ultimate point
// as a purple one; the axial force and angle above the frame and a legend
// of the marks in its bottom right corner. Returns the chart's limits.
// Without a result, an empty frame with the axis titles.
// Where the legend's box lies (image pixels) and the height of its rows.
struct MphiLegendBox {
    int x, y, w, h;
};
inline constexpr int kMphiLegendRow = 15;
MphiLegendBox MphiLegendPlace(int W, int H);

MphiPlotScale DrawMphiCurve(QPainter& p, int W, int H, const MphiResult* r);

}  // namespace px
