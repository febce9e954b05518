#pragma once
// Painting the M-Phi chart.
#include <QImage>
#include <QPainter>

#include "curvature/moment_curvature.h"
#include "curvature/mphi_plot.h"

namespace px {

// Where the legend's box lies (image pixels) and the height of its rows.
struct MphiLegendBox {
    int x, y, w, h;
};
inline constexpr int kMphiLegendRow = 15;
MphiLegendBox MphiLegendPlace(int W, int H);

// The peak's mark: an unfilled diamond of half-width 5 around (x, y) in the
// painter's pen.
void DrawPeakMark(QPainter& p, int x, int y);

// The frame, grid, labels and axis titles; the curve in red; the bilinear
// line dashed in blue; first yield as a green circle, the ultimate point as
// a purple one and the peak (Mmax) as an orange diamond; the axial force and
// angle above the frame and a legend of the marks in its bottom right
// corner; with `stale`, kMphiChartStale in red inside the frame's top left
// corner. Returns the chart's limits. Without a result, an empty frame with
// the axis titles.
MphiPlotScale DrawMphiCurve(QPainter& p, int W, int H, const MphiResult* r, bool stale = false);

}  // namespace px
