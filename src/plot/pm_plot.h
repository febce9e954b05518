#pragma once
// P-M chart: axis limits, labels, readouts. Moment runs to the right, axial
// force upwards (compression up).
#include <optional>
#include <string>
#include <vector>

#include "analysis/curves.h"
#include "plot/frame.h"
#include "plot/scales.h"

namespace px {

// Size of the P-M images (Image2, Image3, and the copy in Image4).
inline constexpr int kPMImageWidth = 388;
inline constexpr int kPMImageHeight = 391;

// Axis limits of one direction from its points 0..nP on a W x H chart: every
// point kCurvePad pixels inside the frame, the moment axis holding 0.
// Raises the invalid-operation fault for no points and a floating-point
// fault for a point that is not finite.
PMPlotScaleSet PMAxisLimits(const std::vector<double>& P, const std::vector<double>& M, int nP, int W, int H);

// The closed line the chart of one direction draws (angle 90: PY and MY,
// else PX and MX): the half from PMin to PMax, and for a section bent both
// ways the negative half back down. Empty when the curve has too few
// entries. The moments are those the chart plots.
struct PMChartLine {
    std::vector<double> P, M;
};
PMChartLine PMChartPolygon(const PMCurve& curve, double angle);

// Titles: "P (kN)" upwards; "Mx (kNm)" (angle 0) or "My (kNm)" (angle 90)
// to the right.
inline constexpr const char* kPMForceTitle = "P (kN)";
std::string PMMomentTitle(double angle);

// The chart's two axes with their round ticks.
ChartAxis PMMomentAxis(const PMPlotScaleSet& s, double angle, int W);
ChartAxis PMForceAxis(const PMPlotScaleSet& s, int H);

// Row of the zero axial force line; empty when the force axis has no range
// or the row lies outside the frame.
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
