// The serial port component: one serial device with its settings, the reads, writes
// and queue operations of the transfers, and two events (received characters, line
// error) delivered on the thread that owns the port.
#pragma once

#include "comport/EComPort.h"
#include "comport/PortSettings.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QStringList>

#include <memory>
#include <string>

class QThread;

namespace stadix {

// The port events a component can want (a set of bits). Only received characters and
// line errors have handlers in this system.
enum ComEvent : int {
    EvRxChar = 0x001,
    EvTxEmpty = 0x002,
    EvRxFlag = 0x004,
    EvRing = 0x008,
    EvBreak = 0x010,
    EvCts = 0x020,
    EvDsr = 0x040,
    EvError = 0x080,
    EvRlsd = 0x100,
    EvRx80Full = 0x200
};
constexpr int kAllComEvents = 0x3FF;

// The line errors that OnError reports (a set of bits).
enum LineError : int {
    CeFrame = 0x01,
    CeParity = 0x02,
    CeOverrun = 0x04,
    CeBreak = 0x08,
    CeIo = 0x10,
    CeMode = 0x20,
    CeRxOver = 0x40,
    CeTxFull = 0x80
};

// How long a write may take: perByteMs for every byte plus constantMs.
struct WriteTimeouts {
    int perByteMs = 100;
    int constantMs = 1000;
};

// Every failing operation throws EComPort. A setting changed while the port is open
// is applied to the device at once.
//
// Threads: the operations are called on the thread the port belongs to, which is the
// creating thread unless the port has been handed over. The events are delivered on
// that thread by its event loop, one batch at a time (line error first, then received
// characters); a handler that lets the loop run gets no nested event, and bytes that
// arrive meanwhile are announced after it returns. A worker thread without an event
// loop takes the port with HandOverTo (no events are delivered meanwhile), waits with
// WaitForInput, reads, writes and finally calls HandBack.
class TComPort : public QObject {
    Q_OBJECT

  public:
    explicit TComPort(QObject* parent = nullptr);
    ~TComPort() override;

    const PortSettings& Settings() const { return settings_; }
    void SetSettings(const PortSettings& settings);
    void SetPortName(const std::string& name);
    void SetBaudRate(BaudRate rate);
    void SetCustomBaudRate(int rate);
    void SetDataBits(int bits);
    void SetStopBits(StopBits bits);
    void SetParity(Parity parity);
    void SetOutCtsFlow(bool on);
    void SetOutDsrFlow(bool on);
    void SetDtrControl(DtrControl control);
    void SetRtsControl(RtsControl control);
    void SetXonXoffOut(bool on);
    void SetXonXoffIn(bool on);

    int Events() const { return events_; }
    void SetEvents(int events) { events_ = events; }
    const WriteTimeouts& Timeouts() const { return writeTimeouts_; }
    void SetTimeouts(const WriteTimeouts& timeouts) { writeTimeouts_ = timeouts; }

    // Opens and configures the device named by the port name (a name such as ttyUSB0,
    // or a device path starting with "/"); nothing when already open. On failure the
    // port stays closed.
    void Open();
    void Close();
    bool Connected() const;

    // Up to count bytes from the input queue, at once; returns how many were read.
    int Read(void* buffer, int count);
    int ReadStr(std::string& text, int count);
    // Returns when the bytes are handed to the device, at the latest after the write
    // time-out; returns how many were handed over.
    int Write(const void* buffer, int count);
    int WriteStr(const std::string& text);
    // Bytes waiting in the input queue.
    int InputCount();
    void ClearBuffer(bool input, bool output);
    // Waits up to ms milliseconds for input; true when bytes are waiting.
    bool WaitForInput(int ms);

    // The settings file's section of this component (its object name, "ComPort1" by
    // default). A missing key keeps the current value.
    void StoreSettings(const std::string& path) const;
    void LoadSettings(const std::string& path);

    // The serial ports of the machine, sorted.
    static QStringList EnumComPorts();

    void HandOverTo(QThread* worker);
    void HandBack();

  signals:
    // Bytes have arrived; count is the number waiting now, never 0.
    void OnRxChar(int count);
    // A set of LineError bits. A hang-up of the line closes the port and is reported
    // once, as CeIo.
    void OnError(int errors);

  private:
    template <typename T> void ChangeSetting(T PortSettings::*field, T value) {
        PortSettings changed = settings_;
        changed.*field = value;
        SetSettings(changed);
    }
    void ConnectDevice();
    void ApplySettings();
    void ApplyModemLines();
    void ResetDeviceSettings();
    void TakeArrivedBytes();
    void HandleDeviceError(QSerialPort::SerialPortError error);
    bool LineHungUp() const;
    void CloseAfterHangUp();
    void NoteFailure(int errorCode);
    void RequireOpen(ComPortErrorKind kind);
    void PullFromDevice();
    int DeviceQueueCount() const;
    int WaitingCount() const;
    void ScheduleDelivery();
    void DeliverEvents();

    // Without a parent, so that it alone can move to a worker thread.
    std::unique_ptr<QSerialPort> port_;
    PortSettings settings_;
    int events_ = kAllComEvents;
    WriteTimeouts writeTimeouts_;
    // Bytes taken from the device and not yet read.
    QByteArray input_;
    int lastErrno_ = 0;
    int pendingErrors_ = 0;
    bool hungUp_ = false;
    bool deliveryScheduled_ = false;
    bool delivering_ = false;
    bool redeliver_ = false;
    QThread* home_ = nullptr;
};

} // namespace stadix
