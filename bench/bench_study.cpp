// Speed of pillarix-study: 1,000 columns of the eight section types at their
// default meshes, without forces, on one and two row threads (and, for
// comparison, one row thread whose solves use every core); and the time per
// column spent beyond its two P-M solves (reading, meshing, materials,
// section information, formatting, threads), as a share of the solves.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "analysis/pm_solver.h"
#include "input/fields.h"
#include "input/section_input.h"
#include "section/mesh.h"
#include "study/study.h"

namespace {

using namespace px;

constexpr int kColumns = 1000;

// Type k of every eight rows; the circular types get a smaller diameter,
// the circular SRC column one its steel cross fits in.
const std::string& TablePath() {
    static const std::string path = [] {
        const std::string p = (std::filesystem::temp_directory_path() / "pillarix_bench_study.csv").string();
        std::ofstream f(p, std::ios::binary);
        f << "Name,ComboBox1,Edit1\r\n";
        for (int i = 0; i < kColumns; ++i) {
            const int k = i % 8;
            f << "C" << i << ',' << k << ',' << (k == 6 ? 1800 : k == 1 || k == 4 ? 1000 : 2200) << "\r\n";
        }
        return p;
    }();
    return path;
}

// CPU time of the calling thread, s: what the one-thread runs compare, as
// the machine's other programs stretch wall time unevenly.
double ThreadSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double RunOnce(int threads, int solveThreads, double* cpu = nullptr) {
    StudyTable table(TablePath());
    StudyOptions o;
    o.Threads = threads;
    o.SolveThreads = solveThreads;
    size_t bytes = 0;
    const double c0 = ThreadSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    const StudySummary s = RunStudy(table, o, [&](std::string_view text) { bytes += text.size(); });
    const double sec = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (cpu) *cpu = ThreadSeconds() - c0;
    if (s.Failed != 0 || s.Rows != kColumns) std::fprintf(stderr, "study failed: %lld rows failed\n", s.Failed);
    benchmark::DoNotOptimize(bytes);
    return sec;
}

// The whole study: args threads, solve threads.
void BM_Study(benchmark::State& state) {
    const int threads = static_cast<int>(state.range(0));
    const int solveThreads = static_cast<int>(state.range(1));
    double total = 0;
    for (auto _ : state) {
        const double t = RunOnce(threads, solveThreads);
        total += t;
        state.SetIterationTime(t);
    }
    state.counters["ms_per_column"] = total / static_cast<double>(state.iterations()) * 1000 / kColumns;
}
BENCHMARK(BM_Study)
    ->ArgNames({"threads", "solve_threads"})
    ->Args({1, 1})
    ->Args({2, 1})
    ->Args({1, 0})
    ->UseManualTime()
    ->Unit(benchmark::kSecond)
    ->Iterations(2);

// One thread: the study against the two P-M solves of the same columns
// alone (fiber tables built beforehand), run in turn, in CPU time of the
// thread (the one-thread study runs on the calling thread); the fastest run
// of each counts.
void BM_StudyOverhead(benchmark::State& state) {
    struct Column {
        SectionInput in;
        FiberTable t;
        double PMax = 0, PMin = 0;
    };
    std::vector<Column> cols(8);
    for (int k = 0; k < 8; ++k) {
        MapFields f = DefaultFields();
        f.items["ComboBox1"] = k;
        if (k == 1 || k == 4) f["Edit1"] = "1000";
        if (k == 6) f["Edit1"] = "1800";
        ReadSectionInput(f, cols[static_cast<size_t>(k)].in);
        BuildFiberTable(cols[static_cast<size_t>(k)].in, cols[static_cast<size_t>(k)].t);
        AssignFiberMaterials(f, cols[static_cast<size_t>(k)].t);
        ComputeAxialBounds(cols[static_cast<size_t>(k)].t, cols[static_cast<size_t>(k)].PMax,
                           cols[static_cast<size_t>(k)].PMin);
    }
    const PmSettings s;
    SolveOptions one;
    one.threads = 1;
    double study = 1e300, solves = 1e300;
    for (auto _ : state) {
        double cpu = 0;
        const double t = RunOnce(1, 1, &cpu);
        study = std::min(study, cpu);
        PMCurve curve;
        const double c0 = ThreadSeconds();
        for (int i = 0; i < kColumns; ++i) {
            Column& c = cols[static_cast<size_t>(i % 8)];
            SolvePM(c.t, c.in.B, c.in.H, s, 0, c.PMin, c.PMax, curve, {}, one);
            SolvePM(c.t, c.in.B, c.in.H, s, 90, c.PMin, c.PMax, curve, {}, one);
            benchmark::DoNotOptimize(curve.MX.data());
        }
        solves = std::min(solves, ThreadSeconds() - c0);
        state.SetIterationTime(t);
    }
    state.counters["study_s"] = study;
    state.counters["solves_s"] = solves;
    state.counters["overhead_pct"] = (study - solves) / solves * 100;
}
BENCHMARK(BM_StudyOverhead)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
