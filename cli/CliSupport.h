// What every verb of stadix-cli shares: exit codes, option parsing, messages, the
// gathered job and writing the output file.
#pragma once

#include "base/Errors.h"
#include "base/FileIO.h"
#include "formats/CoordinateImport.h"
#include "formats/UserFormat.h"
#include "job/Job.h"
#include "survey/MakersFormats.h"

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

enum ExitCode { kDone = 0, kUsage = 1, kBadInput = 2, kBadOutput = 3, kTransferFailed = 4 };

// Ends a verb with an exit code and a message for standard error.
struct Failure : std::runtime_error {
    Failure(ExitCode code, const std::string& message) : std::runtime_error(message), code(code) {}
    ExitCode code;
};

struct Arguments {
    std::map<std::string, std::string> options; // "--format" -> "jcd"; flags map to ""
    std::vector<std::string> positionals;
    bool Has(const std::string& option) const { return options.count(option) != 0; }
    std::string Value(const std::string& option, const std::string& fallback = "") const;
};

// Options may stand before or after the positional arguments, as "--opt value" or
// "--opt=value". "--settings FILE" is accepted by every verb. Throws Failure(kUsage).
Arguments ParseArguments(const std::vector<std::string>& words,
                         const std::set<std::string>& valueOptions,
                         const std::set<std::string>& flagOptions = {});

// Exactly count positionals, named for the message.
void RequirePositionals(const Arguments& args, const std::vector<std::string>& names);

// Writes bytes to the file whole or not at all, or to standard output for "-".
// Throws Failure(kBadOutput).
void WriteOutput(const std::string& output, const std::string& bytes);

using WritePiece = std::function<void(std::string_view)>;

// An output written piece by piece, to the file whole or not at all, or to standard output
// for "-" once it is whole. The file is made at the first piece, so that an input that
// cannot be read is told first; until Commit, it may start over. Destroyed without Commit,
// it leaves nothing written. Throws Failure(kBadOutput).
class OutputInPieces {
  public:
    explicit OutputInPieces(std::string path);
    void Write(std::string_view piece);
    // Drops what was written.
    void StartOver();
    void Commit();

  private:
    std::string path_;
    std::optional<stadix::AtomicFileWriter> file_;
    std::string held_; // for standard output
};

// Writes what produce hands to its WritePiece, piece by piece, to the file whole or not
// at all, or to standard output for "-" once it is whole. The file is made at the first
// piece, so that an input that cannot be read is told first. A failure of produce leaves
// nothing written. Throws Failure(kBadOutput).
void WriteOutputInPieces(const std::string& output,
                         const std::function<void(const WritePiece&)>& produce);

// Writes the record lines to the file as a job file, as Save gathers the table that they
// fill, whole or not at all. Throws Failure.
void WriteRecordsAsJobFile(const std::string& output, const std::vector<std::string>& lines);

// Refuses an output that is the same file as one of the inputs, through whatever path
// or link, before anything is read or written: Failure(kBadInput). Empty names and "-"
// are skipped.
void RefuseOutputOverInput(const std::string& output, const std::vector<std::string>& inputs);

// The settings file when --settings names one; empty otherwise. For the inputs of verbs
// that read the settings file only when it is named.
std::string NamedSettingsFile(const Arguments& args);

// The signals that end a run: Ctrl+C, the system's request to stop, a closed terminal.
extern const std::vector<int> kEndSignals;

// From now on the end signals end the program as they would, but remove the temporary
// files of the writes in progress first; an output larger than the system's file size
// limit fails its write with the reason instead of ending the program.
void HandleEndSignals();

// A line on standard error, in UTF-8 (qt/Report.cpp).
void Report(const std::string& message);

// The settings file that --settings names, else the one the window uses
// (qt/TransferSupport.cpp).
std::string SettingsPathOf(const Arguments& args);

// The import format of that name (pts, csv, sima); Failure(kUsage) for any other.
stadix::ImportFormat ImportFormatNamed(const std::string& name);

// Ends an import that failed: "Importing Error！" and, on the next line, why.
[[noreturn]] void FailImport(const std::exception& failure);

// The user layout of the settings file, or the defaults of Export when it cannot be read.
stadix::UserFormat UserLayout(const Arguments& args);

// What read returns; a file that cannot be read or a number that does not convert is
// Failure(kBadInput) with the window's message.
template <typename Read> auto ReadInput(Read read) -> decltype(read()) {
    try {
        return read();
    } catch (const stadix::FileError& failure) {
        throw Failure(kBadInput, failure.what());
    } catch (const stadix::ConversionError& failure) {
        throw Failure(kBadInput, failure.what());
    }
}

// The measurements of another maker's raw file read from its bytes; a file that is not of
// its kind is Failure(kBadInput) naming the file, the line that failed and why.
stadix::Measurements ReadMakersFile(const stadix::MakersFormat& format, const std::string& input,
                                    const std::string& bytes);

// A job file loaded as Open loads it, telling on standard error when it was cut, then
// gathered. Throws FileError and ConversionError.
std::vector<std::string> LoadGatheredJob(const std::string& path);

// The kind of an input that export or send reads, by its extension as Open decides: a
// coordinate job file or a measurement file. Failure(kBadInput) for any other file.
stadix::DocumentKind JobOrMeasurementFileKind(const std::string& input);

} // namespace cli
