#pragma once
// Uniaxial stress-strain laws of concrete and steel. Strain and stress are
// negative in compression. A model number other than 1 leaves stress as it is.
namespace px {

void ConcreteStress(const double& fc, const double& e0, const double& fcu, const double& ecu,
                    double& stress, const double& strain, int model);

void SteelStress(const double& es, const double& fy, double& stress, const double& strain,
                 int model);

}  // namespace px
