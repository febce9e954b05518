#include "plot/pm_plot.h"

#include <algorithm>

#include "input/error.h"
#include "input/numbers.h"
#include "plot/frame.h"

namespace px {

PMPlotScaleSet PMAxisLimits(const std::vector<double>& P, const std::vector<double>& M, int nP, int W, int H) {
    if (nP < 0 || static_cast<size_t>(nP) >= P.size() || static_cast<size_t>(nP) >= M.size())
        throw AppError(kInvalidOp);
    // The moment axis always holds 0, where the curve starts and ends.
    double Mmax = 0, Mmin = 0, Pmax = P[0], Pmin = P[0];
    for (int i = 0; i <= nP; ++i) {
        Mmax = std::max(Mmax, checkedFinite(M[i]));
        Mmin = std::min(Mmin, M[i]);
        Pmax = std::max(Pmax, checkedFinite(P[i]));
        Pmin = std::min(Pmin, P[i]);
    }
    const AxisLimits m = PaddedLimits(Mmin, Mmax, FrameWidth(W));
    const AxisLimits f = PaddedLimits(Pmin, Pmax, FrameHeight(H));
    PMPlotScaleSet s;
    s.MAxisMax = m.hi;
    s.MAxisMin = m.lo;
    s.PAxisMax = f.hi;
    s.PAxisMin = f.lo;
    return s;
}

PMChartLine PMChartPolygon(const PMCurve& curve, double angle) {
    const bool yDir = angle == 90;
    const std::vector<double>& PHalf = yDir ? curve.PY : curve.PX;
    const std::vector<double>& MHalf = yDir ? curve.MY : curve.MX;
    const std::vector<double>& PNeg = yDir ? curve.PYNeg : curve.PXNeg;
    const std::vector<double>& MNeg = yDir ? curve.MYNeg : curve.MXNeg;
    const int nP = curve.Divisions;
    PMChartLine line;
    if (nP < 0 || PHalf.size() <= static_cast<size_t>(nP) || MHalf.size() <= static_cast<size_t>(nP)) return line;
    line.P.assign(PHalf.begin(), PHalf.begin() + nP + 1);
    line.M.assign(MHalf.begin(), MHalf.begin() + nP + 1);
    // A section bent both ways: the negative half back down, one closed line.
    if (curve.bothWays() && PNeg.size() > static_cast<size_t>(nP) && MNeg.size() > static_cast<size_t>(nP))
        for (int i = nP; i >= 0; --i) {
            line.P.push_back(PNeg[i]);
            line.M.push_back(MNeg[i]);
        }
    return line;
}

std::string PMMomentTitle(double angle) { return angle == 90 ? "My (kNm)" : "Mx (kNm)"; }

ChartAxis PMMomentAxis(const PMPlotScaleSet& s, double angle, int W) {
    return HorizontalAxis(s.MAxisMin, s.MAxisMax, W, PMMomentTitle(angle));
}

ChartAxis PMForceAxis(const PMPlotScaleSet& s, int H) {
    return VerticalAxis(s.PAxisMin, s.PAxisMax, H, kPMForceTitle);
}

std::optional<int> ZeroForceLineY(const PMPlotScaleSet& s, int H) {
    return FrameRow(0.0, s.PAxisMin, s.PAxisMax, H);
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
