#include "curvature/mphi_plot.h"

#include <algorithm>
#include <cmath>

#include "input/error.h"
#include "input/numbers.h"
#include "plot/frame.h"

namespace px {

MphiPlotScale MphiAxisLimits(const MphiResult& r, int W, int H) {
    double phiLo = 0, phiHi = 0, mLo = 0, mHi = 0;
    for (const MphiPoint& p : r.points) {
        phiLo = std::min(phiLo, checkedFinite(PerKm(p.phi)));
        phiHi = std::max(phiHi, PerKm(p.phi));
        mLo = std::min(mLo, checkedFinite(p.M));
        mHi = std::max(mHi, p.M);
    }
    // The bilinear line stays inside: its plateau lies no higher than the
    // peak and ends at the last curvature.
    const AxisLimits x = PaddedLimits(phiLo, phiHi, FrameWidth(W));
    const AxisLimits y = PaddedLimits(mLo, mHi, FrameHeight(H));
    return {x.lo, x.hi, y.lo, y.hi};
}

ChartAxis MphiCurvatureAxis(const MphiPlotScale& s, int W) {
    return HorizontalAxis(s.PhiMin, s.PhiMax, W, kMphiCurvatureTitle);
}

ChartAxis MphiMomentAxis(const MphiPlotScale& s, int H) {
    return VerticalAxis(s.MMin, s.MMax, H, kMphiMomentTitle);
}

std::string MphiHeading(const MphiSettings& s) {
    return "P = " + F2(s.axialForce) + " kN, angle = " + F2(s.angle) + " deg";
}

std::string MphiReadoutText(const MphiPlotScale& s, int X, int Y, int W, int H) {
    return "Curvature = " + FormatFixed(ReadX(X, s.PhiMin, s.PhiMax, W), 4) + " 1/km , M = " +
           F2(ReadY(Y, s.MMin, s.MMax, H)) + " kNm";
}

std::vector<std::pair<double, double>> MphiBilinearCorners(const MphiResult& r) {
    if (!r.Mp || !r.phiYieldIdeal) return {};
    return {{0, 0}, {PerKm(*r.phiYieldIdeal), *r.Mp}, {PerKm(r.ultimate.phi), *r.Mp}};
}

}  // namespace px
