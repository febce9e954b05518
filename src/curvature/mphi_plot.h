#pragma once
// The M-Phi chart: moment (kNm) upwards against curvature (1/km) to the
// right, in the plot frame of the P-M charts; axis limits, labels, the
// readout and the key figures the chart marks.
#include <string>
#include <vector>

#include "curvature/moment_curvature.h"

namespace px {

inline constexpr int kMphiImageWidth = 388;
inline constexpr int kMphiImageHeight = 391;

struct MphiPlotScale {
    double PhiMin = 0, PhiMax = 0;  // 1/km at the frame's left and right edges
    double MMin = 0, MMax = 0;      // kNm at the bottom and top edges
};

// Limits: curvature rounded to whole 1/km, moment to whole MphiMomentStep
// (upper limits up, lower ones to the nearest step, halves downwards), as
// the P-M chart rounds its axes.
MphiPlotScale MphiAxisLimits(const MphiResult& r);

// The step the moment axis rounds to: a tenth of the largest moment's
// decade below 2.5 of it, half the decade from there (1000 for 16500 kNm,
// 50 for 280 kNm), so that the curve fills at least 80 % of the chart's
// height; 1000 when there is no moment.
double MphiMomentStep(double mMax);

// Curvature labels under the six vertical lines ("%0.2F"), moment labels
// beside the eleven horizontal ones ("%0.0F", or "%0.2F" when a label is
// not a whole number).
std::vector<std::string> MphiCurvatureLabels(const MphiPlotScale& s);
std::vector<std::string> MphiMomentLabels(const MphiPlotScale& s);

// "Curvature = %0.4F 1/km , M = %0.2F kNm" of pixel (X, Y).
std::string MphiReadoutText(const MphiPlotScale& s, int X, int Y, int W, int H);

// Axis titles and the heading: the moment axis's at the top left, the
// curvature axis's at the bottom right of the frame.
inline constexpr const char* kMphiMomentTitle = "M (kNm)";
inline constexpr const char* kMphiCurvatureTitle = "Curvature (1/km)";
// "P = 3313.53 kN, angle = 0.00 deg": what the curve was computed at.
std::string MphiHeading(const MphiSettings& s);
// Legend entries in the order the chart lists them.
inline constexpr const char* kMphiLegend[] = {"M-Phi curve", "Bilinear line", "First yield", "Ultimate"};

// The bilinear line's three corners (curvature in 1/km, moment kNm):
// origin, (phi_y', Mp), (phi_u, Mp); empty without a line.
std::vector<std::pair<double, double>> MphiBilinearCorners(const MphiResult& r);

}  // namespace px
