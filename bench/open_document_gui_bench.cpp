// Opening documents in the real main window, up to the shown table or listing.
#include "app/ui/MainWindow.h"
#include "base/FileIO.h"
#include "bench/GuiBenchMain.h"
#include "job/RecordLine.h"
#include "tests/support/ScriptedPrompts.h"

#include "app/ui/TextLinesView.h"
#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

QString WriteJob(int lines) {
    std::vector<std::string> records;
    for (int i = 0; i < lines; ++i)
        records.push_back(stadix::MakeRecordLine("P" + std::to_string(i), "C",
                                                 std::to_string(i) + ".5", "2.25", "3"));
    const QString path = BenchFilePath("job.JCD");
    stadix::WriteFileAtomically(path.toStdString(), stadix::JoinLinesCrLf(records));
    return path;
}

// An INST record followed by PT records, in the instrument's default byte order.
QString WriteMeasurements(int records) {
    std::string bytes(42, '\0');
    bytes[0] = char(0x81);
    for (int i = 1; i < records; ++i) {
        std::string pt(42, '\0');
        pt[0] = 4;
        const std::string name = "P" + std::to_string(i % 1000);
        pt.replace(1, name.size(), name);
        bytes += pt;
    }
    const QString path = BenchFilePath("meas.TSM");
    stadix::WriteFileAtomically(path.toStdString(), bytes);
    return path;
}

void OpenIn(MainWindow& window, ScriptedPrompts& prompts, const QString& path, int type) {
    prompts.files.push_back(FileChoice{path, type});
    window.FileOpen();
    QCoreApplication::processEvents();
}

void BM_OpenJob15999(benchmark::State& state) {
    const QString path = WriteJob(15999);
    auto scripted = std::make_unique<ScriptedPrompts>();
    ScriptedPrompts& prompts = *scripted;
    MainWindow window(std::move(scripted));
    window.show();
    for (auto _ : state)
        OpenIn(window, prompts, path, 1);
    state.counters["rows"] = double(window.Table().CountComplete());
}
BENCHMARK(BM_OpenJob15999)->Unit(benchmark::kMillisecond);

void BM_OpenTsm3072(benchmark::State& state) {
    const QString path = WriteMeasurements(3072);
    auto scripted = std::make_unique<ScriptedPrompts>();
    ScriptedPrompts& prompts = *scripted;
    MainWindow window(std::move(scripted));
    window.show();
    for (auto _ : state)
        OpenIn(window, prompts, path, 2);
    state.counters["lines"] = double(window.CurrentJob().lines.size());
}
BENCHMARK(BM_OpenTsm3072)->Unit(benchmark::kMillisecond);

void BM_OpenTsm100000Lines(benchmark::State& state) {
    const QString path = WriteMeasurements(100000);
    auto scripted = std::make_unique<ScriptedPrompts>();
    ScriptedPrompts& prompts = *scripted;
    MainWindow window(std::move(scripted));
    window.show();
    for (auto _ : state) {
        OpenIn(window, prompts, path, 2);
        // Scroll to the end, as a user looking at the last records would.
        window.measurementText->scrollToBottom();
        QCoreApplication::processEvents();
    }
    state.counters["lines"] = double(window.CurrentJob().lines.size());
}
BENCHMARK(BM_OpenTsm100000Lines)->Unit(benchmark::kMillisecond);

} // namespace
