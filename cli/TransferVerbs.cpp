// stadix-cli receive, send and ports: the serial transfers of the window, headless,
// on the KVR dialog's own transfer session.
#include "cli/Verbs.h"

#include "app/Errors.h"
#include "app/FileIO.h"
#include "app/JobFile.h"
#include "app/RecordTable.h"
#include "app/String_func.h"
#include "comport/SettingsPath.h"
#include "rawconv/Kvrrawconv.h"
#include "rawconv/MeasurementFile.h"
#include "transfer/KvrSession.h"
#include "transfer/SettingsFile.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <cmath>
#include <csignal>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <unistd.h>

namespace cli {

namespace {

const std::set<std::string> kTransferOptions = {"--port", "--format", "--baud",     "--char",
                                                "--stop", "--unit",   "--protocol", "--idle"};

const std::map<std::string, stadix::BaudRate> kBaudRates = {
    {"600", stadix::BaudRate::Br600},     {"1200", stadix::BaudRate::Br1200},
    {"2400", stadix::BaudRate::Br2400},   {"4800", stadix::BaudRate::Br4800},
    {"9600", stadix::BaudRate::Br9600},   {"19200", stadix::BaudRate::Br19200},
    {"38400", stadix::BaudRate::Br38400},
};
const std::map<std::string, int> kUnits = {{"m", 0}, {"intl-ft", 1}, {"us-ft", 2}};
const char* const kFormats[] = {"kvr", "gts", "sss"};
constexpr std::size_t kMinRawRecordsToSend = 4;

// What a transfer runs with: the port, the coordinate unit and the idle limit.
struct TransferSetup {
    stadix::PortSettings port;
    int coordUnit = 0;
    int idleMs = 0; // 0: no limit
};

std::string SettingsPathOf(const Arguments& args) {
    return args.Has("--settings") ? args.Value("--settings")
                                  : stadix::SettingsFilePath().toStdString();
}

// The format of the transfer: the option, else the settings file's choice.
std::string TransferFormat(const Arguments& args, const std::string& settingsPath) {
    if (args.Has("--format"))
        return args.Value("--format");
    const int digit =
        stadix::ReadSettingDigit(settingsPath, stadix::kDataFormatSection, stadix::kDataFormatKey);
    return kFormats[digit < 3 ? digit : 0];
}

void RequireKvrFormat(const Arguments& args, const std::string& settingsPath) {
    const std::string format = TransferFormat(args, settingsPath);
    if (format == "gts" || format == "sss")
        throw Failure(kUsage, "--format " + format +
                                  " is not available yet in stadix-cli; use --format kvr");
    if (format != "kvr")
        throw Failure(kUsage, "unknown format " + format);
    if (args.Has("--protocol"))
        throw Failure(kUsage, "--protocol applies to --format gts only");
}

// KVR always runs with 8 data bits, no parity and one stop bit.
void ApplyLineOptions(const Arguments& args, stadix::PortSettings& port) {
    const std::string character = args.Value("--char", "8N");
    if (character != "8N" && character != "7E" && character != "7O")
        throw Failure(kUsage, "unknown character format " + character);
    if (character != "8N")
        throw Failure(kUsage, "--format kvr transfers with --char 8N");
    const std::string stop = args.Value("--stop", "1");
    if (stop != "1" && stop != "2")
        throw Failure(kUsage, "unknown stop bits " + stop);
    if (stop != "1")
        throw Failure(kUsage, "--format kvr transfers with --stop 1");
    port.dataBits = 8;
    port.parity = stadix::Parity::None;
    port.stopBits = stadix::StopBits::One;
    if (!args.Has("--baud"))
        return;
    const auto rate = kBaudRates.find(args.Value("--baud"));
    if (rate == kBaudRates.end())
        throw Failure(kUsage, "unknown baud rate " + args.Value("--baud"));
    port.baudRate = rate->second;
}

int IdleMilliseconds(const Arguments& args) {
    if (!args.Has("--idle"))
        return 0;
    double seconds = 0;
    try {
        seconds = stadix::ParseStrictNumber(args.Value("--idle"));
    } catch (const stadix::ConversionError&) {
        seconds = -1;
    }
    if (!(seconds > 0) || seconds > 86400)
        throw Failure(kUsage, "--idle needs a number of seconds above 0");
    return std::max(1, static_cast<int>(std::lround(seconds * 1000)));
}

TransferSetup ReadTransferSetup(const Arguments& args) {
    const std::string settingsPath = SettingsPathOf(args);
    RequireKvrFormat(args, settingsPath);
    if (!args.Has("--port"))
        throw Failure(kUsage, "missing option --port");
    TransferSetup setup;
    stadix::LoadPortSettings(settingsPath, stadix::kPortSection, setup.port);
    setup.port.portName = args.Value("--port");
    ApplyLineOptions(args, setup.port);
    const int storedUnit =
        stadix::ReadSettingDigit(settingsPath, stadix::kCoordUnitSection, stadix::kCoordUnitKey);
    setup.coordUnit = storedUnit < 3 ? storedUnit : 0;
    if (args.Has("--unit")) {
        const auto unit = kUnits.find(args.Value("--unit"));
        if (unit == kUnits.end())
            throw Failure(kUsage, "unknown unit " + args.Value("--unit"));
        setup.coordUnit = unit->second;
    }
    setup.idleMs = IdleMilliseconds(args);
    return setup;
}

// Ctrl+C reaches the event loop through a pipe, where it acts as the dialog's Cancel.
class InterruptWatch {
  public:
    explicit InterruptWatch(std::function<void()> onInterrupt) {
        if (::pipe(pipe_) != 0)
            return;
        writeEnd_ = pipe_[1];
        notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                         [this, onInterrupt] {
                             char byte = 0;
                             if (::read(pipe_[0], &byte, 1) == 1)
                                 onInterrupt();
                         });
        std::signal(SIGINT, &InterruptWatch::OnSignal);
    }
    ~InterruptWatch() {
        std::signal(SIGINT, SIG_DFL);
        notifier_.reset();
        writeEnd_ = -1;
        for (const int fd : pipe_) {
            if (fd >= 0)
                ::close(fd);
        }
    }
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

  private:
    static void OnSignal(int) {
        const char byte = 1;
        if (writeEnd_ >= 0) {
            [[maybe_unused]] const ssize_t written = ::write(writeEnd_, &byte, 1);
        }
    }

    static inline volatile std::sig_atomic_t writeEnd_ = -1;
    int pipe_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
};

// Runs one KVR transfer on the session's event loop and tells how it ended. Progress
// goes to standard error; the transfer stops at the end byte without the dialog's
// closing pause, at once on a line error, and as Cancel does on Ctrl+C or when the
// line stays silent for the idle limit.
class TransferRun : private stadix::KvrSessionView {
  public:
    TransferRun(const stadix::KvrDocument& document, const TransferSetup& setup)
        : session_(document, *this), idleMs_(setup.idleMs) {
        try {
            session_.ComPort1().SetSettings(setup.port);
        } catch (const stadix::EComPort& failure) {
            throw Failure(kTransferFailed, failure.what());
        }
        idle_.setSingleShot(true);
        QObject::connect(&idle_, &QTimer::timeout, &idle_, [this] { Stop(idleExpired_); });
        QObject::connect(&session_.ComPort1(), &stadix::TComPort::OnRxChar, &idle_,
                         [this] { RestartIdleLimit(); });
    }

    void Run() {
        InterruptWatch watch([this] { Stop(interrupted_); });
        session_.Open();
        RestartIdleLimit();
        if (!finished_)
            QCoreApplication::exec();
    }

    const stadix::KvrSession& Session() const { return session_; }
    bool Ended() const { return session_.Ended(); }
    bool Interrupted() const { return interrupted_; }
    bool IdleExpired() const { return idleExpired_; }

  private:
    void RestartIdleLimit() {
        if (idleMs_ > 0)
            idle_.start(idleMs_);
    }

    void Stop(bool& reason) {
        reason = true;
        session_.Cancel();
    }

    void Finish() {
        finished_ = true;
        idle_.stop();
        QCoreApplication::quit();
    }

    void SetStatusText(const std::string& text) override { Report(text); }
    void SetCounterText(const std::string& text) override { Report("Transferred:" + text); }
    void ShowWarning(const std::string& text) override { Report(text); }
    void CloseDialog() override { Finish(); }
    void TransferEnded() override { Finish(); }
    void TransferFailed() override { Finish(); }

    stadix::KvrSession session_;
    QTimer idle_;
    int idleMs_;
    bool finished_ = false;
    bool interrupted_ = false;
    bool idleExpired_ = false;
};

QCoreApplication& Application() {
    static int argc = 1;
    static char name[] = "stadix-cli";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
    return application;
}

// The job as Receive leaves it in the coordinate view and Save As gathers it.
std::vector<std::string> GatheredRecords(const std::vector<std::string>& lines) {
    stadix::RecordTable table;
    stadix::FillTable(table, lines);
    std::vector<std::string> records;
    stadix::GatherRecords(table, records);
    return records;
}

// What Save As writes of the received document, and the line that names it.
std::pair<std::string, std::string> ReceivedFile(const std::vector<std::string>& lines,
                                                 const std::string& raw, bool coordView,
                                                 bool rawLoaded) {
    if (coordView) {
        const std::vector<std::string> records = GatheredRecords(lines);
        return {stadix::JobFileBytes(records),
                "coordinates: " + std::to_string(records.size()) + " records"};
    }
    if (rawLoaded)
        return {raw, "raw records: " + std::to_string(raw.size() / stadix::kRawRecordSize)};
    return {stadix::JoinLinesCrLf(lines), "text: " + std::to_string(lines.size()) + " lines"};
}

// The records of INPUT as Send offers them: the gathered job, or the raw records.
void LoadSendInput(const std::string& input, std::vector<std::string>& lines, std::string& raw,
                   bool& coordView) {
    coordView = HasExtension(input, ".JCD");
    if (!coordView && !HasExtension(input, ".TSM"))
        throw Failure(kBadInput,
                      "Not a coordinate job file (.JCD) or measurement file (.TSM): " + input);
    try {
        if (coordView) {
            const stadix::JobLoad load = stadix::LoadJobFile(input);
            lines = GatheredRecords(load.lines);
            if (lines.empty())
                throw Failure(kBadInput, "Nothing to send");
            return;
        }
        raw = stadix::ReadFileBytes(input);
    } catch (const stadix::FileError& failure) {
        throw Failure(kBadInput, failure.what());
    } catch (const stadix::ConversionError& failure) {
        throw Failure(kBadInput, failure.what());
    }
    const std::string problem = stadix::CheckMeasurementFile(raw);
    if (!problem.empty())
        throw Failure(kBadInput, problem);
    if (raw.size() / stadix::kRawRecordSize < kMinRawRecordsToSend)
        throw Failure(kBadInput, "Nothing to send");
}

} // namespace

const char* const kReceiveUsage =
    "stadix-cli receive --port DEVICE [--format kvr] [--baud RATE] [--char 8N] [--stop 1]\n"
    "                   [--unit m|intl-ft|us-ft] [--idle SECONDS] OUTPUT\n"
    "  Receives from the instrument and writes a job file (coordinates), a measurement\n"
    "  file (raw records) or text. Ends at the instrument's end byte, on Ctrl+C, or after\n"
    "  --idle SECONDS without a byte. RATE: 600 1200 2400 4800 9600 19200 38400.\n";

const char* const kSendUsage =
    "stadix-cli send --port DEVICE [--format kvr] [--baud RATE] [--char 8N] [--stop 1]\n"
    "                [--unit m|intl-ft|us-ft] [--idle SECONDS] INPUT\n"
    "  Sends a coordinate job file (.JCD) or a measurement file of raw records (.TSM).\n";

const char* const kPortsUsage = "stadix-cli ports\n"
                                "  Lists the serial ports of the machine, sorted.\n";

int RunReceive(const std::vector<std::string>& words) {
    const Arguments args = ParseArguments(words, kTransferOptions);
    RequirePositionals(args, {"OUTPUT"});
    Application();
    const TransferSetup setup = ReadTransferSetup(args);

    bool coordView = true;
    bool rawLoaded = false;
    std::vector<std::string> lines;
    std::string raw;
    TransferRun run({false, coordView, rawLoaded, setup.coordUnit, lines, raw}, setup);
    run.Run();
    if (run.Session().OpenFailed())
        return kTransferFailed;
    if (run.Session().TransferredCount() == 0) {
        Report("Nothing received");
        return kTransferFailed;
    }
    std::pair<std::string, std::string> file;
    try {
        file = ReceivedFile(lines, raw, coordView, rawLoaded);
    } catch (const stadix::ConversionError& failure) {
        throw Failure(kBadInput, failure.what());
    }
    WriteOutput(args.positionals[0], file.first);
    Report(file.second);
    return run.Session().LineFailed() ? kTransferFailed : kDone;
}

int RunSend(const std::vector<std::string>& words) {
    const Arguments args = ParseArguments(words, kTransferOptions);
    RequirePositionals(args, {"INPUT"});
    Application();
    const TransferSetup setup = ReadTransferSetup(args);

    bool coordView = true;
    bool rawLoaded = false;
    std::vector<std::string> lines;
    std::string raw;
    LoadSendInput(args.positionals[0], lines, raw, coordView);
    rawLoaded = !coordView;
    TransferRun run({true, coordView, rawLoaded, setup.coordUnit, lines, raw}, setup);
    run.Run();
    if (!run.Ended()) {
        if (run.IdleExpired())
            Report("No answer from the instrument");
        return kTransferFailed;
    }
    return kDone;
}

int RunPorts(const std::vector<std::string>& words) {
    const Arguments args = ParseArguments(words, {});
    RequirePositionals(args, {});
    Application();
    for (const QString& name : stadix::TComPort::EnumComPorts())
        std::cout << name.toStdString() << "\n";
    std::cout.flush();
    return kDone;
}

} // namespace cli
