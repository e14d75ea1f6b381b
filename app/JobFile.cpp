#include "app/JobFile.h"

#include "app/FileIO.h"
#include "app/RecordLine.h"

namespace stadix {

JobLoad LoadJobFile(const std::string& path) {
    JobLoad load;
    load.lines = ReadFileLines(path);
    load.fileLines = load.lines.size();
    if (load.lines.size() > kMaxJobLines)
        load.lines.resize(kMaxJobLines);
    return load;
}

std::string JobCutMessage(std::size_t fileLines) {
    return "The file holds " + std::to_string(fileLines) + " lines; only the first " +
           std::to_string(kMaxJobLines) + " were read.";
}

std::string JobFileBytes(const std::vector<std::string>& recordLines) {
    return JoinLinesCrLf(recordLines);
}

std::string JobTextCopyBytes(const std::vector<std::string>& recordLines) {
    std::vector<std::string> text;
    text.reserve(recordLines.size());
    for (const std::string& line : recordLines)
        text.push_back(RecordLineToText(line));
    return JoinLinesCrLf(text);
}

} // namespace stadix
