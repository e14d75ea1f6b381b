// Coordinate job files (one record line per line, CR LF) and their text copy.
#pragma once

#include <string>
#include <vector>

namespace stadix {

// Open reads at most this many lines of a job file.
constexpr std::size_t kMaxJobLines = 15999;

struct JobLoad {
    std::vector<std::string> lines; // the first kMaxJobLines lines
    std::size_t fileLines = 0;      // how many the file holds
};

// Reads a job file as Open does. Throws FileError.
JobLoad LoadJobFile(const std::string& path);

// What to tell the user when a job file was cut on reading.
std::string JobCutMessage(std::size_t fileLines);

// The job file of gathered record lines.
std::string JobFileBytes(const std::vector<std::string>& recordLines);

// The job text copy: PT,N,E,Z,CODE per record.
std::string JobTextCopyBytes(const std::vector<std::string>& recordLines);

} // namespace stadix
