// The settings file as the transfer settings and the port's own section use it, and the
// rules that tie the transfer settings together.
#include "transfer/TransferSettings.h"

#include "app/Errors.h"
#include "app/FileIO.h"
#include "app/IniFile.h"
#include "tests/support/DefaultSettingsFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace stadix {
namespace {

class SettingsFileTest : public test::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        path_ = Path("Commpara");
    }

    void Write(const std::string& bytes) const { std::ofstream(path_, std::ios::binary) << bytes; }
    std::string Read() const { return ReadFileBytes(path_); }
    PortSettings LoadedPort(const std::string& bytes, PortSettings port = {}) const {
        Write(bytes);
        LoadPortSettings(path_, kPortSection, port);
        return port;
    }

    std::string path_;
};

// The port section, then unit and format, and the protocol only with GTS; saving again
// keeps one of each at the end, and loads back what was stored.
TEST_F(SettingsFileTest, SettingsStoreThePortSectionThenOneOwnSectionOfEach) {
    TransferSettings settings;
    settings.port.portName = "COM1";
    settings.protocol = GtsProtocol::OneWay;
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
    const TransferSettings loaded = LoadTransferSettings(path_, TransferSettings());
    EXPECT_EQ(loaded.port.baudRate, BaudRate::Br38400);
    EXPECT_EQ(CharacterFormatOf(loaded.port), CharacterFormat::SevenOdd);
    EXPECT_EQ(loaded.coordUnit, CoordUnit::UsSurveyFoot);
    EXPECT_EQ(loaded.dataFormat, DataFormat::Gts);
    EXPECT_EQ(loaded.protocol, GtsProtocol::OneWay);
}

TEST_F(SettingsFileTest, WritesKeepTheRestOfTheFile) {
    Write("; comment\n[Other]\nPort=elsewhere\n\n"
          "[comport1]\nport = COM7 \nExtra=\xB2\xE2\n\n"
          "[UserDefFormat1]\rDefName=My format");
    EXPECT_EQ(ReadIniValue(path_, "COMPORT1", "PORT"), "COM7");
    PortSettings port;
    port.portName = "COM1";
    port.baudRate = BaudRate::Custom;
    port.customBaudRate = 250000;
    StorePortSettings(path_, kPortSection, port);
    WriteSettingValue(path_, kCoordUnitSection, kCoordUnitKey, 1);
    EXPECT_EQ(Read(),
              "; comment\r\n[Other]\r\nPort=elsewhere\r\n\r\n"
              "[comport1]\r\nPort=COM1\r\nExtra=\xB2\xE2\r\nBaudRate=Custom\r\n"
              "CustomBaudRate=250000\r\nStopBits=1\r\nDataBits=8\r\nParity=None\r\n"
              "FlowControl=None\r\n\r\n"
              "[UserDefFormat1]\r\nDefName=My format\r\n[CoordUnitSetting]\r\nCoordUnit=1\r\n");
}

// A digit beyond the choices counts as the first choice; a missing file or port keeps
// the current port.
TEST_F(SettingsFileTest, TransferSettingsLoadWithinTheirChoices) {
    TransferSettings current;
    current.port.portName = "ttyUSB0";
    EXPECT_EQ(LoadTransferSettings(path_, current).port.portName, "ttyUSB0");
    Write("[CoordUnitSetting]\r\nCoordUnit=3\r\n[DataFormatSetting]\r\nDataFormat=3\r\n"
          "[GTSACKSetting]\r\nGTSACK=2\r\n");
    current.coordUnit = CoordUnit::UsSurveyFoot;
    current.dataFormat = DataFormat::Sss;
    current.protocol = GtsProtocol::OneWay;
    const TransferSettings loaded = LoadTransferSettings(path_, current);
    EXPECT_EQ(loaded.port.portName, "ttyUSB0");
    EXPECT_EQ(loaded.coordUnit, CoordUnit::Metre);
    EXPECT_EQ(loaded.dataFormat, DataFormat::Kvr);
    EXPECT_EQ(loaded.protocol, GtsProtocol::AckNak);
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
        const bool kvr = format == DataFormat::Kvr;
        EXPECT_EQ(settings.port.dataBits, kvr ? 8 : 7);
        EXPECT_EQ(settings.port.parity, kvr ? Parity::None : Parity::Odd);
        EXPECT_EQ(settings.port.stopBits, kvr ? StopBits::One : StopBits::Two);
    }
    EXPECT_EQ(kTransferBaudRates[TransferBaudIndex(BaudRate::Br38400)], BaudRate::Br38400);
    EXPECT_EQ(kTransferBaudRates[TransferBaudIndex(BaudRate::Br115200)], BaudRate::Br9600);
}

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
}

TEST_F(SettingsFileTest, WritingADigitTidiesAnOddFile) {
    Write("[CoordUnitSetting]\nX=1\nCoordUnit=5\n[CoordUnitSetting]\n[Tail]\nA=1");
    WriteSettingValue(path_, kCoordUnitSection, kCoordUnitKey, 3);
    EXPECT_EQ(Read(), "X=1\r\n[Tail]\r\nA=1\r\n[CoordUnitSetting]\r\nCoordUnit=3\r\n");
}

TEST_F(SettingsFileTest, PortWordsMatchWithoutCaseAndUnknownOnesGiveTheDefault) {
    PortSettings port = LoadedPort("[ComPort1]\nPort=ttyUSB0\nBaudRate=custom\n"
                                   "CustomBaudRate=31250\nStopBits=1.5\nDataBits=7\n"
                                   "Parity=EVEN\nFlowControl=hardware\n");
    EXPECT_EQ(port.portName, "ttyUSB0");
    EXPECT_EQ(port.baudRate, BaudRate::Custom);
    EXPECT_EQ(port.customBaudRate, 31250);
    EXPECT_EQ(port.stopBits, StopBits::OnePointFive);
    EXPECT_EQ(port.dataBits, 7);
    EXPECT_EQ(port.parity, Parity::Even);
    EXPECT_TRUE(port.rtsControl == RtsControl::Handshake && port.outCtsFlow);

    port = LoadedPort("[ComPort1]\nBaudRate=9601\nCustomBaudRate=-5\nStopBits=3\nDataBits=9\n"
                      "Parity=odd?\nFlowControl=Software\n",
                      port);
    EXPECT_EQ(port.portName, "ttyUSB0"); // missing key keeps the value
    EXPECT_EQ(port.baudRate, BaudRate::Br9600);
    EXPECT_EQ(port.customBaudRate, 9600);
    EXPECT_EQ(port.stopBits, StopBits::One);
    EXPECT_EQ(port.dataBits, 8);
    EXPECT_EQ(port.parity, Parity::None);
    EXPECT_TRUE(port.rtsControl == RtsControl::Disable && !port.outCtsFlow);
    EXPECT_TRUE(port.xonXoffOut && port.xonXoffIn);

    port = LoadedPort("[ComPort1]\nFlowControl=whatever\n", port);
    EXPECT_TRUE(port.xonXoffOut); // an unknown word leaves the flow settings
}

TEST_F(SettingsFileTest, FlowControlWordFollowsTheFourFlowSettings) {
    const auto storedFlow = [&](const PortSettings& port) {
        StorePortSettings(path_, kPortSection, port);
        return ReadIniValue(path_, kPortSection, "FlowControl");
    };
    PortSettings port;
    EXPECT_EQ(storedFlow(port), "None");
    port.xonXoffOut = port.xonXoffIn = true;
    EXPECT_EQ(storedFlow(port), "Software");
    port.xonXoffIn = false;
    EXPECT_EQ(storedFlow(port), "Custom");
    port.xonXoffOut = false;
    port.rtsControl = RtsControl::Handshake;
    port.outCtsFlow = true;
    EXPECT_EQ(storedFlow(port), "Hardware");
    port.rtsControl = RtsControl::Enable;
    EXPECT_EQ(storedFlow(port), "Custom");
}

TEST_F(SettingsFileTest, WritesIntoAMissingFolderFail) {
    const std::string nowhere = Path("missing/Commpara");
    EXPECT_THROW(WriteSettingValue(nowhere, kCoordUnitSection, kCoordUnitKey, 1), FileError);
    EXPECT_THROW(StorePortSettings(nowhere, kPortSection, PortSettings()), FileError);
}

} // namespace
} // namespace stadix
