// Speed of the member's interaction curve by the second-order analysis on
// one thread: the default rectangular column (248 fibers), 20 axial levels
// between its tension and compression capacities, a member of 20 m and
// 60 m with a bow of L/1000, in single curvature and with M1 = -M2 / 2.
#include <benchmark/benchmark.h>

#include "input/fields.h"
#include "input/section_input.h"
#include "member/member.h"
#include "section/mesh.h"

namespace {

using namespace px;

// Arguments: member length in m, end ratio in tenths.
void BM_MemberCurve(benchmark::State& state) {
    const MapFields f = DefaultFields();
    SectionInput in;
    ReadSectionInput(f, in);
    FiberTable t;
    BuildFiberTable(in, t);
    AssignFiberMaterials(f, t);
    double PMax = 0, PMin = 0;
    ComputeAxialBounds(t, PMax, PMin);
    const std::vector<double> levels = MemberLevels(PMin, PMax, 20);
    MemberSettings s;
    s.length = 1000.0 * static_cast<double>(state.range(0));
    s.endRatio = static_cast<double>(state.range(1)) / 10;
    for (auto _ : state) {
        MemberCurve c = SolveMemberCurve(t, in.B, in.H, s, MemberAxis::X, levels);
        benchmark::DoNotOptimize(c.points.back().M);
    }
    state.counters["fibers"] = t.NFib;
}

BENCHMARK(BM_MemberCurve)
    ->ArgNames({"m", "ratio10"})
    ->Args({20, 10})
    ->Args({60, 10})
    ->Args({60, -5})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
