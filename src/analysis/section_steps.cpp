#include "analysis/section_steps.h"

#include <algorithm>

#include <cmath>

#include "input/error.h"
#include "material/laws.h"

namespace px {

void ComputeAxialBounds(const FiberTable& t, double& PMax, double& PMin) {
    double comp = 0;
    for (int i = 1; i <= t.NFib; ++i) {
        const Fiber& f = t[i];
        switch (f.MatId) {
            case MatCoverConcrete:
            case MatCoreConcrete1:
            case MatCoreConcrete2: comp += f.Area * f.Fc; break;
            case MatDeductedConcrete1: comp -= f.Area * f.Fc; break;
            case MatRebar:
            case MatSteelSection: comp += f.Area * PureCompressionSteelStress(f, t.Rules); break;
            default: break;
        }
    }
    double tens = 0;
    for (int i = 1; i <= t.NFib; ++i) {
        const Fiber& f = t[i];
        if (f.MatId == MatRebar || f.MatId == MatSteelSection) tens += f.Area * f.Fy;
    }
    checkedFinite(comp);
    checkedFinite(tens);
    PMax = comp / 1000;
    PMin = -tens / 1000;
}

PureAxialPoints ComputePureAxialPoints(const FiberTable& t) {
    PureAxialPoints a;
    ComputeAxialBounds(t, a.PMax, a.PMin);
    if (t.PointSymmetric) return a;
    double cx = 0, cy = 0, tx = 0, ty = 0;  // stress x area x lever arm, N mm
    for (int i = 1; i <= t.NFib; ++i) {
        const Fiber& f = t[i];
        double comp = 0, tens = 0;  // stresses of the two states, tension positive
        switch (f.MatId) {
            case MatCoverConcrete:
            case MatCoreConcrete1:
            case MatCoreConcrete2: comp = -f.Fc; break;
            case MatDeductedConcrete1: comp = f.Fc; break;
            case MatRebar:
            case MatSteelSection:
                comp = -PureCompressionSteelStress(f, t.Rules);
                tens = f.Fy;
                break;
            default: break;
        }
        cx += comp * f.Area * f.Y;
        cy += comp * f.Area * f.X;
        tx += tens * f.Area * f.Y;
        ty += tens * f.Area * f.X;
    }
    a.Mx0 = checkedFinite(cx) / 1000000;
    a.My0 = checkedFinite(cy) / 1000000;
    a.Mx1 = checkedFinite(tx) / 1000000;
    a.My1 = checkedFinite(ty) / 1000000;
    return a;
}

void PureAxialPoints::centreAt(double P, double& Mx, double& My) const {
    const double span = PMax - PMin;
    const double u = span > 0 ? std::clamp((P - PMin) / span, 0.0, 1.0) : 0.0;
    Mx = Mx1 + u * (Mx0 - Mx1);
    My = My1 + u * (My0 - My1);
}

StrainLimitPoints StrainLimitPoints::Rectangle(double B, double H) {
    const double hb = B / 2, hh = H / 2;
    return {{-hb, hb, hb, -hb}, {-hh, -hh, hh, hh}};
}

StrainLimitPoints StrainLimitPoints::Of(const FiberTable& t, double B, double H) {
    if (t.LimitPoints.empty()) {
        StrainLimitPoints r = Rectangle(B, H);
        r.rules = t.Rules;
        return r;
    }
    StrainLimitPoints p;
    p.rules = t.Rules;
    p.x.reserve(t.LimitPoints.size());
    p.y.reserve(t.LimitPoints.size());
    for (const auto& [x, y] : t.LimitPoints) {
        p.x.push_back(checkedFinite(x));
        p.y.push_back(checkedFinite(y));
    }
    return p;
}

StrainLimitPoints StrainLimitPoints::Turned() const {
    StrainLimitPoints p = *this;
    for (double& v : p.x) v = -v;
    for (double& v : p.y) v = -v;
    return p;
}

AxisWindowResult AxisWindowForSlope(double w, const StrainLimitPoints& pts, double factor) {
    double lo = 0, hi = 0;
    for (int k = 0; k < pts.size(); ++k) {
        const double v = pts.y[k] - w * pts.x[k];
        if (k == 0 || v < lo) lo = v;
        if (k == 0 || v > hi) hi = v;
    }
    AxisWindowResult r;
    r.w = w;
    r.cmin = checkedFinite(lo * factor);
    r.cmax = checkedFinite(hi * factor);
    return r;
}

AxisWindowResult AxisWindowForSlope(double w, double B, double H, double factor) {
    return AxisWindowForSlope(w, StrainLimitPoints::Rectangle(B, H), factor);
}

AxisWindowResult AxisWindow(double angleDeg, const StrainLimitPoints& pts, double factor) {
    const double w = checkedFinite(std::tan(angleDeg * kDegToRad));
    return AxisWindowForSlope(w, pts, factor);
}

AxisWindowResult AxisWindow(double angleDeg, double B, double H, double factor) {
    return AxisWindow(angleDeg, StrainLimitPoints::Rectangle(B, H), factor);
}

double AxisNorm(double w) { return checkedFinite(std::sqrt(w * w + 1)); }

void CornerDistances(double w, double c, const StrainLimitPoints& pts, double& dmin, double& dmax) {
    const double norm = AxisNorm(w);
    dmin = dmax = 0;
    for (int k = 0; k < pts.size(); ++k) {
        const double d = (w * pts.x[k] - pts.y[k] + c) / norm;
        if (k == 0 || d < dmin) dmin = d;
        if (k == 0 || d > dmax) dmax = d;
    }
    checkedFinite(dmin);
    checkedFinite(dmax);
}

void CornerDistances(double w, double c, double B, double H, double& dmin, double& dmax) {
    CornerDistances(w, c, StrainLimitPoints::Rectangle(B, H), dmin, dmax);
}

double TrialCurvature(double dmin, double dmax, double limit, bool strict) {
    bool any = false;
    double phi = 0;
    auto take = [&](double num, double dist) {
        if (dist == 0) return;  // a corner on the axis sets no limit
        const double k = checkedDiv(num, dist);
        if (!any || k < phi) phi = k;
        any = true;
    };
    if (strict ? dmin < 0 : dmin <= 0) take(limit, dmin);
    if (strict ? dmin > 0 : dmin >= 0) take(kTensileStrainLimit, dmin);
    if (strict ? dmax > 0 : dmax >= 0) take(kTensileStrainLimit, dmax);
    if (strict ? dmax < 0 : dmax <= 0) take(limit, dmax);
    if (!any) throw AppError(kDivByZero);
    return phi;
}

double TrialCurvature(double dmin, double dmax, double limit, bool strict, const StrainRules& rules) {
    if (rules.isDefault()) return TrialCurvature(dmin, dmax, limit, strict);
    const double comp = rules.compression < 0 ? rules.compression : limit;
    bool any = false;
    double phi = 0;
    auto take = [&](double num, double dist) {
        if (dist == 0) return;
        const double k = checkedDiv(num, dist);
        if (!any || k < phi) phi = k;
        any = true;
    };
    const bool tension = rules.tensionAlways || !(dmin < 0);
    if (strict ? dmin < 0 : dmin <= 0) take(comp, dmin);
    if (tension && (strict ? dmin > 0 : dmin >= 0)) take(kTensileStrainLimit, dmin);
    if (tension && (strict ? dmax > 0 : dmax >= 0)) take(kTensileStrainLimit, dmax);
    if (strict ? dmax < 0 : dmax <= 0) take(comp, dmax);
    if (rules.pivotStrain > 0) {
        const double pivot = dmin + rules.pivotDepth * (dmax - dmin);
        if (pivot < 0) take(-rules.pivotStrain, pivot);
    }
    if (!any) throw AppError(kDivByZero);
    return phi;
}

double PureCompressionSteelStress(const Fiber& f, const StrainRules& rules) {
    if (rules.pivotStrain > 0 && f.SteelModel == 1) return std::min(f.Fy, f.Es * rules.pivotStrain);
    return f.Fy;
}

double TrialCurvatureAt(double w, double c, const StrainLimitPoints& pts, double limit, bool strict) {
    double dmin, dmax;
    CornerDistances(w, c, pts, dmin, dmax);
    return TrialCurvature(dmin, dmax, limit, strict, pts.rules);
}

double TrialCurvatureAt(double w, double c, double B, double H, double limit, bool strict) {
    return TrialCurvatureAt(w, c, StrainLimitPoints::Rectangle(B, H), limit, strict);
}

namespace {
void TurnFibers(FiberTable& t) {
    for (int i = 1; i <= t.NFib; ++i) {
        Fiber& f = t[i];
        for (double* v : {&f.X, &f.Y, &f.X1, &f.Y1, &f.X2, &f.Y2, &f.X3, &f.Y3, &f.X4, &f.Y4}) *v = -*v;
    }
}
}  // namespace

TurnedFibers::TurnedFibers(FiberTable& t, bool turn) : t_(t), turn_(turn) {
    if (turn_) TurnFibers(t_);
}

TurnedFibers::~TurnedFibers() {
    if (turn_) TurnFibers(t_);
}

void CheckSums(double F, double Sx, double Sy) {
    checkedFinite(F);
    checkedFinite(Sx);
    checkedFinite(Sy);
}

SectionForceResult SectionForcesNorm(FiberTable& t, double w, double norm, double c, double phi) {
    double F = 0, Sx = 0, Sy = 0;
    Fiber* f = t.f.data();
    for (int i = 1; i <= t.NFib; ++i) {
        Fiber& b = f[i];
        const double d = (w * b.X - b.Y + c) / norm;
        b.Strain = phi * d;
        switch (b.MatId) {
            case MatCoverConcrete:
            case MatCoreConcrete1:
            case MatCoreConcrete2:
                ConcreteStress(b.Fc, b.E0, b.Fcu, b.Ecu, b.Stress, b.Strain, b.ConcModel);
                break;
            case MatDeductedConcrete1:
                ConcreteStress(b.Fc, b.E0, b.Fcu, b.Ecu, b.Stress, b.Strain, b.ConcModel);
                b.Stress = -b.Stress;
                break;
            case MatRebar:
            case MatSteelSection: SteelStress(b.Es, b.Fy, b.Stress, b.Strain, b.SteelModel); break;
            default: break;
        }
        const double sa = b.Stress * b.Area;
        F += sa;
        Sx += sa * b.Y;
        Sy += sa * b.X;
    }
    CheckSums(F, Sx, Sy);
    return {-F / 1000, Sx / 1000000, Sy / 1000000};
}

ExtremeSteel ExtremeSteelStrain(const FiberTable& t, double w, double norm, double c, double phi) {
    ExtremeSteel e;
    bool any = false;
    double fa = 0, xa = 0, ya = 0, fc = 0, xc = 0, yc = 0;
    for (int i = 1; i <= t.NFib; ++i) {
        const Fiber& b = t[i];
        const double strain = phi * ((w * b.X - b.Y + c) / norm);
        double stress = 0;
        switch (b.MatId) {
            case MatCoverConcrete:
            case MatCoreConcrete1:
            case MatCoreConcrete2:
            case MatDeductedConcrete1:
                ConcreteStress(b.Fc, b.E0, b.Fcu, b.Ecu, stress, strain, b.ConcModel);
                if (b.MatId == MatDeductedConcrete1) stress = -stress;
                fc += stress * b.Area;
                xc += stress * b.Area * b.Y;
                yc += stress * b.Area * b.X;
                continue;
            case MatSteelSection:
                SteelStress(b.Es, b.Fy, stress, strain, b.SteelModel);
                fa += stress * b.Area;
                xa += stress * b.Area * b.Y;
                ya += stress * b.Area * b.X;
                break;
            case MatRebar: break;
            default: continue;
        }
        if (!any || strain > e.epsT) {
            e.epsT = strain;
            e.epsTy = checkedDiv(b.Fy, b.Es);
        }
        any = true;
    }
    CheckSums(fa, xa, ya);
    CheckSums(fc, xc, yc);
    checkedFinite(e.epsT);
    e.Pa = -fa / 1000;
    e.Mxa = xa / 1000000;
    e.Mya = ya / 1000000;
    e.Pc = -fc / 1000;
    e.Mxc = xc / 1000000;
    e.Myc = yc / 1000000;
    return e;
}

SectionForceResult SectionForces(FiberTable& t, double w, double c, double phi) {
    return SectionForcesNorm(t, w, AxisNorm(w), c, phi);
}

int ChooseClosest(const double* P, int from, int to, double target) {
    double best = std::fabs(P[from] - target);
    int chosen = from;
    for (int j = from; j <= to; ++j) {
        const double e = std::fabs(P[j] - target);
        if (e < best) best = e;
        if (e == best) chosen = j;
    }
    return chosen;
}

void NarrowWindow(double& cmin, double& cmax, int b, int n) {
    const double lo = cmin + (static_cast<double>(b - 1) / n) * (cmax - cmin);
    const double hi = cmin + (static_cast<double>(b + 1) / n) * (cmax - cmin);
    cmin = lo;
    cmax = hi;
}

}  // namespace px
