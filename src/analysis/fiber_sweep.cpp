#include "analysis/fiber_sweep.h"

#include "analysis/section_steps.h"

namespace px {

namespace {

SweepLaw LawOf(const Fiber& f, bool& reproducible) {
    switch (f.MatId) {
        case MatCoverConcrete:
        case MatCoreConcrete1:
        case MatCoreConcrete2: return f.ConcModel == 1 ? SweepLaw::Concrete : SweepLaw::Fixed;
        case MatDeductedConcrete1:
            if (f.ConcModel != 1) reproducible = false;
            return SweepLaw::DeductedConcrete;
        case MatRebar:
        case MatSteelSection: return f.SteelModel == 1 ? SweepLaw::Steel : SweepLaw::Fixed;
        default: return SweepLaw::Fixed;
    }
}

// The per-trial operations below repeat those of SectionForcesNorm and the
// laws one for one; only the loop order differs (trials innermost).

template <bool kUnitNorm>
inline double Distance(double u, double c, double norm) {
    if constexpr (kUnitNorm) {
        return u + c;  // x / 1 is x
    } else {
        return (u + c) / norm;
    }
}

template <bool kUnitNorm, bool kNegate>
void ConcreteRun(const SweepTable& s, int begin, int end, const double* __restrict U, double norm,
                 const double* __restrict c, const double* __restrict phi, int T,
                 double* __restrict F, double* __restrict Sx, double* __restrict Sy) {
    for (int i = begin; i < end; ++i) {
        const double u = U[i], a = s.A[i], x = s.X[i], y = s.Y[i];
        const double nfc = s.P1[i], ne0 = s.P2[i];
        for (int g = 0; g < T; ++g) {
            const double strain = phi[g] * Distance<kUnitNorm>(u, c[g], norm);
            const double eta = strain / ne0;
            const double parabola = nfc * (2 * eta - eta * eta);
            double stress = strain >= 0 ? 0.0 : (strain >= ne0 ? parabola : nfc);
            if constexpr (kNegate) stress = -stress;
            const double sa = stress * a;
            F[g] += sa;
            Sx[g] += sa * y;
            Sy[g] += sa * x;
        }
    }
}

template <bool kUnitNorm>
void SteelRun(const SweepTable& s, int begin, int end, const double* __restrict U, double norm,
              const double* __restrict c, const double* __restrict phi, int T,
              double* __restrict F, double* __restrict Sx, double* __restrict Sy) {
    for (int i = begin; i < end; ++i) {
        const double u = U[i], a = s.A[i], x = s.X[i], y = s.Y[i];
        const double es = s.P1[i], ey = s.P2[i], fy = s.P3[i], ney = -ey, nfy = -fy;
        for (int g = 0; g < T; ++g) {
            const double strain = phi[g] * Distance<kUnitNorm>(u, c[g], norm);
            const double elastic = es * strain;
            const double stress =
                (ney <= strain && strain <= ey) ? elastic : (strain < 0 ? nfy : fy);
            const double sa = stress * a;
            F[g] += sa;
            Sx[g] += sa * y;
            Sy[g] += sa * x;
        }
    }
}

void FixedRun(const SweepTable& s, int begin, int end, int T, double* __restrict F,
              double* __restrict Sx, double* __restrict Sy) {
    for (int i = begin; i < end; ++i) {
        const double sa = s.P1[i] * s.A[i], x = s.X[i], y = s.Y[i];
        const double sx = sa * y, sy = sa * x;
        for (int g = 0; g < T; ++g) {
            F[g] += sa;
            Sx[g] += sx;
            Sy[g] += sy;
        }
    }
}

template <bool kUnitNorm>
void Sweep(const SweepTable& s, const double* U, double norm, const double* c, const double* phi,
           int T, double* F, double* Sx, double* Sy) {
    for (int g = 0; g < T; ++g) F[g] = Sx[g] = Sy[g] = 0;
    for (const SweepTable::Run& r : s.runs) {
        switch (r.law) {
            case SweepLaw::Concrete:
                ConcreteRun<kUnitNorm, false>(s, r.begin, r.end, U, norm, c, phi, T, F, Sx, Sy);
                break;
            case SweepLaw::DeductedConcrete:
                ConcreteRun<kUnitNorm, true>(s, r.begin, r.end, U, norm, c, phi, T, F, Sx, Sy);
                break;
            case SweepLaw::Steel:
                SteelRun<kUnitNorm>(s, r.begin, r.end, U, norm, c, phi, T, F, Sx, Sy);
                break;
            case SweepLaw::Fixed: FixedRun(s, r.begin, r.end, T, F, Sx, Sy); break;
        }
    }
}

}  // namespace

SweepTable BuildSweepTable(const FiberTable& t) {
    SweepTable s;
    s.n = t.NFib;
    const size_t n = static_cast<size_t>(s.n);
    s.X.resize(n);
    s.Y.resize(n);
    s.A.resize(n);
    s.P1.assign(n, 0);
    s.P2.assign(n, 0);
    s.P3.assign(n, 0);
    for (int i = 0; i < s.n; ++i) {
        const Fiber& f = t[i + 1];
        s.X[i] = f.X;
        s.Y[i] = f.Y;
        s.A[i] = f.Area;
        const SweepLaw law = LawOf(f, s.reproducible);
        switch (law) {
            case SweepLaw::Concrete:
            case SweepLaw::DeductedConcrete:
                s.P1[i] = -f.Fc;
                s.P2[i] = -f.E0;
                break;
            case SweepLaw::Steel:
                s.P1[i] = f.Es;
                s.P2[i] = f.Fy / f.Es;
                s.P3[i] = f.Fy;
                break;
            case SweepLaw::Fixed: s.P1[i] = f.Stress; break;
        }
        if (s.runs.empty() || s.runs.back().law != law) s.runs.push_back({i, i, law});
        s.runs.back().end = i + 1;
    }
    return s;
}

void AxisTerms(const SweepTable& s, double w, std::vector<double>& U) {
    U.resize(static_cast<size_t>(s.n));
    for (int i = 0; i < s.n; ++i) U[i] = w * s.X[i] - s.Y[i];
}

void SweepTrials(const SweepTable& s, const double* U, double norm, const double* c,
                 const double* phi, int T, double* F, double* Sx, double* Sy) {
    if (norm == 1.0) {
        Sweep<true>(s, U, norm, c, phi, T, F, Sx, Sy);
    } else {
        Sweep<false>(s, U, norm, c, phi, T, F, Sx, Sy);
    }
}

void StoreTrialState(FiberTable& t, double w, double norm, double c, double phi) {
    SectionForcesNorm(t, w, norm, c, phi);
}

}  // namespace px
