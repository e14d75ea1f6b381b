#include "cli/TransferSupport.h"

#include "app/Errors.h"
#include "app/FileIO.h"
#include "app/JobFile.h"
#include "app/String_func.h"
#include "comport/SettingsPath.h"
#include "rawconv/Kvrrawconv.h"
#include "rawconv/MeasurementFile.h"
#include "transfer/SettingsFile.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <map>
#include <unistd.h>

namespace cli {

namespace {

const std::map<std::string, stadix::BaudRate> kBaudRates = {
    {"600", stadix::BaudRate::Br600},     {"1200", stadix::BaudRate::Br1200},
    {"2400", stadix::BaudRate::Br2400},   {"4800", stadix::BaudRate::Br4800},
    {"9600", stadix::BaudRate::Br9600},   {"19200", stadix::BaudRate::Br19200},
    {"38400", stadix::BaudRate::Br38400},
};
const std::map<std::string, int> kUnits = {{"m", 0}, {"intl-ft", 1}, {"us-ft", 2}};
const char* const kFormats[] = {"kvr", "gts", "sss"};
constexpr std::size_t kMinRawRecordsToSend = 4;

volatile std::sig_atomic_t interruptPipe = -1;

std::string SettingsPathOf(const Arguments& args) {
    return args.Has("--settings") ? args.Value("--settings")
                                  : stadix::SettingsFilePath().toStdString();
}

// The format of the transfer: the option, else the settings file's choice.
std::string TransferFormat(const Arguments& args, const std::string& settingsPath) {
    if (!args.Has("--format")) {
        const int digit = stadix::ReadSettingDigit(settingsPath, stadix::kDataFormatSection,
                                                   stadix::kDataFormatKey);
        return kFormats[digit < 3 ? digit : 0];
    }
    const std::string format = args.Value("--format");
    if (std::find(std::begin(kFormats), std::end(kFormats), format) == std::end(kFormats))
        throw Failure(kUsage, "unknown format " + format);
    return format;
}

// GTS: the option, else the settings file's protocol (0 is ACK/NAK).
bool AcknowledgedProtocol(const Arguments& args, const std::string& format,
                          const std::string& settingsPath) {
    if (!args.Has("--protocol"))
        return stadix::ReadSettingDigit(settingsPath, stadix::kGtsAckSection, stadix::kGtsAckKey) ==
               0;
    if (format != "gts")
        throw Failure(kUsage, "--protocol applies to --format gts only");
    const std::string protocol = args.Value("--protocol");
    if (protocol != "ack" && protocol != "oneway")
        throw Failure(kUsage, "unknown protocol " + protocol);
    return protocol == "ack";
}

// The character format the settings dialog shows for the port: 7/Even, 7/Odd, or
// 8/None for anything else.
std::string StoredCharacter(const stadix::PortSettings& port) {
    if (port.dataBits == 7 && port.parity == stadix::Parity::Even)
        return "7E";
    if (port.dataBits == 7 && port.parity == stadix::Parity::Odd)
        return "7O";
    return "8N";
}

// KVR always runs with 8 data bits, no parity and one stop bit.
void ApplyLineOptions(const Arguments& args, const std::string& format,
                      stadix::PortSettings& port) {
    const bool kvr = format == "kvr";
    const std::string character = args.Value("--char", kvr ? "8N" : StoredCharacter(port));
    if (character != "8N" && character != "7E" && character != "7O")
        throw Failure(kUsage, "unknown character format " + character);
    if (kvr && character != "8N")
        throw Failure(kUsage, "--format kvr transfers with --char 8N");
    const bool storedTwo = port.stopBits == stadix::StopBits::Two;
    const std::string stop = args.Value("--stop", !kvr && storedTwo ? "2" : "1");
    if (stop != "1" && stop != "2")
        throw Failure(kUsage, "unknown stop bits " + stop);
    if (kvr && stop != "1")
        throw Failure(kUsage, "--format kvr transfers with --stop 1");
    port.dataBits = character == "8N" ? 8 : 7;
    port.parity = character == "8N"   ? stadix::Parity::None
                  : character == "7E" ? stadix::Parity::Even
                                      : stadix::Parity::Odd;
    port.stopBits = stop == "2" ? stadix::StopBits::Two : stadix::StopBits::One;
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

} // namespace

const std::set<std::string> kTransferOptions = {"--port", "--format", "--baud",     "--char",
                                                "--stop", "--unit",   "--protocol", "--idle"};

TransferSetup ReadTransferSetup(const Arguments& args) {
    const std::string settingsPath = SettingsPathOf(args);
    TransferSetup setup;
    setup.format = TransferFormat(args, settingsPath);
    setup.acknowledged = AcknowledgedProtocol(args, setup.format, settingsPath);
    if (!args.Has("--port"))
        throw Failure(kUsage, "missing option --port");
    stadix::LoadPortSettings(settingsPath, stadix::kPortSection, setup.port);
    setup.port.portName = args.Value("--port");
    ApplyLineOptions(args, setup.format, setup.port);
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

QCoreApplication& Application() {
    static int argc = 1;
    static char name[] = "stadix-cli";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
    return application;
}

InterruptWatch::InterruptWatch(std::function<void()> onInterrupt) {
    if (::pipe(pipe_) != 0)
        return;
    interruptPipe = pipe_[1];
    notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this, onInterrupt] {
                         char byte = 0;
                         if (::read(pipe_[0], &byte, 1) == 1)
                             onInterrupt();
                     });
    std::signal(SIGINT, &InterruptWatch::OnSignal);
}

InterruptWatch::~InterruptWatch() {
    std::signal(SIGINT, SIG_DFL);
    notifier_.reset();
    interruptPipe = -1;
    for (const int fd : pipe_) {
        if (fd >= 0)
            ::close(fd);
    }
}

void InterruptWatch::OnSignal(int) {
    const char byte = 1;
    if (interruptPipe >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(interruptPipe, &byte, 1);
    }
}

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

void LoadSendInput(const std::string& input, std::vector<std::string>& lines, std::string& raw,
                   bool& coordView) {
    coordView = HasExtension(input, ".JCD");
    if (!coordView && !HasExtension(input, ".TSM"))
        throw Failure(kBadInput,
                      "Not a coordinate job file (.JCD) or measurement file (.TSM): " + input);
    try {
        if (coordView) {
            lines = LoadGatheredJob(input);
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

} // namespace cli
