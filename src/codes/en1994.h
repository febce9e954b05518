#pragma once
// EN 1994-1-1 for composite columns: design values, the plastic stress
// distribution, the confinement of circular filled tubes, the local-buckling
// limits, and the member rules (buckling curves, second-order
// amplification, alpha_M). N, mm, N/mm2; forces positive in compression,
// fiber strains and stresses negative in compression.

namespace px::codes::en1994 {

inline constexpr double kGammaM0 = 1.0;
inline constexpr double kGammaC = 1.5;
inline constexpr double kGammaS = 1.15;
// Steel section and bars alike take the structural steel's modulus (3.2(2)).
inline constexpr double kEa = 210000;

// Ecm = 22000 (fcm / 10)^0.3, fcm = fck + 8.
double Ecm(double fck);

// A composite section's areas and characteristic strengths.
struct Section {
    double Aa = 0, Fy = 0;   // steel section
    double Ac = 0, Fck = 0;  // concrete
    double As = 0, Fsk = 0;  // bars
    bool Filled = false;     // concrete-filled tube or box
};

// The plastic stresses (6.7.3.2(1)): fyd = fy / gamma_M0, fsd = fsk /
// gamma_S, concrete 0.85 fcd (1.0 fcd filled) with fcd = fck / gamma_C.
struct PlasticStresses {
    double Steel = 0, Bars = 0, Concrete = 0;
};
PlasticStresses DesignStresses(const Section& s);
// The same with the characteristic strengths (factors 1), for Npl,Rk.
PlasticStresses CharacteristicStresses(const Section& s);

// The plastic fiber laws: steel at +-value by the sign of its strain,
// concrete at -value in compression and 0 in tension; 0 at zero strain.
double PlasticSteelStress(double value, double strain);
double PlasticConcreteStress(double value, double strain);

// Aa fyd + alpha Ac fcd + As fsd, and its characteristic counterpart.
double NplRd(const Section& s);
double NplRk(const Section& s);

// Confinement of circular filled tubes (6.7.3.2(6)).
struct Confinement {
    double EtaA = 1, EtaC = 0;
};
// eta_a0 = 0.25 (3 + 2 lambda_bar) <= 1, eta_c0 = 4.9 - 18.5 lambda_bar +
// 17 lambda_bar^2 >= 0, reduced linearly to (1, 0) at e/d = 0.1; (1, 0) for
// lambda_bar > 0.5 or e/d >= 0.1.
Confinement ConfinementFactors(double lambdaBar, double eOverD);
// eta_a Aa fyd + Ac fcd (1 + eta_c (t / d)(fy / fck)) + As fsd, for a tube
// of wall t and outer diameter d. Towards lambda_bar 0.5 this can fall below
// NplRd (the steel loses more than the concrete gains); the clause permits
// confinement without requiring it, so a curve may keep the larger.
double NplRdConfined(const Section& s, const Confinement& c, double t, double d);

// Local-buckling limits of Table 6.3, beyond which the code does not apply.
double CircularFilledLimit(double fy);   // d / t <= 90 (235 / fy)
double RectFilledLimit(double fy);       // h / t <= 52 sqrt(235 / fy)
double EncasedFlangeLimit(double fy);    // b / tf <= 44 sqrt(235 / fy)

// (EI)eff = Ea Ia + Es Is + 0.6 Ecm Ic (6.7.3.3(3)).
double EIeff(double ia, double is, double ecm, double ic);
// (EI)eff,II = 0.9 (Ea Ia + Es Is + 0.5 Ecm Ic) (6.7.3.4(2)).
double EIeffII(double ia, double is, double ecm, double ic);
// Ncr = pi^2 EI / L^2.
double Ncr(double ei, double length);
// lambda_bar = sqrt(Npl,Rk / Ncr).
double LambdaBar(double nplRk, double ncr);

enum class Curve { A, B, C };
// Imperfection factor alpha: 0.21, 0.34, 0.49.
double Alpha(Curve c);
// chi = 1 / (Phi + sqrt(Phi^2 - lambda_bar^2)) <= 1, Phi = 0.5 [1 + alpha
// (lambda_bar - 0.2) + lambda_bar^2] (EN 1993-1-1 6.3.1.2).
double Chi(double lambdaBar, Curve c);
// Table 6.5: filled tubes a for rho_s <= 3 %, b up to 6 % (refused above);
// encased I sections b about the major axis, c about the minor.
Curve FilledTubeCurve(double rhoS);
Curve EncasedCurve(bool majorAxis);
// Member imperfection e0 of Table 6.5: L/300, L/200, L/150.
double MemberImperfection(Curve c, double length);
// k = beta / (1 - NEd / Ncr,eff) >= 1; refuses NEd >= Ncr,eff.
double K(double beta, double nEd, double ncrEff);
// beta for end moments: 0.66 + 0.44 r >= 0.44, r in [-1, 1] (Table 6.4).
double BetaEndMoments(double r);
// alpha_M: 0.9 for S235 to S355, 0.8 above (S420, S460) (6.7.3.6(1)).
double AlphaM(double fy);

}  // namespace px::codes::en1994
