#include "codes/en1992.h"

#include <algorithm>
#include <cmath>

#include "codes/design_code.h"
#include "input/error.h"

namespace px::codes::en1992 {

double Fcd(double fck, double alphaCc) {
    RequirePositive("fck", fck);
    if (!(alphaCc > 0 && alphaCc <= 1)) throw AppError("alpha_cc must be greater than 0 and at most 1");
    return alphaCc * fck / kGammaC;
}

double Fyd(double fyk) { return RequirePositive("fyk", fyk) / kGammaS; }

ParabolaRectangle Parameters(double fck) {
    RequirePositive("fck", fck);
    if (fck <= 50) return {};
    const double q = std::pow((90 - fck) / 100, 4);
    return {1.4 + 23.4 * q, (2.0 + 0.085 * std::pow(fck - 50, 0.53)) / 1000, (2.6 + 35 * q) / 1000};
}

double ConcreteStress(double fcd, const ParabolaRectangle& p, double strain) {
    const double eps = -strain;
    if (eps <= 0) return 0.0;
    if (eps >= p.EpsC2) return -fcd;
    return -fcd * (1 - std::pow(1 - eps / p.EpsC2, p.N));
}

double SteelStress(double fyd, double strain) { return std::clamp(kEs * strain, -fyd, fyd); }

double PivotDepth(const ParabolaRectangle& p, double h) {
    return (1 - checkedDiv(p.EpsC2, p.EpsCu2)) * RequirePositive("h", h);
}

double MinimumEccentricity(double h) { return std::max(RequirePositive("h", h) / 30, 20.0); }

double LambdaLim(double a, double b, double c, double n) {
    return 20 * a * b * c / std::sqrt(RequirePositive("n", n));
}

double FactorA(double phiEf) { return 1 / (1 + 0.2 * RequireNonNegative("phi_ef", phiEf)); }
double FactorB(double omega) { return std::sqrt(1 + 2 * RequireNonNegative("omega", omega)); }
double FactorC(double rm) {
    if (!(rm >= -1 && rm <= 1)) throw AppError("rm must lie between -1 and 1");
    return 1.7 - rm;
}

namespace {
struct Ratios {
    double n, omega;
};
Ratios RatiosOf(const NominalCurvature& in) {
    RequireNonNegative("NEd", in.NEd);
    const double acFcd = RequirePositive("Ac", in.Ac) * RequirePositive("fcd", in.Fcd);
    RequireNonNegative("As", in.As);
    RequirePositive("fyd", in.Fyd);
    return {checkedFinite(in.NEd / acFcd), checkedFinite(in.As * in.Fyd / acFcd)};
}
}  // namespace

double Kr(const NominalCurvature& in) {
    const Ratios r = RatiosOf(in);
    const double nu = 1 + r.omega;
    if (r.n > nu) throw AppError("NEd exceeds the section's axial resistance (n > 1 + omega)");
    return std::min((nu - r.n) / (nu - 0.4), 1.0);
}

double Kphi(const NominalCurvature& in) {
    RequirePositive("fck", in.Fck);
    RequireNonNegative("phi_ef", in.PhiEf);
    RequireNonNegative("lambda", in.Lambda);
    const double beta = 0.35 + in.Fck / 200 - in.Lambda / 150;
    return std::max(1 + beta * in.PhiEf, 1.0);
}

double Curvature(const NominalCurvature& in) {
    const double epsYd = RequirePositive("fyd", in.Fyd) / kEs;
    return Kr(in) * Kphi(in) * epsYd / (0.45 * RequirePositive("d", in.D));
}

double E2(const NominalCurvature& in) {
    const double l0 = RequirePositive("l0", in.L0);
    return checkedFinite(Curvature(in) * l0 * l0 / 10);
}

double Imperfection(double l0) { return RequirePositive("l0", l0) / 400; }

double M0e(double m01, double m02) {
    checkedFinite(m01);
    RequireNonNegative("M02", m02);
    if (std::fabs(m01) > std::fabs(m02)) throw AppError("|M01| must not exceed |M02|");
    return std::max(0.6 * m02 + 0.4 * m01, 0.4 * m02);
}

double MEd(double m01, double m02, double m2) {
    RequireNonNegative("M2", m2);
    return std::max({m02, M0e(m01, m02) + m2, m01 + 0.5 * m2});
}

}  // namespace px::codes::en1992
