// The port component as the protocol engines' line.
#pragma once

#include "comport/qt/ComPort.h"
#include "transfer/LinePort.h"
#include "transfer/TransferSettings.h"

#include <functional>
#include <string>

namespace stadix {

class ComPortLine : public LinePort {
  public:
    explicit ComPortLine(ComPort& port) : port_(port) {}

    // Without a handler a failing operation throws ComPortError; with one, the failure
    // goes to the handler and the operation gives nothing.
    void SetErrorHandler(std::function<void(const ComPortError&)> onError) {
        onError_ = std::move(onError);
    }
    // Told whenever bytes have been read.
    void SetInputHandler(std::function<void()> onInput) { onInput_ = std::move(onInput); }

    int BytesWaiting() override;
    std::string Read(int count) override;
    void Write(const std::string& bytes) override;
    void ClearBuffer(bool input, bool output) override;
    int LineTimeMs(std::size_t characters) override;
    bool WaitForInput(int ms) override;

  private:
    template <typename Operation, typename Result>
    Result Guarded(Operation operation, Result nothing);

    ComPort& port_;
    std::function<void(const ComPortError&)> onError_;
    std::function<void()> onInput_;
};

// Starts the line log that the settings ask for on the open port, named now. Returns
// the warning that the log cannot be created (the transfer goes on without it), or
// nothing.
std::string StartLineLog(ComPort& port, const TransferSettings& settings);

} // namespace stadix
