#include "base/Errors.h"
#include "base/FileIO.h"
#include "job/RecordLine.h"
#include "formats/CoordinateImport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using namespace stadix;

namespace {

std::string Record(const char* pt, const char* n, const char* e, const char* z,
                   const char* code = "") {
    return MakeRecordLine(pt, code, n, e, z);
}

using ImportFile = test::TempFolderTest;

} // namespace

TEST(PtsImport, ReadsFieldsWithTheirLimitsAndRanges) {
    EXPECT_EQ(PtsLineToRecordLine("P1,200,100,5"), Record("P1", "100", "200", "5"));
    EXPECT_EQ(PtsLineToRecordLine("P1,200.000,100.000,0.000,"), Record("P1", "100", "200", "0"));
    EXPECT_EQ(PtsLineToRecordLine("P1,200,100,5,TREE,more"),
              Record("P1", "100", "200", "5", "TREE"));
    // Spaces inside a field go; a long name keeps its first eight characters.
    EXPECT_EQ(PtsLineToRecordLine("ABCDEFGHI,12 345.6,1,2"),
              Record("ABCDEFGH", "1", "12345.6", "2"));
    // Coordinates out of range become 0, wherever they stand.
    EXPECT_EQ(PtsLineToRecordLine("P,2e8,-2e7,1"), Record("P", "0", "0", "1"));
    EXPECT_EQ(PtsLineToRecordLine("P,1,2,3e9"), Record("P", "2", "1", "0"));
    // The rest of the line is a field only when it fits; missing fields have defaults.
    EXPECT_EQ(PtsLineToRecordLine("P,1,2, 3 "), Record("P", "2", "1", "3"));
    EXPECT_EQ(PtsLineToRecordLine("P,1,2,3,LONGCODE9"), Record("P", "2", "1", "3"));
    EXPECT_EQ(PtsLineToRecordLine(""), Record("", "0", "0", "0"));
    for (const char* bad : {"PT,E,N,Z,CODE", "P,1,nan,2", "P,1\t2,3,4"})
        EXPECT_THROW(PtsLineToRecordLine(bad), ConversionError) << bad;
}

TEST(CsvImport, SplitsItemsAtCommasAndBlanksOutsideQuotes) {
    EXPECT_EQ(CsvLineToRecordLine("\"P1\",\"100\",\"200\",\"5\",\"C1\""),
              Record("P1", "100", "200", "5", "C1"));
    EXPECT_EQ(CsvLineToRecordLine("P1,,200"), Record("P1", "0", "200", "0"));
    EXPECT_EQ(CsvLineToRecordLine("P 1,100,200,5"), Record("P", "1", "100", "200", "5"));
    EXPECT_EQ(CsvLineToRecordLine("\"A \"\"B\"\"\",1,2"), Record("A \"B\"", "1", "2", "0"));
    // An unclosed quote takes the rest of the line.
    EXPECT_EQ(CsvLineToRecordLine("P,1,2,3,\"OPEN C"), Record("P", "1", "2", "3", "OPEN C"));
    EXPECT_THROW(CsvLineToRecordLine("PT,N,E,Z"), ConversionError);
}

TEST(SimaImport, TakesA01LinesUntilA99) {
    const ImportedRecords imported =
        ConvertImportLines({"G00,01,,", "A00,", "A01,1,P1,100.000,200.000,0.000,", "A01,2,,1,2,3,",
                            "X", "A99,", "A01,3,LATE,1,2,3,"},
                           ImportFormat::Sima);
    ASSERT_EQ(imported.lines.size(), 2u);
    EXPECT_EQ(imported.lines[0], Record("P1", "100", "200", "0"));
    EXPECT_EQ(imported.lines[1], Record("BLANK", "1", "2", "3"));
}

// Read from a file, a SIMA file has no line limit: every A01 line up to A99 is a record.
TEST_F(ImportFile, SimaHasNoLineLimit) {
    std::string sima;
    for (int i = 0; i < 16001; ++i)
        sima += "A01,1,P,1,2,3\r\n";
    WriteFileAtomically(Path("big.sim"), sima + "A99,\r\nA01,2,LATE,1,2,3\r\n");
    const ImportedRecords imported = ImportCoordinateFile(Path("big.sim"), ImportFormat::Sima);
    EXPECT_EQ(imported.lines.size(), 16001u);
    EXPECT_EQ(imported.lines.back(), Record("P", "1", "2", "3"));
    EXPECT_EQ(imported.linesLeftOut, 0u);
}

TEST(ImportLines, CutsLongFilesAndNamesTheLineThatFails) {
    std::vector<std::string> lines(16001, "P,1,2,3");
    lines[15999] = "not a record";
    const ImportedRecords imported = ConvertImportLines(lines, ImportFormat::Pts);
    EXPECT_EQ(imported.lines.size(), 15999u);
    EXPECT_EQ(imported.linesLeftOut, 2u);

    // Blank lines are records with defaults; a title line fails with its number.
    EXPECT_EQ(ConvertImportLines({"P,1,2,3", ""}, ImportFormat::Csv).lines[1],
              Record("", "0", "0", "0"));
    try {
        ConvertImportLines({"P,1,2,3", "", "Name,N,E,Z"}, ImportFormat::Csv);
        ADD_FAILURE() << "a title line converted";
    } catch (const ImportError& failure) {
        EXPECT_EQ(failure.LineNumber(), 3u);
    }
}
