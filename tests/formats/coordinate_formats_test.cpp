#include "formats/CoordinateFormats.h"

#include "app/RecordLine.h"
#include "formats/ExportFormats.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace stadix {
namespace {

std::string Record(const std::string& pt, const std::string& n, const std::string& e,
                   const std::string& z, const std::string& code) {
    return MakeRecordLine(pt, code, n, e, z);
}

std::string Export(const std::string& word, const std::vector<std::string>& records) {
    return CoordinateExportBytes(*FindCoordinateFormat(word), records, DefaultUserFormat());
}

// Group code and value lines, each followed by CR LF.
std::string DxfPairs(const std::vector<std::pair<const char*, std::string>>& pairs) {
    std::string text;
    for (const auto& [code, value] : pairs)
        text += std::string(code) + "\r\n" + value + "\r\n";
    return text;
}

const std::string kTrailer = "0\r\nENDSEC\r\n0\r\nEOF";

// PTS gives easting first and ends in a comma without a code; CSV quotes every field and
// leaves the code field out when it is empty; SIMA numbers the records and never writes
// the code.
TEST(CoordinateFormats, TextFormatsOfRecordsWithAndWithoutCode) {
    const std::vector<std::string> records = {Record("P1", "100", "200", "0", ""),
                                              Record("P1", "100", "200", "0", "C1"),
                                              Record("P2", "-1.5", "7.25", "0", "K")};
    EXPECT_EQ(Export("pts", records), "P1,200.000,100.000,0.000,\r\n"
                                      "P1,200.000,100.000,0.000,C1\r\n"
                                      "P2,7.250,-1.500,0.000,K\r\n");
    EXPECT_EQ(Export("csv", records), "\"P1\",\"100.000\",\"200.000\",\"0.000\"\r\n"
                                      "\"P1\",\"100.000\",\"200.000\",\"0.000\",\"C1\"\r\n"
                                      "\"P2\",\"-1.500\",\"7.250\",\"0.000\",\"K\"\r\n");
    EXPECT_EQ(Export("sima", records), "G00,01,,\r\nA00,\r\n"
                                       "A01,1,P1,100.000,200.000,0.000,\r\n"
                                       "A01,2,P1,100.000,200.000,0.000,\r\n"
                                       "A01,3,P2,-1.500,7.250,0.000,\r\n"
                                       "A99,\r\n");
}

// A point and, 0.001 beside it, its name, its height after "Z" and its code as texts; the
// code text only with a code. Group codes keep their leading spaces.
TEST(CoordinateFormats, DxfEntityBlocksBetweenHeaderAndTrailer) {
    const auto texts = [](const char* x, const char* y, const char* z,
                          const std::vector<std::pair<const char*, std::string>>& layerTexts) {
        std::string block;
        for (const auto& [layer, text] : layerTexts)
            block += DxfPairs({{"  0", "TEXT"},
                               {"  8", layer},
                               {"  10", x},
                               {"  20", y},
                               {"  30", z},
                               {"  40", "0.2"},
                               {"  1", text}});
        return block;
    };
    const std::string withCode =
        DxfPairs({{"  0", "POINT"},
                  {"  8", "Point"},
                  {"  10", "200.000"},
                  {"  20", "100.000"},
                  {"  30", "12.345"}}) +
        texts("200.001", "100.001", "12.345",
              {{"PointNumber", "P1"}, {"Level", "Z12.345"}, {"Code", "C1"}});
    const std::string withoutCode =
        DxfPairs({{"  0", "POINT"},
                  {"  8", "Point"},
                  {"  10", "-1.000"},
                  {"  20", "-0.001"},
                  {"  30", "0.000"}}) +
        texts("-0.999", "0.000", "0.000", {{"PointNumber", "P2"}, {"Level", "Z0.000"}});
    EXPECT_EQ(std::count(withoutCode.begin(), withoutCode.end(), '\n'), 38);
    EXPECT_EQ(Export("dxf", {Record("P1", "100", "200", "12.345", "C1"),
                             Record("P2", "-0.001", "-1", "0", "")}),
              std::string(kDxfHeader) + withCode + withoutCode + kTrailer);
    EXPECT_EQ(DxfEntityBlock(Record("P2", "-0.001", "-1", "0", "")) + "\r\n", withoutCode);
}

TEST(CoordinateFormats, EmptyTableGivesOnlyHeadersAndTrailers) {
    // Group 70 is "  70" in the header section and " 70" in the layer table.
    const std::string header(kDxfHeader);
    EXPECT_EQ(header.size(), 489u);
    for (const char* part :
         {"  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$PDMODE\r\n  70\r\n    2\r\n",
          "  2\r\nLAYER\r\n 70\r\n4\r\n",
          "  2\r\nLevel\r\n 70\r\n64\r\n 62\r\n-4\r\n  6\r\nCONTINUOUS\r\n"})
        EXPECT_NE(header.find(part), std::string::npos) << part;
    EXPECT_EQ(header.substr(header.size() - 29), "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n");
    EXPECT_EQ(Export("dxf", {}), std::string(kDxfHeader) + kTrailer);
    EXPECT_EQ(Export("sima", {}), "G00,01,,\r\nA00,\r\nA99,\r\n");
    for (const char* word : {"pts", "csv", "user"})
        EXPECT_EQ(Export(word, {}), "") << word;
}

// Names and codes in the instrument's code page go out as the bytes they are.
TEST(CoordinateFormats, TextsAreWrittenAsTheirBytes) {
    const std::string record = Record("\xB5\xE3\x31", "1", "2", "3", "\xC4\xBE");
    EXPECT_EQ(CsvLine(record), "\"\xB5\xE3\x31\",\"1.000\",\"2.000\",\"3.000\",\"\xC4\xBE\"");
    EXPECT_NE(DxfEntityBlock(record).find("  1\r\n\xB5\xE3\x31\r\n"), std::string::npos);
    EXPECT_EQ(SimaRecordLine(12, record), "A01,12,\xB5\xE3\x31,1.000,2.000,3.000,");
}

} // namespace
} // namespace stadix
