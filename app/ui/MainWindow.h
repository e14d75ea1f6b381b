#pragma once

#include "app/ui/CardController.h"
#include "app/ui/DocumentController.h"
#include "app/ui/DocumentFiles.h"
#include "app/ui/DocumentView.h"
#include "app/ui/ExportController.h"
#include "app/ui/PlotController.h"
#include "app/ui/PrintController.h"
#include "app/ui/RecordsController.h"
#include "app/ui/ReductionController.h"
#include "app/ui/TransferController.h"
#include "app/ui/WindowPrompts.h"
#include "job/Job.h"
#include "job/RecordTable.h"

#include <QMainWindow>
#include <QStyle>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QToolBar;
class QToolButton;
class PointPlot;
class RecordGridView;
class RecordTableModel;
class TextLinesView;

// Main window: the job (record table or measurement listing), its menus, tool bar and
// status bar. Each command runs in the controller of its kind.
class MainWindow : public QMainWindow, private DocumentView {
    Q_OBJECT
  public:
    // prompts: where questions, messages and file dialogs go (the real dialogs when null).
    explicit MainWindow(std::unique_ptr<WindowPrompts> prompts = nullptr,
                        QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up: the splash, then a job file named as the only argument (".JCD" only),
    // or "--open FILE": any file that Open shows, as the desktop hands it over.
    void ShowStartupSplash();
    void OpenFromCommandLine(const QStringList& arguments);

    // Opens a job or measurement file as Open does, its kind told by its extension,
    // after the unsaved-changes question: a recent file, a dropped file, --open.
    void OpenDocument(const QString& path) { documents_->OpenDocument(path); }

    // Document commands.
    void FileNew() { documents_->NewDocument(); }
    void FileOpen() { documents_->Open(); }
    void FileSave() { documents_->Save(); }
    void FileSaveAs() { documents_->SaveAs(); }
    void FileExit() { close(); }
    void FileImport() { documents_->Import(); }
    // Asks whether to save a changed document; false ends the calling command.
    bool ConfirmSaveChanges() { return documents_->ConfirmSaveChanges(); }
    // The SD card and USB disk exchange.
    void ImportCardData() { card_->ImportData(); }
    void ExportCardData() { card_->ExportData(); }
    void FileExport() { export_->Export(); }
    void DefineExportFormat() { export_->DefineExportFormat(); }
    void FilePrint() { print_->Print(); }
    void FilePrintPreview() { print_->PrintPreview(); }
    void ShowAbout();
    // The plot of the job's points, as a PNG or PDF file.
    void SavePlotAs() { plot_->SavePlotAs(); }
    // Transfers with the total station.
    void Receive() { transfer_->Receive(); }
    void Send() { transfer_->Send(); }
    // Coordinates computed from the measurements shown, as a new job, with a report.
    void ComputeCoordinates() { reduction_->ComputeCoordinates(); }
    void ImportStoredCoordinates() { documents_->ImportStoredCoordinates(); }
    ReportWindow* ReductionReport() const { return reduction_->Report(); }

    // Record commands of the coordinate view.
    void RecordFind() { records_->Find(); }
    void RecordUpdate() { records_->Update(); }
    void RecordErase() { records_->Erase(); }
    void RecordClear() { records_->Clear(); }
    // Puts the cursor into the search box.
    void FocusSearchBox() { records_->FocusSearchBox(); }

    // Edit commands: undo and redo the changes of the records since the last Open or
    // New; cut, copy and paste cells as tab-separated text.
    void EditUndo() { records_->Undo(); }
    void EditRedo() { records_->Redo(); }
    void EditCut() { records_->Cut(); }
    void EditCopy() { records_->Copy(); }
    void EditPaste() { records_->Paste(); }

    // The job on show, and what the window holds beside it.
    const stadix::Job& CurrentJob() const { return job_; }
    stadix::RecordTable& Table() { return table_; }
    bool SendMode() const { return transfer_->SendMode(); }
    const stadix::TransferSettings& TransferSettings() const { return transfer_->Settings(); }

    // The volumes searched for the card's record folder (this computer's by default).
    void SetCardVolumes(std::vector<std::string> volumes) { card_->SetVolumes(std::move(volumes)); }

    // The settings file the transfers read and write (SettingsFilePath() by default).
    void SetSettingsPath(const std::string& path) { settingsPath_ = path; }

    // Controls, named as on the window.
    RecordGridView* recordGrid = nullptr;
    TextLinesView* measurementText = nullptr;
    QLineEdit* searchBox = nullptr;
    PointPlot* pointPlot = nullptr;
    // The status bar of the coordinate view: hints, progress and the last command's
    // note; the count of complete records; the current row.
    QLabel* MessagePanel() const { return messagePanel_; }
    QLabel* TotalPanel() const { return totalPanel_; }
    QLabel* RowPanel() const { return rowPanel_; }
    // The measurement view's status bar: one line in place of the panels, for hints,
    // progress and notes.
    QLabel* StatusLine() const { return statusLine_; }
    bool StatusLineShown() const;
    QAction* Action(const QString& caption) const;
    QMenu* Menu(const QString& caption) const;
    QToolButton* ToolButton(const QString& name) const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // A job or measurement file dropped on the window is opened.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // The controllers of the commands, each given what its commands work on.
    void MakeControllers();
    void BuildMenus();
    void BuildEditMenu();
    // The plot's View menu and tool button.
    void BuildViewMenu();
    void BuildToolBar();
    void BuildStatusBar();
    QLabel* AddStatusPanel();
    void BuildEncodingMenu(QMenu* tools);
    QAction* AddAction(QMenu* menu, const QString& caption, const QKeySequence& shortcut,
                       void (MainWindow::*command)());
    QToolButton* AddToolButton(const QString& name, const QString& hint, QAction* action);
    // The desktop theme's icon of that name, else the style's own.
    QIcon ThemeIcon(const QString& name, QStyle::StandardPixmap fallback) const;
    void ChooseEncoding(const QString& encoding);
    // The record commands work on the table; Send and Export on records or raw records.
    void EnableCommands(bool recordCommands, bool sendAndExport);
    void ShowStatusPanels(bool shown);

    // Runs a command; a failure that escapes it is shown in the standard error box.
    void RunCommand(void (MainWindow::*command)());
    void RunCommand(const std::function<void()>& command);
    void ShowHint(const QString& hint);

    // What the controllers show of the job.
    void SetCoordTitle() override;
    void SetMeasurementTitle() override;
    void SetTitle(const QString& title) override;
    void ShowModified() override;
    void ShowCoordinateView() override;
    void ShowMeasurementView() override;
    void ShowProgress(const QString& text) override;
    QString NoteRowsLeftOut(const std::vector<int>& rows, const char* outcome) override;
    void SetTotal(std::size_t count) override;
    bool CommitTableEdit() override { return records_->CommitTableEdit(); }
    void SetCurrentCell(int row, int column) override;
    void FillTable() override { records_->FillTable(); }
    void ClearTable() override { records_->ClearTable(); }
    void GatherRecords() override { records_->GatherRecords(); }
    void ClearRecords() override { records_->ClearRecords(); }
    void PushChange(const QString& name, stadix::RecordsChange change) override {
        records_->PushChange(name, std::move(change));
    }
    void MarkSaved() override { records_->MarkSaved(); }
    void ForgetEdits() override { records_->ForgetEdits(); }

    std::unique_ptr<WindowPrompts> prompts_;
    stadix::RecordTable table_;
    stadix::Job job_;
    std::string settingsPath_;
    RecordTableModel* model_ = nullptr;
    std::unique_ptr<RecordsController> records_;
    std::unique_ptr<DocumentFiles> files_;
    std::unique_ptr<DocumentController> documents_;
    std::unique_ptr<TransferController> transfer_;
    std::unique_ptr<ExportController> export_;
    std::unique_ptr<PrintController> print_;
    std::unique_ptr<PlotController> plot_;
    std::unique_ptr<CardController> card_;
    std::unique_ptr<ReductionController> reduction_;

    bool centred_ = false;
    // What the last command has to say in the status bar once its work and the hints are
    // over; emptied when the next command starts.
    QString statusNote_;

    QToolBar* toolBar_ = nullptr;
    QLabel* messagePanel_ = nullptr;
    QLabel* totalPanel_ = nullptr;
    QLabel* rowPanel_ = nullptr;
    QLabel* filePanel_ = nullptr;
    QLabel* statusLine_ = nullptr;
    QList<QAction*> recordActions_;
    QAction* importAction_ = nullptr;
    QAction* exportAction_ = nullptr;
    QAction* sendAction_ = nullptr;
    QAction* exportDataAction_ = nullptr;
    QAction* computeAction_ = nullptr;
    QAction* storedAction_ = nullptr; // Tools > Import Stored Coordinates
    QList<QToolButton*> recordButtons_;
    QToolButton* sendButton_ = nullptr;
};
