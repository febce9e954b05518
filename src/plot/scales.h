#pragma once
// Axis limits of the last drawn plots, used by readouts and overlays.

namespace px {

struct PMPlotScaleSet {
    double MAxisMax = 0, PAxisMax = 0, MAxisMin = 0, PAxisMin = 0;
};

// X: angle 0 (Image2), Y: angle 90 (Image3).
struct PMPlotScale {
    PMPlotScaleSet X, Y;
    PMPlotScaleSet& forAngle(double angle) { return angle == 90 ? Y : X; }
    const PMPlotScaleSet& forAngle(double angle) const { return angle == 90 ? Y : X; }
};

struct MMPlotScale {
    double MxAxisMax = 0, MxAxisMin = 0, MyAxisMax = 0, MyAxisMin = 0;
};

}  // namespace px
