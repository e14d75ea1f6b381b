// Coordinate job files (one record line per line, CR LF) and their text copy.
#pragma once

#include "base/FileIO.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace stadix {

// Open reads at most this many lines of a job file.
constexpr std::size_t kMaxJobLines = 15999;

// Reads a job file as Open does: its first kMaxJobLines lines, and how many it holds.
// Throws FileError.
FileHead LoadJobFile(const std::string& path);

// What to tell the user when a job file was cut on reading.
std::string JobCutMessage(std::size_t fileLines);

// The job file of gathered record lines.
std::string JobFileBytes(const std::vector<std::string>& recordLines);

// Writes a job file a line of the record text list at a time, as Save writes the table
// that those lines fill: the record line of each complete row, normalised, and CR LF,
// each handed to write. Nothing of the list is held.
class GatheredJobFileWriter {
  public:
    explicit GatheredJobFileWriter(std::function<void(std::string_view)> write)
        : write_(std::move(write)) {}
    // The next line of the list. Throws ConversionError naming its row.
    void Add(const std::string& line);

  private:
    std::function<void(std::string_view)> write_;
    int row_ = 0;
};

// The job text copy: PT,N,E,Z,CODE per record.
std::string JobTextCopyBytes(const std::vector<std::string>& recordLines);

} // namespace stadix
