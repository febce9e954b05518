// Speed of a drawn section: reading a section file of 2,000 points (an
// outline of 1,000 points with an opening of 1,000) and meshing it into about
// 20,000 fibers, as "Load Section File..." and the mesh do (target: under
// 100 ms together).
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "geometry/section_file.h"
#include "section/mesh_custom.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// A wavy pier 1,600 x 1,000 mm with an off-centre wavy opening.
std::string PierFile() {
    auto ring = [](const char* key, double cx, double cy, double a, double b, int n) {
        std::string s = key;
        for (int i = 0; i < n; ++i) {
            const double t = 2 * kPi * i / n;
            const double w = 1 + 0.03 * std::sin(12 * t);
            s += ' ';
            s += std::to_string(cx + a * w * std::cos(t));
            s += ' ';
            s += std::to_string(cy + b * w * std::sin(t));
        }
        return s + "\n";
    };
    return ring("cover", 0, 0, 800, 500, 1000) + ring("hole", 250, 80, 200, 150, 1000) + "bar 0 -400 32\n";
}

// The mesh size that gives about 20,000 fibers over the pier's area.
double MeshSize() {
    const double area = kPi * 800 * 500 - kPi * 200 * 150;
    return std::sqrt(area / 20000);
}

void BM_ReadSectionFile(benchmark::State& state) {
    const std::string text = PierFile();
    for (auto _ : state) benchmark::DoNotOptimize(px::geom::ReadSectionFile(text).polygons.size());
}
BENCHMARK(BM_ReadSectionFile)->Unit(benchmark::kMillisecond);

void BM_ReadAndMesh(benchmark::State& state) {
    const std::string text = PierFile();
    px::FiberTable t;
    for (auto _ : state) {
        const px::geom::Shape s = px::geom::ReadSectionFile(text);
        px::MeshCustomSection(s, MeshSize(), t);
        benchmark::DoNotOptimize(t.NFib);
    }
    state.counters["fibers"] = t.NFib;
}
BENCHMARK(BM_ReadAndMesh)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
