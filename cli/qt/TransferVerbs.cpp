// stadix-cli receive, send and ports: the serial transfers of the window, headless, on
// the sessions that the transfer dialogs run.
#include "cli/Verbs.h"

#include "base/FileIO.h"
#include "cli/qt/TransferSupport.h"
#include "comport/qt/ComPort.h"
#include "job/Job.h"
#include "transfer/qt/GtsSssSession.h"
#include "transfer/qt/KvrSession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <iostream>

namespace cli {

namespace {

// How a transfer went.
struct Outcome {
    bool started = false;  // the port opened
    bool received = false; // something was accepted
    bool failed = false;   // a line error or another failure ended it
    bool ended = false;    // it ended by itself, as the protocol ends it
    bool idleExpired = false;
    bool interrupted = false; // Ctrl+C or another end signal cancelled it
};

// One transfer in the dialog's stead: progress and warnings go to standard error, and
// Ctrl+C or the idle limit act as Cancel.
class TransferRun {
  public:
    explicit TransferRun(int idleMs) : idleMs_(idleMs) {
        idle_.setSingleShot(true);
        QObject::connect(&idle_, &QTimer::timeout, &idle_, [this] { CheckIdle(); });
    }
    virtual ~TransferRun() = default;

    Outcome Run() {
        InterruptWatch watch([this] {
            outcome_.interrupted = true;
            CancelTransfer();
        });
        if (Start()) {
            RestartIdleLimit(idleMs_);
            if (!finished_)
                QCoreApplication::exec();
        }
        idle_.stop();
        Conclude(outcome_);
        return outcome_;
    }

  protected:
    // Starts the transfer; false when it could not start.
    virtual bool Start() = 0;
    // Stops the transfer as Cancel does.
    virtual void CancelTransfer() = 0;
    // Milliseconds since the instrument last sent a byte.
    virtual std::int64_t QuietMs() = 0;
    virtual void Conclude(Outcome& outcome) = 0;

    void RestartIdleLimit(std::int64_t ms) {
        if (idleMs_ > 0)
            idle_.start(static_cast<int>(ms));
    }

    // The transfer is over: the event loop ends.
    void Finish() {
        finished_ = true;
        idle_.stop();
        QCoreApplication::quit();
    }

  private:
    // Waits out the rest of the idle limit, counted from the last byte read.
    void CheckIdle() {
        const std::int64_t quiet = QuietMs();
        if (quiet >= idleMs_) {
            outcome_.idleExpired = true;
            CancelTransfer();
        } else {
            RestartIdleLimit(idleMs_ - quiet);
        }
    }

    QTimer idle_;
    const int idleMs_;
    bool finished_ = false;
    Outcome outcome_;
};

class KvrRun : public TransferRun, private stadix::KvrSessionView {
  public:
    KvrRun(stadix::Job& job, const TransferSetup& setup, bool sendMode)
        : TransferRun(setup.idleMs), session_(job, setup.settings, sendMode, *this) {
        QObject::connect(&session_.Port(), &stadix::ComPort::BytesArrived, &session_.Port(),
                         [this] { lastInput_.restart(); });
        lastInput_.start();
    }

  private:
    bool Start() override {
        session_.Open();
        return !session_.OpenFailed();
    }
    void CancelTransfer() override { session_.Cancel(); }
    std::int64_t QuietMs() override { return lastInput_.elapsed(); }
    void Conclude(Outcome& outcome) override {
        outcome.started = !session_.OpenFailed();
        outcome.received = session_.TransferredCount() > 0;
        outcome.failed = session_.LineFailed();
        outcome.ended = session_.Ended();
    }

    void SetStatusText(const std::string& text) override { Report(text); }
    void SetCounterText(const std::string& text) override { Report("Transferred:" + text); }
    void ShowWarning(const std::string& text) override { Report(text); }
    // Without the dialog's closing pause after the end byte or a line error.
    void CloseDialog() override { Finish(); }
    void TransferEnded() override { Finish(); }
    void TransferFailed() override { Finish(); }

    stadix::KvrSession session_;
    QElapsedTimer lastInput_;
};

class TextRun : public TransferRun, private stadix::GtsSssSessionView {
  public:
    TextRun(stadix::Job& job, const TransferSetup& setup, bool sendMode)
        : TransferRun(setup.idleMs), session_(job, setup.settings, sendMode, *this) {}

  private:
    bool Start() override { return session_.Start(); }
    void CancelTransfer() override { Finish(); }
    std::int64_t QuietMs() override { return session_.MsSinceInput(); }
    void Conclude(Outcome& outcome) override {
        session_.Stop();
        outcome.started = session_.Started();
        outcome.received = session_.AcceptedCount() > 0;
        outcome.failed = !session_.FailureText().empty();
        outcome.ended = session_.EndedByItself();
    }

    void SetCounterText(const std::string& text) override { Report(text); }
    void ShowWarning(const std::string& text) override { Report(text); }
    void TransferEnded() override { Finish(); }

    stadix::GtsSssSession session_;
};

Outcome RunTransfer(stadix::Job& job, const TransferSetup& setup, bool sendMode) {
    if (setup.settings.dataFormat == stadix::DataFormat::Kvr)
        return KvrRun(job, setup, sendMode).Run();
    return TextRun(job, setup, sendMode).Run();
}

// The transfer's setup; a file named both as an input and as an output (the file of
// the positional argument is the one named, the line log the other) is refused first.
TransferSetup SetupFor(const std::vector<std::string>& words, const char* positional,
                       bool positionalIsOutput, Arguments& args) {
    args = ParseArguments(words, kTransferOptions);
    RequirePositionals(args, {positional});
    Application();
    TransferSetup setup = ReadTransferSetup(args);
    std::vector<std::string> inputs = TransferInputs(args);
    if (positionalIsOutput)
        RefuseOutputOverInput(args.positionals[0], inputs);
    inputs.push_back(args.positionals[0]);
    RefuseOutputOverInput(setup.settings.lineLogFile, inputs);
    return setup;
}

// Writes what arrived; when OUTPUT cannot be written, the bytes are kept in a recovery
// file that the message names.
void WriteReceived(const std::string& output, const ReceivedFileBytes& file) {
    try {
        WriteOutput(output, file.bytes);
    } catch (const Failure& failure) {
        std::string kept;
        try {
            kept = "The received data is kept in " +
                   KeepInRecoveryFile(file.bytes, file.extension) + ".";
        } catch (const stadix::FileError& keeping) {
            kept = "The received data could not be kept either: " + std::string(keeping.what());
        }
        throw Failure(failure.code, std::string(failure.what()) + "\n" + kept);
    }
}

} // namespace

const char* const kReceiveUsage =
    "stadix-cli receive --port DEVICE [--format kvr|gts|sss] [--baud RATE] [--char 8N|7E|7O]\n"
    "                   [--stop 1|2] [--unit m|intl-ft|us-ft] [--protocol ack|oneway]\n"
    "                   [--idle SECONDS] [--log FILE] OUTPUT\n"
    "  Receives from the instrument and writes a job file (coordinates), a measurement\n"
    "  file (raw records) or text. Ends at the instrument's end byte, on Ctrl+C, or after\n"
    "  --idle SECONDS without a byte. RATE: 600 1200 2400 4800 9600 19200 38400.\n"
    "  KVR runs with --char 8N --stop 1; --protocol is for --format gts only.\n"
    "  --log FILE writes the bytes on the line to FILE as they pass: one line per burst,\n"
    "  the seconds since the port opened, < from the instrument or > to it, and the\n"
    "  bytes in hex (0.125 < 02 41 42 03).\n";

const char* const kSendUsage =
    "stadix-cli send --port DEVICE [--format kvr|gts|sss] [--baud RATE] [--char 8N|7E|7O]\n"
    "                [--stop 1|2] [--unit m|intl-ft|us-ft] [--protocol ack|oneway]\n"
    "                [--idle SECONDS] [--log FILE] INPUT\n"
    "  Sends a coordinate job file (.JCD), or with --format kvr also a measurement file\n"
    "  of raw records (.TSM). --log FILE as for receive.\n";

const char* const kPortsUsage =
    "stadix-cli ports\n"
    "  Lists the serial ports of the machine, sorted, one a line: the device, then what\n"
    "  the system knows of it (description, manufacturer, USB vendor:product id, serial\n"
    "  number) and whether this user can open it, separated by two spaces.\n";

int RunReceive(const std::vector<std::string>& words) {
    Arguments args;
    const TransferSetup setup = SetupFor(words, "OUTPUT", true, args);
    stadix::Job job;
    job.dataFormat = setup.settings.dataFormat;
    job.coordUnit = setup.settings.coordUnit;
    const Outcome outcome = RunTransfer(job, setup, false);
    if (!outcome.started)
        return kTransferFailed;
    if (!outcome.received) {
        Report("Nothing received");
        return kTransferFailed;
    }
    const auto file = ReadInput([&job] {
        stadix::ConvertReceivedCoordinates(job);
        return ReceivedFile(job);
    });
    WriteReceived(args.positionals[0], file);
    Report(file.description);
    return outcome.failed ? kTransferFailed : kDone;
}

int RunSend(const std::vector<std::string>& words) {
    Arguments args;
    const TransferSetup setup = SetupFor(words, "INPUT", false, args);
    const std::string& input = args.positionals[0];
    if (setup.settings.dataFormat != stadix::DataFormat::Kvr &&
        stadix::DocumentKindOf(input) == stadix::DocumentKind::MeasurementFile)
        throw Failure(kBadInput, stadix::kRefusedMeasurementSend);
    stadix::Job job = LoadSendJob(input);
    const Outcome outcome = RunTransfer(job, setup, true);
    if (outcome.ended)
        return kDone;
    if (outcome.interrupted)
        Report("The send was cancelled.");
    if (outcome.started && !outcome.failed && outcome.idleExpired)
        Report("No answer from the instrument");
    return kTransferFailed;
}

int RunPorts(const std::vector<std::string>& words) {
    const Arguments args = ParseArguments(words, {});
    RequirePositionals(args, {});
    Application();
    for (const stadix::PortDescription& port : stadix::ComPort::EnumComPorts())
        std::cout << stadix::PortListLine(port, stadix::ComPort::OpenFailureOf(port.name)) << "\n";
    std::cout.flush();
    return kDone;
}

} // namespace cli
