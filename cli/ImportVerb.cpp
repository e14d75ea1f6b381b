// stadix-cli import: what File > Import reads, written as a job file, and the stored
// coordinates of another maker's raw file.
#include "cli/Verbs.h"

#include "base/FileIO.h"
#include "formats/CoordinateImport.h"
#include "job/JobFile.h"
#include "survey/StoredPoints.h"

namespace cli {

namespace {

// The record lines of the points the file stores; names cut to a record line's length
// are told on standard error.
std::vector<std::string> StoredPoints(const stadix::MakersFormat& format,
                                      const std::string& input) {
    const std::string bytes = ReadInput([&] { return stadix::ReadFileBytes(input); });
    const stadix::Measurements measurements = ReadMakersFile(format, input, bytes);
    const stadix::StoredPointLines stored =
        ReadInput([&] { return stadix::StoredPointRecordLines(measurements); });
    for (const stadix::CutName& cut : stored.cutNames)
        Report("Name cut to 8 characters: " + cut.name + " -> " + cut.cut);
    return stored.lines;
}

std::vector<std::string> ImportedLines(const std::string& word, const std::string& input) {
    if (const stadix::MakersFormat* makers = stadix::FindMakersFormat(word))
        return StoredPoints(*makers, input);
    const stadix::ImportFormat format = ImportFormatNamed(word);
    stadix::ImportedRecords imported;
    try {
        imported = stadix::ImportCoordinateFile(input, format);
    } catch (const std::exception& failure) {
        FailImport(failure);
    }
    if (imported.linesLeftOut > 0)
        Report(stadix::ImportCutMessage(imported));
    return std::move(imported.lines);
}

} // namespace

const char* const kImportUsage =
    "stadix-cli import --format pts|csv|sima|gsi|sdr|rw5 INPUT OUTPUT\n"
    "  Converts INPUT as File > Import does and writes the records as a job file; of a\n"
    "  Leica GSI, Sokkia SDR33 or Carlson RW5 raw file, the coordinates it stores.\n";

int RunImport(const std::vector<std::string>& words) {
    const Arguments args = ParseArguments(words, {"--format"});
    RequirePositionals(args, {"INPUT", "OUTPUT"});
    if (!args.Has("--format"))
        throw Failure(kUsage, "missing option --format");
    const std::string& input = args.positionals[0];
    const std::string word = args.Value("--format");
    if (!stadix::FindMakersFormat(word))
        ImportFormatNamed(word);
    RefuseOutputOverInput(args.positionals[1], {input, NamedSettingsFile(args)});
    const std::vector<std::string> lines = ImportedLines(word, input);
    WriteOutputInPieces(args.positionals[1], [&lines](const WritePiece& write) {
        stadix::GatheredJobFileWriter job(write);
        ReadInput([&] {
            for (const std::string& line : lines)
                job.Add(line);
        });
    });
    return kDone;
}

} // namespace cli
