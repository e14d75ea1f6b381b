#include "transfer/TransferSettings.h"

#include "app/IniFile.h"

#include "app/Errors.h"
#include "app/FileIO.h"
#include "tests/support/DefaultSettingsFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace stadix {
namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public test::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        path_ = Path("Commpara");
    }

    void Write(const std::string& bytes) const { std::ofstream(path_, std::ios::binary) << bytes; }
    std::string Read() const { return ReadFileBytes(path_); }

    // What the settings dialog's choices store.
    void SaveDialog(const PortSettings& port, int unit, int format) const {
        TransferSettings settings;
        settings.port = port;
        settings.coordUnit = static_cast<CoordUnit>(unit);
        settings.dataFormat = static_cast<DataFormat>(format);
        StoreTransferSettings(path_, settings);
    }

    static PortSettings InitialPort() {
        PortSettings port;
        port.portName = "COM1";
        return port;
    }

    std::string path_;
};

// The port section, then unit and format; saving again keeps one of each at the end.
TEST_F(SettingsFileTest, SettingsStoreThePortSectionThenOneOwnSectionOfEach) {
    SaveDialog(InitialPort(), 0, 0);
    EXPECT_EQ(Read(), kDefaultSettingsFile);
    WriteSettingValue(path_, kGtsAckSection, kGtsAckKey, 1);
    EXPECT_EQ(Read(), kDefaultSettingsFile + "[GTSACKSetting]\r\nGTSACK=1\r\n");
    PortSettings port = InitialPort();
    port.baudRate = BaudRate::Br38400;
    port.dataBits = 7;
    port.parity = Parity::Odd;
    SaveDialog(port, 2, 2);
    EXPECT_EQ(Read(), "[ComPort1]\r\n"
                      "Port=COM1\r\n"
                      "BaudRate=38400\r\n"
                      "StopBits=1\r\n"
                      "DataBits=7\r\n"
                      "Parity=Odd\r\n"
                      "FlowControl=None\r\n"
                      "[GTSACKSetting]\r\n"
                      "GTSACK=1\r\n"
                      "[CoordUnitSetting]\r\n"
                      "CoordUnit=2\r\n"
                      "[DataFormatSetting]\r\n"
                      "DataFormat=2\r\n");
    EXPECT_EQ(ReadSettingDigit(path_, kCoordUnitSection, kCoordUnitKey), 2);
    EXPECT_EQ(ReadSettingDigit(path_, kDataFormatSection, kDataFormatKey), 2);
    EXPECT_EQ(ReadSettingDigit(path_, kGtsAckSection, kGtsAckKey), 1);
}

TEST_F(SettingsFileTest, WritesKeepTheRestOfTheFile) {
    Write("; comment\n"
          "[Other]\n"
          "Port=elsewhere\n"
          "\n"
          "[comport1]\n"
          "port = COM7\n"
          "Extra=\xB2\xE2\n"
          "\n"
          "[UserDefFormat1]\r"
          "DefName=My format\r\n"
          "DefFileExt=dat\r\n"
          "DefOrderWord=012341");
    PortSettings port = InitialPort();
    port.baudRate = BaudRate::Custom;
    port.customBaudRate = 250000;
    StorePortSettings(path_, kPortSection, port);
    WriteSettingValue(path_, kCoordUnitSection, kCoordUnitKey, 1);
    EXPECT_EQ(Read(), "; comment\r\n"
                      "[Other]\r\n"
                      "Port=elsewhere\r\n"
                      "\r\n"
                      "[comport1]\r\n"
                      "Port=COM1\r\n"
                      "Extra=\xB2\xE2\r\n"
                      "BaudRate=Custom\r\n"
                      "CustomBaudRate=250000\r\n"
                      "StopBits=1\r\n"
                      "DataBits=8\r\n"
                      "Parity=None\r\n"
                      "FlowControl=None\r\n"
                      "\r\n"
                      "[UserDefFormat1]\r\n"
                      "DefName=My format\r\n"
                      "DefFileExt=dat\r\n"
                      "DefOrderWord=012341\r\n"
                      "[CoordUnitSetting]\r\n"
                      "CoordUnit=1\r\n");
    EXPECT_EQ(ReadIniValue(path_, "UserDefFormat1", "defname"), "My format");
    EXPECT_EQ(ReadIniValue(path_, "Other", "Port"), "elsewhere");
    EXPECT_EQ(ReadIniValue(path_, "Other", "Missing"), std::nullopt);
    EXPECT_EQ(ReadIniValue(path_, "Missing", "Port"), std::nullopt);
}

// A digit beyond the choices counts as the first choice; a missing port key keeps the
// current value.
TEST_F(SettingsFileTest, TransferSettingsLoadWithinTheirChoices) {
    Write("[ComPort1]\r\nBaudRate=fast\r\n[CoordUnitSetting]\r\n\r\nCoordUnit=2\r\n"
          "[DataFormatSetting]\r\nDataFormat=21\r\n[GTSACKSetting]\r\nGTSACK=x\r\n");
    TransferSettings current;
    current.port.portName = "ttyUSB0";
    current.coordUnit = CoordUnit::UsSurveyFoot;
    const TransferSettings loaded = LoadTransferSettings(path_, current);
    EXPECT_EQ(loaded.port.portName, "ttyUSB0");
    EXPECT_EQ(loaded.port.baudRate, BaudRate::Br9600);
    EXPECT_EQ(loaded.coordUnit, CoordUnit::Metre);
    EXPECT_EQ(loaded.dataFormat, DataFormat::Sss);
    EXPECT_EQ(loaded.protocol, GtsProtocol::AckNak);
    Write("[CoordUnitSetting]\r\nCoordUnit=7\r\n[DataFormatSetting]\r\nDataFormat=5\r\n"
          "[GTSACKSetting]\r\nGTSACK=2\r\n");
    const TransferSettings clamped = LoadTransferSettings(path_, current);
    EXPECT_EQ(clamped.coordUnit, CoordUnit::Metre);
    EXPECT_EQ(clamped.dataFormat, DataFormat::Kvr);
    EXPECT_EQ(clamped.protocol, GtsProtocol::AckNak);
}

// The protocol is stored only with GTS, so that a choice made for GTS outlives the
// others; KVR runs with 8 data bits, no parity and one stop bit.
TEST_F(SettingsFileTest, TheProtocolIsStoredWithGtsAndKvrForcesItsLine) {
    TransferSettings settings;
    settings.dataFormat = DataFormat::Sss;
    settings.protocol = GtsProtocol::OneWay;
    Write("[GTSACKSetting]\r\nGTSACK=0\r\n");
    StoreTransferSettings(path_, settings);
    EXPECT_EQ(LoadTransferSettings(path_, settings).protocol, GtsProtocol::AckNak);
    settings.dataFormat = DataFormat::Gts;
    StoreTransferSettings(path_, settings);
    EXPECT_EQ(LoadTransferSettings(path_, settings).protocol, GtsProtocol::OneWay);

    SetCharacterFormat(settings.port, CharacterFormat::SevenOdd);
    settings.port.stopBits = StopBits::Two;
    TransferSettings kvr = settings;
    ApplyFormatRule(settings);
    EXPECT_EQ(CharacterFormatOf(settings.port), CharacterFormat::SevenOdd);
    kvr.dataFormat = DataFormat::Kvr;
    ApplyFormatRule(kvr);
    EXPECT_EQ(kvr.port.dataBits, 8);
    EXPECT_EQ(kvr.port.parity, Parity::None);
    EXPECT_EQ(kvr.port.stopBits, StopBits::One);
}

TEST_F(SettingsFileTest, DigitsFollowTheirLineRules) {
    EXPECT_EQ(ReadSettingDigit(path_, kCoordUnitSection, kCoordUnitKey), 0); // no file
    const auto digitOf = [&](const std::string& bytes) {
        Write(bytes);
        return ReadSettingDigit(path_, kCoordUnitSection, kCoordUnitKey);
    };
    EXPECT_EQ(digitOf("  [CoordUnitSetting]  \r  CoordUnit=2  \r"), 2);
    EXPECT_EQ(digitOf("[CoordUnitSetting]\n\nCoordUnit=2\n"), 0); // not directly after
    EXPECT_EQ(digitOf("[CoordUnitSetting]\nCoordUnit=12\n"), 1);  // one character only
    EXPECT_EQ(digitOf("[CoordUnitSetting]\nCoordUnit=x\n"), 0);   // not a digit
    EXPECT_EQ(digitOf("[CoordUnitSetting]\nCoordUnit=\n"), 0);    // empty
    EXPECT_EQ(digitOf("[CoordUnitSetting]"), 0);                  // no next line
    EXPECT_EQ(digitOf("[CoordUnitSetting]\nCoordUnit=1\n"
                      "[CoordUnitSetting]\nCoordUnit=2\n"),
              1);                                               // first section counts
    EXPECT_EQ(digitOf("[coordunitsetting]\nCoordUnit=2\n"), 0); // exact section line
}

TEST_F(SettingsFileTest, WritingADigitTidiesAnOddFile) {
    Write("[CoordUnitSetting]\nX=1\nCoordUnit=5\n[CoordUnitSetting]\n[Tail]\nA=1");
    WriteSettingValue(path_, kCoordUnitSection, kCoordUnitKey, 3);
    EXPECT_EQ(Read(), "X=1\r\n[Tail]\r\nA=1\r\n[CoordUnitSetting]\r\nCoordUnit=3\r\n");
}

TEST_F(SettingsFileTest, LoadingMatchesWordsWithoutCaseAndDefaultsUnknownOnes) {
    Write("[ComPort1]\nPort=ttyUSB0\nBaudRate=custom\nCustomBaudRate=31250\nStopBits=1.5\n"
          "DataBits=7\nParity=EVEN\nFlowControl=hardware\n");
    PortSettings port;
    LoadPortSettings(path_, kPortSection, port);
    EXPECT_EQ(port.portName, "ttyUSB0");
    EXPECT_EQ(port.baudRate, BaudRate::Custom);
    EXPECT_EQ(port.customBaudRate, 31250);
    EXPECT_EQ(port.stopBits, StopBits::OnePointFive);
    EXPECT_EQ(port.dataBits, 7);
    EXPECT_EQ(port.parity, Parity::Even);
    EXPECT_EQ(port.rtsControl, RtsControl::Handshake);
    EXPECT_TRUE(port.outCtsFlow);

    Write("[ComPort1]\nBaudRate=9601\nCustomBaudRate=-5\nStopBits=3\nDataBits=9\nParity=odd?\n"
          "FlowControl=Software\n");
    LoadPortSettings(path_, kPortSection, port);
    EXPECT_EQ(port.portName, "ttyUSB0"); // missing key keeps the value
    EXPECT_EQ(port.baudRate, BaudRate::Br9600);
    EXPECT_EQ(port.customBaudRate, 9600);
    EXPECT_EQ(port.stopBits, StopBits::One);
    EXPECT_EQ(port.dataBits, 8);
    EXPECT_EQ(port.parity, Parity::None);
    EXPECT_EQ(port.rtsControl, RtsControl::Disable);
    EXPECT_FALSE(port.outCtsFlow);
    EXPECT_TRUE(port.xonXoffOut);
    EXPECT_TRUE(port.xonXoffIn);

    Write("[ComPort1]\nFlowControl=whatever\n");
    LoadPortSettings(path_, kPortSection, port);
    EXPECT_TRUE(port.xonXoffOut); // Custom leaves the flow settings
    EXPECT_EQ(port.baudRate, BaudRate::Br9600);
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

TEST_F(SettingsFileTest, MissingFileLoadsNothingAndWritesIntoAMissingFolderFail) {
    PortSettings port = InitialPort();
    LoadPortSettings(path_, kPortSection, port);
    EXPECT_EQ(port.portName, "COM1");
    const std::string nowhere = Path("missing/Commpara");
    EXPECT_THROW(WriteSettingValue(nowhere, kCoordUnitSection, kCoordUnitKey, 1), FileError);
    EXPECT_THROW(StorePortSettings(nowhere, kPortSection, port), FileError);
}

} // namespace
} // namespace stadix
