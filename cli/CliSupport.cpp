#include "cli/CliSupport.h"

#include "base/FileIO.h"
#include "formats/ExportFormats.h"
#include "gis/PointWriters.h"
#include "job/Job.h"
#include "job/JobFile.h"
#include "survey/MakersFile.h"

#include <csignal>
#include <cstdio>
#include <optional>

namespace cli {

std::string Arguments::Value(const std::string& option, const std::string& fallback) const {
    const auto found = options.find(option);
    return found == options.end() ? fallback : found->second;
}

Arguments ParseArguments(const std::vector<std::string>& words,
                         const std::set<std::string>& valueOptions,
                         const std::set<std::string>& flagOptions) {
    Arguments args;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.size() < 2 || word.compare(0, 2, "--") != 0) {
            args.positionals.push_back(word);
            continue;
        }
        std::string name = word;
        std::string value;
        bool inlineValue = false;
        const std::size_t equals = word.find('=');
        if (equals != std::string::npos) {
            name = word.substr(0, equals);
            value = word.substr(equals + 1);
            inlineValue = true;
        }
        if (valueOptions.count(name) != 0 || name == "--settings") {
            if (!inlineValue) {
                if (i + 1 >= words.size())
                    throw Failure(kUsage, "option " + name + " needs a value");
                value = words[++i];
            }
        } else if (flagOptions.count(name) != 0 && !inlineValue) {
            value.clear();
        } else {
            throw Failure(kUsage, "unknown option " + word);
        }
        if (args.Has(name))
            throw Failure(kUsage, "option " + name + " given twice");
        args.options[name] = value;
    }
    return args;
}

void RequirePositionals(const Arguments& args, const std::vector<std::string>& names) {
    if (args.positionals.size() < names.size())
        throw Failure(kUsage, "missing argument " + names[args.positionals.size()]);
    if (args.positionals.size() > names.size())
        throw Failure(kUsage, "unexpected argument " + args.positionals[names.size()]);
}

void WriteOutput(const std::string& output, const std::string& bytes) {
    if (output == "-") {
        std::fwrite(bytes.data(), 1, bytes.size(), stdout);
        if (std::fflush(stdout) != 0)
            throw Failure(kBadOutput, "Cannot write to standard output.");
        return;
    }
    try {
        stadix::WriteFileAtomically(output, bytes);
    } catch (const stadix::FileError& failure) {
        throw Failure(kBadOutput, failure.what());
    }
}

namespace {

// Runs a step of writing the output file; a file that cannot be written is
// Failure(kBadOutput).
template <typename Step> void OnOutputFile(Step step) {
    try {
        step();
    } catch (const stadix::FileError& failure) {
        throw Failure(kBadOutput, failure.what());
    }
}

} // namespace

OutputInPieces::OutputInPieces(std::string path) : path_(std::move(path)) {}

void OutputInPieces::Write(std::string_view piece) {
    if (path_ == "-") {
        held_.append(piece);
        return;
    }
    OnOutputFile([&] {
        if (!file_)
            file_.emplace(path_);
        file_->Write(piece);
    });
}

void OutputInPieces::StartOver() {
    file_.reset();
    held_.clear();
}

void OutputInPieces::Commit() {
    if (path_ == "-") {
        WriteOutput(path_, held_);
        return;
    }
    OnOutputFile([&] {
        if (!file_)
            file_.emplace(path_);
        file_->Commit();
    });
}

void WriteOutputInPieces(const std::string& output,
                         const std::function<void(const WritePiece&)>& produce) {
    OutputInPieces file(output);
    produce([&file](std::string_view piece) { file.Write(piece); });
    file.Commit();
}

void WriteRecordsAsJobFile(const std::string& output, const std::vector<std::string>& lines) {
    WriteOutputInPieces(output, [&lines](const WritePiece& write) {
        stadix::GatheredJobFileWriter job(write);
        ReadInput([&] {
            for (const std::string& line : lines)
                job.Add(line);
        });
    });
}

void RefuseOutputOverInput(const std::string& output, const std::vector<std::string>& inputs) {
    if (output.empty() || output == "-")
        return;
    for (const std::string& input : inputs) {
        if (!input.empty() && input != "-" && stadix::IsSameFile(output, input))
            throw Failure(kBadInput, "The output \"" + output +
                                         "\" is the same file as the input \"" + input +
                                         "\".\nNothing was written: name another output file.");
    }
}

std::string NamedSettingsFile(const Arguments& args) {
    return args.Value("--settings");
}

#ifdef SIGHUP
const std::vector<int> kEndSignals = {SIGINT, SIGTERM, SIGHUP};
#else
const std::vector<int> kEndSignals = {SIGINT, SIGTERM};
#endif

namespace {

void EndOnSignal(int signal) {
    stadix::RemoveTemporaryFilesInProgress();
    stadix::RemoveGisWritesInProgress();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

void HandleEndSignals() {
    for (const int signal : kEndSignals)
        std::signal(signal, &EndOnSignal);
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

stadix::ImportFormat ImportFormatNamed(const std::string& name) {
    const stadix::CoordinateFormat* format = stadix::FindCoordinateFormat(name);
    if (!format || !format->importFormat)
        throw Failure(kUsage, "unknown format " + name);
    return *format->importFormat;
}

void FailImport(const std::exception& failure) {
    Report(stadix::kImportingError);
    throw Failure(kBadInput, failure.what());
}

stadix::UserFormat UserLayout(const Arguments& args) {
    return stadix::ReadUserFormat(SettingsPathOf(args)).value_or(stadix::DefaultUserFormat());
}

stadix::Measurements ReadMakersFile(const stadix::MakersFormat& format, const std::string& input,
                                    const std::string& bytes) {
    try {
        return format.read(bytes);
    } catch (const stadix::FormatError& failure) {
        throw Failure(kBadInput, stadix::NotOfKindMessage(format, input, failure));
    }
}

std::vector<std::string> LoadGatheredJob(const std::string& path) {
    const stadix::FileHead load = stadix::LoadJobFile(path);
    if (load.fileLines > load.lines.size())
        Report(stadix::JobCutMessage(load.fileLines));
    return stadix::GatheredRecords(load.lines);
}

stadix::DocumentKind JobOrMeasurementFileKind(const std::string& input) {
    const std::optional<stadix::DocumentKind> kind = stadix::DocumentKindOf(input);
    if (kind != stadix::DocumentKind::JobFile && kind != stadix::DocumentKind::MeasurementFile)
        throw Failure(kBadInput,
                      "Not a coordinate job file (.JCD) or measurement file (.TSM): " + input);
    return *kind;
}

} // namespace cli
