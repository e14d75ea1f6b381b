#include "formats/CoordinateFormats.h"

#include "base/TextFormat.h"
#include "job/RecordLine.h"

#include <algorithm>
#include <cstring>

namespace stadix {

namespace {

// A DXF block being built from short pieces, on the stack: a conversion writes hundreds
// of them per point, too many to append to a string one by one.
class BlockBuilder {
  public:
    BlockBuilder& operator<<(std::string_view piece) {
        const std::size_t count = std::min(piece.size(), sizeof text_ - size_);
        std::memcpy(text_ + size_, piece.data(), count);
        size_ += count;
        return *this;
    }
    std::string_view Text() const { return std::string_view(text_, size_); }

  private:
    // Every field of a record line is at most 12 characters: a block is far shorter.
    char text_[2048];
    std::size_t size_ = 0;
};

// A text entity of height 0.2 on the layer; position is the entity's position and
// height groups, the same for the three texts of a point.
void PutDxfText(BlockBuilder& block, std::string_view layer, std::string_view position,
                std::string_view prefix, std::string_view text) {
    block << "  0\r\nTEXT\r\n  8\r\n" << layer << position << prefix << text;
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

void AppendDxfEntityBlock(std::string& out, const std::string& recordLine) {
    const std::string n = RecordLineN(recordLine);
    const std::string e = RecordLineE(recordLine);
    const std::string z = RecordLineZ(recordLine);
    const std::string code = RecordLineCode(recordLine);
    const std::string x = Shifted(e);
    const std::string y = Shifted(n);
    BlockBuilder block;
    block << "  0\r\nPOINT\r\n  8\r\nPoint\r\n  10\r\n"
          << e << "\r\n  20\r\n"
          << n << "\r\n  30\r\n"
          << z << "\r\n";
    BlockBuilder position;
    position << "\r\n  10\r\n"
             << x << "\r\n  20\r\n"
             << y << "\r\n  30\r\n"
             << z << "\r\n  40\r\n0.2\r\n  1\r\n";
    PutDxfText(block, "PointNumber", position.Text(), "", RecordLinePt(recordLine));
    block << "\r\n";
    PutDxfText(block, "Level", position.Text(), "Z", z);
    if (!code.empty()) {
        block << "\r\n";
        PutDxfText(block, "Code", position.Text(), "", code);
    }
    out.append(block.Text());
}

std::string SimaRecordLine(std::size_t serial, const std::string& recordLine) {
    return Concat("A01,", std::to_string(serial), ",", RecordLinePt(recordLine), ",",
                  RecordLineN(recordLine), ",", RecordLineE(recordLine), ",",
                  RecordLineZ(recordLine), ",");
}

} // namespace stadix
