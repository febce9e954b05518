#pragma once
// Painting pieces shared by every chart: the white image with its black
// outline, the grey frame and grid, the black labels. Painters are aliased so
// that every pixel has one of the chart's exact colours.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <string>
#include <vector>

#include "plot/frame.h"

namespace px {

inline const QColor kChartGrey(128, 128, 128);
inline const QColor kCurveRed(255, 0, 0);
inline const QColor kZeroLineBlue(0, 0, 255);
inline const QColor kAxialLinePurple(128, 0, 128);

// Sets up an aliased painter with a clear brush and a 1-pixel pen.
void PrepareChartPainter(QPainter& p);

// White image, black outline on the edge pixels, grey frame from
// (kFrameLeft, kFrameTop) to (W - kFrameRight, H - kFrameBottom).
void BeginChart(QPainter& p, int W, int H);

// Grey grid lines at the axes' ticks, each labelled outside the frame: the
// horizontal axis's labels centred under their lines, the vertical axis's
// right-aligned beside theirs; the horizontal axis's title centred under its
// labels, the vertical axis's above the frame's top-left corner.
void DrawChartAxes(QPainter& p, int W, int H, const ChartAxis& x, const ChartAxis& y);

// Black text centred on x with its top at y, and text whose top-right
// corner is at (x, y).
void DrawChartTextCentred(QPainter& p, int x, int y, const std::string& text);
void DrawChartTextRight(QPainter& p, int x, int y, const std::string& text);

// Black text with its top-left corner at (x, y), transparent background.
void DrawChartText(QPainter& p, int x, int y, const std::string& text);

// Unfilled circle of radius r around (x, y) in the painter's current pen.
void DrawMarker(QPainter& p, int x, int y, int r);

// A pen of the given colour and width with round ends.
QPen ChartPen(const QColor& c, int width);

}  // namespace px
