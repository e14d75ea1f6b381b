#include "cli/qt/TransferSupport.h"

#include "base/FileIO.h"
#include "base/TextFormat.h"
#include "comport/qt/SettingsPath.h"
#include "rawconv/MeasurementFile.h"
#include "rawconv/RawRecords.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <map>
#include <unistd.h>

namespace cli {

namespace {

const std::map<std::string, stadix::DataFormat> kFormats = {{"kvr", stadix::DataFormat::Kvr},
                                                            {"gts", stadix::DataFormat::Gts},
                                                            {"sss", stadix::DataFormat::Sss}};
const std::map<std::string, stadix::CoordUnit> kUnits = {
    {"m", stadix::CoordUnit::Metre},
    {"intl-ft", stadix::CoordUnit::InternationalFoot},
    {"us-ft", stadix::CoordUnit::UsSurveyFoot}};
const std::map<std::string, stadix::CharacterFormat> kCharacters = {
    {"7E", stadix::CharacterFormat::SevenEven},
    {"7O", stadix::CharacterFormat::SevenOdd},
    {"8N", stadix::CharacterFormat::EightNone}};

volatile std::sig_atomic_t interruptPipe = -1;

// The option's value looked up in the table; a usage error names an unknown one.
template <typename Value>
Value Choice(const std::map<std::string, Value>& table, const std::string& value,
             const std::string& what) {
    const auto found = table.find(value);
    if (found == table.end())
        throw Failure(kUsage, "unknown " + what + " " + value);
    return found->second;
}

std::string CharacterWord(stadix::CharacterFormat format) {
    for (const auto& [word, value] : kCharacters) {
        if (value == format)
            return word;
    }
    return "8N";
}

// The options for the line; KVR runs with the line settings that its rule forces.
void ApplyLineOptions(const Arguments& args, stadix::TransferSettings& settings) {
    const bool kvr = settings.dataFormat == stadix::DataFormat::Kvr;
    stadix::TransferSettings ruled = settings;
    stadix::ApplyFormatRule(ruled);
    const stadix::PortSettings& stored = kvr ? ruled.port : settings.port;
    const std::string character =
        args.Value("--char", CharacterWord(stadix::CharacterFormatOf(stored)));
    const stadix::CharacterFormat format = Choice(kCharacters, character, "character format");
    if (kvr && format != stadix::CharacterFormatOf(ruled.port))
        throw Failure(kUsage, "--format kvr transfers with --char 8N");
    const std::string stop =
        args.Value("--stop", stored.stopBits == stadix::StopBits::Two ? "2" : "1");
    if (stop != "1" && stop != "2")
        throw Failure(kUsage, "unknown stop bits " + stop);
    if (kvr && stop != "1")
        throw Failure(kUsage, "--format kvr transfers with --stop 1");
    stadix::SetCharacterFormat(settings.port, format);
    settings.port.stopBits = stop == "2" ? stadix::StopBits::Two : stadix::StopBits::One;
    if (!args.Has("--baud"))
        return;
    for (const stadix::BaudRate rate : stadix::kTransferBaudRates) {
        stadix::PortSettings port;
        port.baudRate = rate;
        if (args.Value("--baud") == std::to_string(stadix::BaudRateValue(port))) {
            settings.port.baudRate = rate;
            return;
        }
    }
    throw Failure(kUsage, "unknown baud rate " + args.Value("--baud"));
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

// The line log's file; standard output is the received file's.
std::string LineLogFile(const Arguments& args) {
    const std::string file = args.Value("--log");
    if (file.empty() || file == "-")
        throw Failure(kUsage, "--log needs a file name");
    return file;
}

} // namespace

const std::set<std::string> kTransferOptions = {
    "--port", "--format", "--baud", "--char", "--stop", "--unit", "--log", "--protocol", "--idle"};

std::string SettingsPathOf(const Arguments& args) {
    if (args.Has("--settings"))
        return args.Value("--settings");
    Application();
    return stadix::SettingsFilePath().toStdString();
}

TransferSetup ReadTransferSetup(const Arguments& args) {
    TransferSetup setup;
    stadix::TransferSettings& settings = setup.settings;
    settings = stadix::LoadTransferSettings(SettingsPathOf(args), settings);
    if (args.Has("--format"))
        settings.dataFormat = Choice(kFormats, args.Value("--format"), "format");
    if (args.Has("--protocol")) {
        if (settings.dataFormat != stadix::DataFormat::Gts)
            throw Failure(kUsage, "--protocol applies to --format gts only");
        const std::string protocol = args.Value("--protocol");
        if (protocol != "ack" && protocol != "oneway")
            throw Failure(kUsage, "unknown protocol " + protocol);
        settings.protocol =
            protocol == "ack" ? stadix::GtsProtocol::AckNak : stadix::GtsProtocol::OneWay;
    }
    if (!args.Has("--port"))
        throw Failure(kUsage, "missing option --port");
    settings.port.portName = args.Value("--port");
    ApplyLineOptions(args, settings);
    if (args.Has("--unit"))
        settings.coordUnit = Choice(kUnits, args.Value("--unit"), "unit");
    settings.keepLineLog = false;
    if (args.Has("--log"))
        settings.lineLogFile = LineLogFile(args);
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
    for (const int signal : kEndSignals)
        std::signal(signal, &InterruptWatch::OnSignal);
}

InterruptWatch::~InterruptWatch() {
    HandleEndSignals();
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

ReceivedFileBytes ReceivedFile(stadix::Job job) {
    // Received record lines are gathered as the window's table gathers them for Save.
    if (job.InCoordinateView())
        job.lines = stadix::GatheredRecords(job.lines);
    stadix::SavedFile file = stadix::ReceivedJobFile(job);
    switch (file.kind) {
    case stadix::DocumentKind::JobFile:
        return {std::move(file.bytes),
                "coordinates: " + std::to_string(job.lines.size()) + " records", ".JCD"};
    case stadix::DocumentKind::MeasurementFile:
        return {std::move(file.bytes),
                "raw records: " + std::to_string(stadix::RawRecordCount(job.rawRecords)), ".TSM"};
    default:
        return {std::move(file.bytes), "text: " + std::to_string(job.lines.size()) + " lines",
                ".TXT"};
    }
}

namespace {

std::filesystem::path RecoveryFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && *state == '/')
        return std::filesystem::path(state) / "stadix";
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home ? home : ".") / ".local" / "state" / "stadix";
}

// received-YYYYMMDD-HHMMSS, numbered when that name is taken.
std::filesystem::path NewRecoveryFile(const std::filesystem::path& folder,
                                      const std::string& extension) {
    const std::time_t now = std::time(nullptr);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "received-%Y%m%d-%H%M%S", std::localtime(&now));
    std::filesystem::path file = folder / (stamp + extension);
    for (int n = 2; std::filesystem::exists(file); ++n)
        file = folder / (stamp + ("-" + std::to_string(n)) + extension);
    return file;
}

} // namespace

std::string KeepInRecoveryFile(const std::string& bytes, const std::string& extension) {
    const std::filesystem::path folder = RecoveryFolder();
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec)
        throw stadix::FileError("Cannot create the folder \"" + folder.string() + "\". " +
                                ec.message());
    const std::string file = NewRecoveryFile(folder, extension).string();
    stadix::WriteFileAtomically(file, bytes);
    return file;
}

std::vector<std::string> TransferInputs(const Arguments& args) {
    const std::string port = args.Value("--port");
    return {port, port.find('/') == std::string::npos ? "/dev/" + port : port,
            SettingsPathOf(args)};
}

stadix::Job LoadSendJob(const std::string& input) {
    stadix::Job job;
    if (JobOrMeasurementFileKind(input) == stadix::DocumentKind::JobFile) {
        job.lines = ReadInput([&] { return LoadGatheredJob(input); });
        if (job.lines.empty())
            throw Failure(kBadInput, "Nothing to send");
        return job;
    }
    job.rawRecords = ReadInput([&] { return stadix::ReadFileBytes(input); });
    const std::string problem = stadix::CheckMeasurementFile(job.rawRecords);
    if (!problem.empty())
        throw Failure(kBadInput, problem);
    if (stadix::RawRecordCount(job.rawRecords) < stadix::kMinRawRecordsToSend)
        throw Failure(kBadInput, "Nothing to send");
    job.content = stadix::JobContent::Listing;
    job.rawLoaded = true;
    return job;
}

} // namespace cli
