// The worker thread of a GTS or SSS reception.
#pragma once

#include "transfer/GtsSssThread.h"

namespace stadix {

class ReceiveData : public GtsSssThread {
    Q_OBJECT

  public:
    // acknowledged: the GTS ACK/NAK protocol (GtsAck 0); SSS ignores it.
    ReceiveData(TComPort& port, GtsSssWindow& window, QObject* windowObject, TextFormat format,
                bool acknowledged);

  protected:
    void RunTransfer(GtsSssPort& port) override;

  private:
    const TextFormat format_;
    const bool acknowledged_;
};

} // namespace stadix
