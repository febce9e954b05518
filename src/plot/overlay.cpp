#include "plot/overlay.h"

#include <algorithm>
#include <cmath>

#include "input/error.h"
#include "plot/frame.h"
#include "plot/pm_plot.h"

namespace px {

bool InsideClosedLine(const std::vector<double>& xs, const std::vector<double>& ys, double x, double y) {
    const size_t n = std::min(xs.size(), ys.size());
    bool inside = false;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        if ((ys[i] > y) != (ys[j] > y) && x < xs[j] + (xs[i] - xs[j]) * (y - ys[j]) / (ys[i] - ys[j]))
            inside = !inside;
    }
    return inside;
}

namespace {
// Pixel of a value pair, or nothing when it lies far off the image.
void place(ForceMarker& m, double x, double y, double xlo, double xhi, double ylo, double yhi, int W, int H) {
    const double px = MapXExact(x, xlo, xhi, W), py = MapYExact(y, ylo, yhi, H);
    // Far outside the picture a pixel is not drawn; only counted.
    const double far = 1e6;
    m.X = static_cast<int>(std::clamp(std::nearbyint(px), -far, far));
    m.Y = static_cast<int>(std::clamp(std::nearbyint(py), -far, far));
    m.InFrame = InsideFrame(m.X, m.Y, W, H);
}
}  // namespace

std::vector<ForceMarker> PMForceMarkers(double direction, const LoadCombinationTable& table,
                                        double fP, double fMx, double fMy, const PMCurve& curve,
                                        const PMPlotScaleSet& s, int W, int H) {
    std::vector<ForceMarker> out;
    if (!AxisHasRange(s.MAxisMin, s.MAxisMax) || !AxisHasRange(s.PAxisMin, s.PAxisMax)) return out;
    const PMChartLine line = PMChartPolygon(curve, direction == 90 ? 90 : 0);
    const bool signedMoments = curve.bothWays();
    for (int i = 1; i <= table.Count && static_cast<size_t>(i) < table.Items.size(); ++i) {
        const LoadCombination& c = table.Items[i];
        const double Pa = checkedFinite(fP * c.P);
        const double m = checkedFinite(direction == 90 ? fMy * c.My : fMx * c.Mx);
        const double moment = !signedMoments ? std::fabs(m) : (direction == 90 ? m : -m);
        ForceMarker k;
        k.Index = i;
        place(k, moment, Pa, s.MAxisMin, s.MAxisMax, s.PAxisMin, s.PAxisMax, W, H);
        k.Verdict = line.P.size() >= 3 && InsideClosedLine(line.M, line.P, moment, Pa) ? MarkerVerdict::Ok
                                                                                       : MarkerVerdict::Ng;
        out.push_back(k);
    }
    return out;
}

std::vector<ForceMarker> MMForceMarkers(const LoadCombinationTable& table, double fP, double fMx,
                                        double fMy, const MMCurve& curve, int MMPointCount,
                                        const MMPlotScale& s, double MMAxialForce, double r, int W, int H) {
    std::vector<ForceMarker> out;
    if (!AxisHasRange(s.MxAxisMin, s.MxAxisMax) || !AxisHasRange(s.MyAxisMin, s.MyAxisMax))
        return out;
    const double low = checkedFinite(MMAxialForce - r);
    const double high = checkedFinite(MMAxialForce + r);
    // The curve's entries 1..MMPointCount (entry 0 repeats the last).
    std::vector<double> xs, ys;
    for (int k = 1; k <= MMPointCount && static_cast<size_t>(k) < curve.Mx.size() &&
                    static_cast<size_t>(k) < curve.My.size();
         ++k) {
        xs.push_back(curve.Mx[k]);
        ys.push_back(curve.My[k]);
    }
    for (int i = 1; i <= table.Count && static_cast<size_t>(i) < table.Items.size(); ++i) {
        const LoadCombination& c = table.Items[i];
        const double Pa = checkedFinite(fP * c.P);
        const double Mxa = checkedFinite(fMx * c.Mx);
        const double Mya = checkedFinite(fMy * c.My);
        ForceMarker k;
        k.Index = i;
        place(k, Mxa, Mya, s.MxAxisMin, s.MxAxisMax, s.MyAxisMin, s.MyAxisMax, W, H);
        k.Highlighted = low < Pa && Pa < high;
        if (!k.Highlighted) k.Verdict = MarkerVerdict::OtherLevel;
        else k.Verdict = xs.size() >= 3 && InsideClosedLine(xs, ys, Mxa, Mya) ? MarkerVerdict::Ok : MarkerVerdict::Ng;
        out.push_back(k);
    }
    return out;
}

MarkerCounts CountMarkers(const std::vector<ForceMarker>& markers) {
    MarkerCounts c;
    for (const ForceMarker& m : markers) {
        if (!m.InFrame) ++c.OffFrame;
        switch (m.Verdict) {
            case MarkerVerdict::Ok: ++c.Ok; break;
            case MarkerVerdict::Ng: ++c.Ng; break;
            case MarkerVerdict::OtherLevel: ++c.Other; break;
        }
    }
    return c;
}

}  // namespace px
