// stadix-cli import: what File > Import reads, written as a job file.
#include "cli/Verbs.h"

#include "formats/CoordinateImport.h"
#include "job/JobFile.h"

namespace cli {

const char* const kImportUsage =
    "stadix-cli import --format pts|csv|sima INPUT OUTPUT\n"
    "  Converts INPUT as File > Import does and writes the records as a job file.\n";

int RunImport(const std::vector<std::string>& words) {
    const Arguments args = ParseArguments(words, {"--format"});
    RequirePositionals(args, {"INPUT", "OUTPUT"});
    if (!args.Has("--format"))
        throw Failure(kUsage, "missing option --format");
    const stadix::ImportFormat format = ImportFormatNamed(args.Value("--format"));
    RefuseOutputOverInput(args.positionals[1], {args.positionals[0], NamedSettingsFile(args)});
    stadix::ImportedRecords imported;
    try {
        imported = stadix::ImportCoordinateFile(args.positionals[0], format);
    } catch (const std::exception& failure) {
        FailImport(failure);
    }
    if (imported.linesLeftOut > 0)
        Report(stadix::ImportCutMessage(imported));
    WriteOutputInPieces(args.positionals[1], [&imported](const WritePiece& write) {
        stadix::GatheredJobFileWriter job(write);
        ReadInput([&] {
            for (const std::string& line : imported.lines)
                job.Add(line);
        });
    });
    return kDone;
}

} // namespace cli
