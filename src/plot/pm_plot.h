#pragma once
// P-M chart: axis limits, labels, readouts. Moment runs to the right, axial
// force upwards (compression up).
#include <optional>
#include <string>
#include <vector>

#include "plot/scales.h"

namespace px {

// Size of the P-M images (Image2, Image3, and the copy in Image4).
inline constexpr int kPMImageWidth = 388;
inline constexpr int kPMImageHeight = 391;

// Axis limits of one direction from its points 0..nP: the upper limits are
// rounded up to whole thousands, the lower ones to the nearest thousand
// (halves downwards). Raises the invalid-operation fault for no points.
PMPlotScaleSet PMAxisLimits(const std::vector<double>& P, const std::vector<double>& M, int nP);

// Texts under the six moment grid lines (left to right) and beside the eleven
// force grid lines (bottom to top).
std::vector<std::string> PMMomentLabels(const PMPlotScaleSet& s);
std::vector<std::string> PMForceLabels(const PMPlotScaleSet& s);

// Row of the zero axial force line; empty when the force axis has no range
// or the row is far outside the image.
std::optional<int> ZeroForceLineY(const PMPlotScaleSet& s, int H);

// Forces under pixel (X, Y) of a W x H P-M chart.
struct PMReading {
    double P = 0;
    double M = 0;
};
PMReading ReadPM(const PMPlotScaleSet& s, int X, int Y, int W, int H);

// Caption of the P-M chart of a section bent both ways, for the direction
// at 0 or 90 degrees: "Mx with My = 0" or "My with Mx = 0".
std::string PMCurveCaption(double angle);

// Readout captions.
std::string Label68Text(const PMReading& r);  // "P = %0.0F , MX = %0.0F"
std::string Label69Text(const PMReading& r);  // "P = %0.0F , MY = %0.0F"
std::string Label74Text(const PMReading& r);  // "P = %0.0F , M = %0.0F"

}  // namespace px
