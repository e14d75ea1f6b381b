// What the user reads of a port: why it did not open and what to do, the port list's
// lines, and the settings a device refuses; and how long characters take on the line.
#include "comport/ComPortError.h"
#include "comport/PortList.h"
#include "comport/PortSettings.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace stadix {
namespace {

ComPortError Failure(PortOperation operation, int code, const std::string& group = "",
                     const std::string& refused = "") {
    ComPortError failure(operation, code);
    failure.SetDeviceGroup(group);
    failure.SetRefusedSetting(refused);
    return failure;
}

// The second line keeps the system's reason and says what to do; the port list says
// the same in a few words.
TEST(PortTexts, APortThatDoesNotOpenSaysWhyAndWhatToDo) {
    struct Case {
        ComPortError failure;
        const char* secondLine;
        const char* access;
    };
    const Case cases[] = {
        {Failure(PortOperation::Open, ENOENT),
         "The port could not be opened: no such file or directory. The device is not connected: "
         "plug in the cable or adapter, or check the port name.",
         "not connected"},
        {Failure(PortOperation::Open, EACCES, "dialout"),
         "The port could not be opened: permission denied. This user may not use the port: add "
         "the user to the group dialout, which owns it, and log in again.",
         "no permission (group dialout)"},
        {Failure(PortOperation::Open, EACCES),
         "The port could not be opened: permission denied. This user may not use the port: ask "
         "for access to it.",
         "no permission"},
        {Failure(PortOperation::Open, EBUSY),
         "The port could not be opened: device or resource busy. The port is busy: another "
         "program is using it. Close that program, or choose another port.",
         "busy"},
        {Failure(PortOperation::Configure, EINVAL, "", "7 data bits"),
         "The port did not take its settings: invalid argument. The port does not take 7 data "
         "bits: choose another setting, or a port that supports it.",
         "cannot be opened: invalid argument"},
        {Failure(PortOperation::Open, EIO),
         "The port could not be opened: input/output error. Check the port and its settings.",
         "cannot be opened: input/output error"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OpenFailedMessage("ttyUSB0", c.failure),
                  std::string("Unable to open ttyUSB0. Maybe ttyUSB0 occupied.\n") + c.secondLine);
        EXPECT_EQ(PortAccessText(c.failure), c.access);
    }
    EXPECT_EQ(PortAccessText(std::nullopt), "can be opened");
}

// Only what is known is shown; an id needs both halves; control characters would break
// the line and are shown as "?".
TEST(PortTexts, PortListLinesShowWhatIsKnownOnOneLine) {
    const PortDescription adapter{"ttyUSB0", "/dev/ttyUSB0", "FT232R USB UART", "FTDI",
                                  0x0403,    0x6001,         "A50285BI"};
    EXPECT_EQ(PortListLine(adapter, std::nullopt),
              "/dev/ttyUSB0  FT232R USB UART  FTDI  0403:6001  serial A50285BI  can be opened");
    EXPECT_EQ(PortChoiceText(adapter), "ttyUSB0  FT232R USB UART");
    const PortDescription bare{"ttyS0", "/dev/ttyS0", "", "", 0x1234, std::nullopt, ""};
    EXPECT_EQ(PortListLine(bare, ComPortError(PortOperation::Open, EBUSY)), "/dev/ttyS0  busy");
    EXPECT_EQ(PortChoiceText(bare), "ttyS0");
    const PortDescription odd{"ttyX", "/dev/ttyX", "two\nlines\x7F\xE9", "\t", {}, {}, "1\r"};
    EXPECT_EQ(PortDetailsText(odd), "two?lines?\xE9  ?  serial 1?");
}

TEST(PortTexts, SettingsAreNamedAsADeviceRefusesThem) {
    PortSettings settings;
    settings.baudRate = BaudRate::Br19200;
    settings.dataBits = 7;
    settings.parity = Parity::Even;
    settings.stopBits = StopBits::OnePointFive;
    settings.xonXoffIn = true;
    EXPECT_EQ(PortSettingText(settings, PortSetting::BaudRate), "19200 baud");
    EXPECT_EQ(PortSettingText(settings, PortSetting::DataBits), "7 data bits");
    EXPECT_EQ(PortSettingText(settings, PortSetting::Parity), "even parity");
    EXPECT_EQ(PortSettingText(settings, PortSetting::StopBits), "1.5 stop bits");
    EXPECT_EQ(PortSettingText(settings, PortSetting::FlowControl), "software flow control");
    settings.outCtsFlow = true;
    EXPECT_EQ(PortSettingText(settings, PortSetting::FlowControl), "hardware flow control");
    EXPECT_EQ(PortSettingText(PortSettings(), PortSetting::StopBits), "1 stop bit");
}

// Start bit, data bits, parity bit and stop bits of every character, rounded up to a
// whole millisecond.
TEST(PortLineTime, EveryBitOfEachCharacterCountsRoundedUp) {
    struct Case {
        BaudRate rate;
        int dataBits;
        Parity parity;
        StopBits stopBits;
        std::size_t characters;
        int ms;
    };
    const Case cases[] = {
        {BaudRate::Br9600, 8, Parity::None, StopBits::One, 1, 2},
        {BaudRate::Br1200, 7, Parity::Even, StopBits::Two, 12, 110},
        {BaudRate::Br2400, 7, Parity::Odd, StopBits::OnePointFive, 16, 70},
    };
    for (const Case& c : cases) {
        PortSettings settings;
        settings.baudRate = c.rate;
        settings.dataBits = c.dataBits;
        settings.parity = c.parity;
        settings.stopBits = c.stopBits;
        EXPECT_EQ(LineTimeMs(settings, c.characters), c.ms) << c.characters;
    }
}

} // namespace
} // namespace stadix
