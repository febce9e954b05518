#include "plot/pm_plot.h"

#include <algorithm>

#include "input/error.h"
#include "input/numbers.h"
#include "plot/frame.h"

namespace px {

PMPlotScaleSet PMAxisLimits(const std::vector<double>& P, const std::vector<double>& M, int nP) {
    if (nP < 0 || static_cast<size_t>(nP) >= P.size() || static_cast<size_t>(nP) >= M.size())
        throw AppError(kInvalidOp);
    double Mmax = M[0], Mmin = M[0], Pmax = P[0], Pmin = P[0];
    for (int i = 0; i <= nP; ++i) {
        Mmax = std::max(Mmax, checkedFinite(M[i]));
        Mmin = std::min(Mmin, M[i]);
        Pmax = std::max(Pmax, checkedFinite(P[i]));
        Pmin = std::min(Pmin, P[i]);
    }
    PMPlotScaleSet s;
    s.MAxisMax = RoundLimitUp(Mmax, 1000);
    s.PAxisMax = RoundLimitUp(Pmax, 1000);
    s.MAxisMin = RoundLimitNearest(Mmin, 1000);
    s.PAxisMin = RoundLimitNearest(Pmin, 1000);
    return s;
}

std::vector<std::string> PMMomentLabels(const PMPlotScaleSet& s) {
    return AxisLabelsF0(s.MAxisMin, s.MAxisMax, kVerticalLines - 1);
}

std::vector<std::string> PMForceLabels(const PMPlotScaleSet& s) {
    return AxisLabelsF0(s.PAxisMin, s.PAxisMax, kHorizontalLines - 1);
}

std::optional<int> ZeroForceLineY(const PMPlotScaleSet& s, int H) {
    // PAxisMax / (PAxisMax - PAxisMin) x (H - 40) + 20 is the vertical map of 0.
    return VisibleY(0.0, s.PAxisMin, s.PAxisMax, H, 2);
}

PMReading ReadPM(const PMPlotScaleSet& s, int X, int Y, int W, int H) {
    PMReading r;
    r.M = ReadX(X, s.MAxisMin, s.MAxisMax, W);
    r.P = ReadY(Y, s.PAxisMin, s.PAxisMax, H);
    return r;
}

std::string PMCurveCaption(double angle) { return angle == 90 ? "My with Mx = 0" : "Mx with My = 0"; }

std::string Label68Text(const PMReading& r) { return "P = " + F0(r.P) + " , MX = " + F0(r.M); }
std::string Label69Text(const PMReading& r) { return "P = " + F0(r.P) + " , MY = " + F0(r.M); }
std::string Label74Text(const PMReading& r) { return "P = " + F0(r.P) + " , M = " + F0(r.M); }

}  // namespace px
