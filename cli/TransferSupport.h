// What the receive and send verbs share across the formats: the transfer options,
// Ctrl+C, the event loop, and the files that a transfer reads and writes.
#pragma once

#include "cli/CliSupport.h"
#include "comport/PortSettings.h"

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

class QCoreApplication;
class QSocketNotifier;

namespace cli {

extern const std::set<std::string> kTransferOptions;

// What a transfer runs with: the options, else the settings file, as the settings
// dialog would leave them.
struct TransferSetup {
    std::string format; // "kvr", "gts" or "sss"
    stadix::PortSettings port;
    int coordUnit = 0;
    bool acknowledged = true; // GTS: ACK/NAK rather than one way
    int idleMs = 0;           // 0: no limit
};

// Throws Failure(kUsage) for an option that does not fit.
TransferSetup ReadTransferSetup(const Arguments& args);

// The application object of the transfer verbs, made on first use.
QCoreApplication& Application();

// Ctrl+C reaches the event loop through a pipe, where it acts as the dialog's Cancel.
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

// What Save As writes of the received document, and the line that names it.
std::pair<std::string, std::string> ReceivedFile(const std::vector<std::string>& lines,
                                                 const std::string& raw, bool coordView,
                                                 bool rawLoaded);

// The records of INPUT as Send offers them: the gathered job, or the raw records.
// Throws Failure(kBadInput).
void LoadSendInput(const std::string& input, std::vector<std::string>& lines, std::string& raw,
                   bool& coordView);

// The GTS and SSS transfers (TextTransferVerbs.cpp).
int ReceiveText(const Arguments& args, const TransferSetup& setup);
int SendText(const Arguments& args, const TransferSetup& setup);

} // namespace cli
