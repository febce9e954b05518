#pragma once
// Uniaxial stress-strain laws of concrete and steel. Strain and stress are
// negative in compression. Concrete model 1 is a parabola and a plateau, model 2
// ("Descending model") the parabola, a straight line down to (-ecu, -fcu)
// and 0 beyond; steel has model 1. A design code adds concrete model 3 (-fc
// where the strain is below -e0, else 0) and 4 (the parabola-rectangle
// -fc [1 - (1 - strain / -e0)^n] up to e0, n = fcu, -fc beyond) and steel
// model 2 (+-fy by the strain's sign, 0 at 0). Any other model leaves stress
// as it is.
namespace px {

void ConcreteStress(const double& fc, const double& e0, const double& fcu, const double& ecu,
                    double& stress, const double& strain, int model);

void SteelStress(const double& es, const double& fy, double& stress, const double& strain,
                 int model);

}  // namespace px
