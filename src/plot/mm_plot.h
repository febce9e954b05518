#pragma once
// Mx-My chart: axis limits, labels, readout; the axial-force slider and the
// axial-force line on the reference P-M chart.
#include <optional>
#include <string>
#include <vector>

#include "analysis/curves.h"
#include "plot/pm_plot.h"
#include "plot/scales.h"

namespace px {

// Size of Image5.
inline constexpr int kMMImageWidth = 391;
inline constexpr int kMMImageHeight = 391;

// Symmetric axis limits from the largest |Mx| and the largest |My| over
// entries 0..MMPointCount (both the positive and the negative extremes),
// each rounded up to whole thousands. Raises the
// invalid-operation fault when the curve has fewer entries.
MMPlotScale MMAxisLimits(const MMCurve& curve, int MMPointCount);

// True when both axes can be mapped (largest Mx and largest My above 0).
bool MMScaleUsable(const MMPlotScale& s);

// Texts under the six Mx grid lines and beside the eleven My grid lines.
std::vector<std::string> MMMxLabels(const MMPlotScale& s);
std::vector<std::string> MMMyLabels(const MMPlotScale& s);

// Moments under pixel (X, Y) of a W x H Mx-My chart.
struct MMReading {
    double Mx = 0;
    double My = 0;
};
MMReading ReadMM(const MMPlotScale& s, int X, int Y, int W, int H);
std::string Label73Text(const MMReading& r);  // "MY = %0.0F , MX = %0.0F"

// Slider: position 0 (top) gives PMax, 100 (bottom) gives PMin; whole kN.
double MMAxialForceFromSlider(double PMax, double PMin, int position);
// Text the slider writes into Edit30.
std::string Edit30Text(double MMAxialForce);

// Row of the axial-force line on a P-M chart drawn with `s`; empty when the
// force axis has no range or the row lies outside the image.
std::optional<int> AxialForceLineY(const PMPlotScaleSet& s, double axialForce, int H);

}  // namespace px
