// The long commands of the real main window, from the chosen file to the shown result:
// a card import of a job of 3072 records, and an export of 15999 records. Each runs on
// the window thread, so its time is how long the window does not answer.
#include "app/ui/MainWindow.h"
#include "base/FileIO.h"
#include "bench/BenchData.h"
#include "bench/FullJobStore.h"
#include "bench/GuiBenchMain.h"
#include "tests/support/ScriptedPrompts.h"

#include <QAction>
#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

// F7 on the first job of a full job store, taken as dataType says.
void BM_CardImportJob3072(benchmark::State& state, stadix::ImportDataType dataType) {
    const QString path = QString::fromStdString(bench::FullJobStoreFile());
    auto scripted = std::make_unique<ScriptedPrompts>();
    ScriptedPrompts& prompts = *scripted;
    MainWindow window(std::move(scripted));
    window.SetCardVolumes({});
    window.show();
    stadix::ImportChoices choices;
    choices.dataType = dataType;
    for (auto _ : state) {
        // Search elsewhere for the card; then, when the last import changed the job,
        // do not save it.
        prompts.answers = {QMessageBox::Yes, QMessageBox::Discard};
        prompts.files.push_back(FileChoice{path, 1});
        prompts.jobItems.push_back(1);
        prompts.importOptions.push_back(choices);
        window.ImportCardData();
        QCoreApplication::processEvents();
        if (!prompts.files.empty()) {
            state.SkipWithError("the import did not reach its file dialog");
            break;
        }
    }
    state.counters["lines"] = double(window.CurrentJob().lines.size());
}
BENCHMARK_CAPTURE(BM_CardImportJob3072, Coordinates, stadix::ImportDataType::MeasuredCoordinates)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CardImportJob3072, RawData, stadix::ImportDataType::RawData)
    ->Unit(benchmark::kMillisecond);

// File > Export of an open job of 15999 records as PTS: gathered, written, reported.
void BM_ExportJob15999(benchmark::State& state) {
    const QString job = BenchFilePath("export.JCD");
    stadix::WriteFileAtomically(job.toStdString(), stadix::JoinLinesCrLf(bench::JobLines(15999)));
    auto scripted = std::make_unique<ScriptedPrompts>();
    ScriptedPrompts& prompts = *scripted;
    MainWindow window(std::move(scripted));
    window.show();
    prompts.files.push_back(FileChoice{job, 1});
    window.FileOpen();
    const QString output = BenchFilePath("export.pts");
    for (auto _ : state) {
        prompts.files.push_back(FileChoice{output, 1});
        window.FileExport();
        QCoreApplication::processEvents();
    }
    state.counters["bytes"] = double(stadix::ReadFileBytes(output.toStdString()).size());
}
BENCHMARK(BM_ExportJob15999)->Unit(benchmark::kMillisecond);

} // namespace
