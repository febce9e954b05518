// Speed of the capacity check and the interaction surface against the
// default column (248 fibers, default MM settings): 240 load combinations of
// a frame column, with the root-finding pass and with the grid search; the
// same file repeated to 100,000 lines (240 distinct forces); 1,000 distinct
// forces; the 240 on a 100 x 100 mesh; the surface of 20 levels x 36 points;
// and one curve of the check against the "Gen MM Curve" solve. Time is wall time; CPU is the process's
// CPU time over all threads, which shows what the work costs on a busy
// machine.
#include <benchmark/benchmark.h>

#include <chrono>
#include <set>

#include "../tests/analysis/default_column.h"
#include "../tests/check/column_request.h"
#include "../tests/check/realistic_forces.h"
#include "analysis/mm_solver.h"
#include "check/capacity_check.h"
#include "check/live_run.h"
#include "check/surface.h"

namespace {

using namespace px;

struct Setup {
    pxtest::Column col = pxtest::MeshedColumn();
    LoadCombinationTable loads = pxtest::RealisticForces();
    CheckRequest req{pxtest::SectionOf(col), &loads};
};

SolveOptions Threads(int n) {
    SolveOptions o;
    o.threads = n;
    return o;
}

// The whole check; ms_per_curve is wall time x threads / curves solved.
// Arguments: threads, then 1 for the root-finding pass the check uses or 0
// for the grid search of "Gen MM Curve", side by side.
void BM_Check240(benchmark::State& state) {
    Setup s;
    const int threads = static_cast<int>(state.range(0));
    s.req.Search = state.range(1) ? MmSearch::Root : MmSearch::Grid;
    state.SetLabel(state.range(1) ? "root" : "grid");
    int curves = 0;
    double seconds = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const CheckResult r = RunCapacityCheck(s.req, {}, Threads(threads));
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        curves = r.Curves + r.RadialCurves;  // the radial ratios' curves too
        benchmark::DoNotOptimize(r.Passed);
    }
    state.counters["curves"] = curves;
    state.counters["ms_per_curve"] =
        1000.0 * seconds * threads / (static_cast<double>(state.iterations()) * curves);
}
BENCHMARK(BM_Check240)
    ->ArgsProduct({{1, 2}, {0, 1}})
    ->ArgNames({"threads", "root"})
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

// 1,000 combinations, every one at its own axial force, spread over the
// whole range.
void BM_Check1000Distinct(benchmark::State& state) {
    Setup s;
    s.loads.Items.resize(1);
    for (int i = 0; i < 1000; ++i) {
        const double P = s.req.PMin + (s.req.PMax - s.req.PMin) * (i + 0.5) / 1000;
        s.loads.Items.push_back({P, 3000.0 + i, 2000.0 - i});
    }
    s.loads.Count = 1000;
    for (auto _ : state) {
        const CheckResult r = RunCapacityCheck(s.req, {}, Threads(2));
        benchmark::DoNotOptimize(r.Passed);
    }
}
BENCHMARK(BM_Check1000Distinct)->UseRealTime()->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

// The 240 combinations on a 100 x 100 mesh of the column (10,400 fibers).
void BM_Check240Mesh100(benchmark::State& state) {
    MapFields f;
    f["Edit12"] = "100";  // "X-Dir Mesh Num"
    f["Edit13"] = "100";  // "Y-Dir Mesh Num"
    const pxtest::Column col = pxtest::MeshedColumn(0, &f);
    const LoadCombinationTable loads = pxtest::RealisticForces();
    const CheckRequest req{pxtest::SectionOf(col), &loads};
    state.counters["fibers"] = col.t.NFib;
    for (auto _ : state) {
        const CheckResult r = RunCapacityCheck(req, {}, Threads(2));
        benchmark::DoNotOptimize(r.Passed);
    }
}
BENCHMARK(BM_Check240Mesh100)->UseRealTime()->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

// The other way to share the work: every distinct force in turn, each curve
// solved by the solver's own threads.
void BM_Check240CurveByCurve(benchmark::State& state) {
    Setup s;
    std::set<double> forces;
    for (int i = 1; i <= s.loads.Count; ++i) forces.insert(s.loads.Items[i].P);
    MMCurve curve;
    for (auto _ : state) {
        for (double P : forces) {
            MmSettings m;
            m.axialForce = P;
            SolveMMCurve(s.col.t, s.req.B, s.req.H, m, curve, {}, Threads(2));
            benchmark::DoNotOptimize(curve.Mx.data());
        }
    }
}
BENCHMARK(BM_Check240CurveByCurve)->UseRealTime()->MeasureProcessCPUTime()->Unit(
    benchmark::kMillisecond);

// 100,000 lines sharing 240 distinct forces: the cost per combination
// beyond the curves.
void BM_Check100k(benchmark::State& state) {
    Setup s;
    const LoadCombinationTable base = s.loads;
    s.loads.Items.resize(1);
    for (int i = 0; i < 100000; ++i) s.loads.Items.push_back(base.Items[1 + i % base.Count]);
    s.loads.Count = 100000;
    for (auto _ : state) {
        const CheckResult r = RunCapacityCheck(s.req, {}, Threads(2));
        benchmark::DoNotOptimize(r.Passed);
    }
}
BENCHMARK(BM_Check100k)->UseRealTime()->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

void BM_Surface20x36(benchmark::State& state) {
    Setup s;
    SurfaceRequest r{pxtest::SectionOf(s.col), 20};
    r.Search = state.range(0) ? MmSearch::Root : MmSearch::Grid;
    state.SetLabel(state.range(0) ? "root" : "grid");
    for (auto _ : state) {
        const InteractionSurface surface = SolveSurface(r, {}, Threads(2));
        benchmark::DoNotOptimize(surface.Levels.data());
    }
}
BENCHMARK(BM_Surface20x36)->Arg(0)->Arg(1)->UseRealTime()->MeasureProcessCPUTime()->Unit(
    benchmark::kMillisecond);

// What the live check does once the typing pauses: mesh the default column
// from the window's fields, check the 240 combinations, solve the 20-level
// surface. The window picks the results up within LiveRunner::kPollMs.
void BM_LiveRun(benchmark::State& state) {
    LiveInputs in;
    in.fields = DefaultFields();
    in.loads = pxtest::RealisticForces();
    const std::atomic<bool> cancel{false};
    for (auto _ : state) {
        const LiveResults r = RunLive(in, cancel);
        if (!r.error.empty()) state.SkipWithError(r.error.c_str());
        benchmark::DoNotOptimize(r.surface.Levels.data());
    }
}
BENCHMARK(BM_LiveRun)->UseRealTime()->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

// One curve: "Gen MM Curve" (every hardware thread, one thread), and a check
// of one combination, which solves the same curve.
void BM_OneCurve(benchmark::State& state) {
    Setup s;
    const int mode = static_cast<int>(state.range(0));
    LoadCombinationTable one;
    one.Items.push_back({30000, 12000, 9000});
    one.Count = 1;
    s.req.Loads = &one;
    MmSettings m;
    m.axialForce = 30000;
    MMCurve curve;
    state.SetLabel(mode == 0 ? "gen_mm_curve" : mode == 1 ? "gen_mm_curve_1_thread" : "check_1_case");
    for (auto _ : state) {
        if (mode == 2) {
            benchmark::DoNotOptimize(RunCapacityCheck(s.req).Passed);
        } else {
            SolveMMCurve(s.col.t, s.req.B, s.req.H, m, curve, {}, Threads(mode == 0 ? 0 : 1));
            benchmark::DoNotOptimize(curve.Mx.data());
        }
    }
}
BENCHMARK(BM_OneCurve)->Arg(0)->Arg(1)->Arg(2)->UseRealTime()->MeasureProcessCPUTime()->Unit(
    benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
