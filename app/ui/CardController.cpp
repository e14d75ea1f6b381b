#include "app/ui/CardController.h"

#include "app/ui/DocumentController.h"
#include "app/ui/DocumentFiles.h"
#include "app/ui/DocumentView.h"
#include "app/ui/WindowPrompts.h"
#include "job/Job.h"
#include "sdcard/CardTexts.h"
#include "widgets/TextCodec.h"

#include <QApplication>
#include <QFile>

namespace {

const char* const kCardOpenFilter =
    "Total Station SD/U disk File(*.TSR;*.TSD;*.GT7;*.PTS;*.GTS;*.XYZ)|*.TSR;*.TSD;*.GT7;*.PTS;"
    "*.GTS;*.XYZ";
const char* const kCardSaveFilter = "Total Station Data Record File(*.TSR;*.TSD)|*.TSR;*.TSD|"
                                    "Total Station Point Coordinates(*.PTS)|*.PTS";
const char* const kRawDataCaption = "Total Station Meas.Data";

} // namespace

// The card dialogs and the message boxes, with the work under way in the status bar.
class CardController::Questions : public stadix::CardExchangeQuestions {
  public:
    explicit Questions(CardController& card) : card_(card) {}

    bool ChooseImportOptions(stadix::ImportChoices& choices) override {
        return card_.prompts_.ChooseImportOptions(card_.parent_, choices);
    }
    std::optional<int> ChooseJob(stadix::JobStore& store, bool exportMode) override {
        return card_.prompts_.SelectJob(card_.parent_, store, exportMode);
    }
    bool CreateRecordFile(const std::string&) override {
        return Confirm("Sure to export data to a new file?");
    }
    bool WritePtsFile(const std::string& path, bool exists) override {
        if (card_.files_.RefuseWritingOverInput(QFile::decodeName(path.c_str()), false))
            return false;
        return !exists || Confirm("File exists. Overwrite it?");
    }
    void ShowWork(const std::string& text) override {
        card_.view_.ShowProgress(QString::fromStdString(text));
    }

  private:
    bool Confirm(const QString& question) {
        return card_.prompts_.Ask(card_.parent_, question, QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    }

    CardController& card_;
};

CardController::CardController(stadix::Job& job, WindowPrompts& prompts, QWidget* parent,
                               DocumentView& view, DocumentController& documents,
                               DocumentFiles& files)
    : job_(job), prompts_(prompts), parent_(parent), view_(view), documents_(documents),
      files_(files) {}

std::optional<stadix::RecordFolder> CardController::FindRecordFolder() const {
    return volumes_ ? stadix::FindRecordFolder(*volumes_) : stadix::FindRecordFolder();
}

void CardController::Tell(const stadix::CardResult& result) {
    if (result.message.empty())
        return;
    // A refusal or a warning warns; a count of what was done informs.
    const bool warns = result.end == stadix::CardResult::End::Refused ||
                       result.caption == stadix::cardtext::kWarningCaption;
    prompts_.Tell(parent_, MessageToDisplay(result.Told()),
                  warns ? QMessageBox::Warning : QMessageBox::Information);
}

void CardController::ImportData() {
    const std::optional<stadix::RecordFolder> folder = FindRecordFolder();
    if (!folder &&
        prompts_.Ask(parent_,
                     "Failed to find SD card (U disk) record folder. Search in another folder?",
                     QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    // The command starts a new document before the file is chosen.
    if (!documents_.NewDocument())
        return;
    FileDialogRequest request;
    request.title = "Open";
    request.filter = kCardOpenFilter;
    request.defaultExt = "TSR";
    request.folder = folder ? QFile::decodeName(folder->path.c_str()) : files_.DialogFolder();
    const std::optional<FileChoice> choice = prompts_.ChooseOpenFile(parent_, request);
    if (!choice)
        return;
    files_.RememberFolder(choice->path);
    const std::string path = LocalPath(choice->path);
    files_.SetImportedFrom(path);
    Questions questions(*this);
    const stadix::CardResult result = exchange_.Import(path, questions, job_);
    Tell(result);
    if (result.end == stadix::CardResult::End::Done)
        ShowImport(stadix::HoldsRawRecords(stadix::CardFileKindOf(path)) ? kRawDataCaption
                                                                         : nullptr);
    view_.SetCurrentCell(1, 0);
}

void CardController::ShowImport(const char* measurementCaption) {
    view_.ForgetEdits();
    if (job_.InCoordinateView()) {
        view_.ClearTable();
        view_.FillTable();
        view_.ShowCoordinateView();
        view_.SetTotal(job_.lines.size());
        return;
    }
    view_.ShowMeasurementView();
    if (measurementCaption)
        view_.SetTitle(measurementCaption);
}

void CardController::ExportData() {
    if (!job_.InCoordinateView() || !view_.CommitTableEdit())
        return;
    view_.GatherRecords();
    if (job_.lines.empty())
        return;
    const std::optional<FileChoice> choice = ChooseExportFile();
    if (!choice)
        return;
    const std::string path = LocalPath(choice->path);
    // The record type writes a record file (".TSR"), else a job store.
    stadix::CardFileKind kind = stadix::CardFileKind::PtsText;
    if (choice->filterIndex == 1)
        kind = stadix::CardFileKindOf(path) == stadix::CardFileKind::RecordFile
                   ? stadix::CardFileKind::RecordFile
                   : stadix::CardFileKind::JobStore;
    Questions questions(*this);
    Tell(exchange_.Export(path, kind, questions, job_));
}

std::optional<FileChoice> CardController::ChooseExportFile() {
    const std::optional<stadix::RecordFolder> folder = FindRecordFolder();
    if (!folder)
        prompts_.Tell(parent_, "Failed to find SD card (U disk) record folder!",
                      QMessageBox::Warning);
    FileDialogRequest request;
    request.title = "Export";
    request.filter = kCardSaveFilter;
    request.defaultExt = "TSR";
    request.folder = folder ? QFile::decodeName(folder->path.c_str()) : files_.DialogFolder();
    request.filterIndex = folder && folder->kind == stadix::RecordFolderKind::PointFiles ? 2 : 1;
    // Record files and job stores are added to, not replaced: the command decides.
    request.confirmOverwrite = false;
    std::optional<FileChoice> choice = prompts_.ChooseSaveFile(parent_, request);
    if (!choice)
        return choice;
    choice->path = WithTypeExtension(*choice, request);
    files_.RememberFolder(choice->path);
    return choice;
}
