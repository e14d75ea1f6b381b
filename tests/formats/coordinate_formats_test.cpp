#include "formats/CoordinateFormats.h"

#include "job/RecordLine.h"
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
    const std::string at =
        "  10\r\n200.001\r\n  20\r\n100.001\r\n  30\r\n12.345\r\n  40\r\n0.2\r\n";
    const std::string withCode =
        "  0\r\nPOINT\r\n  8\r\nPoint\r\n  10\r\n200.000\r\n  20\r\n100.000\r\n  30\r\n12.345\r\n"
        "  0\r\nTEXT\r\n  8\r\nPointNumber\r\n" +
        at +
        "  1\r\nP1\r\n"
        "  0\r\nTEXT\r\n  8\r\nLevel\r\n" +
        at +
        "  1\r\nZ12.345\r\n"
        "  0\r\nTEXT\r\n  8\r\nCode\r\n" +
        at + "  1\r\nC1\r\n";
    const std::string withoutCode = withCode.substr(0, withCode.find("  0\r\nTEXT\r\n  8\r\nCode"));
    EXPECT_EQ(std::count(withoutCode.begin(), withoutCode.end(), '\n'), 38);
    EXPECT_EQ(Export("dxf", {Record("P1", "100", "200", "12.345", "C1"),
                             Record("P1", "100", "200", "12.345", "")}),
              std::string(kDxfHeader) + withCode + withoutCode + kTrailer);
    // The text position is computed: no sign for a zero, none lost below one.
    EXPECT_NE(Export("dxf", {Record("P2", "-0.001", "-1", "0", "")})
                  .find("  10\r\n-0.999\r\n  20\r\n0.000\r\n"),
              std::string::npos);
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

} // namespace
} // namespace stadix
