// The main window's SD card and USB disk commands: "Import Data..." and "Export Data...".
#include "base/Errors.h"
#include "base/FileIO.h"
#include "app/ui/MainWindow.h"
#include "app/ui/RecordGridView.h"
#include "widgets/TextCodec.h"
#include "sdcard/CardExport.h"
#include "sdcard/CardTexts.h"
#include "sdcard/JobStore.h"
#include "sdcard/RecordFile.h"
#include "sdcard/qt/RecordFolder.h"

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

void MainWindow::TellCard(const char* caption, const std::string& text,
                          const stadix::CardProblem& why) {
    const std::string message = why.text.empty() ? text : text + "\n" + why.text;
    prompts_->Tell(this, QString::fromUtf8(caption), MessageToDisplay(message),
                   QMessageBox::Information);
}

bool MainWindow::OpenJobStoreOrTell(stadix::JobStore& store, const std::string& path,
                                    stadix::CardAccess access, const char* cannotOpen) {
    switch (stadix::OpenCardJobStore(store, path, access)) {
    case stadix::StoreOpening::Opened:
        return true;
    case stadix::StoreOpening::CannotOpen:
        TellCard(stadix::cardtext::kWarningCaption, cannotOpen, store.Problem());
        return false;
    case stadix::StoreOpening::NotUsable:
        TellCard(stadix::cardtext::kStoreNotFormattedCaption, stadix::cardtext::kStoreNotFormatted,
                 store.Problem());
        return false;
    }
    return false;
}

void MainWindow::ImportCardData() {
    const std::optional<stadix::RecordFolder> folder = FindCardRecordFolder();
    if (!folder &&
        prompts_->Ask(this, "Message",
                      "Failed to find SD card (U disk) record folder.Search in other fold?",
                      QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    // The command starts a new document before the file is chosen.
    if (!NewDocument())
        return;
    FileDialogRequest request;
    request.title = "Open";
    request.filter = kCardOpenFilter;
    request.defaultExt = "TSR";
    request.folder = folder ? QFile::decodeName(folder->path.c_str()) : DialogFolder();
    const std::optional<FileChoice> choice = prompts_->ChooseOpenFile(this, request);
    if (!choice)
        return;
    RememberFolder(choice->path);
    const std::string path = LocalPath(choice->path);
    importedFrom_ = path;
    const stadix::CardFileKind kind = stadix::CardFileKindOf(path);
    if (kind == stadix::CardFileKind::RecordFile)
        ImportRecordFile(path);
    else if (kind == stadix::CardFileKind::JobStore)
        ImportJobStore(path);
    else
        ImportCardTextFile(kind, path);
    SetCurrentCell(1, 0);
}

void MainWindow::ImportRecordFile(const std::string& path) {
    stadix::RecordFile file;
    if (file.OpenRecordFile(path, stadix::CardAccess::ReadOnly) != stadix::CardStatus::Success) {
        TellCard(stadix::cardtext::kWarningCaption, stadix::cardtext::kCannotImport,
                 file.Problem());
        return;
    }
    if (file.RecordFileCount() == 0) {
        prompts_->Tell(this, QApplication::applicationName(), stadix::cardtext::kNoRecord,
                       QMessageBox::NoIcon);
        return;
    }
    // The choices and their units hold whichever button closed the dialog.
    const bool accepted = prompts_->ChooseImportOptions(this, recordFileChoices_);
    stadix::ApplyImportUnits(job_.decodeState, recordFileChoices_);
    if (!accepted)
        return;
    try {
        const ProgressShown progress(*this, "Importing...");
        stadix::ImportRecordFile(file, recordFileChoices_.dataType, job_);
    } catch (const stadix::CardError& failure) {
        TellCard(stadix::cardtext::kWarningCaption, stadix::cardtext::kCannotImport,
                 {failure.what()});
        return;
    }
    ShowCardImport(kRawDataCaption);
}

void MainWindow::ImportJobStore(const std::string& path) {
    stadix::JobStore store;
    if (!OpenJobStoreOrTell(store, path, stadix::CardAccess::ReadOnly,
                            stadix::cardtext::kCannotImport))
        return;
    const std::optional<int> job = prompts_->SelectJob(this, store, false);
    if (!job)
        return;
    if (store.JobRecordCount(*job) == 0) {
        prompts_->Tell(this, QApplication::applicationName(), stadix::cardtext::kNoRecord,
                       QMessageBox::NoIcon);
        return;
    }
    if (*job == store.KnownCoordinatesJob()) {
        jobStoreChoices_.dataType = stadix::ImportDataType::KnownPoints;
    } else {
        const bool accepted = prompts_->ChooseImportOptions(this, jobStoreChoices_);
        stadix::ApplyImportUnits(job_.decodeState, jobStoreChoices_);
        if (!accepted)
            return;
    }
    try {
        const ProgressShown progress(*this, "Importing...");
        stadix::ImportJobRecords(store, *job, jobStoreChoices_.dataType, job_);
    } catch (const stadix::CardError& failure) {
        TellCard(stadix::cardtext::kWarningCaption, stadix::cardtext::kCannotImport,
                 {failure.what()});
        return;
    }
    ShowCardImport(kRawDataCaption);
}

void MainWindow::ImportCardTextFile(stadix::CardFileKind kind, const std::string& path) {
    const ProgressShown progress(*this, "Importing...");
    if (kind == stadix::CardFileKind::Other) {
        // A file of another extension (one in mixed case, say) is shown as it is, as text.
        job_.lines = stadix::ReadFileLines(path);
        job_.content = stadix::JobContent::Text;
    } else {
        stadix::ImportCardText(kind, path, job_);
    }
    job_.modified = false;
    ShowCardImport(nullptr);
}

void MainWindow::ShowCardImport(const char* measurementCaption) {
    ForgetEdits();
    if (CoordView()) {
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
    if (!CoordView() || !CommitTableEdit())
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
    request.folder = folder ? QFile::decodeName(folder->path.c_str()) : DialogFolder();
    request.filterIndex = folder && folder->kind == stadix::RecordFolderKind::PointFiles ? 2 : 1;
    // Record files and job stores are added to, not replaced: the command decides.
    request.confirmOverwrite = false;
    const std::optional<FileChoice> choice = prompts_->ChooseSaveFile(this, request);
    if (!choice)
        return;
    const QString chosen = WithTypeExtension(*choice, request);
    RememberFolder(chosen);
    const std::string path = LocalPath(chosen);
    bool exists = false;
    try {
        exists = stadix::CardFileExists(path);
    } catch (const stadix::CardError& failure) {
        TellCard(stadix::cardtext::kWarningCaption, stadix::cardtext::kCannotExport,
                 {failure.what()});
        return;
    }
    if (choice->filterIndex != 1) {
        ExportToPtsFile(path, exists);
        return;
    }
    const bool recordFile = stadix::HasExtension(path, ".TSR");
    if (exists) {
        if (recordFile)
            ExportToRecordFile(path);
        else
            ExportToJobStore(path);
        return;
    }
    if (!recordFile) {
        TellCard(stadix::cardtext::kWarningCaption, stadix::cardtext::kCannotExport, {});
        return;
    }
    if (prompts_->Ask(this, "Confirmation", "Sure to export data to a new file?",
                      QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    stadix::RecordFile file;
    if (file.CreateRecordFile(path, 0, false) != stadix::CardStatus::Success) {
        TellCard(stadix::cardtext::kWarningCaption, stadix::cardtext::kCannotExport,
                 file.Problem());
        return;
    }
    ExportToRecordFile(path);
}

void MainWindow::ExportToPtsFile(const std::string& path, bool exists) {
    if (RefuseWritingOverInput(QFile::decodeName(path.c_str()), false))
        return;
    if (exists && prompts_->Ask(this, "Confirmation", "File exists. Overwrite it?",
                                QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    try {
        stadix::WriteFileAtomically(path, stadix::CardPtsFileBytes(job_.lines));
    } catch (const stadix::FileError& failure) {
        TellCard(stadix::cardtext::kWarningCaption, stadix::cardtext::kCannotExport,
                 {failure.what()});
    }
}

void MainWindow::ExportToRecordFile(const std::string& path) {
    stadix::CardExportReport report;
    {
        const ProgressShown progress(*this, "Exporting...");
        report = stadix::ExportToRecordFile(path, job_);
    }
    TellCard(report.caption.c_str(), report.message, report.problem);
}

void MainWindow::ExportToJobStore(const std::string& path) {
    stadix::JobStore store;
    if (!OpenJobStoreOrTell(store, path, stadix::CardAccess::ReadWrite,
                            stadix::cardtext::kCannotExport))
        return;
    const std::optional<int> job = prompts_->SelectJob(this, store, true);
    if (!job)
        return;
    const std::string& problem = store.JobProblem(*job);
    if (!problem.empty()) {
        TellCard(stadix::cardtext::kWarningCaption, stadix::cardtext::kCannotExport, {problem});
        return;
    }
    stadix::CardExportReport report;
    stadix::CardProblem closing;
    {
        const ProgressShown progress(*this, "Exporting...");
        report = stadix::ExportToJob(store, *job, job_);
        if (store.CloseJobStore() != stadix::CardStatus::Success)
            closing = store.Problem();
    }
    TellCard(report.caption.c_str(), report.message,
             report.problem.text.empty() ? closing : report.problem);
}
