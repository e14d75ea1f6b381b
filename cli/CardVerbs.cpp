// stadix-cli card-jobs, card-import and card-export: the SD card and USB disk exchange of
// the window, on named card files.
#include "cli/Verbs.h"

#include "base/FileIO.h"
#include "job/Job.h"
#include "job/JobFile.h"
#include "sdcard/CardExport.h"
#include "sdcard/CardImport.h"
#include "sdcard/CardTexts.h"
#include "sdcard/JobName.h"

namespace cli {

namespace {

using stadix::CardFileKind;
using stadix::CardStatus;

// The message of a refused card file, with the reason on a line of its own.
std::string WithReason(const std::string& message, const stadix::CardProblem& problem) {
    if (message.empty() || problem.text.empty())
        return message + problem.text;
    return message + "\n" + problem.text;
}

ExitCode ExitCodeOf(const stadix::CardProblem& problem) {
    return problem.whileWriting ? kBadOutput : kBadInput;
}

// The index of the option's value among words; 0 when the option is not given.
int Choice(const Arguments& args, const std::string& option,
           const std::vector<std::string>& words) {
    if (!args.Has(option))
        return 0;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (args.Value(option) == words[i])
            return static_cast<int>(i);
    }
    throw Failure(kUsage, "unknown value " + args.Value(option) + " of " + option);
}

// Opens, recognises and loads a job store, or fails with the window's message: cannotOpen
// when the file cannot be opened.
void OpenStore(stadix::JobStore& store, const std::string& path, stadix::CardAccess access,
               const char* cannotOpen) {
    switch (stadix::OpenCardJobStore(store, path, access)) {
    case stadix::StoreOpening::Opened:
        return;
    case stadix::StoreOpening::CannotOpen:
        throw Failure(ExitCodeOf(store.Problem()), WithReason(cannotOpen, store.Problem()));
    case stadix::StoreOpening::NotUsable:
        throw Failure(kBadInput, WithReason(stadix::cardtext::kStoreNotFormatted, store.Problem()));
    }
}

// The number of the job named NAME, or a failure.
int NamedJob(const stadix::JobStore& store, const std::string& name) {
    const int position = store.FindJob(name);
    if (position < 0)
        throw Failure(kBadInput, "No job named " + name + " in the job store.");
    return store.JobAtPosition(position);
}

// Runs an import step; a card file that cannot be read fails with the message and the
// reason.
template <typename Import> void ReadCard(const std::string& message, Import import) {
    try {
        ReadInput(import);
    } catch (const stadix::CardError& failure) {
        throw Failure(kBadInput, WithReason(message, {failure.what()}));
    }
}

void ImportFromRecordFile(const std::string& path, const stadix::ImportChoices& choices,
                          stadix::Job& job) {
    stadix::RecordFile file;
    if (file.OpenRecordFile(path, stadix::CardAccess::ReadOnly) != CardStatus::Success)
        throw Failure(kBadInput, WithReason(stadix::cardtext::kCannotImport, file.Problem()));
    if (file.RecordFileCount() == 0)
        throw Failure(kBadInput, stadix::cardtext::kNoRecord);
    stadix::ApplyImportUnits(job.decodeState, choices);
    ReadCard(stadix::cardtext::kCannotImport,
             [&] { stadix::ImportRecordFile(file, choices.dataType, job); });
}

// The known-coordinates list imports its PT records without options, as the window
// shows no options dialog for it.
void ImportFromJobStore(const std::string& path, const Arguments& args,
                        stadix::ImportChoices choices, stadix::Job& job) {
    stadix::JobStore store;
    OpenStore(store, path, stadix::CardAccess::ReadOnly, stadix::cardtext::kCannotImport);
    const bool known = args.Has("--known");
    const int number = known ? store.KnownCoordinatesJob() : NamedJob(store, args.Value("--job"));
    if (store.JobRecordCount(number) == 0)
        throw Failure(kBadInput, stadix::cardtext::kNoRecord);
    if (known)
        choices.dataType = stadix::ImportDataType::KnownPoints;
    else
        stadix::ApplyImportUnits(job.decodeState, choices);
    ReadCard(stadix::cardtext::kCannotImport,
             [&] { stadix::ImportJobRecords(store, number, choices.dataType, job); });
}

// Prints the export's messages; a refused or unwritable card file fails.
int Conclude(const stadix::CardExportReport& report) {
    if (report.status == CardStatus::Failure)
        throw Failure(ExitCodeOf(report.problem), WithReason(report.message, report.problem));
    Report(WithReason(report.message, report.problem));
    return kDone;
}

int ExportToRecordFile(const std::string& path, const Arguments& args, stadix::Job& job) {
    if (!stadix::CardFileExists(path)) {
        if (!args.Has("--create"))
            throw Failure(kBadInput,
                          "The record file " + path + " does not exist; --create makes a new one.");
        stadix::RecordFile file;
        if (file.CreateRecordFile(path, 0, false) != CardStatus::Success)
            throw Failure(kBadOutput, WithReason(stadix::cardtext::kCannotExport, file.Problem()));
    }
    return Conclude(stadix::ExportToRecordFile(path, job));
}

// A PTS text file, written whole or not at all; one that exists is replaced only with
// --create, as the window asks first.
int ExportToPtsFile(const std::string& path, const Arguments& args, const stadix::Job& job) {
    if (stadix::CardFileExists(path) && !args.Has("--create"))
        throw Failure(kBadInput, "File exists: " + path + "; --create replaces it.");
    try {
        stadix::WriteFileAtomically(path, stadix::CardPtsFileBytes(job.lines));
    } catch (const stadix::FileError& failure) {
        throw Failure(kBadOutput,
                      std::string(stadix::cardtext::kCannotExport) + "\n" + failure.what());
    }
    return kDone;
}

// The job that --job (made first with --create-job) or --known names.
int ExportJob(stadix::JobStore& store, const Arguments& args) {
    if (args.Has("--known"))
        return store.KnownCoordinatesJob();
    const std::string name = args.Value("--job");
    if (!args.Has("--create-job"))
        return NamedJob(store, name);
    const std::string newName = *stadix::NewJobName(name);
    if (store.FindJob(newName) >= 0)
        throw Failure(kBadInput, stadix::cardtext::kJobExists);
    const int number = store.CreateJob(newName);
    if (number == stadix::jobstore::kNoNewJob)
        throw Failure(ExitCodeOf(store.Problem()),
                      WithReason(stadix::cardtext::kCreationFailed, store.Problem()));
    return number;
}

int ExportToJobStore(const std::string& path, const Arguments& args, stadix::Job& job) {
    if (!stadix::CardFileExists(path))
        throw Failure(kBadInput, stadix::cardtext::kCannotExport);
    stadix::JobStore store;
    OpenStore(store, path, stadix::CardAccess::ReadWrite, stadix::cardtext::kCannotExport);
    const int number = ExportJob(store, args);
    const std::string& problem = store.JobProblem(number);
    if (!problem.empty())
        throw Failure(kBadInput, WithReason(stadix::cardtext::kCannotExport, {problem}));
    const stadix::CardExportReport report = stadix::ExportToJob(store, number, job);
    if (store.CloseJobStore() != CardStatus::Success && report.status != CardStatus::Failure)
        throw Failure(kBadOutput, WithReason(stadix::cardtext::kCannotExport, store.Problem()));
    return Conclude(report);
}

void CheckCardImportOptions(const Arguments& args, CardFileKind kind) {
    const bool options = args.Has("--data") || args.Has("--dist") || args.Has("--angle");
    if (kind != CardFileKind::JobStore) {
        if (args.Has("--job") || args.Has("--known"))
            throw Failure(kUsage, "--job and --known apply to job stores (.TSD) only");
        if (options && kind != CardFileKind::RecordFile)
            throw Failure(kUsage, "--data, --dist and --angle apply to record files and job "
                                  "stores only");
        return;
    }
    if (args.Has("--job") == args.Has("--known"))
        throw Failure(kUsage, "a job store needs exactly one of --job NAME and --known");
    if (args.Has("--known") && options)
        throw Failure(kUsage, "--known takes no --data, --dist or --angle");
}

void CheckCardExportOptions(const Arguments& args, CardFileKind kind) {
    if (args.Has("--job") && args.Has("--known"))
        throw Failure(kUsage, "--job and --known exclude each other");
    if (args.Has("--create-job") && !args.Has("--job"))
        throw Failure(kUsage, "--create-job needs --job NAME");
    const std::string name = args.Value("--job");
    if (args.Has("--create-job") && !stadix::NewJobName(name))
        throw Failure(kUsage, "a new job's name has 1 to 8 of A-Z, 0-9 and .-#$%!&@+*/: " + name);
    const bool jobStore = kind == CardFileKind::JobStore;
    if (!jobStore && (args.Has("--job") || args.Has("--known")))
        throw Failure(kUsage, "--job and --known apply to job stores (.TSD) only");
    if (jobStore && !args.Has("--job") && !args.Has("--known"))
        throw Failure(kUsage, "a job store needs one of --job NAME and --known");
}

} // namespace

const char* const kCardJobsUsage =
    "stadix-cli card-jobs CARDFILE.TSD\n"
    "  Prints the job list of a job store: the known-coordinates list, then every job.\n";

int RunCardJobs(const std::vector<std::string>& words) {
    const Arguments args = ParseArguments(words, {});
    RequirePositionals(args, {"CARDFILE"});
    const std::string& path = args.positionals[0];
    if (stadix::CardFileKindOf(path) != CardFileKind::JobStore)
        throw Failure(kBadInput, "Not a job store (.TSD): " + path);
    stadix::JobStore store;
    OpenStore(store, path, stadix::CardAccess::ReadOnly, stadix::cardtext::kCannotImport);
    std::string text;
    for (const std::string& item : store.JobListItems())
        text += item + "\n";
    WriteOutput("-", text);
    return kDone;
}

const char* const kCardImportUsage =
    "stadix-cli card-import [--job NAME | --known] [--data coord|raw|known]\n"
    "                       [--dist m|intl-ft|us-ft] [--angle deg|gon|mil] CARDFILE OUTPUT\n"
    "  CARDFILE: a record file (.TSR), a job store (.TSD, with --job or --known) or a\n"
    "  text file (.GT7, .GTS, .PTS, .XYZ). OUTPUT receives a job file of coordinates, the\n"
    "  listing of raw data, or the text. The card file is never changed. OUTPUT - writes\n"
    "  to standard output.\n";

int RunCardImport(const std::vector<std::string>& words) {
    const Arguments args =
        ParseArguments(words, {"--job", "--data", "--dist", "--angle"}, {"--known"});
    RequirePositionals(args, {"CARDFILE", "OUTPUT"});
    stadix::ImportChoices choices;
    choices.dataType =
        static_cast<stadix::ImportDataType>(Choice(args, "--data", {"coord", "raw", "known"}));
    choices.distanceUnit = Choice(args, "--dist", {"m", "intl-ft", "us-ft"});
    choices.angleUnit = Choice(args, "--angle", {"deg", "gon", "mil"});
    const std::string& card = args.positionals[0];
    const CardFileKind kind = stadix::CardFileKindOf(card);
    if (kind == CardFileKind::Other)
        throw Failure(kBadInput, "Not a card file (.TSR, .TSD, .GT7, .PTS, .GTS, .XYZ): " + card);
    CheckCardImportOptions(args, kind);
    RefuseOutputOverInput(args.positionals[1], {card, NamedSettingsFile(args)});

    stadix::Job job;
    if (kind == CardFileKind::RecordFile)
        ImportFromRecordFile(card, choices, job);
    else if (kind == CardFileKind::JobStore)
        ImportFromJobStore(card, args, choices, job);
    const bool textFile = kind != CardFileKind::RecordFile && kind != CardFileKind::JobStore;
    const bool records = textFile ? stadix::CardTextHoldsRecords(kind)
                                  : job.content == stadix::JobContent::RecordLines;
    // A card text file is written as it is read, so that one of any length is never held.
    WriteOutputInPieces(args.positionals[1], [&](const WritePiece& write) {
        stadix::GatheredJobFileWriter gathered(write);
        const auto take = [&](std::string& line) {
            if (records) {
                gathered.Add(line);
                return;
            }
            line += "\r\n";
            write(line);
        };
        if (textFile) {
            ReadCard("", [&] { stadix::ReadCardText(kind, card, take); });
            return;
        }
        ReadInput([&] {
            for (std::string& line : job.lines)
                take(line);
        });
    });
    return kDone;
}

const char* const kCardExportUsage =
    "stadix-cli card-export [--job NAME [--create-job] | --known] [--create] INPUT.JCD CARDFILE\n"
    "  Appends the job's records as known points to a record file (.TSR; --create makes a\n"
    "  missing one) or to a job of a job store (.TSD: --job NAME, made first with\n"
    "  --create-job; --known the known-coordinates list), or writes a PTS text file (any\n"
    "  other extension; --create replaces an existing one).\n";

int RunCardExport(const std::vector<std::string>& words) {
    const Arguments args =
        ParseArguments(words, {"--job"}, {"--known", "--create-job", "--create"});
    RequirePositionals(args, {"INPUT", "CARDFILE"});
    const std::string& input = args.positionals[0];
    const std::string& card = args.positionals[1];
    const CardFileKind kind = stadix::CardFileKindOf(card);
    CheckCardExportOptions(args, kind);
    RefuseOutputOverInput(card, {input, NamedSettingsFile(args)});
    if (!stadix::HasExtension(input, ".JCD"))
        throw Failure(kBadInput, "Not a coordinate job file (.JCD): " + input);
    stadix::Job job;
    job.lines = ReadInput([&] { return LoadGatheredJob(input); });
    if (job.lines.empty())
        throw Failure(kBadInput, "The job holds no complete record: " + input);
    // A folder, a pipe or a device named as the card file is refused before anything
    // is written.
    try {
        if (kind == CardFileKind::RecordFile)
            return ExportToRecordFile(card, args, job);
        if (kind == CardFileKind::JobStore)
            return ExportToJobStore(card, args, job);
        return ExportToPtsFile(card, args, job);
    } catch (const stadix::CardError& failure) {
        throw Failure(kBadInput, WithReason(stadix::cardtext::kCannotExport, {failure.what()}));
    }
}

} // namespace cli
