#include "analysis/fiber_sweep.h"

#include "analysis/section_steps.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
// laws one for one; only the loop order differs (trials innermost, fibers in
// table order for every trial).

#if defined(__SSE2__)

// Four trials at a time in two SSE2 registers. Branches of the laws become
// lane selects; the parabola's division is skipped when no lane is on it.
struct Lanes {
    __m128d F0, F1, X0, X1, Y0, Y1;
};

template <bool kUnitNorm>
inline __m128d Strain(__m128d u, __m128d c, __m128d phi, __m128d norm) {
    __m128d d = _mm_add_pd(u, c);
    if constexpr (!kUnitNorm) d = _mm_div_pd(d, norm);
    return _mm_mul_pd(phi, d);
}

inline void Accumulate(__m128d stress, __m128d a, __m128d x, __m128d y, __m128d& F, __m128d& Sx,
                       __m128d& Sy) {
    const __m128d sa = _mm_mul_pd(stress, a);
    F = _mm_add_pd(F, sa);
    Sx = _mm_add_pd(Sx, _mm_mul_pd(sa, y));
    Sy = _mm_add_pd(Sy, _mm_mul_pd(sa, x));
}

template <bool kNegate>
inline __m128d ConcreteLanes(__m128d strain, __m128d nfc, __m128d ne0) {
    const __m128d zero = _mm_setzero_pd();
    const __m128d tension = _mm_cmpge_pd(strain, zero);
    const __m128d rising = _mm_cmpge_pd(strain, ne0);
    __m128d stress = nfc;
    if (_mm_movemask_pd(_mm_andnot_pd(tension, rising)) != 0) {
        const __m128d eta = _mm_div_pd(strain, ne0);
        const __m128d two = _mm_set1_pd(2.0);
        const __m128d parabola =
            _mm_mul_pd(nfc, _mm_sub_pd(_mm_mul_pd(two, eta), _mm_mul_pd(eta, eta)));
        stress = _mm_or_pd(_mm_and_pd(rising, parabola), _mm_andnot_pd(rising, nfc));
    }
    stress = _mm_andnot_pd(tension, stress);  // +0 in tension
    if constexpr (kNegate) stress = _mm_xor_pd(stress, _mm_set1_pd(-0.0));
    return stress;
}

inline __m128d SteelLanes(__m128d strain, __m128d es, __m128d ney, __m128d ey, __m128d fy,
                          __m128d nfy) {
    const __m128d elasticRange =
        _mm_and_pd(_mm_cmple_pd(ney, strain), _mm_cmple_pd(strain, ey));
    const __m128d negative = _mm_cmplt_pd(strain, _mm_setzero_pd());
    const __m128d plastic = _mm_or_pd(_mm_and_pd(negative, nfy), _mm_andnot_pd(negative, fy));
    const __m128d elastic = _mm_mul_pd(es, strain);
    return _mm_or_pd(_mm_and_pd(elasticRange, elastic), _mm_andnot_pd(elasticRange, plastic));
}

template <bool kUnitNorm, bool kNegate>
void ConcreteRun(const SweepTable& s, int begin, int end, const double* U, __m128d norm,
                 __m128d c0, __m128d c1, __m128d p0, __m128d p1, Lanes& L) {
    for (int i = begin; i < end; ++i) {
        const __m128d u = _mm_set1_pd(U[i]), a = _mm_set1_pd(s.A[i]);
        const __m128d x = _mm_set1_pd(s.X[i]), y = _mm_set1_pd(s.Y[i]);
        const __m128d nfc = _mm_set1_pd(s.P1[i]), ne0 = _mm_set1_pd(s.P2[i]);
        const __m128d e0 = Strain<kUnitNorm>(u, c0, p0, norm);
        const __m128d e1 = Strain<kUnitNorm>(u, c1, p1, norm);
        Accumulate(ConcreteLanes<kNegate>(e0, nfc, ne0), a, x, y, L.F0, L.X0, L.Y0);
        Accumulate(ConcreteLanes<kNegate>(e1, nfc, ne0), a, x, y, L.F1, L.X1, L.Y1);
    }
}

template <bool kUnitNorm>
void SteelRun(const SweepTable& s, int begin, int end, const double* U, __m128d norm, __m128d c0,
              __m128d c1, __m128d p0, __m128d p1, Lanes& L) {
    for (int i = begin; i < end; ++i) {
        const __m128d u = _mm_set1_pd(U[i]), a = _mm_set1_pd(s.A[i]);
        const __m128d x = _mm_set1_pd(s.X[i]), y = _mm_set1_pd(s.Y[i]);
        const __m128d es = _mm_set1_pd(s.P1[i]), ey = _mm_set1_pd(s.P2[i]);
        const __m128d ney = _mm_set1_pd(-s.P2[i]);
        const __m128d fy = _mm_set1_pd(s.P3[i]), nfy = _mm_set1_pd(-s.P3[i]);
        const __m128d e0 = Strain<kUnitNorm>(u, c0, p0, norm);
        const __m128d e1 = Strain<kUnitNorm>(u, c1, p1, norm);
        Accumulate(SteelLanes(e0, es, ney, ey, fy, nfy), a, x, y, L.F0, L.X0, L.Y0);
        Accumulate(SteelLanes(e1, es, ney, ey, fy, nfy), a, x, y, L.F1, L.X1, L.Y1);
    }
}

void FixedRun(const SweepTable& s, int begin, int end, Lanes& L) {
    for (int i = begin; i < end; ++i) {
        const double sa = s.P1[i] * s.A[i];
        const __m128d vsa = _mm_set1_pd(sa);
        const __m128d sx = _mm_set1_pd(sa * s.Y[i]), sy = _mm_set1_pd(sa * s.X[i]);
        L.F0 = _mm_add_pd(L.F0, vsa);
        L.F1 = _mm_add_pd(L.F1, vsa);
        L.X0 = _mm_add_pd(L.X0, sx);
        L.X1 = _mm_add_pd(L.X1, sx);
        L.Y0 = _mm_add_pd(L.Y0, sy);
        L.Y1 = _mm_add_pd(L.Y1, sy);
    }
}

template <bool kUnitNorm>
void Sweep(const SweepTable& s, const double* U, double norm, const double* c, const double* phi,
           int T, double* F, double* Sx, double* Sy) {
    const __m128d vnorm = _mm_set1_pd(norm);
    for (int g = 0; g < T; g += 4) {
        // Trials past T repeat the last one; their sums are not kept.
        double cc[4], pp[4];
        for (int k = 0; k < 4; ++k) {
            const int src = g + k < T ? g + k : T - 1;
            cc[k] = c[src];
            pp[k] = phi[src];
        }
        const __m128d c0 = _mm_loadu_pd(cc), c1 = _mm_loadu_pd(cc + 2);
        const __m128d p0 = _mm_loadu_pd(pp), p1 = _mm_loadu_pd(pp + 2);
        Lanes L{_mm_setzero_pd(), _mm_setzero_pd(), _mm_setzero_pd(),
                _mm_setzero_pd(), _mm_setzero_pd(), _mm_setzero_pd()};
        for (const SweepTable::Run& r : s.runs) {
            switch (r.law) {
                case SweepLaw::Concrete:
                    ConcreteRun<kUnitNorm, false>(s, r.begin, r.end, U, vnorm, c0, c1, p0, p1, L);
                    break;
                case SweepLaw::DeductedConcrete:
                    ConcreteRun<kUnitNorm, true>(s, r.begin, r.end, U, vnorm, c0, c1, p0, p1, L);
                    break;
                case SweepLaw::Steel:
                    SteelRun<kUnitNorm>(s, r.begin, r.end, U, vnorm, c0, c1, p0, p1, L);
                    break;
                case SweepLaw::Fixed: FixedRun(s, r.begin, r.end, L); break;
            }
        }
        double f[4], sx[4], sy[4];
        _mm_storeu_pd(f, L.F0);
        _mm_storeu_pd(f + 2, L.F1);
        _mm_storeu_pd(sx, L.X0);
        _mm_storeu_pd(sx + 2, L.X1);
        _mm_storeu_pd(sy, L.Y0);
        _mm_storeu_pd(sy + 2, L.Y1);
        for (int k = 0; k < 4 && g + k < T; ++k) {
            F[g + k] = f[k];
            Sx[g + k] = sx[k];
            Sy[g + k] = sy[k];
        }
    }
}

#else  // portable loops, trials innermost

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

#endif

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
