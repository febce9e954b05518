#include "plot/mm_plot.h"

#include <algorithm>
#include <cmath>

#include "input/error.h"
#include "input/numbers.h"
#include "plot/frame.h"

namespace px {

MMPlotScale MMAxisLimits(const MMCurve& curve, int MMPointCount, int W, int H) {
    if (MMPointCount < 0 || static_cast<size_t>(MMPointCount) >= curve.Mx.size() ||
        static_cast<size_t>(MMPointCount) >= curve.My.size())
        throw AppError(kInvalidOp);
    // The largest moment either way: a curve that is not symmetric reaches
    // further to one side.
    double mx = 0, my = 0;
    for (int i = 0; i <= MMPointCount; ++i) {
        mx = std::max(mx, std::fabs(checkedFinite(curve.Mx[i])));
        my = std::max(my, std::fabs(checkedFinite(curve.My[i])));
    }
    MMPlotScale s;
    if (!(mx > 0) || !(my > 0)) {
        // Nothing to draw: the limits of the old chart's kind, without range.
        s.MxAxisMax = mx;
        s.MxAxisMin = -mx + 0.0;
        s.MyAxisMax = my;
        s.MyAxisMin = -my + 0.0;
        return s;
    }
    const AxisLimits x = PaddedLimits(-mx, mx, FrameWidth(W));
    const AxisLimits y = PaddedLimits(-my, my, FrameHeight(H));
    // kNm per pixel: the larger of the two serves both axes.
    const double perPixel = std::max(checkedDiv(x.hi - x.lo, FrameWidth(W)), checkedDiv(y.hi - y.lo, FrameHeight(H)));
    s.MxAxisMax = checkedFinite(perPixel * FrameWidth(W) / 2);
    s.MxAxisMin = -s.MxAxisMax;
    s.MyAxisMax = checkedFinite(perPixel * FrameHeight(H) / 2);
    s.MyAxisMin = -s.MyAxisMax;
    return s;
}

bool MMScaleUsable(const MMPlotScale& s) {
    return AxisHasRange(s.MxAxisMin, s.MxAxisMax) && AxisHasRange(s.MyAxisMin, s.MyAxisMax);
}

namespace {
// One step for both axes: the larger of the steps each would take alone.
double mmStep(const MMPlotScale& s, int W, int H) {
    return std::max(TickStep(s.MxAxisMin, s.MxAxisMax, MaxIntervals(FrameWidth(W), kMinTickGapX)),
                    TickStep(s.MyAxisMin, s.MyAxisMax, MaxIntervals(FrameHeight(H), kMinTickGapY)));
}
}  // namespace

ChartAxis MMMxAxis(const MMPlotScale& s, int W, int H) {
    return {s.MxAxisMin, s.MxAxisMax, AxisTicks(s.MxAxisMin, s.MxAxisMax, mmStep(s, W, H)), "Mx (kNm)"};
}

ChartAxis MMMyAxis(const MMPlotScale& s, int W, int H) {
    return {s.MyAxisMin, s.MyAxisMax, AxisTicks(s.MyAxisMin, s.MyAxisMax, mmStep(s, W, H)), "My (kNm)"};
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
    return FrameRow(axialForce, s.PAxisMin, s.PAxisMax, H);
}

}  // namespace px
