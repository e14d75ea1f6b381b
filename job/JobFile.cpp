#include "job/JobFile.h"

#include "base/FileIO.h"
#include "job/RecordLine.h"
#include "job/RecordTable.h"

namespace stadix {

FileHead LoadJobFile(const std::string& path) {
    return ReadFirstLines(path, kMaxJobLines);
}

std::string JobCutMessage(std::size_t fileLines) {
    return "The file holds " + std::to_string(fileLines) + " lines; only the first " +
           std::to_string(kMaxJobLines) + " were read.";
}

std::string JobFileBytes(const std::vector<std::string>& recordLines) {
    return JoinLinesCrLf(recordLines);
}

void GatheredJobFileWriter::Add(const std::string& line) {
    if (std::optional<std::string> record = GatheredRecordLine(line, ++row_)) {
        *record += "\r\n";
        write_(*record);
    }
}

std::string JobTextCopyBytes(const std::vector<std::string>& recordLines) {
    std::vector<std::string> text;
    text.reserve(recordLines.size());
    for (const std::string& line : recordLines)
        text.push_back(RecordLineToText(line));
    return JoinLinesCrLf(text);
}

} // namespace stadix
