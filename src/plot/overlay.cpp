#include "plot/overlay.h"

#include <cmath>

#include "input/error.h"
#include "plot/frame.h"

namespace px {

std::vector<ForceMarker> PMForceMarkers(double direction, const LoadCombinationTable& table,
                                        double fP, double fMx, double fMy,
                                        const PMPlotScaleSet& s, int W, int H, bool signedMoments) {
    std::vector<ForceMarker> out;
    if (!AxisHasRange(s.MAxisMin, s.MAxisMax) || !AxisHasRange(s.PAxisMin, s.PAxisMax)) return out;
    for (int i = 1; i <= table.Count && static_cast<size_t>(i) < table.Items.size(); ++i) {
        const LoadCombination& c = table.Items[i];
        const double Pa = checkedFinite(fP * c.P);
        const double m = checkedFinite(direction == 90 ? fMy * c.My : fMx * c.Mx);
        const double moment = !signedMoments ? std::fabs(m) : (direction == 90 ? m : -m);
        auto x = VisibleX(moment, s.MAxisMin, s.MAxisMax, W, kMarkerSlack);
        auto y = VisibleY(Pa, s.PAxisMin, s.PAxisMax, H, kMarkerSlack);
        if (x && y) out.push_back({i, *x, *y, false});
    }
    return out;
}

std::vector<ForceMarker> MMForceMarkers(const LoadCombinationTable& table, double fP, double fMx,
                                        double fMy, const MMPlotScale& s, double MMAxialForce,
                                        double r, int W, int H) {
    std::vector<ForceMarker> out;
    if (!AxisHasRange(s.MxAxisMin, s.MxAxisMax) || !AxisHasRange(s.MyAxisMin, s.MyAxisMax))
        return out;
    const double low = checkedFinite(MMAxialForce - r);
    const double high = checkedFinite(MMAxialForce + r);
    for (int i = 1; i <= table.Count && static_cast<size_t>(i) < table.Items.size(); ++i) {
        const LoadCombination& c = table.Items[i];
        const double Pa = checkedFinite(fP * c.P);
        const double Mxa = checkedFinite(fMx * c.Mx);
        const double Mya = checkedFinite(fMy * c.My);
        auto x = VisibleX(Mxa, s.MxAxisMin, s.MxAxisMax, W, kMarkerSlack);
        auto y = VisibleY(Mya, s.MyAxisMin, s.MyAxisMax, H, kMarkerSlack);
        if (x && y) out.push_back({i, *x, *y, low < Pa && Pa < high});
    }
    return out;
}

}  // namespace px
