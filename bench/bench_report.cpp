// Speed of the "Analysis Report" command: the default column with 240 load
// combinations imported and checked, from the menu item to the closed PDF
// (computing the section and curves, laying out and painting every page).
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <string>

#include "analysis/mm_solver.h"
#include "app/ui/tform1.h"
#include "check/capacity_check.h"
#include "support/scripted_platform.h"

namespace {

// 240 combinations of a building's column: compression from 2,000 to
// 120,000 kN with moments of both signs.
std::string ForceFile() {
    std::string text = "Story,Col,Load,Loc,P,V2,V3,T,M2,M3\r\n";
    for (int i = 0; i < 240; ++i)
        text += "Story" + std::to_string(i / 12) + ",C7,COMB" + std::to_string(i % 12) + ",0,-" +
                std::to_string(2000 + 490 * i) + ",10,-4,0," + std::to_string((i * 37) % 9000 - 4500) + "," +
                std::to_string((i * 53) % 14000 - 7000) + "\r\n";
    return text;
}

void BM_ReportCommand(benchmark::State& state) {
    QTemporaryDir dir;
    const QString csv = dir.filePath("forces.csv");
    {
        QFile f(csv);
        f.open(QIODevice::WriteOnly);
        const std::string text = ForceFile();
        f.write(text.data(), static_cast<qint64>(text.size()));
    }
    px::ScriptedPlatform platform;
    px::TForm1 form(&platform);
    platform.openAnswers.push_back(csv);
    form.Button4Click();

    // The check of every combination, as the check command runs it.
    px::Workspace& ws = form.workspace();
    const px::SectionRequest section{&ws.Fibers, ws.Input.B, ws.Input.H, px::ReadMmSettings(form.fields()),
                                     ws.PMax, ws.PMin};
    const px::CheckRequest req{section, &ws.Loads, ws.ForceFactorP, ws.ForceFactorMx, ws.ForceFactorMy};
    ws.Check = px::RunCapacityCheck(req);
    ws.CheckStale = false;

    const QString pdf = dir.filePath("c7.pdf");
    QAction* item = form.findChild<QAction*>("AnalysisReport1");
    for (auto _ : state) {
        platform.saveAnswers.push_back(pdf);
        item->trigger();
    }
    if (!platform.errors.isEmpty() || !QFile::exists(pdf)) state.SkipWithError("report failed");
    state.counters["combinations"] = ws.Loads.Count;
}
BENCHMARK(BM_ReportCommand)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setFont(QFont("Arial", 8));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
