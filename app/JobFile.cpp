#include "app/JobFile.h"

#include "app/FileIO.h"
#include "app/RecordLine.h"
#include "app/RecordTable.h"

namespace stadix {

FileHead LoadJobFile(const std::string& path) {
    return ReadFirstLines(path, kMaxJobLines);
}

std::string JobCutMessage(std::size_t fileLines) {
    const std::string kept = std::to_string(kMaxJobLines);
    return "The file holds " + std::to_string(fileLines) + " lines; only the first " + kept +
           " were opened.\nSaving this job writes only those " + kept + " records.";
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
