#include "codes/en1994.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "codes/design_code.h"
#include "input/error.h"

namespace px::codes::en1994 {

double Ecm(double fck) { return 22000 * std::pow((RequirePositive("fck", fck) + 8) / 10, 0.3); }

namespace {
void CheckSection(const Section& s) {
    RequireNonNegative("Aa", s.Aa);
    RequireNonNegative("Ac", s.Ac);
    RequireNonNegative("As", s.As);
    if (s.Aa > 0) RequirePositive("fy", s.Fy);
    if (s.Ac > 0) RequirePositive("fck", s.Fck);
    if (s.As > 0) RequirePositive("fsk", s.Fsk);
}

PlasticStresses Stresses(const Section& s, double gammaA, double gammaC, double gammaS) {
    CheckSection(s);
    return {s.Fy / gammaA, s.Fsk / gammaS, (s.Filled ? 1.0 : 0.85) * s.Fck / gammaC};
}

double Resistance(const Section& s, const PlasticStresses& p) {
    return s.Aa * p.Steel + s.Ac * p.Concrete + s.As * p.Bars;
}
}  // namespace

PlasticStresses DesignStresses(const Section& s) { return Stresses(s, kGammaM0, kGammaC, kGammaS); }
PlasticStresses CharacteristicStresses(const Section& s) { return Stresses(s, 1, 1, 1); }

double PlasticSteelStress(double value, double strain) {
    return strain > 0 ? value : strain < 0 ? -value : 0.0;
}

double PlasticConcreteStress(double value, double strain) { return strain < 0 ? -value : 0.0; }

double NplRd(const Section& s) { return Resistance(s, DesignStresses(s)); }
double NplRk(const Section& s) { return Resistance(s, CharacteristicStresses(s)); }

Confinement ConfinementFactors(double lambdaBar, double eOverD) {
    RequireNonNegative("lambda_bar", lambdaBar);
    RequireNonNegative("e/d", eOverD);
    if (lambdaBar > 0.5 || eOverD >= 0.1) return {};
    const double a0 = std::min(0.25 * (3 + 2 * lambdaBar), 1.0);
    const double c0 = std::max(4.9 - 18.5 * lambdaBar + 17 * lambdaBar * lambdaBar, 0.0);
    return {a0 + (1 - a0) * 10 * eOverD, c0 * (1 - 10 * eOverD)};
}

double NplRdConfined(const Section& s, const Confinement& c, double t, double d) {
    const PlasticStresses p = DesignStresses(s);
    RequirePositive("t", t);
    RequirePositive("d", d);
    RequirePositive("fck", s.Fck);
    const double fcd = s.Fck / kGammaC;
    return c.EtaA * s.Aa * p.Steel + s.Ac * fcd * (1 + c.EtaC * (t / d) * (s.Fy / s.Fck)) + s.As * p.Bars;
}

double CircularFilledLimit(double fy) { return 90 * 235 / RequirePositive("fy", fy); }
double RectFilledLimit(double fy) { return 52 * std::sqrt(235 / RequirePositive("fy", fy)); }
double EncasedFlangeLimit(double fy) { return 44 * std::sqrt(235 / RequirePositive("fy", fy)); }

namespace {
double Stiffness(double ia, double is, double ecm, double ic, double ke) {
    RequireNonNegative("Ia", ia);
    RequireNonNegative("Is", is);
    RequireNonNegative("Ic", ic);
    if (ic > 0) RequirePositive("Ecm", ecm);
    return kEa * ia + kEa * is + ke * ecm * ic;
}
}  // namespace

double EIeff(double ia, double is, double ecm, double ic) { return Stiffness(ia, is, ecm, ic, 0.6); }
double EIeffII(double ia, double is, double ecm, double ic) { return 0.9 * Stiffness(ia, is, ecm, ic, 0.5); }

double Ncr(double ei, double length) {
    RequirePositive("(EI)eff", ei);
    const double l = RequirePositive("L", length);
    return checkedFinite(std::numbers::pi * std::numbers::pi * ei / (l * l));
}

double LambdaBar(double nplRk, double ncr) {
    return checkedSqrt(RequireNonNegative("Npl,Rk", nplRk) / RequirePositive("Ncr", ncr));
}

double Alpha(Curve c) {
    switch (c) {
    case Curve::A: return 0.21;
    case Curve::B: return 0.34;
    case Curve::C: return 0.49;
    }
    throw AppError("Unknown buckling curve");
}

double Chi(double lambdaBar, Curve c) {
    RequireNonNegative("lambda_bar", lambdaBar);
    const double l2 = lambdaBar * lambdaBar;
    const double phi = 0.5 * (1 + Alpha(c) * (lambdaBar - 0.2) + l2);
    return std::min(checkedDiv(1, phi + checkedSqrt(phi * phi - l2)), 1.0);
}

Curve FilledTubeCurve(double rhoS) {
    RequireNonNegative("rho_s", rhoS);
    if (rhoS <= 0.03) return Curve::A;
    if (rhoS <= 0.06) return Curve::B;
    throw AppError("rho_s above 6 % has no buckling curve in EN 1994-1-1 Table 6.5");
}

Curve EncasedCurve(bool majorAxis) { return majorAxis ? Curve::B : Curve::C; }

double MemberImperfection(Curve c, double length) {
    RequirePositive("L", length);
    switch (c) {
    case Curve::A: return length / 300;
    case Curve::B: return length / 200;
    case Curve::C: return length / 150;
    }
    throw AppError("Unknown buckling curve");
}

double K(double beta, double nEd, double ncrEff) {
    RequirePositive("beta", beta);
    RequireNonNegative("NEd", nEd);
    RequirePositive("Ncr,eff", ncrEff);
    if (nEd >= ncrEff) throw AppError("NEd reaches Ncr,eff: the member is unstable (EN 1994-1-1 6.7.3.4(5))");
    return std::max(beta / (1 - nEd / ncrEff), 1.0);
}

double BetaEndMoments(double r) {
    if (!(r >= -1 && r <= 1)) throw AppError("r must lie between -1 and 1");
    return std::max(0.66 + 0.44 * r, 0.44);
}

double AlphaM(double fy) { return RequirePositive("fy", fy) <= 355 ? 0.9 : 0.8; }

}  // namespace px::codes::en1994
