#pragma once
// ACI 318-19 for columns: the equivalent stress block as a fiber law, the
// axial strengths and caps, the strength reduction factor and the moment
// magnifier of non-sway columns. N, mm, N/mm2; forces positive in
// compression, fiber strains and stresses negative in compression.

namespace px::codes::aci318 {

inline constexpr double kEs = 200000;    // steel modulus (20.2.2.2)
inline constexpr double kEpsCu = 0.003;  // extreme compression strain (22.2.2.1)

enum class Transverse { Ties, Spirals };

// Depth factor of the stress block (Table 22.2.2.4.3): 0.85 up to f'c 28,
// 0.05 less per 7 N/mm2 above it, 0.65 from 55. Refuses f'c <= 0.
double Beta1(double fc);

// The stress block as a fiber law: -0.85 f'c where the fiber's compressive
// strain is at least kEpsCu (1 - beta1), else 0. With the extreme fiber at
// kEpsCu this is the block of depth beta1 c for any section shape.
double BlockStress(double fc, double beta1, double strain);

// Elastic-perfectly plastic steel with kEs, bars and structural steel alike.
double SteelStress(double fy, double strain);

// A column's axial data: gross area, bars (Ast, fy) and a steel shape
// (Asx, fya; 0 for none).
struct Column {
    double Fc = 0, Ag = 0;
    double Ast = 0, Fy = 0;
    double Asx = 0, Fya = 0;
    Transverse Tr = Transverse::Ties;
};

// Po = 0.85 f'c (Ag - Ast - Asx) + fy Ast + fya Asx (22.4.2.2).
double Po(const Column& c);
// Pn,max = 0.80 Po with ties, 0.85 Po with spirals or with a steel shape
// (Table 22.4.2.1).
double PnMax(const Column& c);
// Pnt,max = fy Ast + fya Asx (22.4.3.1), positive as a tension.
double PntMax(const Column& c);

// Strength reduction factor (Table 21.2.2) from the net tensile strain
// epsT (tension positive) of the extreme tension steel whose yield stress
// is fy: 0.65 (ties) or 0.75 (spirals) up to epsilon_ty = fy / Es, 0.90
// from epsilon_ty + 0.003, linear between.
double Phi(double epsT, double fy, Transverse tr);

// Slender non-sway columns (6.2.5, 6.6.4).
// Ec = 4700 sqrt(f'c) (19.2.2.1).
double Ec(double fc);
// Slenderness may be neglected when k lu / r <= 34 + 12 M1/M2 and <= 40;
// M1/M2 in [-1, 1], negative in single curvature.
double SlendernessLimit(double m1OverM2);
// r = sqrt(I / A).
double RadiusOfGyration(double i, double a);
// Moment of inertia of Table 6.6.3.1.1(b) for columns:
// (0.80 + 25 Ast/Ag)(1 - Mu/(Pu h) - 0.5 Pu/Po) Ig, kept in [0.35, 0.875] Ig.
double ColumnInertia(double ig, double ast, double ag, double mu, double pu, double h, double po);
// (EI)eff of 6.6.4.4.4: (a) 0.4 Ec Ig, (b) 0.2 Ec Ig + Es Ise, (c) Ec I,
// each over 1 + beta_dns.
double EIeffA(double ec, double ig, double betaDns);
double EIeffB(double ec, double ig, double ise, double betaDns);
double EIeffC(double ec, double i, double betaDns);
// Pc = pi^2 (EI)eff / (k lu)^2.
double Pc(double eiEff, double kLu);
// Cm = 0.6 - 0.4 M1/M2, or 1.0 with transverse load between the supports.
double Cm(double m1OverM2, bool transverseLoad);
// delta = Cm / (1 - Pu / (0.75 Pc)), at least 1. Refuses Pu >= 0.75 Pc: the
// column is unstable.
double DeltaNs(double cm, double pu, double pc);
// M2,min = Pu (15 + 0.03 h).
double M2Min(double pu, double h);
// Mc = delta max(|M2|, M2,min).
double Mc(double delta, double m2, double pu, double h);

}  // namespace px::codes::aci318
