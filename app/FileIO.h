// Whole-file reads and all-or-nothing writes.
#pragma once

#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace stadix {

// The file's bytes; throws FileError when it cannot be read.
std::string ReadFileBytes(const std::string& path);

// The lines of a text: split at LF, CR LF or CR; a last line without a line end counts.
std::vector<std::string> SplitLines(std::string_view bytes);

// The file's lines, split as SplitLines does. Throws FileError.
std::vector<std::string> ReadFileLines(const std::string& path);

// Writes the file whole or not at all: a temporary file beside the target, flushed,
// then renamed over it. Throws FileError; the previous file is then left intact.
void WriteFileAtomically(const std::string& path, const std::string& bytes);

// The same for a file written piece by piece: nothing reaches path until Commit, and a
// writer destroyed without Commit leaves no trace. Throws FileError.
class AtomicFileWriter {
  public:
    explicit AtomicFileWriter(const std::string& path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void Write(std::string_view bytes);
    void Commit();

  private:
    static constexpr std::size_t kBufferSize = 1 << 20;
    void Flush();
    void WriteThrough(std::string_view bytes);

    std::string path_;
    std::string failure_;
    std::string temp_;
    std::string buffer_;
#ifndef _WIN32
    int fd_ = -1;
#else
    std::ofstream out_;
#endif
    bool committed_ = false;
};

// Reads a file line by line, a piece at a time, splitting as ReadFileLines does, so
// that a file of any size is read in little memory. Throws FileError.
class FileLineReader {
  public:
    explicit FileLineReader(const std::string& path);
    // The next line; false at the end of the file.
    bool Next(std::string& line);

  private:
    bool Fill();

    std::string path_;
    std::ifstream in_;
    std::string buffer_;
    std::size_t position_ = 0;
};

// Whether the file name ends in the extension (e.g. ".JCD") in its upper-case or its
// lower-case form, compared case-sensitively: "site.Jcd" is neither.
bool HasExtension(const std::string& path, const std::string& upperExtension);

// Every line followed by CR LF.
std::string JoinLinesCrLf(const std::vector<std::string>& lines);

} // namespace stadix
