// The serial port component: one serial device with its settings, the reads, writes
// and queue operations of the transfers, and two events (received characters, line
// error) delivered on the thread that owns the port.
#pragma once

#include "comport/ComPortError.h"
#include "comport/LineLog.h"
#include "comport/PortList.h"
#include "comport/PortSettings.h"

#include <QByteArray>
#include <QFlags>
#include <QObject>
#include <QSerialPort>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QThread;

namespace stadix {

// The line errors that ErrorOccurred reports, as a set.
enum class LineError {
    Frame = 0x01,
    Parity = 0x02,
    Overrun = 0x04,
    Break = 0x08,
    Io = 0x10,
    Mode = 0x20,
    RxOver = 0x40,
    TxFull = 0x80
};
Q_DECLARE_FLAGS(LineErrors, LineError)
Q_DECLARE_OPERATORS_FOR_FLAGS(LineErrors)

// How long a write may take: perByteMs for every byte plus constantMs.
struct WriteTimeouts {
    int perByteMs = 100;
    int constantMs = 1000;
};

// Every failing operation throws ComPortError. A setting changed while the port is open
// is applied to the device at once.
//
// Threads: the operations are called on the thread the port belongs to, which is the
// creating thread unless the port has been handed over. The events are delivered on
// that thread by its event loop, one batch at a time (line error first, then received
// characters); a handler that lets the loop run gets no nested event, and bytes that
// arrive meanwhile are announced after it returns. A worker thread without an event
// loop takes the port with HandOverTo (no events are delivered meanwhile), waits with
// WaitForInput, reads, writes and finally calls HandBack.
class ComPort : public QObject {
    Q_OBJECT

  public:
    explicit ComPort(QObject* parent = nullptr);
    ~ComPort() override;

    const PortSettings& Settings() const { return settings_; }
    void SetSettings(const PortSettings& settings);
    void SetPortName(const std::string& name);

    const WriteTimeouts& Timeouts() const { return writeTimeouts_; }
    void SetTimeouts(const WriteTimeouts& timeouts) { writeTimeouts_ = timeouts; }

    // Opens and configures the device named by the port name (a name such as ttyUSB0,
    // or a device path starting with "/"); nothing when already open. On failure the
    // port stays closed; a refused setting and the group owning a device this user may
    // not open are named in the error.
    void Open();
    // Closes the device and the line log.
    void Close();
    bool Connected() const;

    // Logs the bytes on the line to a new file until the port closes, timed from the
    // opening; the port is open. Throws FileError.
    void StartLineLog(const std::string& path);

    // Up to count bytes from the input queue, at once, into the buffer or as the whole
    // of bytes; returns how many were read.
    int Read(void* buffer, int count);
    int Read(std::string& bytes, int count);
    // Returns when the bytes are handed to the device, at the latest after the write
    // time-out; returns how many were handed over.
    int Write(const void* buffer, int count);
    int Write(const std::string& bytes);
    // Bytes waiting in the input queue.
    int BytesWaiting();
    void ClearBuffer(bool input, bool output);
    // Waits up to ms milliseconds for input; true when bytes are waiting.
    bool WaitForInput(int ms);

    // The serial ports of the machine, sorted by name.
    static std::vector<PortDescription> EnumComPorts();
    // Whether this user can open the port now: it is opened with plain settings and
    // closed again. The failure, or nothing when it opened.
    static std::optional<ComPortError> OpenFailureOf(const std::string& portName);

    void HandOverTo(QThread* worker);
    void HandBack();

  signals:
    // Bytes have arrived; count is the number waiting now, never 0.
    void BytesArrived(int count);
    // Line errors, never none. A hang-up of the line closes the port and is reported
    // once, as LineError::Io.
    void ErrorOccurred(stadix::LineErrors errors);

  private:
    void ConnectDevice();
    void ApplySettings();
    void ApplySetting(bool applied, PortSetting setting);
    ComPortError OpenError() const;
    void ApplyModemLines();
    void ResetDeviceSettings();
    void TakeBytesForTheLog();
    void TakeArrivedBytes();
    void HandleDeviceError(QSerialPort::SerialPortError error);
    bool LineHungUp() const;
    void CloseAfterHangUp();
    void NoteFailure(int errorCode);
    void RequireOpen(PortOperation operation);
    void PullFromDevice();
    int DeviceQueueCount() const;
    int WaitingCount() const;
    void ScheduleDelivery();
    void DeliverEvents();

    // Without a parent, so that it alone can move to a worker thread.
    std::unique_ptr<QSerialPort> port_;
    PortSettings settings_;
    WriteTimeouts writeTimeouts_;
    // Bytes taken from the device and not yet read.
    QByteArray input_;
    int lastErrno_ = 0;
    LineErrors pendingErrors_;
    bool hungUp_ = false;
    bool deliveryScheduled_ = false;
    bool delivering_ = false;
    bool redeliver_ = false;
    QThread* home_ = nullptr;
    LineLog::Clock::time_point openedAt_;
    std::unique_ptr<LineLog> lineLog_;
};

} // namespace stadix
