// The KVR transfer on a pseudo-terminal against the simulated instrument: how fast a
// block is answered, how close a paced reception comes to the time its bytes need on
// the line, and what the line log adds to it. Runs the real port component and
// session; no windows.
#include "SimulatedInstrument.h"
#include "bench/GuiBenchMain.h"
#include "comport/LineLog.h"
#include "transfer/qt/KvrSession.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using stadix::test::Pty;
using stadix::test::SimulatedInstrument;

class QuietView : public stadix::KvrSessionView {
  public:
    void SetStatusText(const std::string&) override {}
    void SetCounterText(const std::string&) override {}
    void ShowWarning(const std::string&) override {}
    void CloseDialog() override {}
};

// A receiving session on its own thread and event loop, as the dialog runs one; with
// a line log when a file is named.
class ReceivingSession {
  public:
    explicit ReceivingSession(const std::string& device, const std::string& lineLog = "") {
        thread_.reset(QThread::create([this, device, lineLog] {
            QuietView view;
            stadix::Job job;
            stadix::TransferSettings settings;
            settings.port.portName = device;
            settings.lineLogFile = lineLog;
            stadix::KvrSession session(job, settings, false, view);
            session.Open();
            opened_ = session.Port().Connected();
            ready_ = true;
            QEventLoop loop;
            loop.exec();
        }));
        thread_->start();
        while (!ready_)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        // Let the opening clear of the queues pass before the instrument speaks.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ~ReceivingSession() {
        thread_->quit();
        thread_->wait();
    }
    bool Opened() const { return opened_; }

  private:
    std::unique_ptr<QThread> thread_;
    std::atomic<bool> ready_{false};
    std::atomic<bool> opened_{false};
};

std::string CoordinateBlock(int index) {
    std::string block(32, '\0');
    block[0] = 0x1A;
    block[1] = static_cast<char>(0x30 + index % 10);
    std::fill(block.begin() + 2, block.begin() + 16, '\xFF');
    block[20] = static_cast<char>(index % 100);
    return block;
}

std::string Byte(std::uint8_t value) {
    return std::string(1, static_cast<char>(value));
}

// From the block's last byte leaving the instrument to the answer arriving there.
void BM_BlockAnswer(benchmark::State& state) {
    Pty pty;
    ReceivingSession session(pty.DevicePath());
    if (!session.Opened()) {
        state.SkipWithError("the port did not open");
        return;
    }
    std::vector<double> answerMs;
    int index = 0;
    for (auto _ : state) {
        const std::string block = CoordinateBlock(index++);
        std::uint8_t sum = 0;
        for (const char byte : block)
            sum = static_cast<std::uint8_t>(sum + static_cast<std::uint8_t>(byte));
        // Every fourth block carries a wrong checksum and is answered by a reject.
        if (index % 4 == 0)
            ++sum;
        pty.Write(Byte(0xAA));
        if (pty.Read(1) != Byte(0xBB)) {
            state.SkipWithError("no go-ahead");
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        pty.Write(block + Byte(sum));
        const auto sent = Clock::now();
        if (pty.Read(1).size() != 1) {
            state.SkipWithError("no answer");
            return;
        }
        const std::chrono::duration<double> elapsed = Clock::now() - sent;
        state.SetIterationTime(elapsed.count());
        answerMs.push_back(elapsed.count() * 1000);
    }
    std::sort(answerMs.begin(), answerMs.end());
    state.counters["median_ms"] = answerMs[answerMs.size() / 2];
    state.counters["max_ms"] = answerMs.back();
}
BENCHMARK(BM_BlockAnswer)->UseManualTime()->Iterations(400)->Unit(benchmark::kMicrosecond);

constexpr int kPacedRecords = 500;
constexpr int kPacedBaud = 9600;
// Type, go-ahead, block, checksum and answer of one exchange.
constexpr double kBytesPerRecord = 36;

// Seconds for kPacedRecords coordinate records from an instrument paced at 9600 baud;
// negative when a record was not accepted or the port did not open.
double PacedReceptionSeconds(const std::string& lineLog) {
    Pty pty;
    ReceivingSession session(pty.DevicePath(), lineLog);
    if (!session.Opened())
        return -1;
    SimulatedInstrument instrument(pty);
    instrument.SetBaudRate(kPacedBaud);
    const auto start = Clock::now();
    for (int i = 0; i < kPacedRecords; ++i) {
        if (instrument.Offer(0xAA, CoordinateBlock(i)) != std::string("\xBB\x00", 2))
            return -1;
    }
    const std::chrono::duration<double> elapsed = Clock::now() - start;
    return elapsed.count();
}

// 500 coordinate records paced at 9600 baud, against the time the 36 bytes of each
// exchange need on the line; with a line log when the argument is 1.
void BM_PacedReception(benchmark::State& state) {
    const bool logged = state.range(0) == 1;
    const std::string lineLog =
        logged ? BenchFilePath(QStringLiteral("paced.log")).toStdString() : std::string();
    const double lineSeconds = kPacedRecords * kBytesPerRecord * 10 / kPacedBaud;
    double ratio = 0;
    for (auto _ : state) {
        const double seconds = PacedReceptionSeconds(lineLog);
        if (seconds < 0) {
            state.SkipWithError("the reception failed");
            return;
        }
        state.SetIterationTime(seconds);
        ratio = seconds / lineSeconds;
    }
    state.counters["line_ms"] = lineSeconds * 1000;
    state.counters["ratio"] = ratio;
}
BENCHMARK(BM_PacedReception)
    ->ArgName("log")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// What the line log costs the line's own thread for a burst of a KVR exchange (a
// 33-byte block with its checksum), and that cost for a whole 9600-baud reception as a
// share of its time on the line, at four bursts per record.
void BM_LineLogBurst(benchmark::State& state) {
    constexpr double kBurstsPerRecord = 4;
    stadix::LineLog log(BenchFilePath(QStringLiteral("bursts.log")).toStdString(),
                        stadix::LineLog::Clock::now());
    const std::string burst = CoordinateBlock(7) + '\x5A';
    const auto start = Clock::now();
    for (auto _ : state)
        log.Record(stadix::LineDirection::FromInstrument, burst);
    const std::chrono::duration<double> elapsed = Clock::now() - start;
    const double burstSeconds = elapsed.count() / static_cast<double>(state.iterations());
    const double recordLineSeconds = kBytesPerRecord * 10 / kPacedBaud;
    state.counters["share_pct"] = kBurstsPerRecord * burstSeconds / recordLineSeconds * 100;
}
BENCHMARK(BM_LineLogBurst);

} // namespace
