#include "analysis/fiber_sweep.h"

#include <exception>

#include <cstdlib>
#include <cstring>
#include <string>

#include "analysis/parallel_jobs.h"
#include "analysis/section_steps.h"

#if defined(__x86_64__) && defined(__SSE2__)
#define PX_SWEEP_X86 1
#include <immintrin.h>
#else
#define PX_SWEEP_X86 0
#endif

namespace px {

namespace {

SweepLaw LawOf(const Fiber& f, bool& reproducible) {
    switch (f.MatId) {
        case MatCoverConcrete:
        case MatCoreConcrete1:
        case MatCoreConcrete2:
            // The sweep has no descending branch nor a parabola of another
            // exponent: such a section takes the reference pass.
            if (f.ConcModel == 2 || f.ConcModel == 4) reproducible = false;
            if (f.ConcModel == 3) return SweepLaw::Block;
            return f.ConcModel == 1 ? SweepLaw::Concrete : SweepLaw::Fixed;
        case MatDeductedConcrete1:
            if (f.ConcModel == 3) return SweepLaw::DeductedBlock;
            if (f.ConcModel != 1) reproducible = false;
            return SweepLaw::DeductedConcrete;
        case MatRebar:
        case MatSteelSection:
            if (f.SteelModel == 2) return SweepLaw::PlasticSteel;
            return f.SteelModel == 1 ? SweepLaw::Steel : SweepLaw::Fixed;
        default: return SweepLaw::Fixed;
    }
}

#if PX_SWEEP_X86

// Plain x86-64: SSE2, two lanes.
namespace sse2 {
using V = __m128d;
constexpr int kW = 2;
constexpr int kVectors = 2;
inline V Splat(double x) { return _mm_set1_pd(x); }
inline V Zero() { return _mm_setzero_pd(); }
inline V Load(const double* p) { return _mm_loadu_pd(p); }
inline void Store(double* p, V v) { _mm_storeu_pd(p, v); }
inline V Add(V a, V b) { return _mm_add_pd(a, b); }
inline V Sub(V a, V b) { return _mm_sub_pd(a, b); }
inline V Mul(V a, V b) { return _mm_mul_pd(a, b); }
inline V Div(V a, V b) { return _mm_div_pd(a, b); }
inline V Neg(V a) { return _mm_xor_pd(a, _mm_set1_pd(-0.0)); }
inline V CmpGe(V a, V b) { return _mm_cmpge_pd(a, b); }
inline V CmpLe(V a, V b) { return _mm_cmple_pd(a, b); }
inline V CmpLt(V a, V b) { return _mm_cmplt_pd(a, b); }
inline V And(V a, V b) { return _mm_and_pd(a, b); }
inline V AndNot(V m, V b) { return _mm_andnot_pd(m, b); }
inline V Or(V a, V b) { return _mm_or_pd(a, b); }
inline bool AnyLane(V m) { return _mm_movemask_pd(m) != 0; }
#include "analysis/sweep_kernel.inc"
}  // namespace sse2

// AVX2, four lanes, chosen at run time.
#pragma GCC push_options
#pragma GCC target("avx2")
namespace avx2 {
using V = __m256d;
constexpr int kW = 4;
constexpr int kVectors = 2;
inline V Splat(double x) { return _mm256_set1_pd(x); }
inline V Zero() { return _mm256_setzero_pd(); }
inline V Load(const double* p) { return _mm256_loadu_pd(p); }
inline void Store(double* p, V v) { _mm256_storeu_pd(p, v); }
inline V Add(V a, V b) { return _mm256_add_pd(a, b); }
inline V Sub(V a, V b) { return _mm256_sub_pd(a, b); }
inline V Mul(V a, V b) { return _mm256_mul_pd(a, b); }
inline V Div(V a, V b) { return _mm256_div_pd(a, b); }
inline V Neg(V a) { return _mm256_xor_pd(a, _mm256_set1_pd(-0.0)); }
inline V CmpGe(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_GE_OS); }
inline V CmpLe(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_LE_OS); }
inline V CmpLt(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_LT_OS); }
inline V And(V a, V b) { return _mm256_and_pd(a, b); }
inline V AndNot(V m, V b) { return _mm256_andnot_pd(m, b); }
inline V Or(V a, V b) { return _mm256_or_pd(a, b); }
inline bool AnyLane(V m) { return _mm256_movemask_pd(m) != 0; }
#include "analysis/sweep_kernel.inc"
}  // namespace avx2
#pragma GCC pop_options

// AVX-512 (with its double-word extension for the mask moves), eight lanes,
// chosen at run time. Lane masks are kept as vectors, as in the other widths.
#pragma GCC push_options
#pragma GCC target("avx512f,avx512dq")
namespace avx512 {
using V = __m512d;
constexpr int kW = 8;
constexpr int kVectors = 1;
inline V Splat(double x) { return _mm512_set1_pd(x); }
inline V Zero() { return _mm512_setzero_pd(); }
inline V Load(const double* p) { return _mm512_loadu_pd(p); }
inline void Store(double* p, V v) { _mm512_storeu_pd(p, v); }
inline V Add(V a, V b) { return _mm512_add_pd(a, b); }
inline V Sub(V a, V b) { return _mm512_sub_pd(a, b); }
inline V Mul(V a, V b) { return _mm512_mul_pd(a, b); }
inline V Div(V a, V b) { return _mm512_div_pd(a, b); }
inline V Neg(V a) { return _mm512_xor_pd(a, _mm512_set1_pd(-0.0)); }
inline V FromMask(__mmask8 m) { return _mm512_castsi512_pd(_mm512_movm_epi64(m)); }
inline V CmpGe(V a, V b) { return FromMask(_mm512_cmp_pd_mask(a, b, _CMP_GE_OS)); }
inline V CmpLe(V a, V b) { return FromMask(_mm512_cmp_pd_mask(a, b, _CMP_LE_OS)); }
inline V CmpLt(V a, V b) { return FromMask(_mm512_cmp_pd_mask(a, b, _CMP_LT_OS)); }
inline V And(V a, V b) { return _mm512_and_pd(a, b); }
inline V AndNot(V m, V b) { return _mm512_andnot_pd(m, b); }
inline V Or(V a, V b) { return _mm512_or_pd(a, b); }
inline bool AnyLane(V m) { return _mm512_movepi64_mask(_mm512_castpd_si512(m)) != 0; }
#include "analysis/sweep_kernel.inc"
}  // namespace avx512
#pragma GCC pop_options

#else

// Other targets: one lane, the same operations on doubles.
namespace scalar {
struct V {
    double d;
};
constexpr int kW = 1;
constexpr int kVectors = 4;
inline unsigned long long Bits(V a) {
    unsigned long long u;
    std::memcpy(&u, &a.d, sizeof u);
    return u;
}
inline V FromBits(unsigned long long u) {
    V r;
    std::memcpy(&r.d, &u, sizeof u);
    return r;
}
inline V Mask(bool m) { return FromBits(m ? ~0ull : 0ull); }
inline V Splat(double x) { return {x}; }
inline V Zero() { return {0.0}; }
inline V Load(const double* p) { return {*p}; }
inline void Store(double* p, V v) { *p = v.d; }
inline V Add(V a, V b) { return {a.d + b.d}; }
inline V Sub(V a, V b) { return {a.d - b.d}; }
inline V Mul(V a, V b) { return {a.d * b.d}; }
inline V Div(V a, V b) { return {a.d / b.d}; }
inline V Neg(V a) { return {-a.d}; }
inline V CmpGe(V a, V b) { return Mask(a.d >= b.d); }
inline V CmpLe(V a, V b) { return Mask(a.d <= b.d); }
inline V CmpLt(V a, V b) { return Mask(a.d < b.d); }
inline V And(V a, V b) { return FromBits(Bits(a) & Bits(b)); }
inline V AndNot(V m, V b) { return FromBits(~Bits(m) & Bits(b)); }
inline V Or(V a, V b) { return FromBits(Bits(a) | Bits(b)); }
inline bool AnyLane(V m) { return Bits(m) != 0; }
#include "analysis/sweep_kernel.inc"
}  // namespace scalar

#endif

}  // namespace

bool SweepIsaSupported(SweepIsa isa) {
    switch (isa) {
        case SweepIsa::Auto:
        case SweepIsa::Baseline: return true;
#if PX_SWEEP_X86
        case SweepIsa::Avx2: return __builtin_cpu_supports("avx2");
        case SweepIsa::Avx512:
            return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq");
#else
        default: return false;
#endif
    }
    return false;
}

SweepIsa SweepIsaFromEnvironment(bool* known) {
    struct Named {
        SweepIsa isa;
        bool known;
    };
    static const Named named = [] {
        const char* v = std::getenv("PILLARIX_ISA");
        const std::string text = v ? v : "";
        if (text.empty() || text == "auto") return Named{SweepIsa::Auto, true};
        if (text == "baseline") return Named{SweepIsa::Baseline, true};
        if (text == "avx2") return Named{SweepIsa::Avx2, true};
        if (text == "avx512") return Named{SweepIsa::Avx512, true};
        return Named{SweepIsa::Auto, false};
    }();
    if (known) *known = named.known;
    return named.isa;
}

SweepIsa ResolveSweepIsa(SweepIsa wanted) {
    if (wanted == SweepIsa::Auto) wanted = SweepIsaFromEnvironment();
    if (wanted != SweepIsa::Auto) return SweepIsaSupported(wanted) ? wanted : SweepIsa::Baseline;
    if (SweepIsaSupported(SweepIsa::Avx512)) return SweepIsa::Avx512;
    if (SweepIsaSupported(SweepIsa::Avx2)) return SweepIsa::Avx2;
    return SweepIsa::Baseline;
}

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
            case SweepLaw::Block:
            case SweepLaw::DeductedBlock:
                s.P1[i] = -f.Fc;
                s.P2[i] = -f.E0;
                break;
            case SweepLaw::Steel:
                s.P1[i] = f.Es;
                s.P2[i] = f.Fy / f.Es;
                s.P3[i] = f.Fy;
                break;
            case SweepLaw::PlasticSteel: s.P3[i] = f.Fy; break;
            case SweepLaw::Fixed: s.P1[i] = f.Stress; break;
        }
        if (s.runs.empty() || s.runs.back().law != law) s.runs.push_back({i, i, law});
        s.runs.back().end = i + 1;
    }
    return s;
}

SweepTable TurnedSweepTable(SweepTable s) {
    for (double& v : s.X) v = -v;
    for (double& v : s.Y) v = -v;
    return s;
}

void AxisTerms(const SweepTable& s, double w, std::vector<double>& U) {
    U.resize(static_cast<size_t>(s.n));
    for (int i = 0; i < s.n; ++i) U[i] = w * s.X[i] - s.Y[i];
}

void SweepTrials(const SweepTable& s, SweepIsa isa, const double* U, double norm,
                 const double* c, const double* phi, int T, double* F, double* Sx, double* Sy,
                 const std::atomic<bool>* cancel) {
#if PX_SWEEP_X86
    if (isa == SweepIsa::Avx512) {
        avx512::Sweep(s, U, norm, c, phi, T, F, Sx, Sy, cancel);
    } else if (isa == SweepIsa::Avx2) {
        avx2::Sweep(s, U, norm, c, phi, T, F, Sx, Sy, cancel);
    } else {
        sse2::Sweep(s, U, norm, c, phi, T, F, Sx, Sy, cancel);
    }
#else
    (void)isa;
    scalar::Sweep(s, U, norm, c, phi, T, F, Sx, Sy, cancel);
#endif
}

namespace {

// SweepTrials split into chunks of trials shared with helper threads (none
// when helpers is null).
void SweepTrialsShared(const SweepTable& s, SweepIsa isa, const double* U, double norm,
                       const double* c, const double* phi, int T, double* F, double* Sx,
                       double* Sy, ChunkHelpers* helpers, const std::atomic<bool>* cancel) {
    constexpr int kChunk = 8;  // a whole number of blocks for every width
    const int chunks = (T + kChunk - 1) / kChunk;
    if (!helpers || chunks <= 1) {
        SweepTrials(s, isa, U, norm, c, phi, T, F, Sx, Sy, cancel);
        return;
    }
    helpers->Run(chunks, [&](int k) {
        const int g = k * kChunk;
        const int n = T - g < kChunk ? T - g : kChunk;
        SweepTrials(s, isa, U, norm, c + g, phi + g, n, F + g, Sx + g, Sy + g, cancel);
    });
}

}  // namespace

bool WorthSharing(const SweepTable& s, int T) {
    return static_cast<double>(s.n) * T >= 100000;
}

void StoreTrialState(FiberTable& t, double w, double norm, double c, double phi) {
    SectionForcesNorm(t, w, norm, c, phi);
}

void GridScratch::resize(int N, int fibers) {
    const size_t n1 = static_cast<size_t>(N) + 1;
    for (std::vector<double>* v : {&c, &phi, &F, &Sx, &Sy, &P}) v->resize(n1);
    U.resize(static_cast<size_t>(fibers));
}

void SweepGridPass(const SweepTable& st, const SweepRun& run, const GridAxis& axis, double cmin,
                   double cmax, int N, GridScratch& ws) {
    ThrowIfCancelled(run.cancel);
    // Offsets and curvatures first, then the fibers once for every trial.
    int T = N + 1;
    std::exception_ptr curvatureError;
    for (int G = 0; G <= N; ++G) {
        const double c = GridOffset(cmin, cmax, G, N);
        try {
            ws.phi[G] = TrialCurvatureAt(axis.w, c, *axis.pts, axis.limit, axis.strict);
        } catch (...) {
            curvatureError = std::current_exception();
            T = G;
            break;
        }
        ws.c[G] = c;
    }
    SweepTrialsShared(st, run.isa, axis.U, axis.norm, ws.c.data(), ws.phi.data(), T, ws.F.data(),
                      ws.Sx.data(), ws.Sy.data(), run.helpers, run.cancel);
    ThrowIfCancelled(run.cancel);  // the sums of a stopped sweep are incomplete
    for (int G = 0; G < T; ++G) {
        CheckSums(ws.F[G], ws.Sx[G], ws.Sy[G]);
        ws.P[G] = -ws.F[G] / 1000;
    }
    if (curvatureError) std::rethrow_exception(curvatureError);
    if (run.passes) run.passes->passDone();
}

}  // namespace px
