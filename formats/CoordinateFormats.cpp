#include "formats/CoordinateFormats.h"

#include "app/RecordLine.h"
#include "app/TextFormat.h"

namespace stadix {

namespace {

// A text entity of height 0.2 on the layer at the position (x, y, z).
std::string DxfText(std::string_view layer, const std::string& x, const std::string& y,
                    const std::string& z, const std::string& text) {
    return Concat("  0\r\nTEXT\r\n  8\r\n", layer, "\r\n  10\r\n", x, "\r\n  20\r\n", y,
                  "\r\n  30\r\n", z, "\r\n  40\r\n0.2\r\n  1\r\n", text);
}

// A coordinate text moved by 0.001, with three decimals.
std::string Shifted(const std::string& coordinate) {
    return FormatFixed(ParseLenientNumber(coordinate) + 0.001, 3);
}

} // namespace

constexpr std::string_view kDxfHeader = "  0\r\nSECTION\r\n"
                                        "  2\r\nHEADER\r\n"
                                        "  9\r\n$PDMODE\r\n"
                                        "  70\r\n    2\r\n"
                                        "  9\r\n$PDSIZE\r\n"
                                        "  40\r\n    0.1\r\n"
                                        "  0\r\nENDSEC\r\n"
                                        "  0\r\nSECTION\r\n"
                                        "  2\r\nTABLES\r\n"
                                        "  0\r\nTABLE\r\n"
                                        "  2\r\nLAYER\r\n"
                                        " 70\r\n4\r\n"
                                        "  0\r\nLAYER\r\n"
                                        "  2\r\nPoint\r\n"
                                        " 70\r\n64\r\n"
                                        " 62\r\n7\r\n"
                                        "  6\r\nCONTINUOUS\r\n"
                                        "  0\r\nLAYER\r\n"
                                        "  2\r\nPointNumber\r\n"
                                        " 70\r\n64\r\n"
                                        " 62\r\n3\r\n"
                                        "  6\r\nCONTINUOUS\r\n"
                                        "  0\r\nLAYER\r\n"
                                        "  2\r\nLevel\r\n"
                                        " 70\r\n64\r\n"
                                        " 62\r\n-4\r\n"
                                        "  6\r\nCONTINUOUS\r\n"
                                        "  0\r\nLAYER\r\n"
                                        "  2\r\nCode\r\n"
                                        " 70\r\n64\r\n"
                                        " 62\r\n-2\r\n"
                                        "  6\r\nCONTINUOUS\r\n"
                                        "  0\r\nENDTAB\r\n"
                                        "  0\r\nENDSEC\r\n"
                                        "  0\r\nSECTION\r\n"
                                        "  2\r\nBLOCKS\r\n"
                                        "  0\r\nENDSEC\r\n"
                                        "  0\r\nSECTION\r\n"
                                        "  2\r\nENTITIES\r\n";
constexpr std::string_view kDxfTrailer = "0\r\nENDSEC\r\n0\r\nEOF";

constexpr std::string_view kSimaHeader = "G00,01,,\r\nA00,\r\n";
constexpr std::string_view kSimaTrailer = "A99,\r\n";

std::string CsvLine(const std::string& recordLine) {
    const std::string code = RecordLineCode(recordLine);
    return Concat("\"", RecordLinePt(recordLine), "\",\"", RecordLineN(recordLine), "\",\"",
                  RecordLineE(recordLine), "\",\"", RecordLineZ(recordLine), "\"",
                  code.empty() ? std::string() : Concat(",\"", code, "\""));
}

std::string DxfEntityBlock(const std::string& recordLine) {
    const std::string n = RecordLineN(recordLine);
    const std::string e = RecordLineE(recordLine);
    const std::string z = RecordLineZ(recordLine);
    const std::string code = RecordLineCode(recordLine);
    const std::string x = Shifted(e);
    const std::string y = Shifted(n);
    return Concat("  0\r\nPOINT\r\n  8\r\nPoint\r\n  10\r\n", e, "\r\n  20\r\n", n, "\r\n  30\r\n",
                  z, "\r\n", DxfText("PointNumber", x, y, z, RecordLinePt(recordLine)), "\r\n",
                  DxfText("Level", x, y, z, Concat("Z", z)),
                  code.empty() ? std::string() : Concat("\r\n", DxfText("Code", x, y, z, code)));
}

std::string SimaRecordLine(std::size_t serial, const std::string& recordLine) {
    return Concat("A01,", std::to_string(serial), ",", RecordLinePt(recordLine), ",",
                  RecordLineN(recordLine), ",", RecordLineE(recordLine), ",",
                  RecordLineZ(recordLine), ",");
}

} // namespace stadix
