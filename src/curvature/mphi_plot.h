#pragma once
// The M-Phi chart: moment (kNm) upwards against curvature (1/km) to the
// right, in the plot frame of the P-M charts; axis limits, labels, the
// readout and the key figures the chart marks.
#include <string>
#include <vector>

#include "curvature/moment_curvature.h"
#include "plot/frame.h"

namespace px {

inline constexpr int kMphiImageWidth = 388;
inline constexpr int kMphiImageHeight = 391;

struct MphiPlotScale {
    double PhiMin = 0, PhiMax = 0;  // 1/km at the frame's left and right edges
    double MMin = 0, MMax = 0;      // kNm at the bottom and top edges
};

// Limits of a W x H chart: the curve's range (holding 0) with every point
// kCurvePad pixels inside the frame.
MphiPlotScale MphiAxisLimits(const MphiResult& r, int W, int H);

// The axes with their round ticks and titles.
ChartAxis MphiCurvatureAxis(const MphiPlotScale& s, int W);
ChartAxis MphiMomentAxis(const MphiPlotScale& s, int H);

// "Curvature = %0.4F 1/km , M = %0.2F kNm" of pixel (X, Y).
std::string MphiReadoutText(const MphiPlotScale& s, int X, int Y, int W, int H);

// Axis titles: the moment axis's above the frame's top left, the
// curvature axis's under the frame.
inline constexpr const char* kMphiMomentTitle = "M (kNm)";
inline constexpr const char* kMphiCurvatureTitle = "Curvature (1/km)";
// "P = 3313.53 kN, angle = 0.00 deg": what the curve was computed at.
std::string MphiHeading(const MphiSettings& s);
// Legend entries in the order the chart lists them.
inline constexpr const char* kMphiLegend[] = {"M-Phi curve", "Bilinear line", "First yield", "Ultimate", "Peak Mmax"};
inline constexpr int kMphiLegendEntries = 5;
// Written on a chart whose curve no longer matches the inputs.
inline constexpr const char* kMphiChartStale = "Stale: inputs changed since this curve";

// The bilinear line's three corners (curvature in 1/km, moment kNm):
// origin, (phi_y', Mp), (phi_u, Mp); empty without a line.
std::vector<std::pair<double, double>> MphiBilinearCorners(const MphiResult& r);

}  // namespace px
