// Speed of a drawn section: reading a section file of 2,000 points (an
// outline of 1,000 points with an opening of 1,000) and meshing it into about
// 20,000 fibers, as "Load Section File..." and the mesh do (target: under
// 100 ms together); and sections of many pieces, where checks and unions
// taken pair by pair would grow with the square of the count: 8,000
// separate squares, 8,000 squares tiled edge to edge, and one plate with
// 8,000 openings (target: reading and meshing each under 2 s).
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

// Squares of side 10 in rows of 90: `gap` apart (0: tiled, sharing edges),
// with a bar of 4 mm in the middle of each when `bars`.
std::string Squares(int n, double gap, bool bars) {
    std::string s;
    const double step = 10 + gap;
    for (int i = 0; i < n; ++i) {
        const double x = (i % 90) * step, y = (i / 90) * step;
        s += "cover " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(x + 10) + " " +
             std::to_string(y) + " " + std::to_string(x + 10) + " " + std::to_string(y + 10) + " " +
             std::to_string(x) + " " + std::to_string(y + 10) + "\n";
        if (bars) s += "bar " + std::to_string(x + 5) + " " + std::to_string(y + 5) + " 4\n";
    }
    return s;
}

// A plate with n square openings of side 6 on a 10 mm pitch, 90 a row.
std::string Openings(int n) {
    const int rows = (n + 89) / 90;
    std::string s = "steel 0 0 900 0 900 " + std::to_string(rows * 10) + " 0 " + std::to_string(rows * 10) + "\n";
    for (int i = 0; i < n; ++i) {
        const double x = (i % 90) * 10 + 2, y = (i / 90) * 10 + 2;
        s += "hole " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(x + 6) + " " +
             std::to_string(y) + " " + std::to_string(x + 6) + " " + std::to_string(y + 6) + " " +
             std::to_string(x) + " " + std::to_string(y + 6) + "\n";
    }
    return s;
}

std::string ManyPieces(int which) {
    switch (which) {
        case 0: return Squares(8000, 2, true);
        case 1: return Squares(8000, 0, false);
        default: return Openings(8000);
    }
}
const char* kPieces[] = {"8000 separate squares, a bar in each", "8000 tiled squares", "8000 openings"};

void BM_ReadManyPieces(benchmark::State& state) {
    const std::string text = ManyPieces(static_cast<int>(state.range(0)));
    state.SetLabel(kPieces[state.range(0)]);
    for (auto _ : state) benchmark::DoNotOptimize(px::geom::ReadSectionFile(text).polygons.size());
}
BENCHMARK(BM_ReadManyPieces)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(1);

// Meshed at the default size, and at a size giving about 100,000 cells.
void BM_MeshManyPieces(benchmark::State& state) {
    const std::string text = ManyPieces(static_cast<int>(state.range(0)));
    state.SetLabel(kPieces[state.range(0)]);
    const px::geom::Shape s = px::geom::ReadSectionFile(text);
    const px::GrossSection g = px::ComputeGrossSection(s);
    const double fine = std::sqrt((g.MaxX - g.MinX) * (g.MaxY - g.MinY) / 100000);
    const double h = state.range(1) ? fine : px::DefaultMeshSize(s);
    px::FiberTable t;
    for (auto _ : state) {
        px::MeshCustomSection(s, h, t);
        benchmark::DoNotOptimize(t.NFib);
    }
    state.counters["fibers"] = t.NFib;
}
BENCHMARK(BM_MeshManyPieces)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
