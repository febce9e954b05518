#pragma once
// Stress-strain charts of the material pages (271 x 247 images): the plotted
// points, the axis limits and the label texts.
#include <string>
#include <vector>

#include "plot/frame.h"

namespace px {

inline constexpr int kMaterialImageWidth = 271;
inline constexpr int kMaterialImageHeight = 247;

struct MaterialChart {
    std::vector<double> Strain;  // plotted strain of each point
    std::vector<double> Stress;  // plotted stress of each point, N/mm2
    // Axis limits: the points' range with kMaterialPad pixels to spare at
    // both ends of a W x H chart, stress always holding 0.
    double StrainMin = 0, StrainMax = 0;
    double StressBottom = 0, StressTop = 0;
};
inline constexpr int kMaterialPad = 3;  // the curve has no markers, only its pen

// 21 points from 0 to -ecu through the concrete law, both values negated so
// compression shows positive (the descending law adds its drop to 0 at ecu
// and a fifth of ecu beyond), on a W x H chart.
MaterialChart ConcreteChart(int model, double fc, double fcu, double e0, double ecu, int W, int H);

// 51 points from 0 to 0.01 (tension) through the steel law, on a W x H chart.
MaterialChart SteelChart(int model, double fy, double es, int W, int H);

// True when both axes have a range, so the curve can be drawn.
bool MaterialChartUsable(const MaterialChart& c);

// The axes: "strain (1/1000)" labelled in thousandths, "stress (N/mm2)".
inline constexpr const char* kStrainTitle = "strain (1/1000)";
inline constexpr const char* kStressTitle = "stress (N/mm2)";
ChartAxis MaterialStrainAxis(const MaterialChart& c, int W);
ChartAxis MaterialStressAxis(const MaterialChart& c, int H);

}  // namespace px
