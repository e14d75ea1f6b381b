#include "transfer/Senddatathread.h"

#include <utility>

namespace stadix {

SendData::SendData(TComPort& port, GtsSssWindow& window, QObject* windowObject, TextFormat format,
                   bool acknowledged, int coordUnit, std::vector<std::string> recordLines)
    : GtsSssThread(port, window, windowObject), format_(format), acknowledged_(acknowledged),
      coordUnit_(coordUnit), recordLines_(std::move(recordLines)) {}

void SendData::RunTransfer(GtsSssPort& port) {
    GtsSssSender sender(port, *this, format_, acknowledged_, coordUnit_, recordLines_);
    sender.Run();
}

} // namespace stadix
