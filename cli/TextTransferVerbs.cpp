// stadix-cli receive and send in the GTS and SSS formats, on the worker threads of the
// window's GTS/SSS dialog.
#include "cli/TransferSupport.h"

#include "app/Errors.h"
#include "app/ReceivedCoords.h"
#include "comport/TComPort.h"
#include "transfer/KvrEngine.h"
#include "transfer/Rcvdatathread.h"
#include "transfer/Senddatathread.h"

#include <QCoreApplication>
#include <QTimer>

namespace cli {

namespace {

constexpr int kWaitSliceMs = 5;

const char* const kRefusedMeasurementSend =
    "Measurement data cannot be sent in the GTS or SSS format.";

stadix::TextFormat FormatOf(const TransferSetup& setup) {
    return setup.format == "gts" ? stadix::TextFormat::Gts : stadix::TextFormat::Sss;
}

// Runs one GTS or SSS transfer in the dialog's stead: the worker thread talks to it
// as to the window, progress goes to standard error, and the transfer ends when the
// thread ends it (end of transmission, all sent, a line error), on Ctrl+C, or when
// nothing has come from the instrument for the idle limit; the last two stop the
// thread as Cancel does.
class TextTransferRun : private stadix::GtsSssWindow {
  public:
    // lines: the record lines to send, or where the received text goes; coordView:
    // what the first accepted block says it holds.
    TextTransferRun(const TransferSetup& setup, bool sendMode, std::vector<std::string>& lines,
                    bool& coordView)
        : setup_(setup), sendMode_(sendMode), lines_(lines), coordView_(coordView) {
        idle_.setSingleShot(true);
        QObject::connect(&idle_, &QTimer::timeout, &context_, [this] { CheckIdle(); });
    }

    // Throws Failure(kTransferFailed) when the port cannot be opened.
    void Run() {
        OpenPort();
        InterruptWatch watch([this] { Stop(interrupted_); });
        thread_ = CreateThread();
        thread_->Begin();
        if (setup_.idleMs > 0)
            idle_.start(setup_.idleMs);
        QCoreApplication::exec();
        StopThread();
        port_.Close();
    }

    // The thread ended the transfer itself, without a failure.
    bool Ended() const { return endedByThread_ && failure_.empty(); }
    bool IdleExpired() const { return idleExpired_; }
    const std::string& FailureText() const { return failure_; }
    int AcceptedCount() const { return accepted_; }

  private:
    void OpenPort() {
        try {
            port_.SetSettings(setup_.port);
        } catch (const stadix::EComPort& failure) {
            throw Failure(kTransferFailed, failure.what());
        }
        try {
            port_.Open();
        } catch (const stadix::EComPort&) {
            throw Failure(kTransferFailed, stadix::OpenFailedMessage(setup_.port.portName));
        }
    }

    std::unique_ptr<stadix::GtsSssThread> CreateThread() {
        stadix::GtsSssWindow& window = *this;
        if (sendMode_)
            return std::make_unique<stadix::SendData>(port_, window, &context_, FormatOf(setup_),
                                                      setup_.acknowledged, setup_.coordUnit,
                                                      lines_);
        return std::make_unique<stadix::ReceiveData>(port_, window, &context_, FormatOf(setup_),
                                                     setup_.acknowledged);
    }

    // Waits out the rest of the idle limit, counted from the last byte read.
    void CheckIdle() {
        const std::int64_t quiet = thread_->MsSinceInput();
        if (quiet >= setup_.idleMs)
            Stop(idleExpired_);
        else
            idle_.start(static_cast<int>(setup_.idleMs - quiet));
    }

    void Stop(bool& reason) {
        reason = true;
        Finish();
    }

    void Finish() {
        idle_.stop();
        QCoreApplication::quit();
    }

    // The thread may be inside a call into this thread: those calls keep running while
    // we wait for it.
    void StopThread() {
        thread_->RequestStop();
        while (!thread_->wait(kWaitSliceMs))
            QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        failure_ = thread_->FailureText();
    }

    void StartReceivedText() override {
        lines_.clear();
        coordView_ = false;
    }
    void AppendReceivedText(const std::string& text) override {
        stadix::AppendTextLines(lines_, text);
        ++accepted_;
    }
    void SetCounterText(const std::string& text) override { Report(text); }
    void SetCoordView(bool coordinates) override { coordView_ = coordinates; }
    void EndTransfer() override {
        endedByThread_ = true;
        Finish();
    }

    const TransferSetup& setup_;
    const bool sendMode_;
    std::vector<std::string>& lines_;
    bool& coordView_;
    stadix::TComPort port_;
    // The window's thread, on which the worker's calls run.
    QObject context_;
    QTimer idle_;
    std::unique_ptr<stadix::GtsSssThread> thread_;
    int accepted_ = 0;
    bool endedByThread_ = false;
    bool interrupted_ = false;
    bool idleExpired_ = false;
    std::string failure_;
};

} // namespace

int ReceiveText(const Arguments& args, const TransferSetup& setup) {
    bool coordView = true;
    std::vector<std::string> lines;
    TextTransferRun run(setup, false, lines, coordView);
    run.Run();
    if (!run.FailureText().empty())
        Report(run.FailureText());
    if (run.AcceptedCount() == 0) {
        Report("Nothing received");
        return kTransferFailed;
    }
    std::pair<std::string, std::string> file;
    try {
        if (coordView)
            stadix::ConvertReceivedCoordinates(lines, static_cast<int>(FormatOf(setup)));
        file = ReceivedFile(lines, std::string(), coordView, false);
    } catch (const stadix::ConversionError& failure) {
        throw Failure(kBadInput, failure.what());
    }
    WriteOutput(args.positionals[0], file.first);
    Report(file.second);
    return run.FailureText().empty() ? kDone : kTransferFailed;
}

int SendText(const Arguments& args, const TransferSetup& setup) {
    const std::string& input = args.positionals[0];
    if (HasExtension(input, ".TSM"))
        throw Failure(kBadInput, kRefusedMeasurementSend);
    bool coordView = true;
    std::vector<std::string> lines;
    std::string raw;
    LoadSendInput(input, lines, raw, coordView);
    TextTransferRun run(setup, true, lines, coordView);
    run.Run();
    if (run.Ended())
        return kDone;
    if (!run.FailureText().empty())
        Report(run.FailureText());
    else if (run.IdleExpired())
        Report("No answer from the instrument");
    return kTransferFailed;
}

} // namespace cli
