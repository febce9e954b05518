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

// Limits: curvature rounded to whole 1/km, moment to whole thousands (upper
// limits up, lower ones to the nearest step, halves downwards), as the P-M
// chart rounds its axes.
MphiPlotScale MphiAxisLimits(const MphiResult& r);

// Curvature labels under the six vertical lines ("%0.2F"), moment labels
// beside the eleven horizontal ones ("%0.0F").
std::vector<std::string> MphiCurvatureLabels(const MphiPlotScale& s);
std::vector<std::string> MphiMomentLabels(const MphiPlotScale& s);

// "Curvature = %0.4F 1/km , M = %0.2F kNm" of pixel (X, Y).
std::string MphiReadoutText(const MphiPlotScale& s, int X, int Y, int W, int H);

// The bilinear line's three corners (curvature in 1/km, moment kNm):
// origin, (phi_y', Mp), (phi_u, Mp); empty without a line.
std::vector<std::pair<double, double>> MphiBilinearCorners(const MphiResult& r);

}  // namespace px
