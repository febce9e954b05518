#include "plot/mm_plot.h"

#include <algorithm>

#include "input/error.h"
#include "input/numbers.h"
#include "plot/frame.h"

namespace px {

MMPlotScale MMAxisLimits(const MMCurve& curve, int MMPointCount) {
    if (MMPointCount < 0 || static_cast<size_t>(MMPointCount) >= curve.Mx.size() ||
        static_cast<size_t>(MMPointCount) >= curve.My.size())
        throw AppError(kInvalidOp);
    // The largest moment either way: a curve that is not symmetric reaches
    // further to one side.
    double mx = curve.Mx[0], my = curve.My[0];
    for (int i = 0; i <= MMPointCount; ++i) {
        mx = std::max(mx, checkedFinite(curve.Mx[i]));
        my = std::max(my, checkedFinite(curve.My[i]));
    }
    for (int i = 0; i <= MMPointCount; ++i) {
        mx = std::max(mx, -curve.Mx[i]);
        my = std::max(my, -curve.My[i]);
    }
    MMPlotScale s;
    s.MxAxisMax = RoundLimitUp(mx, 1000);
    s.MxAxisMin = -s.MxAxisMax + 0.0;
    s.MyAxisMax = RoundLimitUp(my, 1000);
    s.MyAxisMin = -s.MyAxisMax + 0.0;
    return s;
}

bool MMScaleUsable(const MMPlotScale& s) {
    return AxisHasRange(s.MxAxisMin, s.MxAxisMax) && AxisHasRange(s.MyAxisMin, s.MyAxisMax);
}

std::vector<std::string> MMMxLabels(const MMPlotScale& s) {
    return AxisLabelsF0(s.MxAxisMin, s.MxAxisMax, kVerticalLines - 1);
}

std::vector<std::string> MMMyLabels(const MMPlotScale& s) {
    return AxisLabelsF0(s.MyAxisMin, s.MyAxisMax, kHorizontalLines - 1);
}

MMReading ReadMM(const MMPlotScale& s, int X, int Y, int W, int H) {
    MMReading r;
    r.Mx = ReadX(X, s.MxAxisMin, s.MxAxisMax, W);
    r.My = ReadY(Y, s.MyAxisMin, s.MyAxisMax, H);
    return r;
}

std::string Label73Text(const MMReading& r) { return "MY = " + F0(r.My) + " , MX = " + F0(r.Mx); }

double MMAxialForceFromSlider(double PMax, double PMin, int position) {
    return nearest(checkedFinite(PMax - (PMax - PMin) * position / 100));
}

std::string Edit30Text(double MMAxialForce) { return F0(MMAxialForce); }

std::optional<int> AxialForceLineY(const PMPlotScaleSet& s, double axialForce, int H) {
    return VisibleY(axialForce, s.PAxisMin, s.PAxisMax, H, 2);
}

}  // namespace px
