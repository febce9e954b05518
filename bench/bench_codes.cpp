// Speed of the solvers under a design code against "None" on the default
// column (and the Rect SRC Type1 column for AISC 360-16): both P-M curves
// with the design pass, the capacity check of 240 combinations and the
// interaction surface of 20 levels x 36 points on the code's fiber table
// (its laws, strain limits and the deducted fibers of net concrete). The
// code's design curve is one more pass over the nominal points, so each
// should stay within 1.5 x of "None".
#include <benchmark/benchmark.h>

#include "../tests/analysis/default_column.h"
#include "../tests/check/column_request.h"
#include "../tests/check/realistic_forces.h"
#include "analysis/pm_solver.h"
#include "check/capacity_check.h"
#include "check/surface.h"
#include "codes/code_section.h"

namespace {

using namespace px;

// Argument: 0 None, 1 ACI 318-19, 2 EN 1992-1-1 / EN 1994-1-1, 3 AISC 360-16
// (on type 3, as "None" of type 3 for comparison is argument 4).
struct Coded {
    pxtest::Column col;
    codes::CodeSection code;
    explicit Coded(int arg) {
        const int type = arg >= 3 ? 2 : 0;
        col = pxtest::MeshedColumn(type);
        codes::CodeSettings s;
        s.code = arg == 4 ? codes::DesignCode::None : static_cast<codes::DesignCode>(arg);
        codes::CodeShape shape{type + 1, false, col.in.B, col.in.H, col.in.SteelYTw, col.in.SteelXTw};
        code = codes::DescribeSection(s, shape, col.t);
        col.t = codes::CodeFiberTable(col.t, code);
    }
    const char* label(int arg) const {
        static const char* names[] = {"None", "ACI 318-19", "EN 1992-1-1", "AISC 360-16 (type 3)", "None (type 3)"};
        return names[arg];
    }
};

SolveOptions Threads(int n) {
    SolveOptions o;
    o.threads = n;
    return o;
}

void BM_PmCurves(benchmark::State& state) {
    const int arg = static_cast<int>(state.range(0));
    Coded c(arg);
    state.SetLabel(c.label(arg));
    double PMax = 0, PMin = 0;
    ComputeAxialBounds(c.col.t, PMax, PMin);
    for (auto _ : state) {
        PMCurve pm;
        SolvePM(c.col.t, c.col.in.B, c.col.in.H, PmSettings{}, 0, PMin, PMax, pm, {}, Threads(2));
        SolvePM(c.col.t, c.col.in.B, c.col.in.H, PmSettings{}, 90, PMin, PMax, pm, {}, Threads(2));
        const codes::DesignCurve d = codes::MakeDesignCurve(pm, c.code);
        benchmark::DoNotOptimize(d.X.data());
    }
}
BENCHMARK(BM_PmCurves)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

void BM_Check240(benchmark::State& state) {
    const int arg = static_cast<int>(state.range(0));
    Coded c(arg);
    state.SetLabel(c.label(arg));
    const LoadCombinationTable loads = pxtest::RealisticForces();
    CheckRequest req{pxtest::SectionOf(c.col), &loads};
    for (auto _ : state) {
        const CheckResult r = RunCapacityCheck(req, {}, Threads(2));
        benchmark::DoNotOptimize(r.Passed);
    }
}
BENCHMARK(BM_Check240)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

void BM_Surface20x36(benchmark::State& state) {
    const int arg = static_cast<int>(state.range(0));
    Coded c(arg);
    state.SetLabel(c.label(arg));
    SurfaceRequest r{pxtest::SectionOf(c.col), 20};
    for (auto _ : state) {
        const InteractionSurface surface = SolveSurface(r, {}, Threads(2));
        benchmark::DoNotOptimize(surface);
    }
}
BENCHMARK(BM_Surface20x36)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
