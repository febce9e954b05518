#pragma once
// Stress-strain charts of the material pages (271 x 247 images): the plotted
// points, the axis limits and the label texts.
#include <string>
#include <vector>

namespace px {

inline constexpr int kMaterialImageWidth = 271;
inline constexpr int kMaterialImageHeight = 247;

struct MaterialChart {
    std::vector<double> Strain;  // plotted strain of each point
    std::vector<double> Stress;  // plotted stress of each point, N/mm2
    double StrainMin = 0, StrainMax = 0;      // horizontal axis, as computed
    double StressBottom = 0, StressTop = 0;   // vertical axis, whole steps
};

// 21 points from 0 to -ecu through the concrete law, both values negated so
// compression shows positive; stress limits rounded to multiples of 5.
MaterialChart ConcreteChart(int model, double fc, double fcu, double e0, double ecu);

// 51 points from 0 to 0.01 (tension) through the steel law; stress limits
// rounded to multiples of 100.
MaterialChart SteelChart(int model, double fy, double es);

// True when both axes have a range, so the curve can be drawn.
bool MaterialChartUsable(const MaterialChart& c);

// Strain labels in thousandths under the six vertical grid lines, and stress
// labels beside the eleven horizontal ones (bottom to top), "%0.2F".
std::vector<std::string> MaterialStrainLabels(const MaterialChart& c);
std::vector<std::string> MaterialStressLabels(const MaterialChart& c);

}  // namespace px
