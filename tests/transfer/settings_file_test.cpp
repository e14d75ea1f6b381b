// The settings file as the transfer settings and the port's own section use it, and the
// rules that tie the transfer settings together.
#include "transfer/TransferSettings.h"

#include "base/Errors.h"
#include "base/FileIO.h"
#include "base/IniFile.h"
#include "tests/support/DefaultSettingsFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <tuple>

namespace stadix {
namespace {

// RTS, CTS on output, XON/XOFF out and in: the four settings the flow word stands for.
using Flow = std::tuple<RtsControl, bool, bool, bool>;
const Flow kSoftware{RtsControl::Disable, false, true, true};

class SettingsFileTest : public test::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        path_ = Path("Commpara");
    }

    void Write(const std::string& bytes) const { std::ofstream(path_, std::ios::binary) << bytes; }
    std::string Read() const { return ReadFileBytes(path_); }

    std::string path_;
};

// The port section, then unit and format, and the protocol only with GTS; saving again
// keeps one of each at the end and loads back what was stored. A digit beyond the
// choices loads as the first choice; a missing file or key keeps the current value.
TEST_F(SettingsFileTest, SettingsStoreAndLoadInTheirOwnSections) {
    TransferSettings settings;
    settings.port.portName = "COM1";
    settings.protocol = GtsProtocol::OneWay;
    EXPECT_EQ(LoadTransferSettings(path_, settings).port.portName, "COM1");
    StoreTransferSettings(path_, settings);
    EXPECT_EQ(Read(), kDefaultSettingsFile);
    settings.port.baudRate = BaudRate::Br38400;
    SetCharacterFormat(settings.port, CharacterFormat::SevenOdd);
    settings.coordUnit = CoordUnit::UsSurveyFoot;
    settings.dataFormat = DataFormat::Gts;
    StoreTransferSettings(path_, settings);
    EXPECT_EQ(Read(), "[ComPort1]\r\nPort=COM1\r\nBaudRate=38400\r\nStopBits=1\r\nDataBits=7\r\n"
                      "Parity=Odd\r\nFlowControl=None\r\n"
                      "[CoordUnitSetting]\r\nCoordUnit=2\r\n[DataFormatSetting]\r\nDataFormat=1\r\n"
                      "[GTSACKSetting]\r\nGTSACK=1\r\n");
    StoreTransferSettings(Path("again"), LoadTransferSettings(path_, TransferSettings()));
    EXPECT_EQ(ReadFileBytes(Path("again")), Read());
    Write("[CoordUnitSetting]\r\nCoordUnit=3\r\n[DataFormatSetting]\r\nDataFormat=3\r\n"
          "[GTSACKSetting]\r\nGTSACK=2\r\n");
    const TransferSettings loaded = LoadTransferSettings(path_, settings);
    EXPECT_EQ(std::tie(loaded.port.portName, loaded.coordUnit, loaded.dataFormat, loaded.protocol),
              std::make_tuple("COM1", CoordUnit::Metre, DataFormat::Kvr, GtsProtocol::AckNak));
}

// Writes keep the rest of the file; they fail without its folder.
TEST_F(SettingsFileTest, WritesKeepTheRestOfTheFile) {
    Write("; comment\n[Other]\nPort=elsewhere\n\n"
          "[comport1]\nport = COM7 \nExtra=\xB2\xE2\n\n"
          "[UserDefFormat1]\rDefName=My format");
    EXPECT_EQ(ReadIniValue(path_, "COMPORT1", "PORT"), "COM7");
    StorePortSettings(path_, kPortSection, PortSettings{"COM1", BaudRate::Custom, 250000});
    WriteSettingValue(path_, kCoordUnitSection, kCoordUnitKey, 1);
    EXPECT_EQ(Read(),
              "; comment\r\n[Other]\r\nPort=elsewhere\r\n\r\n"
              "[comport1]\r\nPort=COM1\r\nExtra=\xB2\xE2\r\nBaudRate=Custom\r\n"
              "CustomBaudRate=250000\r\nStopBits=1\r\nDataBits=8\r\nParity=None\r\n"
              "FlowControl=None\r\n\r\n"
              "[UserDefFormat1]\r\nDefName=My format\r\n[CoordUnitSetting]\r\nCoordUnit=1\r\n");
    const std::string nowhere = Path("missing/Commpara");
    EXPECT_THROW(WriteSettingValue(nowhere, kCoordUnitSection, kCoordUnitKey, 1), FileError);
    EXPECT_THROW(StorePortSettings(nowhere, kPortSection, PortSettings()), FileError);
}

// The line log choice joins the file only once a log is kept, and can be taken back.
// The logs go beside the settings file, named by the time, unless a file is named.
TEST_F(SettingsFileTest, TheLineLogChoiceIsStoredOnceMadeAndNamesTheLogs) {
    TransferSettings settings;
    settings.port.portName = "COM1";
    settings.keepLineLog = true;
    StoreTransferSettings(path_, settings);
    EXPECT_EQ(Read(), kDefaultSettingsFile + "[LineLogSetting]\r\nLineLog=1\r\n");
    TransferSettings loaded = LoadTransferSettings(path_, TransferSettings());
    EXPECT_TRUE(loaded.keepLineLog);
    std::tm time{};
    std::tie(time.tm_year, time.tm_mon, time.tm_mday) = std::make_tuple(124, 0, 9);
    std::tie(time.tm_hour, time.tm_min, time.tm_sec) = std::make_tuple(13, 4, 5);
    EXPECT_EQ(LineLogPath(loaded, time), Path("LineLog-20240109-130405.log"));
    loaded.lineLogFile = Path("named.log");
    EXPECT_EQ(LineLogPath(loaded, time), Path("named.log"));
    settings.keepLineLog = false;
    StoreTransferSettings(path_, settings);
    EXPECT_EQ(Read(), kDefaultSettingsFile + "[LineLogSetting]\r\nLineLog=0\r\n");
    loaded = LoadTransferSettings(path_, TransferSettings());
    EXPECT_FALSE(loaded.keepLineLog);
    EXPECT_EQ(LineLogPath(loaded, time), "");
}

// KVR runs with 8 data bits, no parity and one stop bit; the baud list offers 600 to
// 38400 and shows a rate it does not offer as 9600.
TEST(TransferSettingsRules, KvrForcesItsLineAndTheBaudListFallsBackTo9600) {
    for (const DataFormat format : {DataFormat::Kvr, DataFormat::Gts, DataFormat::Sss}) {
        TransferSettings settings;
        settings.dataFormat = format;
        SetCharacterFormat(settings.port, CharacterFormat::SevenOdd);
        settings.port.stopBits = StopBits::Two;
        ApplyFormatRule(settings);
        EXPECT_EQ(std::tie(settings.port.dataBits, settings.port.parity, settings.port.stopBits),
                  format == DataFormat::Kvr ? std::make_tuple(8, Parity::None, StopBits::One)
                                            : std::make_tuple(7, Parity::Odd, StopBits::Two));
    }
    EXPECT_EQ(kTransferBaudRates[TransferBaudIndex(BaudRate::Br38400)], BaudRate::Br38400);
    EXPECT_EQ(kTransferBaudRates[TransferBaudIndex(BaudRate::Br115200)], BaudRate::Br9600);
}

// A digit is read only from the line right after its exact section line; writing one
// leaves a single section at the end.
TEST_F(SettingsFileTest, DigitsFollowTheirLineRules) {
    EXPECT_EQ(ReadSettingDigit(path_, kCoordUnitSection, kCoordUnitKey), 0); // no file
    const std::pair<const char*, int> cases[] = {
        {"  [CoordUnitSetting]  \r  CoordUnit=2  \r", 2},
        {"[CoordUnitSetting]\n\nCoordUnit=2\n", 0}, // not directly after
        {"[CoordUnitSetting]\nCoordUnit=12\n", 1},  // one character only
        {"[CoordUnitSetting]\nCoordUnit=x\n", 0},   // not a digit
        {"[CoordUnitSetting]\nCoordUnit=\n", 0},    // empty
        {"[CoordUnitSetting]", 0},                  // no next line
        {"[CoordUnitSetting]\nCoordUnit=1\n[CoordUnitSetting]\nCoordUnit=2\n", 1}, // first
        {"[coordunitsetting]\nCoordUnit=2\n", 0}, // exact section line
    };
    for (const auto& [bytes, digit] : cases) {
        Write(bytes);
        EXPECT_EQ(ReadSettingDigit(path_, kCoordUnitSection, kCoordUnitKey), digit) << bytes;
    }
    Write("[CoordUnitSetting]\nX=1\nCoordUnit=5\n[CoordUnitSetting]\n[Tail]\nA=1");
    WriteSettingValue(path_, kCoordUnitSection, kCoordUnitKey, 3);
    EXPECT_EQ(Read(), "X=1\r\n[Tail]\r\nA=1\r\n[CoordUnitSetting]\r\nCoordUnit=3\r\n");
}

// Words match without regard to case; an unknown word gives the default, an unknown flow
// word leaves the flow settings, and a missing key keeps the value.
TEST_F(SettingsFileTest, PortWordsMatchWithoutCaseAndUnknownOnesGiveTheDefault) {
    const Flow hardware{RtsControl::Handshake, true, false, false};
    const auto unknown = std::make_tuple(std::string("ttyUSB0"), BaudRate::Br9600, 9600,
                                         StopBits::One, 8, Parity::None, kSoftware);
    const std::pair<const char*, decltype(unknown)> cases[] = {
        {"Port=ttyUSB0\nBaudRate=custom\nCustomBaudRate=31250\nStopBits=1.5\nDataBits=7\n"
         "Parity=EVEN\nFlowControl=hardware\n",
         {"ttyUSB0", BaudRate::Custom, 31250, StopBits::OnePointFive, 7, Parity::Even, hardware}},
        {"BaudRate=9601\nCustomBaudRate=-5\nStopBits=3\nDataBits=9\nParity=odd?\n"
         "FlowControl=Software\n",
         unknown},
        {"FlowControl=whatever\n", unknown}};
    PortSettings port;
    for (const auto& [keys, expected] : cases) {
        Write(std::string("[ComPort1]\n") + keys);
        LoadPortSettings(path_, kPortSection, port);
        const Flow flow{port.rtsControl, port.outCtsFlow, port.xonXoffOut, port.xonXoffIn};
        EXPECT_EQ(std::tie(port.portName, port.baudRate, port.customBaudRate, port.stopBits,
                           port.dataBits, port.parity, flow),
                  expected)
            << keys;
    }
}

// The flow settings store as the word of their combination, a mixture as Custom.
TEST_F(SettingsFileTest, FlowControlWordFollowsTheFourFlowSettings) {
    const std::pair<Flow, const char*> cases[] = {
        {kSoftware, "Software"},
        {{RtsControl::Handshake, true, false, false}, "Hardware"},
        {{RtsControl::Disable, false, true, false}, "Custom"},
        {{RtsControl::Enable, true, false, false}, "Custom"}};
    for (const auto& [flow, word] : cases) {
        PortSettings port;
        std::tie(port.rtsControl, port.outCtsFlow, port.xonXoffOut, port.xonXoffIn) = flow;
        StorePortSettings(path_, kPortSection, port);
        EXPECT_EQ(ReadIniValue(path_, kPortSection, "FlowControl"), word);
    }
}

} // namespace
} // namespace stadix
