#include "curvature/mphi_plot.h"

#include <algorithm>
#include <cmath>

#include "input/numbers.h"
#include "plot/frame.h"

namespace px {

MphiPlotScale MphiAxisLimits(const MphiResult& r) {
    double phiLo = 0, phiHi = 0, mLo = 0, mHi = 0;
    for (const MphiPoint& p : r.points) {
        phiLo = std::min(phiLo, PerKm(p.phi));
        phiHi = std::max(phiHi, PerKm(p.phi));
        mLo = std::min(mLo, p.M);
        mHi = std::max(mHi, p.M);
    }
    const double step = MphiMomentStep(mHi);
    return {RoundLimitNearest(phiLo, 1), RoundLimitUp(phiHi, 1), RoundLimitNearest(mLo, step),
            RoundLimitUp(mHi, step)};
}

double MphiMomentStep(double mMax) {
    if (!(mMax > 0) || !std::isfinite(mMax)) return 1000;
    double decade = std::pow(10.0, std::floor(std::log10(mMax)));
    // log10 may land one off near a power of ten.
    if (decade > mMax) decade /= 10;
    if (decade * 10 <= mMax) decade *= 10;
    return mMax < 2.5 * decade ? decade / 10 : decade / 2;
}

std::string MphiHeading(const MphiSettings& s) {
    return "P = " + F2(s.axialForce) + " kN, angle = " + F2(s.angle) + " deg";
}

std::vector<std::string> MphiCurvatureLabels(const MphiPlotScale& s) {
    return AxisLabelsF2(s.PhiMin, s.PhiMax, kVerticalLines - 1);
}

std::vector<std::string> MphiMomentLabels(const MphiPlotScale& s) {
    for (double v : AxisSteps(s.MMin, s.MMax, kHorizontalLines - 1))
        if (v != std::floor(v)) return AxisLabelsF2(s.MMin, s.MMax, kHorizontalLines - 1);
    return AxisLabelsF0(s.MMin, s.MMax, kHorizontalLines - 1);
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
