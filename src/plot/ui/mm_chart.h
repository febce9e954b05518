#pragma once
// Mx-My chart (Image5).
#include <QImage>
#include <QPainter>

#include "analysis/curves.h"
#include "plot/scales.h"

namespace px {

// Draws entries 1..MMPointCount of the curve as circles joined in order and
// closed back to entry 1 (entry 0 repeats the last one), and writes the
// symmetric axis limits into `scale`. A curve whose largest Mx or largest My
// is 0 or less gets the frame and labels without the curve.
void DrawMMCurve(QImage& image, const MMCurve& curve, int MMPointCount, MMPlotScale& scale);

// The same chart painted on `p` over a W x H pixel area at the origin.
void DrawMMCurve(QPainter& p, int W, int H, const MMCurve& curve, int MMPointCount, MMPlotScale& scale);

}  // namespace px
