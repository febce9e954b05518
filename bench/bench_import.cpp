// Speed of the CSV force import: the conversion of 100,000 load combinations
// alone, and the whole "Import Force Data(CSV File)" command of the window
// (reading, converting, filling the grids), which is how long the window
// does not react; and "Save File As" of a project holding those forces
// (12.8 MB).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <string>

#include "app/ui/tform1.h"
#include "project/ui/project_controller.h"
#include "loads/csv_import.h"
#include "support/force_file.h"
#include "support/scripted_platform.h"

namespace {

using px::fixtures::ForceFile;

void BM_ImportText(benchmark::State& state) {
    const std::string text = ForceFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        px::ForceImport r = px::ImportForcesFromText(text, 5, 10, 9);
        benchmark::DoNotOptimize(r.Table.Count);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ImportText)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ImportCommand(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath("forces.csv");
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        const std::string text = ForceFile(static_cast<int>(state.range(0)));
        f.write(text.data(), static_cast<qint64>(text.size()));
    }
    px::ScriptedPlatform platform;
    px::TForm1 form(&platform, false);
    for (auto _ : state) {
        platform.openAnswers.push_back(path);
        form.Button4Click();
    }
    if (!platform.errors.isEmpty()) state.SkipWithError("import failed");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ImportCommand)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_SaveProject(benchmark::State& state) {
    QTemporaryDir dir;
    const QString forces = dir.filePath("forces.csv");
    {
        QFile f(forces);
        f.open(QIODevice::WriteOnly);
        const std::string text = ForceFile(static_cast<int>(state.range(0)));
        f.write(text.data(), static_cast<qint64>(text.size()));
    }
    px::ScriptedPlatform platform;
    px::TForm1 form(&platform, false);
    platform.openAnswers.push_back(forces);
    form.Button4Click();
    const QString path = dir.filePath("column.pxc");
    for (auto _ : state) {
        platform.saveAnswers.push_back(path);
        form.project().saveAs();
    }
    if (!platform.errors.isEmpty()) state.SkipWithError("save failed");
    state.counters["MB"] = static_cast<double>(QFile(path).size()) / 1e6;
}
BENCHMARK(BM_SaveProject)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
