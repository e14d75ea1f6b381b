// What the receive and send verbs share: the transfer options, Ctrl+C, and the job
// that a transfer reads and writes.
#pragma once

#include "cli/CliSupport.h"
#include "job/Job.h"
#include "transfer/TransferSettings.h"

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>

class QCoreApplication;
class QSocketNotifier;

namespace cli {

extern const std::set<std::string> kTransferOptions;

// What a transfer runs with: the options, else the settings file, as the settings
// dialog would leave them. A line log is kept only when --log names its file.
struct TransferSetup {
    stadix::TransferSettings settings;
    int idleMs = 0; // 0: no limit
};

// Throws Failure(kUsage) for an option that does not fit.
TransferSetup ReadTransferSetup(const Arguments& args);

// The application object of the transfer verbs, made on first use.
QCoreApplication& Application();

// Ctrl+C, and the other signals that end a run, reach the event loop through a pipe,
// where they act as the dialog's Cancel, so that what arrived is kept.
class InterruptWatch {
  public:
    explicit InterruptWatch(std::function<void()> onInterrupt);
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

  private:
    static void OnSignal(int);

    int pipe_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
};

// What Save As writes of the received job, the line that names it, and the extension
// of its kind.
struct ReceivedFileBytes {
    std::string bytes;
    std::string description;
    std::string extension;
};
ReceivedFileBytes ReceivedFile(stadix::Job job);

// Keeps received bytes that could not be written where asked in a new file of the
// user's state folder ($XDG_STATE_HOME/stadix, else ~/.local/state/stadix); its path.
// Throws FileError when that fails too.
std::string KeepInRecoveryFile(const std::string& bytes, const std::string& extension);

// The files that a transfer on the port reads: the device under both of its names and
// the settings file.
std::vector<std::string> TransferInputs(const Arguments& args);

// The job that Send offers from INPUT: the gathered job file, or the raw records of a
// measurement file. Throws Failure(kBadInput).
stadix::Job LoadSendJob(const std::string& input);

} // namespace cli
