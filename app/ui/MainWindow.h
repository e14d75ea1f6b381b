#pragma once

#include "app/ui/WindowPrompts.h"
#include "job/CellRules.h"
#include "job/Job.h"
#include "job/RecordEditing.h"
#include "job/RecordTable.h"
#include "rawconv/RawRecords.h"
#include "sdcard/CardExchange.h"
#include "sdcard/qt/RecordFolder.h"
#include "transfer/TransferSettings.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QDockWidget;
class QLabel;
class QLineEdit;
class QMenu;
class QPrinter;
class QToolBar;
class QToolButton;
class QUndoStack;
class PointPlot;
class RecordGridView;
class RecordTableModel;
class TextLinesView;

// Main window: the job (record table or measurement listing) and every command.
class MainWindow : public QMainWindow {
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
    void OpenDocument(const QString& path);

    // Document commands.
    void FileNew();
    void FileOpen();
    void FileSave();
    void FileSaveAs();
    void FileExit();
    void FileImport();
    // The SD card and USB disk exchange.
    void ImportCardData();
    void ExportCardData();
    void FileExport();
    void DefineExportFormat();
    void FilePrint();
    void FilePrintPreview();
    void ShowAbout();
    // The plot of the job's points, as a PNG or PDF file.
    void SavePlotAs();
    // Transfers with the total station.
    void Receive();
    void Send();
    // Asks whether to save a changed document; false ends the calling command.
    bool ConfirmSaveChanges();

    void ShowCoordinateView();
    void ShowMeasurementView();

    // Record commands of the coordinate view.
    void RecordFind();
    void RecordUpdate();
    void RecordErase();
    void RecordClear();
    // Puts the cursor into the search box.
    void FocusSearchBox();

    // Edit commands: undo and redo the changes of the records since the last Open or
    // New; cut, copy and paste cells as tab-separated text.
    void EditUndo();
    void EditRedo();
    void EditCut();
    void EditCopy();
    void EditPaste();

    // Table operations on the record text list and the record table.
    void FillTable();
    void GatherRecords();
    void ClearTable();
    void CountRecords();

    // The job on show, and what the window holds beside it.
    const stadix::Job& CurrentJob() const { return job_; }
    stadix::RecordTable& Table() { return table_; }
    bool CoordView() const;
    bool SendMode() const { return sendMode_; }
    const stadix::TransferSettings& TransferSettings() const { return transferSettings_; }

    // The volumes searched for the card's record folder (this computer's by default).
    void SetCardVolumes(std::vector<std::string> volumes) { cardVolumes_ = std::move(volumes); }

    // The settings file the transfers read and write (SettingsFilePath() by default).
    void SetSettingsPath(const std::string& path) { settingsPath_ = path; }

    // Controls, named as on the window.
    RecordGridView* recordGrid = nullptr;
    TextLinesView* measurementText = nullptr;
    QLineEdit* searchBox = nullptr; // the search box
    PointPlot* pointPlot = nullptr;
    QLabel* StatusPanel(int index) const { return statusPanels_[index]; }
    QLabel* StatusSimpleText() const { return statusSimple_; }
    bool StatusSimplePanel() const;
    QWidget* ToolBarStrip() const;
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
    // Shows a progress text in the status bar while a long operation runs.
    class ProgressShown {
      public:
        ProgressShown(MainWindow& window, const QString& text) : window_(window) {
            window_.ShowProgress(text);
        }
        ~ProgressShown() { window_.ShowProgress(QString()); }
        ProgressShown(const ProgressShown&) = delete;
        ProgressShown& operator=(const ProgressShown&) = delete;

      private:
        MainWindow& window_;
    };

    void BuildMenus();
    void BuildEditMenu();
    void BuildToolBar();
    void BuildStatusBar();
    void BuildEncodingMenu(QMenu* tools);
    QAction* AddAction(QMenu* menu, const QString& caption, const QKeySequence& shortcut,
                       void (MainWindow::*command)());
    QToolButton* AddToolButton(const QString& name, const QString& hint, QAction* action);
    void ChooseEncoding(const QString& encoding);
    // The plot's dock, its View menu and tool button, and its ties to the record grid.
    void BuildPlotView();
    // A point clicked in the plot: its row becomes the table's current row.
    void SelectPlottedRow(int row);
    // File > Recent Files, listed afresh whenever the File menu opens.
    void ListRecentFiles();
    void RememberRecentFile(const std::string& path);
    void ForgetRecentFile(const QString& path);

    // Runs a command; a failure that escapes it is shown in the standard error box.
    void RunCommand(void (MainWindow::*command)());
    void RunCommand(const std::function<void()>& command);
    void ShowHint(const QString& hint);
    void ScheduleRecount();
    void MarkTableChanged();
    void ShowCellRefusal(stadix::CellLeave verdict, const std::string& text);
    // Commits a cell still being edited before a command reads the table; false when
    // its text was refused and the command must stop.
    bool CommitTableEdit();

    // The job's name as the title shows it.
    QString DocName() const;
    // The measurement view shows the listing of raw records.
    bool RawRecordsShown() const;
    void SetCoordTitle();
    void SetMeasurementTitle();
    void SetTotal(std::size_t count);
    void SetCurrentCell(int row, int column);
    void ShowRecordLines();
    bool NewDocument();
    // New leaves an untitled, unchanged document as it is.
    bool NewKeepsDocument() const;
    // New after its question: an empty untitled job with the next default name.
    void StartNewDocument();
    // Applies the choices to job, the one a transfer is to run on; false when the user
    // backed out (Cancel, Escape) or closed it without a port: nothing is stored or changed.
    bool RunSettingsDialog(stadix::Job& job);
    void RunTransferDialog(stadix::Job& job);
    void ShowReceivedDocument();
    // Opens a chosen file by its extension; the GTS type decides the text's format.
    void OpenFile(const std::string& path, bool gtsTypeChosen);
    void OpenJobFile(const std::string& path);
    // False when the file was refused.
    bool OpenMeasurementFile(const std::string& path, bool gtsTypeChosen);
    // Writes bytes whole or not at all; reports a failure and returns false.
    bool WriteDocumentFile(const QString& path, const std::string& bytes);
    // After a save that failed: offers to save the document in another file, so that
    // what it holds need not be lost. Whether it was saved.
    bool OfferSaveElsewhere();
    // Refuses, with a warning, to write over a file the document was read from: the
    // file it was imported from, or its own file unless written in its own kind (as Save
    // writes it). True when refused.
    bool RefuseWritingOverInput(const QString& path, bool documentsOwnKind);
    enum class FileDialogKind { Open, Save };
    // A file dialog starting in DialogFolder(); the chosen folder is remembered and a
    // saved file's name carries its type's extension.
    std::optional<FileChoice> ChooseFile(FileDialogKind kind, const QString& title,
                                         const QString& filter, const QString& defaultExt,
                                         const QString& fileName = QString());
    // Where file dialogs start: the current document's folder, else the user's
    // documents folder, else the one used last, else the home folder.
    QString DialogFolder() const;
    void RememberFolder(const QString& path);
    bool SaveAsCoordinates();
    bool SaveAsMeasurement();
    bool SaveDocument();
    bool SaveDocumentAs();
    // Ends a save that left out the incomplete rows given (none, or ones still in the
    // table): names them and keeps the job changed. Whether everything was saved.
    bool SavedLeavingOut(const std::vector<int>& leftOut);
    QString MeasurementSaveFilter() const;
    void ShowProgress(const QString& text);
    // Names the incomplete rows a command left out in the status bar until the next
    // command (nothing when there were none); outcome says what befell them. Returns
    // the note.
    QString NoteRowsLeftOut(const std::vector<int>& rows, const char* outcome);
    void ClearRecords();
    // Pushes what a command changed in the records onto the undo stack, unless nothing
    // that the table shows changed. A cell's edit merges with the text put into its
    // normal form (normalised) as the user leaves the cell.
    void PushChange(const QString& name, stadix::RecordsChange change, bool cellEdit = false,
                    bool normalised = false);
    // Shows the records as an undone or redone change leaves them.
    void ShowChange(const stadix::RecordsChange& change, bool undo);
    // The document was replaced: what came before can no longer be undone, and a
    // document brought in changed stays changed until it is saved.
    void ForgetEdits();
    void DeleteSelectedCells(const QString& name);
    // The card exchange's questions, asked in the window.
    class CardQuestions;
    // Shows what a card import put into the job; raw data under measurementCaption.
    void ShowCardImport(const char* measurementCaption);
    std::optional<stadix::RecordFolder> FindCardRecordFolder() const;
    // A card message box: caption, text and, on a line of its own, why.
    void TellCard(const stadix::CardResult& result);
    void ExportCoordinates();
    void ExportMeasurements();
    // Writes an exported file whole or not at all; a failure is reported.
    void WriteExportFile(const QString& path, const std::string& bytes);
    // Makes the record text list what is printed, gathered from the table in the
    // coordinate view as it shows it. False when there is nothing to print.
    bool GatherForPrinting();
    // The print job's title: what is printed and the window title.
    QString PrintJobTitle() const;
    // Gives the print job its title, and a print to file the job's name ("SITE.pdf") in
    // DialogFolder().
    void NamePrintJob(QPrinter& printer) const;
    // Prints the record text list on printer; a failure is shown in the error box.
    void PrintRecordText(QPrinter& printer);

    std::unique_ptr<WindowPrompts> prompts_;
    stadix::RecordTable table_;
    // Its clean state is the saved document: the modified flag follows it.
    QUndoStack* undoStack_ = nullptr;
    RecordTableModel* model_ = nullptr;
    stadix::Job job_;
    bool sendMode_ = false;
    // The choices of the settings dialog that every transfer runs with.
    stadix::TransferSettings transferSettings_;

    // Keeps the import options chosen last for the rest of the run.
    stadix::CardExchange cardExchange_;
    std::optional<std::vector<std::string>> cardVolumes_;

    bool recountFlag_ = true;
    int lastCountedRow_ = 1;
    bool recountScheduled_ = false;
    bool centred_ = false;
    QString lastFolder_;
    // What the last command has to say in the status bar once its work and the hints are
    // over; emptied when the next command starts.
    QString statusNote_;
    std::string settingsPath_;
    // The file the records were last imported from (Import, Import Data); empty when the
    // document was opened, received or started afresh since.
    std::string importedFrom_;

    QToolBar* toolBar_ = nullptr;
    QMenu* recentFilesMenu_ = nullptr;
    QLabel* statusPanels_[3] = {nullptr, nullptr, nullptr};
    QLabel* statusSimple_ = nullptr;
    QList<QAction*> recordActions_;
    QAction* importAction_ = nullptr;
    QAction* exportAction_ = nullptr;
    QAction* sendAction_ = nullptr;
    QAction* exportDataAction_ = nullptr;
    QList<QToolButton*> recordButtons_;
    QToolButton* sendButton_ = nullptr;
    QDockWidget* plotDock_ = nullptr;
};
