#pragma once
// Uniaxial stress-strain laws of concrete and steel. Strain and stress are
// negative in compression. Concrete model 1 is a parabola and a plateau, model 2
// ("Descending model") the parabola, a straight line down to (-ecu, -fcu)
// and 0 beyond; steel has model 1. Any other model leaves stress as it is.
namespace px {

void ConcreteStress(const double& fc, const double& e0, const double& fcu, const double& ecu,
                    double& stress, const double& strain, int model);

void SteelStress(const double& es, const double& fy, double& stress, const double& strain,
                 int model);

}  // namespace px
