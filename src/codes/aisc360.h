#pragma once
// AISC 360-16 for composite columns: filled walls' slenderness classes and
// the nominal axial strength of each class, encased sections, the member
// strength and the resistance factors. N, mm, N/mm2; forces positive in
// compression.

namespace px::codes::aisc360 {

inline constexpr double kEs = 200000;
inline constexpr double kPhiC = 0.75;  // compression (I2.1b, I2.2b)
inline constexpr double kPhiB = 0.90;  // flexure (I3.4b)
inline constexpr double kWc = 2300;    // concrete density, kg/m3

enum class Wall { Rectangular, Round };
enum class WallClass { Compact, Noncompact, Slender };

// Table I1.1a for walls in axial compression: rectangular lambda = b / t with
// lambda_p 2.26, lambda_r 3.00, maximum 5.00 times sqrt(Es / Fy); round
// lambda = D / t with 0.15, 0.19 and 0.31 times Es / Fy.
struct WallLimits {
    double LambdaP = 0, LambdaR = 0, LambdaMax = 0;
};
WallLimits Limits(Wall w, double fy);
// b / t of a rectangular wall whose corner radius is not given: the outside
// width less 3 t, over t (B4.1b(d)).
double RectWallSlenderness(double outsideWidth, double t);
// Compact up to lambda_p, noncompact up to lambda_r, slender up to the
// maximum; refuses a wall beyond the maximum.
WallClass Classify(double lambda, const WallLimits& l);

// Ec = 0.043 wc^1.5 sqrt(f'c).
double Ec(double fc, double wc = kWc);

// A filled member: the wall's shape and slenderness, the steel section
// (As, Fy), the concrete (Ac, f'c, Ec) and bars (Asr).
struct Filled {
    Wall Shape = Wall::Rectangular;
    double Lambda = 0;
    double Fy = 0, As = 0;
    double Fc = 0, Ac = 0, Ec = 0;
    double Asr = 0;
};
// C2: 0.85 rectangular, 0.95 round.
double C2(Wall w);
// Pp = Fy As + C2 f'c (Ac + Asr Es / Ec) (I2-9a).
double Pp(const Filled& f);
// Py = Fy As + 0.7 f'c (Ac + Asr Es / Ec) (I2-9b).
double Py(const Filled& f);
// Fcr of a slender wall: 9 Es / (b/t)^2 rectangular (I2-10), 0.72 Fy /
// ((D/t)(Fy/Es))^0.2 round (I2-11).
double Fcr(const Filled& f);
// Pno of the wall's class: Pp; Pp - (Pp - Py)(lambda - lambda_p)^2 /
// (lambda_r - lambda_p)^2; Fcr As + 0.7 f'c (Ac + Asr Es / Ec) (I2-9).
double PnoFilled(const Filled& f);
// C3 = 0.45 + 3 (As + Asr) / Ag <= 0.9 (I2-13).
double C3(double as, double asr, double ag);

// Pno = Fy As + Fysr Asr + 0.85 f'c Ac (I2-4).
double PnoEncased(double fy, double as, double fysr, double asr, double fc, double ac);
// C1 = 0.25 + 3 (As + Asr) / Ag <= 0.7 (I2-7).
double C1(double as, double asr, double ag);

// EIeff = Es Is + Es Isr + C Ec Ic, C = C1 (encased) or C3 (filled).
double EIeff(double is, double isr, double c, double ec, double ic);
// Pe = pi^2 EIeff / Lc^2.
double Pe(double eiEff, double lc);
// Pn = Pno 0.658^(Pno/Pe) up to Pno/Pe = 2.25, else 0.877 Pe (I2-2, I2-3).
double Pn(double pno, double pe);

}  // namespace px::codes::aisc360
