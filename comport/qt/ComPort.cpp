#include "comport/qt/ComPort.h"

#include <QElapsedTimer>
#include <QSerialPortInfo>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <grp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace stadix {

namespace {

QSerialPort::Parity QtParity(Parity parity) {
    switch (parity) {
    case Parity::None:
        return QSerialPort::NoParity;
    case Parity::Odd:
        return QSerialPort::OddParity;
    case Parity::Even:
        return QSerialPort::EvenParity;
    case Parity::Mark:
        return QSerialPort::MarkParity;
    case Parity::Space:
        return QSerialPort::SpaceParity;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits QtStopBits(StopBits bits) {
    switch (bits) {
    case StopBits::One:
        return QSerialPort::OneStop;
    case StopBits::OnePointFive:
        return QSerialPort::OneAndHalfStop;
    case StopBits::Two:
        return QSerialPort::TwoStop;
    }
    return QSerialPort::OneStop;
}

QSerialPort::FlowControl QtFlowControl(const PortSettings& settings) {
    switch (FlowControlOf(settings)) {
    case FlowControl::Hardware:
        return QSerialPort::HardwareControl;
    case FlowControl::Software:
        return QSerialPort::SoftwareControl;
    case FlowControl::None:
        break;
    }
    return QSerialPort::NoFlowControl;
}

// How Qt classifies an error number of the platform.
QSerialPort::SerialPortError QtErrorOf(int errorNumber) {
    switch (errorNumber) {
    case ENODEV:
    case ENOENT:
        return QSerialPort::DeviceNotFoundError;
    case EACCES:
    case EBUSY:
    case EPERM:
        return QSerialPort::PermissionError;
    case EAGAIN:
    case EIO:
    case EBADF:
        return QSerialPort::ResourceError;
    case EINVAL:
    case ENOTTY:
        return QSerialPort::UnsupportedOperationError;
    default:
        return QSerialPort::UnknownError;
    }
}

// The error number behind a device error. errno is trusted when it explains the
// error; some failures (a lock held by another program, a value Qt itself refuses)
// leave an unrelated errno behind and get the nearest number instead.
int PlatformErrorNumber(QSerialPort::SerialPortError error, int errorNumber) {
    if (errorNumber != 0 && QtErrorOf(errorNumber) == error)
        return errorNumber;
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return ENOENT;
    case QSerialPort::PermissionError:
    case QSerialPort::OpenError:
        return EBUSY;
    case QSerialPort::UnsupportedOperationError:
        return EINVAL;
    default:
        return errorNumber != 0 ? errorNumber : EIO;
    }
}

// The device file of a port name, as the platform names it.
std::string DevicePath(const std::string& portName) {
    return portName.rfind('/', 0) == 0 ? portName : "/dev/" + portName;
}

// The name of the group that owns the device file; empty when unknown.
std::string DeviceGroup(const std::string& portName) {
    struct stat device {};
    if (::stat(DevicePath(portName).c_str(), &device) != 0)
        return {};
    group entry{};
    group* found = nullptr;
    char buffer[4096];
    if (::getgrgid_r(device.st_gid, &entry, buffer, sizeof buffer, &found) != 0 || !found)
        return {};
    return found->gr_name;
}

// Whether the port's name is that of a file that is not a device: a job file named by
// mistake, in the working folder or under its device path.
bool NamesAFileNotAPort(const std::string& portName) {
    struct stat info {};
    if (::stat(DevicePath(portName).c_str(), &info) == 0)
        return !S_ISCHR(info.st_mode);
    return portName.find('/') == std::string::npos && ::stat(portName.c_str(), &info) == 0;
}

std::optional<std::uint16_t> UsbId(bool known, quint16 id) {
    return known ? std::optional<std::uint16_t>(id) : std::nullopt;
}

// Values the device cannot take at all are refused before they reach it.
void CheckSettings(const PortSettings& settings) {
    const bool valid = settings.dataBits >= 5 && settings.dataBits <= 8 &&
                       (settings.baudRate != BaudRate::Custom || settings.customBaudRate > 0);
    if (!valid)
        throw ComPortError(PortOperation::Configure, EINVAL);
}

} // namespace

ComPort::ComPort(QObject* parent) : QObject(parent), port_(std::make_unique<QSerialPort>()) {
    ConnectDevice();
}

ComPort::~ComPort() {
    Close();
}

// The device's signals are handled on the device's own thread, where they are raised.
void ComPort::ConnectDevice() {
    QSerialPort* port = port_.get();
    connect(port, &QSerialPort::readyRead, port, [this] { TakeArrivedBytes(); });
    connect(port, &QSerialPort::errorOccurred, port,
            [this](QSerialPort::SerialPortError error) { HandleDeviceError(error); });
}

// A change the open device refuses is taken back, so that the settings always describe
// the device.
void ComPort::SetSettings(const PortSettings& settings) {
    CheckSettings(settings);
    const PortSettings previous = std::exchange(settings_, settings);
    if (!Connected())
        return;
    try {
        ApplySettings();
    } catch (const ComPortError&) {
        settings_ = previous;
        ApplySettings();
        throw;
    }
}

void ComPort::SetPortName(const std::string& name) {
    PortSettings changed = settings_;
    changed.portName = name;
    SetSettings(changed);
}

void ComPort::Open() {
    if (Connected())
        return;
    ResetDeviceSettings();
    port_->setPortName(QString::fromStdString(settings_.portName));
    input_.clear();
    pendingErrors_ = {};
    hungUp_ = false;
    lastErrno_ = 0;
    errno = 0;
    if (NamesAFileNotAPort(settings_.portName))
        throw ComPortError(PortOperation::Open, ENOTTY);
    if (!port_->open(QIODevice::ReadWrite))
        throw OpenError();
    try {
        ApplySettings();
    } catch (const ComPortError&) {
        port_->close();
        throw;
    }
    openedAt_ = LineLog::Clock::now();
}

ComPortError ComPort::OpenError() const {
    ComPortError failure(PortOperation::Open, lastErrno_ != 0 ? lastErrno_ : EIO);
    if (OpenProblemOf(failure) == OpenProblem::NoPermission)
        failure.SetDeviceGroup(DeviceGroup(settings_.portName));
    return failure;
}

void ComPort::StartLineLog(const std::string& path) {
    lineLog_ = std::make_unique<LineLog>(path, openedAt_);
}

// The device opens with plain settings that every device takes; ours follow, so that
// a refused one is reported as a configuration failure.
void ComPort::ResetDeviceSettings() {
    port_->setBaudRate(9600);
    port_->setDataBits(QSerialPort::Data8);
    port_->setParity(QSerialPort::NoParity);
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(QSerialPort::NoFlowControl);
}

void ComPort::Close() {
    if (port_->isOpen()) {
        TakeBytesForTheLog();
        port_->close();
    }
    input_.clear();
    lineLog_.reset();
}

bool ComPort::Connected() const {
    return port_->isOpen();
}

void ComPort::ApplySettings() {
    lastErrno_ = 0;
    errno = 0;
    ApplySetting(port_->setBaudRate(BaudRateValue(settings_)), PortSetting::BaudRate);
    ApplySetting(port_->setDataBits(static_cast<QSerialPort::DataBits>(settings_.dataBits)),
                 PortSetting::DataBits);
    ApplySetting(port_->setParity(QtParity(settings_.parity)), PortSetting::Parity);
    ApplySetting(port_->setStopBits(QtStopBits(settings_.stopBits)), PortSetting::StopBits);
    ApplySetting(port_->setFlowControl(QtFlowControl(settings_)), PortSetting::FlowControl);
    ApplyModemLines();
}

// A setting the device does not take (an invalid argument to it) is named; any other
// failure is the device's.
void ComPort::ApplySetting(bool applied, PortSetting setting) {
    if (applied)
        return;
    ComPortError failure(PortOperation::Configure, lastErrno_ != 0 ? lastErrno_ : EINVAL);
    if (failure.ErrorCode() == EINVAL)
        failure.SetRefusedSetting(PortSettingText(settings_, setting));
    throw failure;
}

// Best effort: devices without modem lines (pseudo-terminals, some adapters) refuse
// these calls, and the line works without them.
void ComPort::ApplyModemLines() {
    port_->setDataTerminalReady(settings_.dtrControl != DtrControl::Disable);
    if (QtFlowControl(settings_) != QSerialPort::HardwareControl)
        port_->setRequestToSend(settings_.rtsControl == RtsControl::Enable);
}

// Every byte from the device passes here as it arrives, so the line log has it, also
// when it is cleared away unread.
void ComPort::TakeArrivedBytes() {
    const QByteArray arrived = port_->readAll();
    if (lineLog_)
        lineLog_->Record(
            LineDirection::FromInstrument,
            std::string_view(arrived.constData(), static_cast<std::size_t>(arrived.size())));
    input_.append(arrived);
    if (!input_.isEmpty())
        ScheduleDelivery();
}

// Bytes that have crossed the line but were never read, about to be thrown away, reach
// the line log first.
void ComPort::TakeBytesForTheLog() {
    if (!lineLog_)
        return;
    port_->waitForReadyRead(0);
    TakeArrivedBytes();
}

// Called while the device is inside its own read handling: closing is left for later.
void ComPort::HandleDeviceError(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError)
        return;
    lastErrno_ = PlatformErrorNumber(error, errno);
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError)
        return;
    if (hungUp_)
        return;
    if (LineHungUp()) {
        hungUp_ = true;
        QMetaObject::invokeMethod(
            port_.get(), [this] { CloseAfterHangUp(); }, Qt::QueuedConnection);
        return;
    }
    // A read that found nothing (the bytes were taken or purged after the device was
    // seen readable): some Qt versions stop the device's reading then, and reading the
    // queue restarts it; where reading carries on, this takes what has arrived.
    TakeArrivedBytes();
}

bool ComPort::LineHungUp() const {
    pollfd line{port_->handle(), POLLIN, 0};
    return ::poll(&line, 1, 0) > 0 && (line.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

void ComPort::CloseAfterHangUp() {
    if (!port_->isOpen())
        return;
    Close();
    pendingErrors_ |= LineError::Io;
    ScheduleDelivery();
}

// A failure of the device itself: when the line has gone, the port closes.
void ComPort::NoteFailure(int errorCode) {
    if (errorCode == EIO || LineHungUp()) {
        hungUp_ = true;
        CloseAfterHangUp();
    }
}

void ComPort::RequireOpen(PortOperation operation) {
    if (hungUp_)
        CloseAfterHangUp();
    if (!port_->isOpen())
        throw ComPortError(operation, hungUp_ ? EIO : EBADF, hungUp_);
}

// Takes what the device holds now, without waiting.
void ComPort::PullFromDevice() {
    while (port_->waitForReadyRead(0)) {
    }
    TakeArrivedBytes();
}

int ComPort::DeviceQueueCount() const {
    int waiting = 0;
    if (::ioctl(port_->handle(), FIONREAD, &waiting) == -1)
        return -1;
    return waiting;
}

int ComPort::WaitingCount() const {
    if (!port_->isOpen())
        return 0;
    return static_cast<int>(input_.size()) + std::max(DeviceQueueCount(), 0);
}

int ComPort::Read(void* buffer, int count) {
    RequireOpen(PortOperation::Read);
    if (input_.size() < count)
        PullFromDevice();
    const int taken = std::min(count, static_cast<int>(input_.size()));
    if (taken <= 0)
        return 0;
    std::memcpy(buffer, input_.constData(), static_cast<std::size_t>(taken));
    input_.remove(0, taken);
    return taken;
}

int ComPort::Read(std::string& bytes, int count) {
    bytes.assign(static_cast<std::size_t>(std::max(count, 0)), '\0');
    const int taken = Read(bytes.data(), count);
    bytes.resize(static_cast<std::size_t>(taken));
    return taken;
}

int ComPort::Write(const void* buffer, int count) {
    RequireOpen(PortOperation::Write);
    const char* bytes = static_cast<const char*>(buffer);
    const qint64 limitMs =
        qint64(writeTimeouts_.perByteMs) * count + qint64(writeTimeouts_.constantMs);
    QElapsedTimer clock;
    clock.start();
    int written = 0;
    while (written < count) {
        const ssize_t n =
            ::write(port_->handle(), bytes + written, static_cast<std::size_t>(count - written));
        if (n > 0) {
            written += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            const int code = errno;
            NoteFailure(code);
            throw ComPortError(PortOperation::Write, code, hungUp_);
        }
        const qint64 leftMs = limitMs - clock.elapsed();
        if (leftMs <= 0)
            break;
        pollfd line{port_->handle(), POLLOUT, 0};
        ::poll(&line, 1, static_cast<int>(leftMs));
    }
    if (lineLog_)
        lineLog_->Record(LineDirection::ToInstrument,
                         std::string_view(bytes, static_cast<std::size_t>(written)));
    return written;
}

int ComPort::Write(const std::string& bytes) {
    return Write(bytes.data(), static_cast<int>(bytes.size()));
}

int ComPort::BytesWaiting() {
    RequireOpen(PortOperation::CountInput);
    const int waiting = DeviceQueueCount();
    if (waiting < 0) {
        const int code = errno;
        NoteFailure(code);
        throw ComPortError(PortOperation::CountInput, code, hungUp_);
    }
    return static_cast<int>(input_.size()) + waiting;
}

void ComPort::ClearBuffer(bool input, bool output) {
    RequireOpen(PortOperation::ClearBuffers);
    QSerialPort::Directions directions;
    if (input) {
        TakeBytesForTheLog();
        input_.clear();
        directions |= QSerialPort::Input;
    }
    if (output)
        directions |= QSerialPort::Output;
    if (directions == QSerialPort::Directions())
        return;
    lastErrno_ = 0;
    if (!port_->clear(directions)) {
        const int code = lastErrno_ != 0 ? lastErrno_ : EIO;
        NoteFailure(code);
        throw ComPortError(PortOperation::ClearBuffers, code, hungUp_);
    }
}

bool ComPort::WaitForInput(int ms) {
    if (BytesWaiting() > 0)
        return true;
    port_->waitForReadyRead(ms);
    TakeArrivedBytes();
    return BytesWaiting() > 0;
}

std::vector<PortDescription> ComPort::EnumComPorts() {
    std::vector<PortDescription> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        ports.push_back({info.portName().toStdString(), info.systemLocation().toStdString(),
                         info.description().toStdString(), info.manufacturer().toStdString(),
                         UsbId(info.hasVendorIdentifier(), info.vendorIdentifier()),
                         UsbId(info.hasProductIdentifier(), info.productIdentifier()),
                         info.serialNumber().toStdString()});
    }
    SortByName(ports);
    return ports;
}

std::optional<ComPortError> ComPort::OpenFailureOf(const std::string& portName) {
    ComPort probe;
    try {
        probe.SetPortName(portName);
        probe.Open();
    } catch (const ComPortError& failure) {
        return failure;
    }
    return std::nullopt;
}

void ComPort::HandOverTo(QThread* worker) {
    home_ = port_->thread();
    port_->moveToThread(worker);
}

void ComPort::HandBack() {
    port_->moveToThread(home_);
}

void ComPort::ScheduleDelivery() {
    if (deliveryScheduled_)
        return;
    deliveryScheduled_ = true;
    QMetaObject::invokeMethod(
        port_.get(), [this] { DeliverEvents(); }, Qt::QueuedConnection);
}

void ComPort::DeliverEvents() {
    deliveryScheduled_ = false;
    if (delivering_) {
        // A handler of the current batch lets the event loop run: this batch waits.
        redeliver_ = true;
        return;
    }
    struct Batch {
        ComPort& port;
        explicit Batch(ComPort& p) : port(p) { port.delivering_ = true; }
        ~Batch() {
            port.delivering_ = false;
            if (std::exchange(port.redeliver_, false))
                port.ScheduleDelivery();
        }
    } batch(*this);
    const LineErrors errors = std::exchange(pendingErrors_, {});
    if (errors)
        emit ErrorOccurred(errors);
    const int count = WaitingCount();
    if (count > 0)
        emit BytesArrived(count);
}

} // namespace stadix
