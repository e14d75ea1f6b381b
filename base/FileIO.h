// Whole-file reads and all-or-nothing writes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace stadix {

// The file's bytes; throws FileError when it cannot be read, or when it is not a regular
// file (a folder, a device, a pipe), with the reason.
std::string ReadFileBytes(const std::string& path);

// The lines of a text: split at LF, CR LF or CR; a last line without a line end counts.
std::vector<std::string> SplitLines(std::string_view bytes);

// The file's lines, split as SplitLines does, read a piece at a time so that the file's
// bytes are never held beside its lines. Throws FileError.
std::vector<std::string> ReadFileLines(const std::string& path);

// The first lines of a file and how many it holds.
struct FileHead {
    std::vector<std::string> lines;
    std::size_t fileLines = 0;
};

// At most keep lines from the first; the lines after them are counted, not kept.
// Throws FileError.
FileHead ReadFirstLines(const std::string& path, std::size_t keep);

// Writes the file whole or not at all: a temporary file beside the target, flushed,
// then renamed over it. Throws FileError; the previous file is then left intact.
// A symbolic link is followed: the file it names is replaced and the link stays. A pipe
// or a character device (/dev/null, a terminal) takes the bytes directly, once they are
// all known; a folder or any other kind of file is refused.
void WriteFileAtomically(const std::string& path, const std::string& bytes);

// Makes a written file's bytes durable (fsync); AtomicFileWriter calls it before the
// rename that publishes the file, and fails when it fails. Tests replace it to watch.
using FileSync = int (*)(int fd);
extern FileSync syncWrittenFile;

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
    void CommitDirectly();

    std::string target_; // the file to be replaced: the path with its links followed
    std::string failure_;
    std::string temp_;
    std::string buffer_;
    bool direct_ = false; // a pipe or device: everything is held and written on Commit
    int fd_ = -1;
    bool committed_ = false;
};

// Why a folder (or a device, a pipe, a socket) cannot be read or written as a file.
std::string NotAFileReason(bool folder);

// Whether the two paths name one file (the same device and inode), through any path or
// link; false when either does not exist.
bool IsSameFile(const std::string& a, const std::string& b);

// Removes the temporary files of the writes in progress. Safe to call from a signal
// handler, so that a program ended by a signal leaves no temporary file behind.
void RemoveTemporaryFilesInProgress();

// Reads a file line by line, a piece at a time, splitting as ReadFileLines does, so
// that a file of any size is read in little memory. Throws FileError.
class FileLineReader {
  public:
    explicit FileLineReader(const std::string& path);
    ~FileLineReader();
    FileLineReader(const FileLineReader&) = delete;
    FileLineReader& operator=(const FileLineReader&) = delete;
    // The next line; false at the end of the file.
    bool Next(std::string& line);
    // The same without a copy: the line stands in the reader until the next call.
    bool Next(std::string_view& line);
    // How many lines are left, read to the end without keeping them.
    std::size_t CountRemainingLines();

  private:
    bool Fill();

    std::string path_;
    int fd_ = -1;
    std::string buffer_;
    std::size_t position_ = 0;
};

// Whether the file name ends in the extension (e.g. ".JCD") in its upper-case or its
// lower-case form, compared case-sensitively: "site.Jcd" is neither.
bool HasExtension(const std::string& path, const std::string& upperExtension);

// Every line followed by CR LF.
std::string JoinLinesCrLf(const std::vector<std::string>& lines);

} // namespace stadix
