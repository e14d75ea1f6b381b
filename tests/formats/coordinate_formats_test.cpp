#include "formats/CoordinateFormats.h"

#include "base/FileIO.h"
#include "formats/ExportFormats.h"
#include "job/RecordLine.h"

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

std::string Golden(const std::string& name) {
    return ReadFileBytes(STADIX_GOLDEN_DIR + name);
}

// PTS gives easting first and ends in a comma without a code; CSV quotes every field and
// leaves the code field out when it is empty; SIMA numbers the records and never writes
// the code.
TEST(CoordinateFormats, TextFormatsOfRecordsWithAndWithoutCode) {
    const std::vector<std::string> records = {Record("P1", "100", "200", "0", ""),
                                              Record("P1", "100", "200", "0", "C1"),
                                              Record("P2", "-1.5", "7.25", "0", "K")};
    for (const char* format : {"pts", "csv", "sima"})
        EXPECT_EQ(Export(format, records), Golden(std::string("records.") + format)) << format;
}

// A point and, 0.001 beside it, its name, its height after "Z" and its code as texts; the
// code text only with a code. Group codes keep their leading spaces.
TEST(CoordinateFormats, DxfEntityBlocksBetweenHeaderAndTrailer) {
    EXPECT_EQ(Export("dxf", {Record("P1", "100", "200", "12.345", "C1"),
                             Record("P1", "100", "200", "12.345", "")}),
              std::string(kDxfHeader) + Golden("entities.dxf") + kTrailer);
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
