#include "codes/aisc360.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "codes/design_code.h"
#include "input/error.h"

namespace px::codes::aisc360 {

WallLimits Limits(Wall w, double fy) {
    const double r = kEs / RequirePositive("Fy", fy);
    if (w == Wall::Round) return {0.15 * r, 0.19 * r, 0.31 * r};
    const double s = std::sqrt(r);
    return {2.26 * s, 3.00 * s, 5.00 * s};
}

double RectWallSlenderness(double outsideWidth, double t) {
    RequirePositive("t", t);
    const double b = RequirePositive("b", outsideWidth) - 3 * t;
    if (b <= 0) throw AppError("The wall's outside width must exceed 3 t");
    return b / t;
}

WallClass Classify(double lambda, const WallLimits& l) {
    RequirePositive("Wall slenderness", lambda);
    if (lambda <= l.LambdaP) return WallClass::Compact;
    if (lambda <= l.LambdaR) return WallClass::Noncompact;
    if (lambda <= l.LambdaMax) return WallClass::Slender;
    throw AppError("Wall slenderness beyond the maximum of AISC 360-16 Table I1.1a");
}

double Ec(double fc, double wc) {
    return 0.043 * std::pow(RequirePositive("wc", wc), 1.5) * std::sqrt(RequirePositive("f'c", fc));
}

double C2(Wall w) { return w == Wall::Round ? 0.95 : 0.85; }

namespace {
// Ac + Asr Es / Ec: the bars as concrete of the same stiffness.
double Transformed(const Filled& f) {
    RequirePositive("Fy", f.Fy);
    RequirePositive("As", f.As);
    RequirePositive("f'c", f.Fc);
    RequirePositive("Ac", f.Ac);
    RequireNonNegative("Asr", f.Asr);
    return f.Ac + (f.Asr > 0 ? f.Asr * kEs / RequirePositive("Ec", f.Ec) : 0.0);
}
}  // namespace

double Pp(const Filled& f) {
    const double ac = Transformed(f);
    return f.Fy * f.As + C2(f.Shape) * f.Fc * ac;
}

double Py(const Filled& f) {
    const double ac = Transformed(f);
    return f.Fy * f.As + 0.7 * f.Fc * ac;
}

double Fcr(const Filled& f) {
    RequirePositive("Wall slenderness", f.Lambda);
    RequirePositive("Fy", f.Fy);
    if (f.Shape == Wall::Rectangular) return 9 * kEs / (f.Lambda * f.Lambda);
    return 0.72 * f.Fy / std::pow(f.Lambda * f.Fy / kEs, 0.2);
}

double PnoFilled(const Filled& f) {
    const WallLimits l = Limits(f.Shape, f.Fy);
    switch (Classify(f.Lambda, l)) {
    case WallClass::Compact:
        return Pp(f);
    case WallClass::Noncompact: {
        const double pp = Pp(f);
        const double x = (f.Lambda - l.LambdaP) / (l.LambdaR - l.LambdaP);
        return pp - (pp - Py(f)) * x * x;
    }
    case WallClass::Slender:
        return Fcr(f) * f.As + 0.7 * f.Fc * Transformed(f);
    }
    throw AppError("Unknown wall class");
}

namespace {
double StiffnessFactor(double base, double cap, double as, double asr, double ag) {
    RequireNonNegative("As", as);
    RequireNonNegative("Asr", asr);
    RequirePositive("Ag", ag);
    return std::min(base + 3 * (as + asr) / ag, cap);
}
}  // namespace

double C3(double as, double asr, double ag) { return StiffnessFactor(0.45, 0.9, as, asr, ag); }
double C1(double as, double asr, double ag) { return StiffnessFactor(0.25, 0.7, as, asr, ag); }

double PnoEncased(double fy, double as, double fysr, double asr, double fc, double ac) {
    RequireNonNegative("As", as);
    RequireNonNegative("Asr", asr);
    RequireNonNegative("Ac", ac);
    if (as > 0) RequirePositive("Fy", fy);
    if (asr > 0) RequirePositive("Fysr", fysr);
    if (ac > 0) RequirePositive("f'c", fc);
    return fy * as + fysr * asr + 0.85 * fc * ac;
}

double EIeff(double is, double isr, double c, double ec, double ic) {
    RequireNonNegative("Is", is);
    RequireNonNegative("Isr", isr);
    RequireNonNegative("Ic", ic);
    if (ic > 0) RequirePositive("Ec", ec);
    return kEs * is + kEs * isr + RequireNonNegative("C1 or C3", c) * ec * ic;
}

double Pe(double eiEff, double lc) {
    RequirePositive("EIeff", eiEff);
    RequirePositive("Lc", lc);
    return checkedFinite(std::numbers::pi * std::numbers::pi * eiEff / (lc * lc));
}

double Pn(double pno, double pe) {
    const double r = RequirePositive("Pno", pno) / RequirePositive("Pe", pe);
    if (r <= 2.25) return pno * std::pow(0.658, r);
    return 0.877 * pe;
}

}  // namespace px::codes::aisc360
