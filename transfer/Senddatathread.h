// The worker thread of a GTS or SSS send.
#pragma once

#include "transfer/GtsSssThread.h"

#include <string>
#include <vector>

namespace stadix {

class SendData : public GtsSssThread {
    Q_OBJECT

  public:
    // acknowledged: the GTS ACK/NAK protocol (GtsAck 0); SSS lines always go one way.
    // recordLines: the record lines to send; coordUnit: the unit they are written in.
    SendData(TComPort& port, GtsSssWindow& window, QObject* windowObject, TextFormat format,
             bool acknowledged, int coordUnit, std::vector<std::string> recordLines);

  protected:
    void RunTransfer(GtsSssPort& port) override;

  private:
    const TextFormat format_;
    const bool acknowledged_;
    const int coordUnit_;
    const std::vector<std::string> recordLines_;
};

} // namespace stadix
