#include "codes/aci318.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "codes/design_code.h"
#include "input/error.h"

namespace px::codes::aci318 {

double Beta1(double fc) {
    RequirePositive("f'c", fc);
    if (fc <= 28) return 0.85;
    if (fc >= 55) return 0.65;
    return 0.85 - 0.05 * (fc - 28) / 7;
}

double BlockStress(double fc, double beta1, double strain) {
    return -strain >= kEpsCu * (1 - beta1) ? -0.85 * fc : 0.0;
}

double SteelStress(double fy, double strain) {
    return std::clamp(kEs * strain, -fy, fy);
}

namespace {
void CheckColumn(const Column& c) {
    RequirePositive("f'c", c.Fc);
    RequirePositive("Ag", c.Ag);
    RequireNonNegative("Ast", c.Ast);
    RequireNonNegative("Asx", c.Asx);
    if (c.Ast > 0) RequirePositive("fy", c.Fy);
    if (c.Asx > 0) RequirePositive("fya", c.Fya);
    if (c.Ast + c.Asx >= c.Ag) throw AppError("Ast + Asx must be less than Ag");
}
}  // namespace

double Po(const Column& c) {
    CheckColumn(c);
    return 0.85 * c.Fc * (c.Ag - c.Ast - c.Asx) + c.Fy * c.Ast + c.Fya * c.Asx;
}

double PnMax(const Column& c) {
    const bool confined = c.Tr == Transverse::Spirals || c.Asx > 0;
    return (confined ? 0.85 : 0.80) * Po(c);
}

double PntMax(const Column& c) {
    CheckColumn(c);
    return c.Fy * c.Ast + c.Fya * c.Asx;
}

double Phi(double epsT, double fy, Transverse tr) {
    checkedFinite(epsT);
    const double epsTy = RequirePositive("fy", fy) / kEs;
    const double low = tr == Transverse::Spirals ? 0.75 : 0.65;
    if (epsT <= epsTy) return low;
    if (epsT >= epsTy + 0.003) return 0.90;
    return low + (0.90 - low) * (epsT - epsTy) / 0.003;
}

double Ec(double fc) { return 4700 * std::sqrt(RequirePositive("f'c", fc)); }

double SlendernessLimit(double m1OverM2) {
    if (!(m1OverM2 >= -1 && m1OverM2 <= 1)) throw AppError("M1/M2 must lie between -1 and 1");
    return std::min(34 + 12 * m1OverM2, 40.0);
}

double RadiusOfGyration(double i, double a) {
    return checkedSqrt(RequirePositive("I", i) / RequirePositive("A", a));
}

double ColumnInertia(double ig, double ast, double ag, double mu, double pu, double h, double po) {
    RequirePositive("Ig", ig);
    RequireNonNegative("Ast", ast);
    RequirePositive("Ag", ag);
    RequirePositive("Pu", pu);
    RequirePositive("h", h);
    RequirePositive("Po", po);
    const double i = (0.80 + 25 * ast / ag) * (1 - std::fabs(mu) / (pu * h) - 0.5 * pu / po) * ig;
    return std::clamp(checkedFinite(i), 0.35 * ig, 0.875 * ig);
}

namespace {
double Creep(double betaDns) { return 1 + RequireNonNegative("beta_dns", betaDns); }
}  // namespace

double EIeffA(double ec, double ig, double betaDns) {
    return 0.4 * RequirePositive("Ec", ec) * RequirePositive("Ig", ig) / Creep(betaDns);
}

double EIeffB(double ec, double ig, double ise, double betaDns) {
    return (0.2 * RequirePositive("Ec", ec) * RequirePositive("Ig", ig) + kEs * RequireNonNegative("Ise", ise)) /
           Creep(betaDns);
}

double EIeffC(double ec, double i, double betaDns) {
    return RequirePositive("Ec", ec) * RequirePositive("I", i) / Creep(betaDns);
}

double Pc(double eiEff, double kLu) {
    RequirePositive("(EI)eff", eiEff);
    RequirePositive("k lu", kLu);
    return checkedFinite(std::numbers::pi * std::numbers::pi * eiEff / (kLu * kLu));
}

double Cm(double m1OverM2, bool transverseLoad) {
    if (transverseLoad) return 1.0;
    if (!(m1OverM2 >= -1 && m1OverM2 <= 1)) throw AppError("M1/M2 must lie between -1 and 1");
    return 0.6 - 0.4 * m1OverM2;
}

double DeltaNs(double cm, double pu, double pc) {
    RequirePositive("Cm", cm);
    RequireNonNegative("Pu", pu);
    RequirePositive("Pc", pc);
    const double rest = 1 - pu / (0.75 * pc);
    if (rest <= 0) throw AppError("Pu reaches 0.75 Pc: the column is unstable (ACI 318-19 6.6.4.5.2)");
    return std::max(checkedDiv(cm, rest), 1.0);
}

double M2Min(double pu, double h) {
    return RequireNonNegative("Pu", pu) * (15 + 0.03 * RequirePositive("h", h));
}

double Mc(double delta, double m2, double pu, double h) {
    return delta * std::max(std::fabs(checkedFinite(m2)), M2Min(pu, h));
}

}  // namespace px::codes::aci318
