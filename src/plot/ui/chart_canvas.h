#pragma once
// Painting pieces shared by every chart: the white image with its black
// outline, the grey frame and grid, the black labels. Painters are aliased so
// that every pixel has one of the chart's exact colours.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <string>
#include <vector>

namespace px {

inline const QColor kChartGrey(128, 128, 128);
inline const QColor kCurveRed(255, 0, 0);
inline const QColor kZeroLineBlue(0, 0, 255);
inline const QColor kAxialLinePurple(128, 0, 128);

// Sets up an aliased painter with a clear brush and a 1-pixel pen.
void PrepareChartPainter(QPainter& p);

// White image, black outline on the edge pixels, grey frame from (50, 20) to
// (W - 50, H - 20).
void BeginChart(QPainter& p, int W, int H);

// Six grey vertical grid lines with their labels under the frame (left to
// right), then eleven horizontal ones with their labels at the left (labels
// listed bottom to top).
void DrawChartGrid(QPainter& p, int W, int H, const std::vector<std::string>& xLabels,
                   const std::vector<std::string>& yLabels);

// Black text with its top-left corner at (x, y), transparent background.
void DrawChartText(QPainter& p, int x, int y, const std::string& text);

// Unfilled circle of radius r around (x, y) in the painter's current pen.
void DrawMarker(QPainter& p, int x, int y, int r);

// A pen of the given colour and width with round ends.
QPen ChartPen(const QColor& c, int width);

}  // namespace px
