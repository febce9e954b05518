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

// Axis limits from the largest |Mx| and the largest |My| over entries
// 0..MMPointCount (both the positive and the negative extremes), symmetric
// about 0, every point kCurvePad pixels inside the frame of a W x H chart,
// and one kNm taking as many pixels on either axis (a square column's curve
// looks square): the axis with room to spare reaches further. Raises the
// invalid-operation fault when the curve has fewer entries.
MMPlotScale MMAxisLimits(const MMCurve& curve, int MMPointCount, int W, int H);

// True when both axes can be mapped (largest Mx and largest My above 0).
bool MMScaleUsable(const MMPlotScale& s);

// The chart's axes, "Mx (kNm)" to the right and "My (kNm)" upwards, ticked
// on one round step so that the grid's cells are square.
ChartAxis MMMxAxis(const MMPlotScale& s, int W, int H);
ChartAxis MMMyAxis(const MMPlotScale& s, int W, int H);

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
// force axis has no range or the row lies outside the frame.
std::optional<int> AxialForceLineY(const PMPlotScaleSet& s, double axialForce, int H);

}  // namespace px
