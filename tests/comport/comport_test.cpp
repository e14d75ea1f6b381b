// The serial port component on a real pseudo-terminal.
#include "Pty.h"
#include "base/FileIO.h"
#include "comport/qt/ComPort.h"
#include "comport/qt/PortWatcher.h"
#include "tests/support/HexBytes.h"
#include "tests/support/QtWait.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace stadix {
namespace {

using test::Pty;
using test::WaitFor;

speed_t OutputSpeed(const Pty& pty) {
    const termios settings = pty.ProgramEndSettings();
    return cfgetospeed(&settings);
}

// The port's settings with one change made.
template <typename Change> PortSettings Changed(const ComPort& port, Change change) {
    PortSettings settings = port.Settings();
    change(settings);
    return settings;
}

// The error the call throws; an error of no operation when it throws none.
template <typename Call> ComPortError ErrorOf(Call call) {
    try {
        call();
    } catch (const ComPortError& error) {
        return error;
    }
    return ComPortError(PortOperation::StoreSettings, -1);
}

class ComPortTest : public test::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        port.SetPortName(pty.DevicePath());
        QObject::connect(&port, &ComPort::ErrorOccurred,
                         [this](LineErrors set) { errors.push_back(set); });
    }

    Pty pty;
    ComPort port;
    std::vector<LineErrors> errors;
};

// The pty refuses the modem-line calls; the open must not fail on them. A read takes
// no more than asked and keeps the rest; clearing the input keeps the output not yet
// sent; a second open neither reopens nor purges. The line log holds all bytes both
// ways, those cleared away unread too, and all of it is in the file once the port closed.
TEST_F(ComPortTest, OpensWithItsSettingsAndAllByteValuesPassBothWays) {
    port.SetSettings(Changed(port, [](PortSettings& s) {
        s.dtrControl = DtrControl::Enable;
        s.rtsControl = RtsControl::Enable;
    }));
    port.Open();
    ASSERT_TRUE(port.Connected());
    port.StartLineLog(Path("line.log"));
    EXPECT_EQ(OutputSpeed(pty), speed_t(B9600));
    std::string bytes;
    for (int value = 0; value < 256; ++value)
        bytes.push_back(static_cast<char>(value));
    ASSERT_TRUE(pty.Write(bytes));
    ASSERT_TRUE(WaitFor([&] { return port.BytesWaiting() == 256; }));
    port.Open();
    std::string received;
    EXPECT_EQ(port.Read(received, 200), 200);
    char rest[64] = {};
    EXPECT_EQ(port.Read(rest, 64), 56);
    EXPECT_EQ(received + std::string(rest, 56), bytes);
    EXPECT_EQ(port.Write(bytes), 256);
    EXPECT_EQ(pty.Read(256), bytes);

    ASSERT_EQ(port.Write("OUT"), 3);
    ASSERT_TRUE(pty.Write("IN"));
    ASSERT_TRUE(WaitFor([&] { return port.BytesWaiting() == 2; }));
    port.ClearBuffer(true, false);
    EXPECT_EQ(port.BytesWaiting(), 0);
    EXPECT_EQ(pty.Read(3), "OUT");
    port.Close();
    std::string in;
    std::string out;
    for (const std::string& line : ReadFileLines(Path("line.log")))
        (line.find(" < ") != std::string::npos ? in : out) += test::Hex(line.substr(8));
    EXPECT_EQ(in, bytes + "IN");
    EXPECT_EQ(out, bytes + "OUT");
}

// A handler that lets the event loop run (as the instrument-format dialog does) gets
// no nested event; what arrives meanwhile is announced after it returns, and the
// announced counts add up to what arrived.
TEST_F(ComPortTest, HandlersOfOnePortNeverOverlap) {
    int depth = 0;
    int deepest = 0;
    int announced = 0;
    std::string received;
    QObject::connect(&port, &ComPort::BytesArrived, [&](int count) {
        deepest = std::max(deepest, ++depth);
        announced += count;
        std::string chunk;
        port.Read(chunk, count);
        received += chunk;
        if (received == "A") {
            pty.Write("BC");
            QTest::qWait(100);
        }
        --depth;
    });
    port.Open();
    ASSERT_TRUE(pty.Write("A"));
    ASSERT_TRUE(WaitFor([&] { return received == "ABC"; })) << received;
    QTest::qWait(200);
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(announced, 3);
}

// A hang-up closes the port, is reported once, and failures name the line in plain
// words: noticed while idle, or met by a write.
TEST_F(ComPortTest, AHangUpNoticedWhileIdleClosesThePortAndIsReportedOnce) {
    port.Open();
    pty.Close();
    ASSERT_TRUE(WaitFor([&] { return !port.Connected(); }));
    QTest::qWait(200);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].testFlag(LineError::Io));
    EXPECT_STREQ(ErrorOf([&] { port.BytesWaiting(); }).what(),
                 "Looking for input on the port failed: the line was hung up");
}

TEST_F(ComPortTest, AHangUpMetByAWriteClosesThePortAndIsReportedOnce) {
    port.Open();
    pty.Close();
    const ComPortError failed = ErrorOf([&] { port.Write("X"); });
    EXPECT_EQ(failed.Operation(), PortOperation::Write);
    EXPECT_EQ(std::string(failed.what()).find("win"), std::string::npos) << failed.what();
    EXPECT_FALSE(port.Connected());
    QTest::qWait(200);
    EXPECT_EQ(errors.size(), 1u);
}

// A pseudo-terminal takes neither parity nor 7 data bits: the change fails and the
// port carries on with what it had. A write the other end does not take gives up when
// its time is out.
TEST_F(ComPortTest, SettingsChangedWhileOpenReachTheDeviceOrAreTakenBack) {
    port.Open();
    port.SetSettings(Changed(port, [](PortSettings& s) {
        s.baudRate = BaudRate::Br19200;
        s.stopBits = StopBits::Two;
    }));
    EXPECT_EQ(OutputSpeed(pty), speed_t(B19200));
    EXPECT_NE(pty.ProgramEndSettings().c_cflag & CSTOPB, 0u);
    port.SetSettings(Changed(port, [](PortSettings& s) {
        s.customBaudRate = 4800;
        s.baudRate = BaudRate::Custom;
    }));
    EXPECT_EQ(OutputSpeed(pty), speed_t(B4800));
    EXPECT_THROW(port.SetSettings(Changed(port, [](PortSettings& s) { s.dataBits = 4; })),
                 ComPortError);
    EXPECT_EQ(port.Settings().dataBits, 8);
    const ComPortError refused = ErrorOf(
        [&] { port.SetSettings(Changed(port, [](PortSettings& s) { s.parity = Parity::Even; })); });
    EXPECT_EQ(refused.Operation(), PortOperation::Configure);
    EXPECT_EQ(refused.ErrorCode(), EINVAL);
    EXPECT_EQ(port.Settings().parity, Parity::None);
    EXPECT_EQ(OutputSpeed(pty), speed_t(B4800));
    EXPECT_EQ(port.Write("ok"), 2);
    EXPECT_EQ(pty.Read(2), "ok");
    port.SetTimeouts({0, 200});
    const int written = port.Write(std::string(1 << 20, 'x'));
    EXPECT_TRUE(written > 0 && written < (1 << 20)) << written;
}

// The worker thread of a transfer takes the port and talks on it without an event
// loop; a hang-up meanwhile fails the worker's next operation, and is reported on the
// owner's thread once the port is back.
TEST_F(ComPortTest, AWorkerThreadTakesThePortAndGivesItBack) {
    QThread* reportThread = nullptr;
    QObject::connect(&port, &ComPort::ErrorOccurred,
                     [&](LineErrors) { reportThread = QThread::currentThread(); });
    port.Open();
    std::string workerReceived;
    bool workerFailed = false;
    QThread* worker = QThread::create([&] {
        if (port.WaitForInput(10000)) {
            QThread::msleep(50);
            port.Read(workerReceived, port.BytesWaiting());
            port.Write("ACK:" + workerReceived);
        }
        workerFailed = ErrorOf([&] { port.WaitForInput(10000); }).ErrorCode() != -1;
        port.HandBack();
    });
    port.HandOverTo(worker);
    worker->start();
    ASSERT_TRUE(pty.Write("PING"));
    EXPECT_EQ(pty.Read(8), "ACK:PING");
    pty.Close();
    ASSERT_TRUE(worker->wait(15000));
    delete worker;
    EXPECT_TRUE(workerFailed && !port.Connected());
    QTest::qWait(200);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].testFlag(LineError::Io));
    EXPECT_EQ(reportThread, QCoreApplication::instance()->thread());
}

// A device file that appears in the watched folder is told.
using PortWatcherTest = test::TempFolderTest;

TEST_F(PortWatcherTest, ADeviceThatAppearsIsTold) {
    PortWatcher watcher(QString::fromStdString(dir.string()));
    int changes = 0;
    QObject::connect(&watcher, &PortWatcher::Changed, [&changes] { ++changes; });
    QTest::qWait(100);
    EXPECT_EQ(changes, 0);
    std::ofstream(dir / "ttyUSB0").put('x');
    EXPECT_TRUE(WaitFor([&changes] { return changes > 0; }));
}

} // namespace
} // namespace stadix

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
