#include "formats/Convert.h"

#include "base/FileIO.h"
#include "formats/ExportFormats.h"
#include "job/RecordLine.h"

namespace stadix {

namespace {

void JobFileText(std::string& out, std::size_t, const std::string& recordLine, const UserFormat&) {
    out += recordLine;
}

void JobTextCopyText(std::string& out, std::size_t, const std::string& recordLine,
                     const UserFormat&) {
    out += RecordLineToText(recordLine);
}

constexpr std::size_t kPieceSize = 1 << 20;

} // namespace

std::optional<RecordWriter> FindRecordWriter(std::string_view word) {
    if (word == "jcd")
        return RecordWriter{"", JobFileText, ""};
    if (word == "txt")
        return RecordWriter{"", JobTextCopyText, ""};
    if (const CoordinateFormat* format = FindCoordinateFormat(word))
        return RecordWriter{format->header, format->appendRecord, format->trailer};
    return std::nullopt;
}

std::size_t ConvertCoordinateFile(const std::string& inputPath, ImportFormat from,
                                  const RecordWriter& to, const UserFormat& layout,
                                  const std::function<void(std::string_view)>& write) {
    FileLineReader reader(inputPath);
    std::string piece(to.header);
    piece.reserve(kPieceSize + 4096);
    std::size_t lineNumber = 0;
    std::size_t written = 0;
    std::string line;
    std::string recordLine;
    while (reader.Next(line)) {
        const LineOutcome outcome = ParseNumberedImportLine(from, line, ++lineNumber, recordLine);
        if (outcome == LineOutcome::End)
            break;
        if (outcome == LineOutcome::Dropped || RecordLinePt(recordLine).empty())
            continue;
        to.appendRecord(piece, ++written, recordLine, layout);
        piece += "\r\n";
        if (piece.size() >= kPieceSize) {
            write(piece);
            piece.clear();
        }
    }
    piece += to.trailer;
    write(piece);
    return written;
}

} // namespace stadix
