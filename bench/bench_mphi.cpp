// Speed of the moment-curvature analysis on one thread: the default
// rectangular column (248 fibers) and a 100 x 100 mesh of it, 100 curvature
// steps, at P = 0 and at 0.4 PMax; and the default column with a cover of
// the descending law, which takes the reference pass.
#include <benchmark/benchmark.h>

#include "curvature/moment_curvature.h"
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

Column MakeColumn(int mesh, bool descending) {
    MapFields f = DefaultFields();
    if (descending) f.items["ComboBox2"] = 1;
    Column c;
    ReadSectionInput(f, c.in);
    if (mesh > 0) c.in.MeshX = c.in.MeshY = mesh;
    BuildFiberTable(c.in, c.t);
    AssignFiberMaterials(f, c.t);
    ComputeAxialBounds(c.t, c.PMax, c.PMin);
    return c;
}

// Arguments: mesh (0 = the default 12 x 12), tenths of PMax, descending cover.
void BM_MomentCurvature(benchmark::State& state) {
    Column c = MakeColumn(static_cast<int>(state.range(0)), state.range(2) != 0);
    MphiSettings s;
    s.axialForce = c.PMax * static_cast<double>(state.range(1)) / 10;
    s.steps = 100;
    for (auto _ : state) {
        MphiResult r = SolveMomentCurvature(c.t, c.in.B, c.in.H, s);
        benchmark::DoNotOptimize(r.Mmax);
    }
    state.counters["fibers"] = c.t.NFib;
}

BENCHMARK(BM_MomentCurvature)
    ->ArgNames({"mesh", "tenthsPMax", "descending"})
    ->Args({0, 0, 0})
    ->Args({0, 4, 0})
    ->Args({0, 0, 1})
    ->Args({100, 0, 0})
    ->Args({100, 4, 0})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
