#include "material/laws.h"

namespace px {

void ConcreteStress(const double& fc, const double& e0, const double& /*fcu*/,
                    const double& /*ecu*/, double& stress, const double& strain, int model) {
    if (model != 1) return;
    if (strain >= 0) {
        stress = 0;
    } else if (strain >= -e0) {
        const double eta = strain / (-e0);
        stress = -fc * (2 * eta - eta * eta);
    } else {
        stress = -fc;
    }
}

void SteelStress(const double& es, const double& fy, double& stress, const double& strain,
                 int model) {
    if (model != 1) return;
    const double ey = fy / es;
    if (-ey <= strain && strain <= ey) {
        stress = es * strain;
    } else {
        stress = strain < 0 ? -fy : fy;
    }
}

}  // namespace px
