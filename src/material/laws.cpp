#include "material/laws.h"

#include <cmath>

namespace px {

void ConcreteStress(const double& fc, const double& e0, const double& fcu, const double& ecu,
                    double& stress, const double& strain, int model) {
    if (model == 1) {
        if (strain >= 0) {
            stress = 0;
        } else if (strain >= -e0) {
            const double eta = strain / (-e0);
            stress = -fc * (2 * eta - eta * eta);
        } else {
            stress = -fc;
        }
        return;
    }
    if (model == 3) {
        stress = strain < -e0 ? -fc : 0.0;
        return;
    }
    if (model == 4) {
        if (strain >= 0) {
            stress = 0;
        } else if (strain > -e0) {
            stress = -fc * (1 - std::pow(1 - strain / -e0, fcu));
        } else {
            stress = -fc;
        }
        return;
    }
    if (model != 2) return;
    // Descending model: the same parabola up to the peak, then a straight
    // line down to (-ecu, -fcu), then crushed. The guards keep ecu > e0 > 0.
    if (strain >= 0) {
        stress = 0;
    } else if (strain >= -e0) {
        const double eta = strain / (-e0);
        stress = -fc * (2 * eta - eta * eta);
    } else if (strain >= -ecu) {
        const double along = (-strain - e0) / (ecu - e0);
        stress = -(fc + (fcu - fc) * along);
    } else {
        stress = 0;
    }
}

void SteelStress(const double& es, const double& fy, double& stress, const double& strain,
                 int model) {
    if (model == 2) {
        stress = strain > 0 ? fy : strain < 0 ? -fy : 0.0;
        return;
    }
    if (model != 1) return;
    const double ey = fy / es;
    if (-ey <= strain && strain <= ey) {
        stress = es * strain;
    } else {
        stress = strain < 0 ? -fy : fy;
    }
}

}  // namespace px
