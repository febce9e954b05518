#pragma once
// EN 1992-1-1 for reinforced concrete columns: design values, the
// parabola-rectangle law, the strain limits, the minimum eccentricity and
// the nominal-curvature method of slender columns. N, mm, N/mm2; forces
// positive in compression, fiber strains and stresses negative in
// compression, strains as plain numbers (0.0035, not 3.5 per mille).

namespace px::codes::en1992 {

inline constexpr double kGammaC = 1.5;
inline constexpr double kGammaS = 1.15;
inline constexpr double kEs = 200000;

// fcd = alpha_cc fck / gamma_c; alpha_cc in (0, 1].
double Fcd(double fck, double alphaCc = 1.0);
// fyd = fyk / gamma_s.
double Fyd(double fyk);

// Parameters of the parabola-rectangle law (3.1.7, Table 3.1).
struct ParabolaRectangle {
    double N = 2;
    double EpsC2 = 0.002;
    double EpsCu2 = 0.0035;
};
// n = 2, 0.002, 0.0035 up to fck 50; above it eps_c2 = 2.0 + 0.085
// (fck - 50)^0.53, eps_cu2 = 2.6 + 35 ((90 - fck)/100)^4 (per mille),
// n = 1.4 + 23.4 ((90 - fck)/100)^4.
ParabolaRectangle Parameters(double fck);

// The law: -fcd [1 - (1 - eps/eps_c2)^n] up to eps_c2, -fcd beyond (the
// strain limits end it at eps_cu2), 0 in tension.
double ConcreteStress(double fcd, const ParabolaRectangle& p, double strain);
// Bilinear steel with the horizontal branch: kEs strain within +-fyd.
double SteelStress(double fyd, double strain);

// Depth from the most compressed face at which a section wholly in
// compression is held at eps_c2: (1 - eps_c2 / eps_cu2) h (3/7 h up to fck 50).
double PivotDepth(const ParabolaRectangle& p, double h);

// e0 = max(h / 30, 20 mm) (6.1(4)).
double MinimumEccentricity(double h);

// Slender columns (5.8).
// lambda_lim = 20 A B C / sqrt(n), n = NEd / (Ac fcd) (5.8.3.1).
double LambdaLim(double a, double b, double c, double n);
// A = 1 / (1 + 0.2 phi_ef); B = sqrt(1 + 2 omega); C = 1.7 - rm.
// With a value unknown: A = 0.7, B = 1.1, C = 0.7.
double FactorA(double phiEf);
double FactorB(double omega);
double FactorC(double rm);

// Inputs of the nominal-curvature method (5.8.8).
struct NominalCurvature {
    double NEd = 0;  // axial force
    double Ac = 0, Fcd = 0;
    double As = 0, Fyd = 0;
    double Fck = 0;
    double PhiEf = 0;   // effective creep ratio
    double Lambda = 0;  // slenderness l0 / i
    double D = 0;       // effective depth
    double L0 = 0;      // effective length
};
// Kr = (nu - n) / (nu - 0.4) <= 1, nu = 1 + omega, omega = As fyd / (Ac fcd);
// refuses n > nu (the force is beyond the section's axial resistance).
double Kr(const NominalCurvature& in);
// Kphi = 1 + beta phi_ef >= 1, beta = 0.35 + fck / 200 - lambda / 150.
double Kphi(const NominalCurvature& in);
// 1/r = Kr Kphi eps_yd / (0.45 d), eps_yd = fyd / Es.
double Curvature(const NominalCurvature& in);
// e2 = (1/r) l0^2 / 10.
double E2(const NominalCurvature& in);
// ei = l0 / 400 (5.2(7)).
double Imperfection(double l0);
// M0e = 0.6 M02 + 0.4 M01 >= 0.4 M02, with M02 >= 0 the larger end moment
// and M01 of the same sign in single curvature.
double M0e(double m01, double m02);
// MEd = max(M02, M0e + M2, M01 + 0.5 M2).
double MEd(double m01, double m02, double m2);

}  // namespace px::codes::en1992
