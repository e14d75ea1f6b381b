#include "formats/UserFormat.h"

#include "base/Errors.h"
#include "base/FileIO.h"
#include "job/RecordLine.h"
#include "tests/support/DefaultSettingsFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <tuple>

namespace stadix {
namespace {

UserFormat Layout(std::array<TableColumn, 5> columns, bool numbered) {
    UserFormat format = DefaultUserFormat();
    format.columns = columns;
    format.numbered = numbered;
    return format;
}

auto Fields(const UserFormat& format) {
    return std::tie(format.name, format.extension, format.columns, format.numbered);
}

TEST(UserFormatLine, ColumnsInTheirChosenOrder) {
    const std::string tree = MakeRecordLine("P1", "TREE", "100", "200", "5");
    const std::string plain = MakeRecordLine("P1", "", "100", "200", "5");
    const UserFormat numbered = Layout({ColE, ColN, ColZ, ColPt, ColCode}, true);
    EXPECT_EQ(UserDefinedLine(7, tree, numbered), "7,200.000,100.000,5.000,P1,TREE");
    EXPECT_EQ(UserDefinedLine(7, plain, numbered), "7,200.000,100.000,5.000,P1");
    EXPECT_EQ(UserDefinedLine(7, plain, Layout({ColCode, ColN, ColE, ColZ, ColPt}, false)),
              ",100.000,200.000,5.000,P1");
}

// The first section counts; its three lines must follow it, each with its key; the
// name must not be empty, the extension keeps three characters, and the order word is
// six digits, five columns of 0 to 4 and a numbering of 0 or 1.
TEST(UserFormatParse, ValidSectionsAndTheFaultsThatRejectOne) {
    const auto parse = [](const std::string& text) { return ParseUserFormat(SplitLines(text)); };
    const auto layout = parse("[ComPort1]\nPort=COM1\n  [UserDefFormat1]  \n DefName= Stake out \n"
                              "DefFileExt= stkx\nDefOrderWord=210431\n"
                              "[UserDefFormat1]\nDefName=Second\nDefFileExt=\nDefOrderWord=012340");
    ASSERT_TRUE(layout);
    EXPECT_EQ(Fields(*layout),
              std::make_tuple("Stake out", "stk",
                              std::array<TableColumn, 5>{ColE, ColN, ColPt, ColCode, ColZ}, true));
    const auto empty = parse("[UserDefFormat1]\nDefName=x\nDefFileExt=\nDefOrderWord=012340\n");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->extension, "");
    const std::string x = "[UserDefFormat1]\nDefName=x\nDefFileExt=dat\nDefOrderWord=";
    for (const std::string& broken : std::vector<std::string>{
             "", "[UserDefFormat1]\nDefName=x\nDefFileExt=dat",
             "[UserDefFormat1]\nDefName=\nDefFileExt=dat\nDefOrderWord=012340",
             "[UserDefFormat1]\nDefName=x\nDefOrderWord=012340\nDefFileExt=dat", x + "01234",
             x + "012342", x + "512340", x + "0123400",
             "[userdefformat1]" + x.substr(16) + "012340"})
        EXPECT_FALSE(parse(broken)) << broken;
}

using UserFormatFile = test::TempFolderTest;

// The section goes to the end of the file, its keys leave wherever they stood, the
// serial settings stay; what is written reads back.
TEST_F(UserFormatFile, WritingKeepsOneSectionAtTheEnd) {
    const std::string path = Path("Commpara");
    EXPECT_FALSE(ReadUserFormat(path));
    WriteFileAtomically(path, "[UserDefFormat1]\r\nDefName=Old\r\n" + kDefaultSettingsFile +
                                  "DefOrderWord=000000\r\n[Other]\r\nDefFileExt=abc\r\n");
    UserFormat format = Layout({ColPt, ColE, ColN, ColZ, ColCode}, true);
    format.name = "Site A";
    format.extension = "";
    WriteUserFormat(path, format);
    format.name = "Site B";
    WriteUserFormat(path, format);
    EXPECT_EQ(ReadFileBytes(path), kDefaultSettingsFile + "[Other]\r\n[UserDefFormat1]\r\n"
                                                          "DefName=Site B\r\nDefFileExt=\r\n"
                                                          "DefOrderWord=021341\r\n");
    const auto read = ReadUserFormat(path);
    ASSERT_TRUE(read);
    EXPECT_EQ(Fields(*read), Fields(format));
    WriteUserFormat(Path("new"), DefaultUserFormat());
    EXPECT_EQ(ReadFileBytes(Path("new")), "[UserDefFormat1]\r\nDefName=Format defined by user\r\n"
                                          "DefFileExt=dat\r\nDefOrderWord=012340\r\n");
    EXPECT_THROW(WriteUserFormat(Path("missing/Commpara"), format), FileError);
}

} // namespace
} // namespace stadix
