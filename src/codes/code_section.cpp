#include "codes/code_section.h"

#include <algorithm>
#include <cmath>

#include "codes/en1992.h"
#include "codes/en1994.h"
#include "input/error.h"
#include "input/field_defaults.h"
#include "input/numbers.h"

namespace px::codes {

namespace {

bool IsConcrete(int id) {
    return id == MatCoverConcrete || id == MatCoreConcrete1 || id == MatCoreConcrete2 || id == MatDeductedConcrete1;
}
bool IsSteel(int id) { return id == MatRebar || id == MatSteelSection; }

// Sums of the table by material, with the fields' strengths.
struct Materials {
    double Ac = 0, As = 0, Aa = 0;      // concrete (net of deducted), bars, steel section
    double Fc = 0, FyBars = 0, FySteel = 0;  // the strongest of each
};
Materials MaterialsOf(const FiberTable& t) {
    Materials m;
    for (int i = 1; i <= t.NFib; ++i) {
        const Fiber& f = t[i];
        switch (f.MatId) {
            case MatCoverConcrete:
            case MatCoreConcrete1:
            case MatCoreConcrete2:
                m.Ac += f.Area;
                m.Fc = std::max(m.Fc, f.Fc);
                break;
            case MatDeductedConcrete1: m.Ac -= f.Area; break;
            case MatRebar:
                m.As += f.Area;
                m.FyBars = std::max(m.FyBars, f.Fy);
                break;
            case MatSteelSection:
                m.Aa += f.Area;
                m.FySteel = std::max(m.FySteel, f.Fy);
                break;
            default: break;
        }
    }
    return m;
}

const char* ClassName(aisc360::WallClass c) {
    switch (c) {
        case aisc360::WallClass::Compact: return "compact";
        case aisc360::WallClass::Noncompact: return "noncompact";
        case aisc360::WallClass::Slender: return "slender";
    }
    return "";
}

// Filled tubes: the circular steel tube (5) and the steel box (6).
bool Filled(int type) { return type == 5 || type == 6; }

// The law of one concrete fiber under the code; fc is its field strength.
void ConcreteLaw(Fiber& f, const CodeSection& c) {
    const double fc = f.Fc;
    switch (c.rules) {
        case CodeRules::Aci318:
            f.ConcModel = 3;
            f.Fc = 0.85 * fc;
            f.E0 = aci318::kEpsCu * (1 - aci318::Beta1(fc));
            break;
        case CodeRules::En1992: {
            const en1992::ParabolaRectangle p = en1992::Parameters(fc);
            f.ConcModel = p.N == 2 ? 1 : 4;
            f.Fc = en1992::Fcd(fc, c.settings.alphaCc);
            f.E0 = p.EpsC2;
            f.Fcu = p.N;
            f.Ecu = p.EpsCu2;
            break;
        }
        case CodeRules::En1994: {
            // 1.0 fcd for the concrete a steel wall confines: the filled tubes
            // and the tube's infill of type 8.
            const bool confined = Filled(c.shape.type) || (c.shape.type == 8 && f.MatId == MatCoreConcrete2);
            f.ConcModel = 3;
            f.E0 = 0;
            f.Fc = (confined ? 1.0 : 0.85) * RequirePositive("fck", fc) / en1994::kGammaC;
            break;
        }
        case CodeRules::Aisc360:
            f.ConcModel = 3;
            f.E0 = 0;
            f.Fc = (c.shape.type == 5 ? 0.95 : 0.85) * RequirePositive("f'c", fc);
            break;
        case CodeRules::None: break;
    }
}

void SteelLaw(Fiber& f, const CodeSection& c) {
    const bool bar = f.MatId == MatRebar;
    switch (c.rules) {
        case CodeRules::Aci318:
            f.SteelModel = 1;
            f.Es = aci318::kEs;
            break;
        case CodeRules::En1992:
            f.SteelModel = 1;
            f.Es = en1992::kEs;
            f.Fy = en1992::Fyd(f.Fy);
            break;
        case CodeRules::En1994:
            f.SteelModel = 2;
            f.Fy = RequirePositive("fy", f.Fy) / (bar ? en1994::kGammaS : en1994::kGammaM0);
            break;
        case CodeRules::Aisc360: f.SteelModel = 2; break;
        case CodeRules::None: break;
    }
}

StrainRules RulesOf(const CodeSection& c, double strongestFc) {
    StrainRules r;
    if (c.rules == CodeRules::Aci318) {
        r.compression = -aci318::kEpsCu;
        r.tensionAlways = false;
    } else if (c.rules == CodeRules::En1992 && strongestFc > 0) {
        const en1992::ParabolaRectangle p = en1992::Parameters(strongestFc);
        r.compression = -p.EpsCu2;
        r.pivotStrain = p.EpsC2;
        r.pivotDepth = 1 - p.EpsC2 / p.EpsCu2;
    }
    return r;
}

}  // namespace

CodeSection DescribeSection(const CodeSettings& s, const CodeShape& shape, const FiberTable& t) {
    if (!(s.alphaCc > 0 && s.alphaCc <= 1)) throw AppError("\"alpha_cc\" must be greater than 0 and at most 1");
    if (!(s.memberLength >= 0) || std::isinf(s.memberLength))
        throw AppError("\"Member Length\" must be at least 0");
    CodeSection c;
    c.settings = s;
    c.shape = shape;
    c.rules = RulesFor(s.code, shape.type, shape.customHasSteel);
    c.steelShape = HasSteelProfile(shape.type, shape.customHasSteel);
    if (c.rules != CodeRules::None) {
        const Materials m = MaterialsOf(t);
        c.notes = StrengthWarnings(c.rules, {m.Fc, m.FyBars, m.FySteel});
    }
    if (c.rules == CodeRules::Aisc360 && Filled(shape.type)) {
        const Materials m = MaterialsOf(t);
        aisc360::Filled f;
        f.Shape = shape.type == 5 ? aisc360::Wall::Round : aisc360::Wall::Rectangular;
        f.Lambda = shape.type == 5 ? shape.H / RequirePositive("t", shape.tx)
                                   : std::max(aisc360::RectWallSlenderness(shape.B, shape.ty),
                                              aisc360::RectWallSlenderness(shape.H, shape.tx));
        f.Fy = m.FySteel;
        f.As = m.Aa;
        f.Fc = m.Fc;
        f.Ac = m.Ac;
        f.Ec = aisc360::Ec(m.Fc);
        f.Asr = m.As;
        const aisc360::WallLimits l = aisc360::Limits(f.Shape, f.Fy);
        c.filledWall = true;
        c.wallLambda = f.Lambda;
        c.wallClass = aisc360::Classify(f.Lambda, l);
        c.pnoRatio = aisc360::PnoFilled(f) / aisc360::Pp(f);
        c.notes.push_back(std::string("AISC 360-16 Table I1.1a: the wall is ") + ClassName(c.wallClass) + " (" +
                          (shape.type == 5 ? "D/t = " : "b/t = ") + F2(f.Lambda) + ", lambda_p = " + F2(l.LambdaP) +
                          ", lambda_r = " + F2(l.LambdaR) + "); Pno = " + F3(c.pnoRatio) + " Pp");
    }
    if (c.rules == CodeRules::En1994 && shape.type == 5 && s.memberLength == 0)
        c.notes.push_back("EN 1994-1-1 6.7.3.2(6): no confinement, since \"Member Length\" is not given");
    if (c.rules == CodeRules::En1994 && shape.type == 5 && s.memberLength > 0) {
        const Materials m = MaterialsOf(t);
        double ia = 0, ic = 0, is = 0;  // about the x axis through the centre
        for (int i = 1; i <= t.NFib; ++i) {
            const Fiber& f = t[i];
            const double i2 = f.Area * f.Y * f.Y;
            if (f.MatId == MatSteelSection) ia += i2;
            else if (f.MatId == MatRebar) is += i2;
            else if (f.MatId == MatDeductedConcrete1) ic -= i2;
            else if (IsConcrete(f.MatId)) ic += i2;
        }
        en1994::Section sec{m.Aa, m.FySteel, m.Ac, m.Fc, m.As, m.FyBars, true};
        const double ncr = en1994::Ncr(en1994::EIeff(ia, is, en1994::Ecm(m.Fc), ic), s.memberLength);
        c.lambdaBar = en1994::LambdaBar(en1994::NplRk(sec), ncr);
        c.diameter = RequirePositive("D", shape.H);
        c.tOverD = RequirePositive("t", shape.tx) / shape.H;
        c.fyOverFck = m.FySteel / RequirePositive("fck", m.Fc);
        const en1994::PlasticStresses p = en1994::DesignStresses(sec);
        c.paMax = m.Aa * p.Steel / 1000;
        c.pcMax = m.Ac * p.Concrete / 1000;
        c.confinement = c.lambdaBar <= 0.5;
        const en1994::Confinement k = en1994::ConfinementFactors(c.lambdaBar, 0);
        c.notes.push_back("EN 1994-1-1 6.7.3.2(6): lambda_bar = " + F3(c.lambdaBar) +
                          (c.confinement ? ", confinement eta_a0 = " + F3(k.EtaA) + ", eta_c0 = " + F3(k.EtaC) +
                                               " along the curve (e/d = M / (P d))"
                                         : " > 0.5: no confinement"));
    }
    return c;
}

FiberTable CodeFiberTable(const FiberTable& t, const CodeSection& c) {
    if (c.rules == CodeRules::None) return t;
    FiberTable out = t;
    const Materials m = MaterialsOf(t);
    int host = 0;  // the concrete that bars and overlapping steel displace
    for (int i = 1; i <= out.NFib; ++i) {
        Fiber& f = out[i];
        if (IsConcrete(f.MatId)) {
            ConcreteLaw(f, c);
            if (f.MatId != MatDeductedConcrete1 &&
                (host == 0 || (f.MatId == MatCoreConcrete1 && out[host].MatId != MatCoreConcrete1)))
                host = i;
        } else if (IsSteel(f.MatId)) {
            SteelLaw(f, c);
        }
    }
    if (host > 0) {
        const Fiber law = out[host];
        const bool steelUnder = c.shape.type == 3 || c.shape.type == 4 || c.shape.type == 7;
        const int n = out.NFib;
        for (int i = 1; i <= n; ++i) {
            const Fiber& s = out[i];
            if (!(s.MatId == MatRebar || (steelUnder && s.MatId == MatSteelSection))) continue;
            Fiber d = law;
            d.MatId = MatDeductedConcrete1;
            d.X = s.X;
            d.Y = s.Y;
            d.Area = s.Area;
            d.X1 = d.Y1 = d.X2 = d.Y2 = d.X3 = d.Y3 = d.X4 = d.Y4 = 0;
            d.Stress = d.Strain = 0;
            out.f.push_back(d);
        }
        out.NFib = static_cast<int>(out.f.size()) - 1;
        if (!out.Outline.empty()) out.Outline.resize(out.f.size());
    }
    out.Rules = RulesOf(c, m.Fc);
    return out;
}

double PointFactor(const CodeSection& c, int i, int n, double P, double epsT, double epsTy) {
    switch (c.rules) {
        case CodeRules::Aci318: {
            const aci318::Transverse tr = c.settings.transverse;
            const double low = tr == aci318::Transverse::Spirals ? 0.75 : 0.65;
            if (i == 0) return 0.90;
            if (i == n || epsTy <= 0) return low;
            return aci318::Phi(epsT, epsTy * aci318::kEs, tr);
        }
        case CodeRules::Aisc360: return P > 0 ? aisc360::kPhiC : aisc360::kPhiB;
        default: return 1.0;
    }
}

namespace {

double AciCap(const CodeSection& c, double po) {
    const bool high = c.settings.transverse == aci318::Transverse::Spirals || c.steelShape;
    const double low = c.settings.transverse == aci318::Transverse::Spirals ? 0.75 : 0.65;
    return low * (high ? 0.85 : 0.80) * po;
}

// The confined point of a circular filled tube (6.7.3.2(6)) from the
// point's shares of steel and concrete. The clause permits the confinement
// without requiring it: with keepLarger the unconfined point stays where the
// confined one carries less (towards lambda_bar 0.5 the steel loses more
// than the concrete gains).
void Confine(const CodeSection& c, const PMCurve::Parts& parts, double& P, double& M, bool keepLarger = true) {
    if (!(P > 0)) return;
    const double eOverD = std::fabs(M) * 1000 / P / c.diameter;
    const en1994::Confinement k = en1994::ConfinementFactors(c.lambdaBar, eOverD);
    const double gain = k.EtaC * c.tOverD * c.fyOverFck;
    const double p2 = P + (k.EtaA - 1) * parts.Pa + gain * parts.Pc;
    if (keepLarger && p2 <= P) return;
    M += (k.EtaA - 1) * parts.Ma + gain * parts.Mc;
    P = p2;
}

std::vector<DesignPoint> DesignHalf(const std::vector<double>& P, const std::vector<double>& M,
                                    const std::vector<double>& epsT, const std::vector<double>& epsTy,
                                    const std::vector<PMCurve::Parts>& parts, const CodeSection& c, double cap) {
    std::vector<DesignPoint> out(P.size());
    const int n = static_cast<int>(P.size()) - 1;
    for (int i = 0; i <= n; ++i) {
        const size_t k = static_cast<size_t>(i);
        const double e = k < epsT.size() ? epsT[k] : 0, ey = k < epsTy.size() ? epsTy[k] : 0;
        const double f = PointFactor(c, i, n, P[k], e, ey);
        DesignPoint& d = out[k];
        d.factor = f;
        d.epsT = e;
        switch (c.rules) {
            case CodeRules::Aci318:
                d.P = std::min(f * P[k], cap);
                d.M = f * M[k];
                break;
            case CodeRules::Aisc360:
                d.P = f * (P[k] > 0 ? P[k] * c.pnoRatio : P[k]);
                d.M = aisc360::kPhiB * M[k];
                break;
            default:
                d.P = P[k];
                d.M = M[k];
                if (c.confinement) {
                    PMCurve::Parts share = k < parts.size() ? parts[k] : PMCurve::Parts{};
                    if (i == n) share = {c.paMax, 0, c.pcMax, 0};
                    Confine(c, share, d.P, d.M);
                }
                break;
        }
    }
    return out;
}

// The point of a half where g (one value per point) falls through 0 from
// the tension end: P, M and the steel strains interpolated. Interior points
// only unless `ends`. False when it never does.
struct Half {
    const std::vector<double> *P, *M, *epsT, *epsTy;
};
struct Crossing {
    double P = 0, M = 0, epsT = 0, epsTy = 0;
};
template <class G>
bool CrossingOf(const Half& h, int n, bool ends, G&& g, Crossing& out) {
    const int from = ends ? 0 : 1, to = ends ? n : n - 1;
    for (int i = from; i + 1 <= to; ++i) {
        const double a = g(i), b = g(i + 1);
        if (a > 0 && b <= 0) {
            const double u = a / (a - b);
            auto lerp = [&](const std::vector<double>* v) {
                const size_t k = static_cast<size_t>(i);
                if (k + 1 >= v->size()) return 0.0;
                return (*v)[k] + u * ((*v)[k + 1] - (*v)[k]);
            };
            out = {lerp(h.P), lerp(h.M), lerp(h.epsT), lerp(h.epsTy)};
            return true;
        }
    }
    return false;
}

}  // namespace

DesignCurve MakeDesignCurve(const PMCurve& nominal, const CodeSection& c) {
    DesignCurve d;
    const int n = nominal.Divisions;
    if (n <= 0 || nominal.PX.empty()) return d;
    const double po = nominal.PX[static_cast<size_t>(n)];
    if (c.rules == CodeRules::Aci318) d.cap = AciCap(c, po);
    if (c.rules == CodeRules::Aisc360) d.cap = aisc360::kPhiC * po * c.pnoRatio;
    const double cap = c.rules == CodeRules::Aci318 ? d.cap : po;
    d.X = DesignHalf(nominal.PX, nominal.MX, nominal.EpsTX, nominal.EpsTyX, nominal.PartsX, c, cap);
    d.Y = DesignHalf(nominal.PY, nominal.MY, nominal.EpsTY, nominal.EpsTyY, nominal.PartsY, c, cap);
    if (nominal.bothWays()) {
        d.XNeg = DesignHalf(nominal.PXNeg, nominal.MXNeg, nominal.EpsTXNeg, nominal.EpsTyXNeg, nominal.PartsXNeg, c, cap);
        d.YNeg = DesignHalf(nominal.PYNeg, nominal.MYNeg, nominal.EpsTYNeg, nominal.EpsTyYNeg, nominal.PartsYNeg, c, cap);
    }
    return d;
}

std::vector<KeyPoint> KeyPoints(const PMCurve& nom, const CodeSection& c, bool yDir) {
    std::vector<KeyPoint> out;
    const int n = nom.Divisions;
    const Half h = yDir ? Half{&nom.PY, &nom.MY, &nom.EpsTY, &nom.EpsTyY} : Half{&nom.PX, &nom.MX, &nom.EpsTX, &nom.EpsTyX};
    if (c.rules == CodeRules::None || n <= 0 || h.P->size() != static_cast<size_t>(n) + 1 ||
        h.M->size() != h.P->size())
        return out;
    const double pmax = (*h.P)[static_cast<size_t>(n)];
    auto at = [](const std::vector<double>* v, int i) {
        const size_t k = static_cast<size_t>(i);
        return k < v->size() ? (*v)[k] : 0.0;
    };
    Crossing bend;
    const bool bending = CrossingOf(h, n, true, [&](int i) { return -at(h.P, i); }, bend);
    auto bendingPoint = [&](const char* factorName) {
        if (!bending) return;
        const double f = c.rules == CodeRules::Aisc360 ? aisc360::kPhiB : PointFactor(c, 1, 2, 0.0, bend.epsT, bend.epsTy);
        out.push_back({"Pure bending", 0, bend.M, factorName, f});
    };
    switch (c.rules) {
        case CodeRules::Aci318: {
            const double low = c.settings.transverse == aci318::Transverse::Spirals ? 0.75 : 0.65;
            out.push_back({"Po", pmax, 0, "phi", 1});
            out.push_back({"phi Pn,max", AciCap(c, pmax) / low, 0, "phi", low});
            for (const double extra : {0.0, 0.003}) {
                Crossing b;
                auto g = [&](int i) { return at(h.epsT, i) - at(h.epsTy, i) - extra; };
                // Solved exactly where the solver could; else between the curve's points.
                const PMCurve::SteelPoint& exact = (extra == 0 ? nom.Balanced : nom.TensionStart)[yDir ? 1 : 0];
                if (exact.found) {
                    b.P = exact.P;
                    b.M = exact.M;
                } else if (!CrossingOf(h, n, false, g, b)) {
                    continue;
                }
                if (extra == 0)
                    out.push_back({"Balanced point, compression-controlled end (eps_t = eps_ty)", b.P, b.M, "phi", low});
                else
                    out.push_back({"Tension-controlled start (eps_t = eps_ty + 0.003)", b.P, b.M, "phi", 0.90});
            }
            bendingPoint("phi");
            break;
        }
        case CodeRules::En1992:
            out.push_back({"NRd", pmax, 0, "factor", 1});
            bendingPoint("factor");
            break;
        case CodeRules::En1994:
            out.push_back({"Npl,Rd", pmax, 0, "factor", 1});
            if (c.confinement) {
                double p = pmax, m = 0;
                Confine(c, {c.paMax, 0, c.pcMax, 0}, p, m, false);
                out.push_back({p > pmax ? "Npl,Rd with confinement (governs)"
                                        : "Npl,Rd with confinement (less than without: not taken)",
                               p, 0, "factor", 1});
            }
            bendingPoint("factor");
            break;
        case CodeRules::Aisc360: {
            const std::string wall = c.filledWall ? std::string(" (") + ClassName(c.wallClass) + " wall)" : "";
            out.push_back({"Pno" + wall, pmax * c.pnoRatio, 0, "phi", 1});
            out.push_back({"phi_c Pno", pmax * c.pnoRatio, 0, "phi", aisc360::kPhiC});
            bendingPoint("phi");
            break;
        }
        case CodeRules::None: break;
    }
    return out;
}

std::vector<std::string> KeyPointLines(const PMCurve& nom, const CodeSection& c) {
    std::vector<std::string> out;
    for (const KeyPoint& k : KeyPoints(nom, c))
        out.push_back(k.name + ": P = " + F2(k.P) + " kN, M = " + F2(k.M) + " kNm, " + k.factorName + " = " +
                      F3(k.factor) + (k.factor != 1 ? ", design P = " + F2(k.factor * k.P) + " kN, M = " +
                                                          F2(k.factor * k.M) + " kNm"
                                                    : std::string()));
    return out;
}

}  // namespace px::codes
