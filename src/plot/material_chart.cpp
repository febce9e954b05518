#include "plot/material_chart.h"

#include <algorithm>

#include "input/error.h"
#include "input/numbers.h"
#include "material/laws.h"
#include "plot/frame.h"

namespace px {

namespace {

void setLimits(MaterialChart& c, double step) {
    c.StrainMin = *std::min_element(c.Strain.begin(), c.Strain.end());
    c.StrainMax = *std::max_element(c.Strain.begin(), c.Strain.end());
    const double smax = *std::max_element(c.Stress.begin(), c.Stress.end());
    const double smin = *std::min_element(c.Stress.begin(), c.Stress.end());
    c.StressTop = RoundLimitUp(smax, step);
    c.StressBottom = RoundLimitNearest(smin, step);
}

}  // namespace

MaterialChart ConcreteChart(int model, double fc, double fcu, double e0, double ecu) {
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
    setLimits(c, 5);
    return c;
}

MaterialChart SteelChart(int model, double fy, double es) {
    MaterialChart c;
    for (int i = 0; i <= 50; ++i) {
        const double strain = 0.01 / 50 * i;
        double stress = 0;
        SteelStress(es, fy, stress, strain, model);
        c.Strain.push_back(strain);
        c.Stress.push_back(checkedFinite(stress));
    }
    setLimits(c, 100);
    return c;
}

bool MaterialChartUsable(const MaterialChart& c) {
    return AxisHasRange(c.StrainMin, c.StrainMax) && AxisHasRange(c.StressBottom, c.StressTop);
}

std::vector<std::string> MaterialStrainLabels(const MaterialChart& c) {
    std::vector<std::string> out;
    for (double v : AxisSteps(c.StrainMin, c.StrainMax, kVerticalLines - 1)) out.push_back(F2(v * 1000));
    return out;
}

std::vector<std::string> MaterialStressLabels(const MaterialChart& c) {
    return AxisLabelsF2(c.StressBottom, c.StressTop, kHorizontalLines - 1);
}

}  // namespace px
