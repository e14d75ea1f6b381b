#include "sdcard/CardExchange.h"

#include "base/Errors.h"
#include "base/FileIO.h"
#include "sdcard/CardExport.h"
#include "sdcard/CardTexts.h"
#include "sdcard/JobName.h"
#include "sdcard/RecordFile.h"

#include <utility>

namespace stadix {

namespace {

using End = CardResult::End;

const CardResult kStopped{End::Stopped, {}, {}, {}, {}};

CardResult Refusal(const char* caption, const std::string& message, CardProblem problem = {}) {
    return {End::Refused, caption, message, std::move(problem), {}};
}

CardResult CannotExport(CardProblem problem) {
    return Refusal(cardtext::kWarningCaption, cardtext::kCannotExport, std::move(problem));
}

// What an export to a record file or a job reports.
CardResult Reported(const CardExportReport& report) {
    const End end = report.status == CardStatus::Failure ? End::Refused : End::Done;
    return {end, report.caption, report.message, report.problem, {}};
}

// Shows the work while it runs, and that it is over however it ends.
class WorkShown {
  public:
    WorkShown(CardExchangeQuestions& questions, const char* text) : questions_(questions) {
        questions_.ShowWork(text);
    }
    ~WorkShown() { questions_.ShowWork(std::string()); }

  private:
    CardExchangeQuestions& questions_;
};

// The steps of one import or export: what they ask and the job they work on.
struct Steps {
    CardExchangeQuestions& questions;
    Job& job;

    // Imports the count records that import reads, as the import options say: the known-
    // coordinates list without asking, and the options' units hold whatever the answer. A
    // record that cannot be read refuses the import.
    template <typename Import>
    CardResult ImportRecords(int count, ImportChoices& choices, bool known, Import import) {
        if (count == 0)
            return Refusal("", cardtext::kNoRecord); // a plain note
        if (known) {
            choices.dataType = ImportDataType::KnownPoints;
        } else {
            const bool accepted = questions.ChooseImportOptions(choices);
            ApplyImportUnits(job.decodeState, choices);
            if (!accepted)
                return kStopped;
        }
        try {
            const WorkShown work(questions, "Importing...");
            import(choices.dataType);
        } catch (const CardError& failure) {
            return Refusal(cardtext::kWarningCaption, cardtext::kCannotImport, {failure.what()});
        }
        return {};
    }

    CardResult FromRecordFile(const std::string& path, ImportChoices& choices) {
        RecordFile file;
        if (file.OpenRecordFile(path, CardAccess::ReadOnly) != CardStatus::Success)
            return Refusal(cardtext::kWarningCaption, cardtext::kCannotImport, file.Problem());
        return ImportRecords(file.RecordFileCount(), choices, false,
                             [&](ImportDataType type) { ImportRecordFile(file, type, job); });
    }

    CardResult FromJobStore(const std::string& path, ImportChoices& choices) {
        JobStore store;
        const CardResult opening =
            OpenStoreForCard(store, path, CardAccess::ReadOnly, cardtext::kCannotImport);
        if (opening.end != End::Done)
            return opening;
        const std::optional<int> number = questions.ChooseJob(store, false);
        if (!number)
            return kStopped;
        return ImportRecords(
            store.JobRecordCount(*number), choices, *number == store.KnownCoordinatesJob(),
            [&](ImportDataType type) { ImportJobRecords(store, *number, type, job); });
    }

    CardResult FromTextFile(CardFileKind kind, const std::string& path) {
        const WorkShown work(questions, "Importing...");
        if (kind != CardFileKind::Other) {
            ImportCardText(kind, path, job);
            return {};
        }
        // A file of another extension (one in mixed case, say) is taken as it is, as text.
        job.lines = ReadFileLines(path);
        job.content = JobContent::Text;
        job.modified = false;
        return {};
    }

    CardResult ToPtsFile(const std::string& path, bool exists) {
        if (!questions.WritePtsFile(path, exists))
            return kStopped;
        try {
            WriteFileAtomically(path, CardPtsFileBytes(job.lines));
        } catch (const FileError& failure) {
            return CannotExport({failure.what(), true});
        }
        return {};
    }

    CardResult ToRecordFile(const std::string& path, bool exists) {
        if (!exists) {
            if (!questions.CreateRecordFile(path))
                return kStopped;
            RecordFile file;
            if (file.CreateRecordFile(path, 0, false) != CardStatus::Success)
                return CannotExport(file.Problem());
        }
        const WorkShown work(questions, "Exporting...");
        return Reported(ExportToRecordFile(path, job));
    }

    // A job whose counts disagree with its clusters is refused before anything is written.
    CardResult ToJobStore(const std::string& path) {
        JobStore store;
        const CardResult opening =
            OpenStoreForCard(store, path, CardAccess::ReadWrite, cardtext::kCannotExport);
        if (opening.end != End::Done)
            return opening;
        const std::optional<int> number = questions.ChooseJob(store, true);
        if (!number)
            return kStopped;
        if (!store.JobProblem(*number).empty())
            return CannotExport({store.JobProblem(*number)});
        const WorkShown work(questions, "Exporting...");
        CardResult result = Reported(ExportToJob(store, *number, job));
        if (store.CloseJobStore() != CardStatus::Success) {
            result.closing = store.Problem();
            if (result.problem.text.empty())
                result.problem = result.closing;
        }
        return result;
    }
};

} // namespace

std::string CardResult::Told() const {
    return problem.text.empty() ? message : message + "\n" + problem.text;
}

CardResult OpenStoreForCard(JobStore& store, const std::string& path, CardAccess access,
                            const char* cannotOpen) {
    const StoreOpening opening = OpenCardJobStore(store, path, access);
    if (opening == StoreOpening::CannotOpen)
        return Refusal(cardtext::kWarningCaption, cannotOpen, store.Problem());
    if (opening == StoreOpening::NotUsable)
        return Refusal(cardtext::kStoreNotFormattedCaption, cardtext::kStoreNotFormatted,
                       store.Problem());
    return {};
}

CardResult CreateNamedJob(JobStore& store, const std::string& typed) {
    const std::optional<std::string> name = NewJobName(typed);
    if (name && store.FindJob(*name) >= 0)
        return Refusal(cardtext::kMessageCaption, cardtext::kJobExists);
    if (!name || store.CreateJob(*name) == jobstore::kNoNewJob)
        return Refusal(cardtext::kMessageCaption, cardtext::kCreationFailed,
                       name ? store.Problem() : CardProblem{});
    return {};
}

CardResult CardExchange::Import(const std::string& path, CardExchangeQuestions& questions,
                                Job& job) {
    Steps steps{questions, job};
    const CardFileKind kind = CardFileKindOf(path);
    if (kind == CardFileKind::RecordFile)
        return steps.FromRecordFile(path, recordFileChoices_);
    if (kind == CardFileKind::JobStore)
        return steps.FromJobStore(path, jobStoreChoices_);
    return steps.FromTextFile(kind, path);
}

CardResult CardExchange::Export(const std::string& path, CardFileKind kind,
                                CardExchangeQuestions& questions, Job& job) {
    bool exists = false;
    try {
        exists = CardFileExists(path);
    } catch (const CardError& failure) {
        return CannotExport({failure.what()});
    }
    Steps steps{questions, job};
    if (kind == CardFileKind::RecordFile)
        return steps.ToRecordFile(path, exists);
    if (kind != CardFileKind::JobStore)
        return steps.ToPtsFile(path, exists);
    return exists ? steps.ToJobStore(path) : CannotExport({});
}

} // namespace stadix
