// The main window's SD card and USB disk commands: "Import Data..." and "Export Data...".
#include "app/ui/MainWindow.h"
#include "sdcard/CardExchange.h"
#include "sdcard/qt/RecordFolder.h"
#include "widgets/TextCodec.h"

#include <QApplication>
#include <QFile>

namespace {

const char* const kCardOpenFilter =
    "Total Station SD/U disk File(*.TSR;*.TSD;*.GT7;*.PTS;*.GTS;*.XYZ)|*.TSR;*.TSD;*.GT7;*.PTS;"
    "*.GTS;*.XYZ";
const char* const kCardSaveFilter = "Total Station Data Record File(*.TSR;*.TSD|*.TSR;*.TSD|"
                                    "Total Station Point Coordinates(*.PTS)|*.PTS";
const char* const kRawDataCaption = "Total Station Meas.Data";

} // namespace

std::optional<stadix::RecordFolder> MainWindow::FindCardRecordFolder() const {
    return cardVolumes_ ? stadix::FindRecordFolder(*cardVolumes_) : stadix::FindRecordFolder();
}

// The card exchange's questions asked in the window: the card dialogs and the message
// boxes, with the work under way in the status bar.
class MainWindow::CardQuestions : public stadix::CardExchangeQuestions {
  public:
    explicit CardQuestions(MainWindow& window) : window_(window) {}

    bool ChooseImportOptions(stadix::ImportChoices& choices) override {
        return window_.prompts_->ChooseImportOptions(&window_, choices);
    }
    std::optional<int> ChooseJob(stadix::JobStore& store, bool exportMode) override {
        return window_.prompts_->SelectJob(&window_, store, exportMode);
    }
    bool CreateRecordFile(const std::string&) override {
        return Confirm("Sure to export data to a new file?");
    }
    bool WritePtsFile(const std::string& path, bool exists) override {
        if (window_.files_->RefuseWritingOverInput(QFile::decodeName(path.c_str()), false))
            return false;
        return !exists || Confirm("File exists. Overwrite it?");
    }
    void ShowWork(const std::string& text) override {
        window_.ShowProgress(QString::fromStdString(text));
    }

  private:
    bool Confirm(const QString& question) {
        return window_.prompts_->Ask(&window_, "Confirmation", question,
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    }

    MainWindow& window_;
};

void MainWindow::TellCard(const stadix::CardResult& result) {
    if (result.message.empty())
        return;
    const bool note = result.caption.empty();
    prompts_->Tell(
        this, note ? QApplication::applicationName() : QString::fromStdString(result.caption),
        MessageToDisplay(result.Told()), note ? QMessageBox::NoIcon : QMessageBox::Information);
}

void MainWindow::ImportCardData() {
    const std::optional<stadix::RecordFolder> folder = FindCardRecordFolder();
    if (!folder &&
        prompts_->Ask(this, "Message",
                      "Failed to find SD card (U disk) record folder.Search in other fold?",
                      QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    // The command starts a new document before the file is chosen.
    if (!documents_->NewDocument())
        return;
    FileDialogRequest request;
    request.title = "Open";
    request.filter = kCardOpenFilter;
    request.defaultExt = "TSR";
    request.folder = folder ? QFile::decodeName(folder->path.c_str()) : files_->DialogFolder();
    const std::optional<FileChoice> choice = prompts_->ChooseOpenFile(this, request);
    if (!choice)
        return;
    files_->RememberFolder(choice->path);
    const std::string path = LocalPath(choice->path);
    files_->SetImportedFrom(path);
    CardQuestions questions(*this);
    const stadix::CardResult result = cardExchange_.Import(path, questions, job_);
    TellCard(result);
    if (result.end == stadix::CardResult::End::Done)
        ShowCardImport(stadix::HoldsRawRecords(stadix::CardFileKindOf(path)) ? kRawDataCaption
                                                                             : nullptr);
    SetCurrentCell(1, 0);
}

void MainWindow::ShowCardImport(const char* measurementCaption) {
    ForgetEdits();
    if (job_.InCoordinateView()) {
        ClearTable();
        FillTable();
        ShowCoordinateView();
        SetTotal(job_.lines.size());
        return;
    }
    ShowMeasurementView();
    if (measurementCaption)
        setWindowTitle(measurementCaption);
}

void MainWindow::ExportCardData() {
    if (!job_.InCoordinateView() || !CommitTableEdit())
        return;
    GatherRecords();
    if (job_.lines.empty())
        return;
    const std::optional<stadix::RecordFolder> folder = FindCardRecordFolder();
    if (!folder)
        prompts_->Tell(this, "Message", "Failed to find SD card (U disk) record folder!",
                       QMessageBox::Information);
    FileDialogRequest request;
    request.title = "Export";
    request.filter = kCardSaveFilter;
    request.defaultExt = "TSR";
    request.folder = folder ? QFile::decodeName(folder->path.c_str()) : files_->DialogFolder();
    request.filterIndex = folder && folder->kind == stadix::RecordFolderKind::PointFiles ? 2 : 1;
    // Record files and job stores are added to, not replaced: the command decides.
    request.confirmOverwrite = false;
    const std::optional<FileChoice> choice = prompts_->ChooseSaveFile(this, request);
    if (!choice)
        return;
    const QString chosen = WithTypeExtension(*choice, request);
    files_->RememberFolder(chosen);
    const std::string path = LocalPath(chosen);
    // The record type writes a record file (".TSR"), else a job store.
    stadix::CardFileKind kind = stadix::CardFileKind::PtsText;
    if (choice->filterIndex == 1)
        kind = stadix::CardFileKindOf(path) == stadix::CardFileKind::RecordFile
                   ? stadix::CardFileKind::RecordFile
                   : stadix::CardFileKind::JobStore;
    CardQuestions questions(*this);
    TellCard(cardExchange_.Export(path, kind, questions, job_));
}
