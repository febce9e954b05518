#pragma once
// The design codes' methods for slender braced columns: each magnifies the
// first-order moment of a design force by its code's rules (src/codes) and
// checks it against the section's design resistance, which the caller gives
// as a function of the axial force. Forces in kN and moments in kNm,
// compression positive; lengths in mm, stresses in N/mm2, stiffnesses in
// N mm2, as the codes' formulas take them. The end moments are the larger
// one, M2 >= 0, and the ratio M1/M2 in [-1, 1], positive in single
// curvature (each code's own sign rule is applied inside).
#include <functional>

#include "codes/en1994.h"

namespace px {

// The section's design moment resistance (kNm, >= 0) at an axial force (kN):
// the design curve of the code in use, in the direction of the moment.
using MomentResistance = std::function<double(double P)>;

// What every method returns.
struct MagnifiedMoment {
    double slenderness = 0;  // k lu / r (ACI), l0 / i (EN 1992), lambda_bar (EN 1994), Pno / Pe (AISC)
    double limit = 0;        // k lu / r or lambda_lim below which slenderness is neglected (ACI, EN 1992; else 0)
    bool slender = false;    // slenderness counts: the moment is magnified
    double magnifier = 1;    // delta_ns, MEd / M02, k (end moments) or 1
    double M = 0;            // magnified design moment, kNm
    double MRd = 0;          // the resistance it is checked against, kNm
    bool ok = false;         // M <= MRd (and the axial check of the method)
};

// ACI 318-19 6.6.4, non-sway. (EI)eff by (a), (b) or (c) of 6.6.4.4.4; (c)
// takes I of Table 6.6.3.1.1(b) from the row's own Pu and M2.
enum class AciStiffness { A, B, C };
struct AciMember {
    double Pu = 0, M2 = 0, endRatio = 1;
    double lu = 0, k = 1, r = 0, h = 0;  // unbraced length, factor, radius of gyration, depth
    AciStiffness stiffness = AciStiffness::A;
    double Ec = 0, Ig = 0, Ise = 0, Ag = 0, Ast = 0, Po = 0;  // Po in N
    double betaDns = 0;
};
struct AciResult : MagnifiedMoment {
    double EIeff = 0, Pc = 0;  // N mm2, kN
    double Cm = 1, M2min = 0;  // -, kNm
};
// Short columns (k lu / r within 34 + 12 M1/M2 and 40, M1/M2 negative in
// single curvature there) keep M2. Slender ones take Mc = delta_ns
// max(M2, M2,min); a force at or beyond 0.75 Pc is refused. No magnifier in
// tension.
AciResult AciMagnified(const AciMember& m, const MomentResistance& mRd);

// EN 1992-1-1 5.8.8, nominal curvature, with the imperfection ei = l0 / 400
// of 5.2(7) added to both end moments on the side of the larger one.
struct En1992Member {
    double NEd = 0, M02 = 0, endRatio = 1;
    double l0 = 0, i = 0, d = 0;  // effective length, radius of gyration, effective depth
    double Ac = 0, fck = 0, alphaCc = 1;
    double As = 0, fyk = 0;
    double phiEf = 0;
};
struct En1992Result : MagnifiedMoment {
    double ei = 0, e2 = 0;    // mm
    double M0 = 0, M2 = 0;    // M02 with the imperfection and the nominal second-order moment NEd e2, kNm
};
// Below lambda_lim of 5.8.3.1 (A from phi_ef, B from omega, C from rm) the
// moment is M02 with the imperfection; above it MEd = max(M02, M0e + M2,
// M01 + M2 / 2). The minimum eccentricity of 6.1(4) is not applied here.
En1992Result En1992Magnified(const En1992Member& m, const MomentResistance& mRd);

// EN 1994-1-1 6.7.3.3 and 6.7.3.4.
struct En1994Member {
    double NEd = 0, M2 = 0, endRatio = 1;
    double L = 0;  // buckling length
    codes::en1994::Section section;
    double Ia = 0, Is = 0, Ic = 0;  // steel section, bars, concrete
    codes::en1994::Curve curve = codes::en1994::Curve::A;
};
struct En1994Result : MagnifiedMoment {
    double Ncr = 0, chi = 1, NplRd = 0;  // kN, -, kN
    double NcrEff = 0, e0 = 0;           // kN (from (EI)eff,II), mm
    double kImperfection = 1;            // k with beta = 1
};
// chi N check: NEd <= chi Npl,Rd. Moment: MEd = k M2 + k1 NEd e0, k with
// beta = 0.66 + 0.44 r >= 0.44, k1 with beta = 1, both >= 1; checked
// against alpha_M times the given resistance (mu_d Mpl,Rd).
En1994Result En1994Magnified(const En1994Member& m, const MomentResistance& mRd);

// AISC 360-16 I2 and I5. The moment is the required one (from a second-order
// analysis); the member's length enters through Pn: every axial strength of
// the section's design curve is multiplied by Pn / Pno, so the member
// carries at Pu the moment the section carries at Pu Pno / Pn.
struct AiscMember {
    double Pu = 0, Mu = 0;
    double Pno = 0, EIeff = 0, Lc = 0;  // N, N mm2, mm
};
struct AiscResult : MagnifiedMoment {
    double Pe = 0, Pn = 0, phiPn = 0;  // kN
    double reduction = 1;              // Pn / Pno
};
AiscResult AiscMemberCheck(const AiscMember& m, const MomentResistance& mRd);

}  // namespace px
