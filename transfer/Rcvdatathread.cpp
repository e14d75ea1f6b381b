#include "transfer/Rcvdatathread.h"

namespace stadix {

ReceiveData::ReceiveData(TComPort& port, GtsSssWindow& window, QObject* windowObject,
                         TextFormat format, bool acknowledged)
    : GtsSssThread(port, window, windowObject), format_(format), acknowledged_(acknowledged) {}

void ReceiveData::RunTransfer(GtsSssPort& port) {
    GtsSssReceiver receiver(port, *this, format_, acknowledged_);
    receiver.Run();
}

} // namespace stadix
