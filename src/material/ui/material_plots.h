#pragma once
// Stress-strain charts of the material pages (Image6 ... Image10).
#include <QImage>
#include <QPainter>

namespace px {

// Concrete curve from 0 to ecu, compression drawn positive. Note the order of
// the parameters: fc, fcu, e0, ecu.
void DrawConcreteCurve(QImage& image, int model, double fc, double fcu, double e0, double ecu);

// Steel curve from 0 to 0.01 in tension.
void DrawSteelCurve(QImage& image, int model, double fy, double es);

// The same charts painted on `p` over a W x H pixel area at the origin.
void DrawConcreteCurve(QPainter& p, int W, int H, int model, double fc, double fcu, double e0, double ecu);
void DrawSteelCurve(QPainter& p, int W, int H, int model, double fy, double es);

}  // namespace px
