#include "plot/material_chart.h"

#include <algorithm>

#include "input/error.h"
#include "input/numbers.h"
#include "material/laws.h"
#include "plot/frame.h"

namespace px {

namespace {

void setLimits(MaterialChart& c, int W, int H) {
    const double smax = *std::max_element(c.Stress.begin(), c.Stress.end());
    const double smin = *std::min_element(c.Stress.begin(), c.Stress.end());
    const AxisLimits x = PaddedLimits(*std::min_element(c.Strain.begin(), c.Strain.end()),
                                      *std::max_element(c.Strain.begin(), c.Strain.end()), FrameWidth(W),
                                      kMaterialPad);
    const AxisLimits y = PaddedLimits(std::min(smin, 0.0), std::max(smax, 0.0), FrameHeight(H), kMaterialPad);
    c.StrainMin = x.lo;
    c.StrainMax = x.hi;
    c.StressBottom = y.lo;
    c.StressTop = y.hi;
}

}  // namespace

MaterialChart ConcreteChart(int model, double fc, double fcu, double e0, double ecu, int W, int H) {
    MaterialChart c;
    for (int i = 0; i <= 20; ++i) {
        const double strain = checkedFinite(-ecu / 20 * i);
        double stress = 0;
        ConcreteStress(fc, e0, fcu, ecu, stress, strain, model);
        c.Strain.push_back(-strain);
        c.Stress.push_back(-checkedFinite(stress));
    }
    if (model == 2) {
        // The descending model crushes past ecu: the drop to 0 and a fifth
        // of ecu beyond it.
        c.Strain.push_back(ecu);
        c.Stress.push_back(0);
        c.Strain.push_back(checkedFinite(ecu / 20 * 24));
        c.Stress.push_back(0);
    }
    setLimits(c, W, H);
    return c;
}

MaterialChart SteelChart(int model, double fy, double es, int W, int H) {
    MaterialChart c;
    for (int i = 0; i <= 50; ++i) {
        const double strain = 0.01 / 50 * i;
        double stress = 0;
        SteelStress(es, fy, stress, strain, model);
        c.Strain.push_back(strain);
        c.Stress.push_back(checkedFinite(stress));
    }
    setLimits(c, W, H);
    return c;
}

bool MaterialChartUsable(const MaterialChart& c) {
    return AxisHasRange(c.StrainMin, c.StrainMax) && AxisHasRange(c.StressBottom, c.StressTop);
}

ChartAxis MaterialStrainAxis(const MaterialChart& c, int W) {
    // Ticks on round thousandths.
    ChartAxis a = HorizontalAxis(c.StrainMin * 1000, c.StrainMax * 1000, W, kStrainTitle);
    a.lo = c.StrainMin;
    a.hi = c.StrainMax;
    for (AxisTick& t : a.ticks) t.value /= 1000;
    return a;
}

ChartAxis MaterialStressAxis(const MaterialChart& c, int H) {
    return VerticalAxis(c.StressBottom, c.StressTop, H, kStressTitle);
}

}  // namespace px
