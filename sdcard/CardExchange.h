// The card exchange, written once for the window and stadix-cli: the steps of importing a
// card file into the job and of exporting the job to a card file, and what they decide.
// What must be asked goes through CardExchangeQuestions; what the user is told comes back
// as a CardResult, which each side shows in its own way.
#pragma once

#include "job/Job.h"
#include "sdcard/CardImport.h"
#include "sdcard/JobStore.h"

#include <optional>
#include <string>

namespace stadix {

// The window asks the user; stadix-cli answers from its options. An answer that ends the
// whole command may throw instead: the card files are then closed, nothing more written.
class CardExchangeQuestions {
  public:
    virtual ~CardExchangeQuestions() = default;
    // The import options, preset with choices and left as the user left them however
    // they answered; false stops the import.
    virtual bool ChooseImportOptions(ImportChoices& choices) = 0;
    // A job of the open, loaded store, the known-coordinates list included; in export
    // mode new jobs may be made first (CreateNamedJob). None stops.
    virtual std::optional<int> ChooseJob(JobStore& store, bool exportMode) = 0;
    // Whether to create the record file, which is not there yet.
    virtual bool CreateRecordFile(const std::string& path) = 0;
    // Whether to write the PTS file; exists: a file of that name is there, to be replaced.
    virtual bool WritePtsFile(const std::string& path, bool exists) = 0;
    // The work under way ("Importing...", "Exporting..."); an empty text when it is over.
    virtual void ShowWork(const std::string& text) = 0;
};

// How a card command ended and what it tells the user.
struct CardResult {
    // Stopped: a question was answered no. Refused: the card file or the job was refused.
    enum class End { Done, Stopped, Refused };
    End end = End::Done;
    // The message box's caption (empty for a plain note under the program's own name) and
    // text; nothing is told when the text is empty.
    std::string caption;
    std::string message;
    // Why, on a line of its own after the text.
    CardProblem problem;
    // Why the job store could not be closed after an export: the records may not all have
    // reached the card. Empty when it closed.
    CardProblem closing;

    // The text with the problem, if any, on a line of its own.
    std::string Told() const;
};

// Opens, recognises and loads a job store for a card command: Done, or Refused saying why
// (cannotOpen for a file that cannot be opened).
CardResult OpenStoreForCard(JobStore& store, const std::string& path, CardAccess access,
                            const char* cannotOpen);

// Appends a job named as typed (as NewJobName takes it) to the store's job list, written
// at once: Done, or Refused with kJobExists for a name the store holds, else with
// kCreationFailed.
CardResult CreateNamedJob(JobStore& store, const std::string& typed);

// The exchange of one window or run: it keeps the import options chosen last, for record
// files and for job stores, to preset the next question with.
class CardExchange {
  public:
    // Imports the card file into the job by its kind (CardFileKindOf): a record file or a
    // job of a job store as the import options say, a card text file as it loads, a file
    // of any other extension as text. Throws ConversionError for a record that does not
    // convert and FileError for a text file that cannot be read; the lines stay as they were.
    CardResult Import(const std::string& path, CardExchangeQuestions& questions, Job& job);
    // Appends the job's gathered record lines as PT records to a record file (made first
    // when the answer says so) or to a job of a job store, or writes them as a PTS file for
    // any other kind.
    CardResult Export(const std::string& path, CardFileKind kind, CardExchangeQuestions& questions,
                      Job& job);

  private:
    ImportChoices recordFileChoices_;
    ImportChoices jobStoreChoices_;
};

} // namespace stadix
