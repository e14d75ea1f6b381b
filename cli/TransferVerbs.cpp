// stadix-cli receive, send and ports: the serial transfers of the window, headless.
// KVR runs on the KVR dialog's own transfer session; GTS and SSS go to
// TextTransferVerbs.cpp.
#include "cli/Verbs.h"

#include "app/Errors.h"
#include "cli/TransferSupport.h"
#include "transfer/KvrSession.h"

#include <QCoreApplication>
#include <QTimer>

#include <iostream>

namespace cli {

namespace {

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

} // namespace

const char* const kReceiveUsage =
    "stadix-cli receive --port DEVICE [--format kvr|gts|sss] [--baud RATE] [--char 8N|7E|7O]\n"
    "                   [--stop 1|2] [--unit m|intl-ft|us-ft] [--protocol ack|oneway]\n"
    "                   [--idle SECONDS] OUTPUT\n"
    "  Receives from the instrument and writes a job file (coordinates), a measurement\n"
    "  file (raw records) or text. Ends at the instrument's end byte, on Ctrl+C, or after\n"
    "  --idle SECONDS without a byte. RATE: 600 1200 2400 4800 9600 19200 38400.\n"
    "  KVR runs with --char 8N --stop 1; --protocol is for --format gts only.\n";

const char* const kSendUsage =
    "stadix-cli send --port DEVICE [--format kvr|gts|sss] [--baud RATE] [--char 8N|7E|7O]\n"
    "                [--stop 1|2] [--unit m|intl-ft|us-ft] [--protocol ack|oneway]\n"
    "                [--idle SECONDS] INPUT\n"
    "  Sends a coordinate job file (.JCD), or with --format kvr also a measurement file\n"
    "  of raw records (.TSM).\n";

const char* const kPortsUsage = "stadix-cli ports\n"
                                "  Lists the serial ports of the machine, sorted.\n";

int RunReceive(const std::vector<std::string>& words) {
    const Arguments args = ParseArguments(words, kTransferOptions);
    RequirePositionals(args, {"OUTPUT"});
    Application();
    const TransferSetup setup = ReadTransferSetup(args);
    if (setup.format != "kvr")
        return ReceiveText(args, setup);

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
    if (setup.format != "kvr")
        return SendText(args, setup);

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
