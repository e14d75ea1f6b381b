// stadix-cli card-jobs, card-import and card-export: the SD card and USB disk exchange of
// the window, on named card files.
#include "cli/Verbs.h"

#include "job/Job.h"
#include "job/JobFile.h"
#include "sdcard/CardExchange.h"
#include "sdcard/CardTexts.h"
#include "sdcard/JobName.h"

namespace cli {

namespace {

using stadix::CardFileKind;

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

// Ends a card command as the exchange's result says: a refusal, or a job store that could
// not be closed, fails; otherwise the message is printed.
int Conclude(const stadix::CardResult& result) {
    if (result.end == stadix::CardResult::End::Refused)
        throw Failure(ExitCodeOf(result.problem), result.Told());
    if (!result.closing.text.empty())
        throw Failure(kBadOutput, stadix::cardtext::kCannotExport + ("\n" + result.closing.text));
    if (!result.message.empty())
        Report(result.Told());
    return kDone;
}

// The number of the job named NAME, or a failure.
int NamedJob(const stadix::JobStore& store, const std::string& name) {
    const int position = store.FindJob(name);
    if (position < 0)
        throw Failure(kBadInput, "No job named " + name + " in the job store.");
    return store.JobAtPosition(position);
}

// The card exchange's questions, answered from the options: what the window would ask
// and the options do not allow fails.
class OptionAnswers : public stadix::CardExchangeQuestions {
  public:
    explicit OptionAnswers(const Arguments& args) : args_(args) {
        choices_.dataType =
            static_cast<stadix::ImportDataType>(Choice(args, "--data", {"coord", "raw", "known"}));
        choices_.distanceUnit = Choice(args, "--dist", {"m", "intl-ft", "us-ft"});
        choices_.angleUnit = Choice(args, "--angle", {"deg", "gon", "mil"});
    }

    bool ChooseImportOptions(stadix::ImportChoices& choices) override {
        choices = choices_;
        return true;
    }
    // The job that --job (made first with --create-job) or --known names.
    std::optional<int> ChooseJob(stadix::JobStore& store, bool) override {
        if (args_.Has("--known"))
            return store.KnownCoordinatesJob();
        if (!args_.Has("--create-job"))
            return NamedJob(store, args_.Value("--job"));
        Conclude(stadix::CreateNamedJob(store, args_.Value("--job")));
        return store.JobAtPosition(store.DirectoryLength() - 1);
    }
    bool CreateRecordFile(const std::string& path) override {
        if (!args_.Has("--create"))
            throw Failure(kBadInput,
                          "The record file " + path + " does not exist; --create makes a new one.");
        return true;
    }
    // An existing PTS file is replaced only with --create, as the window asks first.
    bool WritePtsFile(const std::string& path, bool exists) override {
        if (exists && !args_.Has("--create"))
            throw Failure(kBadInput, "File exists: " + path + "; --create replaces it.");
        return true;
    }
    void ShowWork(const std::string&) override {}

  private:
    const Arguments& args_;
    stadix::ImportChoices choices_;
};

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
    Conclude(stadix::OpenStoreForCard(store, path, stadix::CardAccess::ReadOnly,
                                      stadix::cardtext::kCannotImport));
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
    OptionAnswers answers(args);
    const std::string& card = args.positionals[0];
    const CardFileKind kind = stadix::CardFileKindOf(card);
    if (kind == CardFileKind::Other)
        throw Failure(kBadInput, "Not a card file (.TSR, .TSD, .GT7, .PTS, .GTS, .XYZ): " + card);
    CheckCardImportOptions(args, kind);
    RefuseOutputOverInput(args.positionals[1], {card, NamedSettingsFile(args)});

    stadix::Job job;
    const bool textFile = !stadix::HoldsRawRecords(kind);
    if (!textFile)
        Conclude(ReadInput([&] { return stadix::CardExchange().Import(card, answers, job); }));
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
            ReadInput([&] { stadix::ReadCardText(kind, card, take); });
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
    if (stadix::DocumentKindOf(input) != stadix::DocumentKind::JobFile)
        throw Failure(kBadInput, "Not a coordinate job file (.JCD): " + input);
    stadix::Job job;
    job.lines = ReadInput([&] { return LoadGatheredJob(input); });
    if (job.lines.empty())
        throw Failure(kBadInput, "The job holds no complete record: " + input);
    OptionAnswers answers(args);
    return Conclude(stadix::CardExchange().Export(card, kind, answers, job));
}

} // namespace cli
