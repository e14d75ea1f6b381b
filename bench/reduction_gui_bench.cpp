// Tools > Compute Coordinates in the real main window, on a measurement file of about
// 50,000 records: from the command to the computed job's table and the report shown.
#include "app/ui/MainWindow.h"
#include "base/FileIO.h"
#include "bench/BenchData.h"
#include "bench/GuiBenchMain.h"
#include "tests/support/ScriptedPrompts.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

// 500 setups of 100 shots: 51,002 records.
void BM_ComputeCoordinates50000(benchmark::State& state) {
    const QString path = BenchFilePath("traverse.TSM");
    stadix::WriteFileAtomically(path.toStdString(), bench::TraverseStore(500, 100));
    auto scripted = std::make_unique<ScriptedPrompts>();
    ScriptedPrompts& prompts = *scripted;
    MainWindow window(std::move(scripted));
    window.show();
    for (auto _ : state) {
        state.PauseTiming();
        // Back to the measurements, the computed job not saved.
        prompts.answers = {QMessageBox::Discard};
        prompts.files.push_back(FileChoice{path, 2});
        window.FileOpen();
        QCoreApplication::processEvents();
        if (window.CurrentJob().InCoordinateView()) {
            state.SkipWithError("the measurement file was not opened");
            break;
        }
        state.ResumeTiming();
        prompts.reductionOptions.push_back(stadix::ReductionOptions());
        window.ComputeCoordinates();
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = double(window.CurrentJob().lines.size());
}
BENCHMARK(BM_ComputeCoordinates50000)->Unit(benchmark::kMillisecond);

} // namespace
