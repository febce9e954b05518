// Speed of the interaction solvers: the reference fiber pass and the fast
// sweep on one thread and on every hardware thread, for the default
// rectangular column (248 fibers) and a 100 x 100 mesh of it. The counter
// ns_per_fiber_eval is wall time per fiber per section evaluation.
#include <benchmark/benchmark.h>

#include <chrono>

#include "analysis/mm_solver.h"
#include "analysis/pm_solver.h"
#include "input/fields.h"
#include "input/section_input.h"
#include "section/mesh.h"

namespace {

using namespace px;

struct Column {
    SectionInput in;
    FiberTable t;
    double PMax = 0, PMin = 0;
};

Column MakeColumn(int mesh) {
    MapFields f = DefaultFields();
    Column c;
    ReadSectionInput(f, c.in);
    if (mesh > 0) c.in.MeshX = c.in.MeshY = mesh;
    BuildFiberTable(c.in, c.t);
    AssignFiberMaterials(f, c.t);
    ComputeAxialBounds(c.t, c.PMax, c.PMin);
    return c;
}

const Column& ColumnFor(int mesh) {
    static const Column small = MakeColumn(0);
    static const Column large = MakeColumn(100);
    return mesh == 100 ? large : small;
}

// 0: reference pass; 1, 2: fast pass with the baseline (SSE2) sweep on one
// thread and on every hardware thread; 3, 4: the same with the widest vector
// instructions the processor has.
SolveOptions OptionsFor(int mode) {
    switch (mode) {
        case 0: return {SolverPass::Reference, 1};
        case 1: return {SolverPass::Fast, 1, SweepIsa::Baseline};
        case 2: return {SolverPass::Fast, 0, SweepIsa::Baseline};
        case 3: return {SolverPass::Fast, 1, SweepIsa::Auto};
        default: return {SolverPass::Fast, 0, SweepIsa::Auto};
    }
}

const char* ModeName(int mode) {
    static const char* names[] = {"reference", "fast_baseline_1_thread",
                                  "fast_baseline_all_threads", "fast_widest_1_thread",
                                  "fast_widest_all_threads"};
    return names[mode];
}

template <class Solve>
void Measure(benchmark::State& state, const Column& col, double evaluations, Solve solve) {
    double seconds = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        solve();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    const double fiberEvals = evaluations * col.t.NFib * static_cast<double>(state.iterations());
    state.counters["ns_per_fiber_eval"] = seconds * 1e9 / fiberEvals;
    state.counters["fibers"] = col.t.NFib;
}

// Both directions of the P-M curve, as "Show PM Curve" runs them.
void BM_SolvePM(benchmark::State& state) {
    const int mesh = static_cast<int>(state.range(0));
    const int mode = static_cast<int>(state.range(1));
    Column col = ColumnFor(mesh);
    const PmSettings s;
    const SolveOptions opt = OptionsFor(mode);
    PMCurve curve;
    state.SetLabel(ModeName(mode));
    const double evaluations = 2.0 * (s.nP - 1) * s.K * (s.N + 1);
    Measure(state, col, evaluations, [&] {
        SolvePM(col.t, col.in.B, col.in.H, s, 0, col.PMin, col.PMax, curve, {}, opt);
        SolvePM(col.t, col.in.B, col.in.H, s, 90, col.PMin, col.PMax, curve, {}, opt);
        benchmark::DoNotOptimize(curve.MX.data());
    });
}

// At 30000 kN every point is the grid search's; at 0.99 PMax no window
// reaches the force and every point is solved past it.
void BM_SolveMMCurve(benchmark::State& state) {
    const int mesh = static_cast<int>(state.range(0));
    const int mode = static_cast<int>(state.range(1));
    Column col = ColumnFor(mesh);
    MmSettings s;
    s.axialForce = state.range(2) ? 0.99 * col.PMax : 30000;
    const SolveOptions opt = OptionsFor(mode);
    MMCurve curve;
    state.SetLabel(ModeName(mode));
    const double evaluations = static_cast<double>(s.points + 1) * s.K * (s.N + 1);
    Measure(state, col, evaluations, [&] {
        SolveMMCurve(col.t, col.in.B, col.in.H, s, curve, {}, opt);
        benchmark::DoNotOptimize(curve.Mx.data());
    });
}

void Common(benchmark::internal::Benchmark* b) {
    b->UseRealTime();
    b->Unit(benchmark::kMillisecond);
    b->MinTime(0.2);
}

void Modes(benchmark::internal::Benchmark* b) {
    for (int mesh : {0, 100})
        for (int mode : {0, 1, 2, 3, 4}) b->Args({mesh, mode});
    b->ArgNames({"mesh", "mode"});
    Common(b);
}

void MmModes(benchmark::internal::Benchmark* b) {
    for (int nearPMax : {0, 1})
        for (int mesh : {0, 100})
            for (int mode : {0, 1, 2, 3, 4}) b->Args({mesh, mode, nearPMax});
    b->ArgNames({"mesh", "mode", "near_pmax"});
    Common(b);
}

BENCHMARK(BM_SolvePM)->Apply(Modes);
BENCHMARK(BM_SolveMMCurve)->Apply(MmModes);

}  // namespace

BENCHMARK_MAIN();
