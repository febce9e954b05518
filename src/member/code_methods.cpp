#include "member/code_methods.h"

#include <algorithm>
#include <cmath>

#include "codes/aci318.h"
#include "codes/aisc360.h"
#include "codes/design_code.h"
#include "codes/en1992.h"
#include "input/error.h"

namespace px {

namespace {

constexpr double kN = 1000;     // N per kN
constexpr double kNm = 1e6;     // N mm per kNm

void CheckRow(double P, double M2, double endRatio) {
    checkedFinite(P);
    if (!(M2 >= 0) || !std::isfinite(M2)) throw AppError("The larger end moment M2 must be at least 0");
    if (!(endRatio >= -1 && endRatio <= 1))
        throw AppError("The ratio of the end moments M1/M2 must lie between -1 and 1");
}

void Check(MagnifiedMoment& r, double P, const MomentResistance& mRd) {
    r.MRd = checkedFinite(mRd(P));
    r.ok = r.ok && r.M <= r.MRd;
}

}  // namespace

AciResult AciMagnified(const AciMember& m, const MomentResistance& mRd) {
    namespace aci = codes::aci318;
    CheckRow(m.Pu, m.M2, m.endRatio);
    AciResult r;
    r.ok = true;
    const double ratio = -m.endRatio;  // ACI: negative in single curvature
    r.slenderness = checkedDiv(codes::RequirePositive("k", m.k) * codes::RequirePositive("lu", m.lu),
                               codes::RequirePositive("r", m.r));
    r.limit = aci::SlendernessLimit(ratio);
    r.slender = m.Pu > 0 && r.slenderness > r.limit;
    r.M = m.M2;
    if (r.slender) {
        const double pu = m.Pu * kN;
        switch (m.stiffness) {
        case AciStiffness::A: r.EIeff = aci::EIeffA(m.Ec, m.Ig, m.betaDns); break;
        case AciStiffness::B: r.EIeff = aci::EIeffB(m.Ec, m.Ig, m.Ise, m.betaDns); break;
        case AciStiffness::C:
            r.EIeff = aci::EIeffC(m.Ec, aci::ColumnInertia(m.Ig, m.Ast, m.Ag, m.M2 * kNm, pu, m.h, m.Po), m.betaDns);
            break;
        }
        r.Pc = aci::Pc(r.EIeff, m.k * m.lu) / kN;
        r.Cm = aci::Cm(ratio, false);
        r.magnifier = aci::DeltaNs(r.Cm, pu, r.Pc * kN);
        r.M2min = aci::M2Min(pu, m.h) / kNm;
        r.M = aci::Mc(r.magnifier, m.M2 * kNm, pu, m.h) / kNm;
    }
    Check(r, m.Pu, mRd);
    return r;
}

En1992Result En1992Magnified(const En1992Member& m, const MomentResistance& mRd) {
    namespace en = codes::en1992;
    CheckRow(m.NEd, m.M02, m.endRatio);
    En1992Result r;
    r.ok = true;
    const double fcd = en::Fcd(m.fck, m.alphaCc), fyd = en::Fyd(m.fyk);
    r.slenderness = checkedDiv(codes::RequirePositive("l0", m.l0), codes::RequirePositive("i", m.i));
    r.ei = en::Imperfection(m.l0);
    const double N = std::max(m.NEd, 0.0);
    const double Mi = N * r.ei / 1000;  // kNm
    r.M0 = m.M02 + Mi;
    r.M = r.M0;
    if (m.NEd > 0) {
        const double acFcd = codes::RequirePositive("Ac", m.Ac) * fcd;
        const double n = m.NEd * kN / acFcd;
        const double omega = codes::RequireNonNegative("As", m.As) * fyd / acFcd;
        r.limit = en::LambdaLim(en::FactorA(m.phiEf), en::FactorB(omega), en::FactorC(m.endRatio), n);
        r.slender = r.slenderness > r.limit;
    }
    if (r.slender) {
        en::NominalCurvature in;
        in.NEd = m.NEd * kN;
        in.Ac = m.Ac;
        in.Fcd = fcd;
        in.As = m.As;
        in.Fyd = fyd;
        in.Fck = m.fck;
        in.PhiEf = m.phiEf;
        in.Lambda = r.slenderness;
        in.D = m.d;
        in.L0 = m.l0;
        r.e2 = en::E2(in);
        r.M2 = m.NEd * r.e2 / 1000;
        r.M = en::MEd(m.endRatio * m.M02 + Mi, r.M0, r.M2);
        r.magnifier = r.M0 > 0 ? r.M / r.M0 : 1;
    }
    Check(r, m.NEd, mRd);
    return r;
}

En1994Result En1994Magnified(const En1994Member& m, const MomentResistance& mRd) {
    namespace en = codes::en1994;
    CheckRow(m.NEd, m.M2, m.endRatio);
    En1994Result r;
    const double ecm = en::Ecm(m.section.Fck);
    r.NplRd = en::NplRd(m.section) / kN;
    r.Ncr = en::Ncr(en::EIeff(m.Ia, m.Is, ecm, m.Ic), m.L) / kN;
    r.slenderness = en::LambdaBar(en::NplRk(m.section), r.Ncr * kN);
    r.chi = en::Chi(r.slenderness, m.curve);
    r.NcrEff = en::Ncr(en::EIeffII(m.Ia, m.Is, ecm, m.Ic), m.L) / kN;
    r.e0 = en::MemberImperfection(m.curve, m.L);
    r.ok = m.NEd <= r.chi * r.NplRd;
    const double N = std::max(m.NEd, 0.0);
    r.slender = N > 0;
    if (r.slender) {
        r.magnifier = en::K(en::BetaEndMoments(m.endRatio), N * kN, r.NcrEff * kN);
        r.kImperfection = en::K(1.0, N * kN, r.NcrEff * kN);
    }
    r.M = r.magnifier * m.M2 + r.kImperfection * N * r.e0 / 1000;
    r.MRd = en::AlphaM(m.section.Fy) * checkedFinite(mRd(m.NEd));
    r.ok = r.ok && r.M <= r.MRd;
    return r;
}

AiscResult AiscMemberCheck(const AiscMember& m, const MomentResistance& mRd) {
    namespace aisc = codes::aisc360;
    CheckRow(m.Pu, m.Mu, 1);
    AiscResult r;
    r.Pe = aisc::Pe(m.EIeff, m.Lc) / kN;
    r.Pn = aisc::Pn(m.Pno, r.Pe * kN) / kN;
    r.phiPn = aisc::kPhiC * r.Pn;
    r.slenderness = m.Pno / kN / r.Pe;
    r.slender = true;
    r.reduction = r.Pn * kN / m.Pno;
    r.M = m.Mu;
    r.ok = m.Pu <= r.phiPn;
    if (!r.ok) return r;  // beyond the member's axial strength: no moment left
    // In tension the section's curve is not reduced.
    Check(r, m.Pu > 0 ? m.Pu / r.reduction : m.Pu, mRd);
    return r;
}

}  // namespace px
