#include "formats/Convert.h"

#include "app/Errors.h"
#include "app/FileIO.h"
#include "app/RecordLine.h"
#include "formats/ExportFormats.h"

namespace stadix {

namespace {

std::string JobFileText(std::size_t, const std::string& recordLine, const UserFormat&) {
    return recordLine;
}

std::string JobTextCopyText(std::size_t, const std::string& recordLine, const UserFormat&) {
    return RecordLineToText(recordLine);
}

} // namespace

std::optional<RecordWriter> FindRecordWriter(std::string_view word) {
    if (word == "jcd")
        return RecordWriter{"", JobFileText, ""};
    if (word == "txt")
        return RecordWriter{"", JobTextCopyText, ""};
    if (const CoordinateFormat* format = FindCoordinateFormat(word))
        return RecordWriter{format->header, format->recordText, format->trailer};
    return std::nullopt;
}

std::size_t ConvertCoordinateFile(const std::string& inputPath, ImportFormat from,
                                  const RecordWriter& to, const UserFormat& layout,
                                  const std::function<void(std::string_view)>& write) {
    FileLineReader reader(inputPath);
    write(to.header);
    std::size_t lineNumber = 0;
    std::size_t written = 0;
    std::string line;
    std::string recordLine;
    while (reader.Next(line)) {
        ++lineNumber;
        LineOutcome outcome;
        try {
            outcome = ParseImportLine(from, line, recordLine);
        } catch (const ConversionError& failure) {
            throw ImportError(lineNumber, failure.what());
        }
        if (outcome == LineOutcome::End)
            break;
        if (outcome == LineOutcome::Dropped || RecordLinePt(recordLine).empty())
            continue;
        write(to.recordText(++written, recordLine, layout));
        write("\r\n");
    }
    write(to.trailer);
    return written;
}

} // namespace stadix
