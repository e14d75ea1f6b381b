// An acknowledged GTS send of 3000 records through the real GTS/SSS dialog and port
// component, to the simulated instrument on a pseudo-terminal answering every block at
// once: the whole send, and the longest time the line stands idle between the
// instrument's ACK and the next block (the protocol itself waits nowhere here).
#include "SimulatedTextInstrument.h"
#include "job/RecordLine.h"
#include "tests/support/ScriptedPrompts.h"
#include "transfer/ui/TextTransferDialog.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using stadix::test::Pty;
using stadix::test::SimulatedTextInstrument;
using stadix::test::TextAnswer;

constexpr int kRecords = 3000;

std::vector<std::string> Records() {
    std::vector<std::string> records;
    for (int i = 1; i <= kRecords; ++i) {
        const std::string n = std::to_string(100000 + i) + ".125";
        const std::string e = std::to_string(200000 - i) + ".500";
        records.push_back(stadix::MakeRecordLine("P" + std::to_string(i), "", n, e, "12.345"));
    }
    return records;
}

// The instrument's side: every text answered with ACK at once; the time from each
// ACK to the next text, in milliseconds.
std::vector<double> ReceiveWithAcks(SimulatedTextInstrument& instrument, std::size_t& units) {
    std::vector<double> gapsMs;
    units = 0;
    for (;;) {
        const auto answered = Clock::now();
        const std::string unit = instrument.ReceiveUnit();
        if (unit.empty())
            return gapsMs;
        if (units++ > 0)
            gapsMs.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - answered).count());
        if (unit == SimulatedTextInstrument::GtsEndText())
            return gapsMs;
        instrument.Answer(TextAnswer::Ack);
    }
}

void BM_AcknowledgedGtsSend(benchmark::State& state) {
    const std::vector<std::string> records = Records();
    const std::size_t expectedUnits = 2 + (records.size() * 57 + 127) / 128 + 1;
    std::vector<double> gapsMs;
    for (auto _ : state) {
        Pty pty;
        SimulatedTextInstrument instrument(pty);
        std::size_t units = 0;
        std::thread station([&] { gapsMs = ReceiveWithAcks(instrument, units); });

        stadix::TransferSettings settings;
        settings.port.portName = pty.DevicePath();
        settings.dataFormat = stadix::DataFormat::Gts;
        stadix::Job job;
        job.lines = records;
        ScriptedPrompts prompts;
        const auto start = Clock::now();
        TextTransferDialog window(job, settings, true, prompts);
        window.exec();
        station.join();
        const std::chrono::duration<double> elapsed = Clock::now() - start;
        state.SetIterationTime(elapsed.count());
        if (units != expectedUnits) {
            state.SkipWithError("the send did not arrive whole");
            return;
        }
    }
    std::sort(gapsMs.begin(), gapsMs.end());
    state.counters["blocks"] = static_cast<double>(expectedUnits - 3);
    state.counters["median_gap_ms"] = gapsMs[gapsMs.size() / 2];
    state.counters["max_gap_ms"] = gapsMs.back();
}
BENCHMARK(BM_AcknowledgedGtsSend)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
