// The record commands in the real main window on a full job.
#include "app/ui/MainWindow.h"
#include "base/FileIO.h"
#include "bench/GuiBenchMain.h"
#include "job/JobFile.h"
#include "job/RecordLine.h"
#include "tests/support/ScriptedPrompts.h"

#include <QAction>
#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

// A window showing a job of 15999 records, asking prompts.
std::unique_ptr<MainWindow>
WindowWithFullJob(std::unique_ptr<ScriptedPrompts> scripted = std::make_unique<ScriptedPrompts>()) {
    std::vector<std::string> records;
    for (int i = 0; i < 15999; ++i)
        records.push_back(stadix::MakeRecordLine("P" + std::to_string(i), "C",
                                                 std::to_string(i) + ".5", "2.25", "3"));
    const QString path = BenchFilePath("job.JCD");
    stadix::WriteFileAtomically(path.toStdString(), stadix::JobFileBytes(records));
    scripted->files.push_back(FileChoice{path, 1});
    auto window = std::make_unique<MainWindow>(std::move(scripted));
    window->show();
    window->FileOpen();
    QCoreApplication::processEvents();
    return window;
}

void BM_Update15999(benchmark::State& state) {
    const std::unique_ptr<MainWindow> window = WindowWithFullJob();
    for (auto _ : state) {
        window->Action("Update")->trigger();
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = double(window->Table().CountComplete());
}
BENCHMARK(BM_Update15999)->Unit(benchmark::kMillisecond);

// A PTS or CSV file of 15999 points into the shown table.
void ImportInto(benchmark::State& state, const char* name, int entry) {
    std::string text;
    for (int i = 0; i < 15999; ++i)
        text += "P" + std::to_string(i) + "," + std::to_string(5000 + i) + ".125," +
                std::to_string(1000 + i) + ".5,12.3,CODE\r\n";
    const QString path = BenchFilePath(name);
    stadix::WriteFileAtomically(path.toStdString(), text);
    auto scripted = std::make_unique<ScriptedPrompts>();
    ScriptedPrompts& prompts = *scripted;
    MainWindow window(std::move(scripted));
    window.show();
    for (auto _ : state) {
        // The job imported before is a change: it is not saved.
        prompts.answers.push_back(QMessageBox::Discard);
        prompts.files.push_back(FileChoice{path, entry});
        window.FileImport();
        QCoreApplication::processEvents();
        if (!prompts.files.empty()) {
            state.SkipWithError("the import did not reach its file dialog");
            break;
        }
    }
    state.counters["rows"] = double(window.Table().CountComplete());
}

void BM_ImportPts15999(benchmark::State& state) {
    ImportInto(state, "points.pts", 1);
}
BENCHMARK(BM_ImportPts15999)->Unit(benchmark::kMillisecond);

void BM_ImportCsv15999(benchmark::State& state) {
    ImportInto(state, "points.csv", 2);
}
BENCHMARK(BM_ImportCsv15999)->Unit(benchmark::kMillisecond);

// All 15999 records to a PDF file, through the print command.
void BM_Print15999ToPdf(benchmark::State& state) {
    auto scripted = std::make_unique<ScriptedPrompts>();
    ScriptedPrompts& prompts = *scripted;
    const std::unique_ptr<MainWindow> window = WindowWithFullJob(std::move(scripted));
    for (auto _ : state) {
        prompts.printers.push_back(BenchFilePath("job.pdf"));
        window->Action("Print")->trigger();
    }
}
BENCHMARK(BM_Print15999ToPdf)->Unit(benchmark::kMillisecond);

} // namespace
