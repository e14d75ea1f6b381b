#pragma once

#include "app/CellRules.h"
#include "app/Job.h"
#include "app/RecordTable.h"
#include "app/ui/Prompts.h"
#include "rawconv/RawRecords.h"
#include "transfer/TransferSettings.h"

#include <QMainWindow>

#include <memory>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QToolBar;
class QToolButton;
class RecordGridView;
class RecordTableModel;

// Main window: the job (record table or measurement listing) and every command.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    // prompts: where questions, messages and file dialogs go (the real dialogs when null).
    explicit MainWindow(std::unique_ptr<Prompts> prompts = nullptr, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up: the splash, then a job file named as the only argument.
    void ShowStartupSplash();
    void OpenFromCommandLine(const QStringList& arguments);

    // Document commands.
    void FileNew();
    void FileOpen();
    void FileSave();
    void FileSaveAs();
    void FileExit();
    void ShowAbout();
    // Transfers with the total station.
    void Receive();
    void Send();
    // Asks whether to save a changed document; false ends the calling command.
    bool ConfirmSaveChanges();

    void ShowCoordinateView();
    void ShowMeasurementView();

    // Table operations on the record text list and the record table.
    void FillTable();
    void GatherRecords();
    void ClearTable();
    void CountRecords();

    // The document, for the transfer and format commands and for tests.
    const QString& FilePath() const { return FilePath_; }
    const QString& DocName() const { return DocName_; }
    bool Untitled() const { return Untitled_; }
    int JobCounter() const { return JobCounter_; }
    bool SendMode() const { return SendMode_; }
    bool CoordView() const { return CoordView_; }
    int DataFormat() const { return DataFormat_; }
    const stadix::TransferSettings& CommSettings() const { return CommSettings_; }
    bool RawLoaded() const { return RawLoaded_; }
    bool Modified() const { return Modified_; }
    const std::vector<std::string>& RecordLines() const { return RecordLines_; }
    const std::string& RawStore() const { return RawStore_; }
    stadix::RecordTable& Table() { return Table_; }

    // The settings file the transfers read and write (SettingsFilePath() by default).
    void SetSettingsPath(const std::string& path) { SettingsPath_ = path; }

    // Controls, named as on the window.
    RecordGridView* recordGrid = nullptr;
    QPlainTextEdit* measurementText = nullptr;
    QLineEdit* searchBox = nullptr; // the search box
    QLabel* StatusPanel(int index) const { return StatusPanels_[index]; }
    QLabel* StatusSimpleText() const { return StatusSimple_; }
    bool StatusSimplePanel() const;
    QWidget* ToolBarStrip() const;
    QAction* Action(const QString& caption) const;
    QMenu* Menu(const QString& caption) const;
    QToolButton* ToolButton(const QString& name) const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void BuildMenus();
    void BuildToolBar();
    void BuildStatusBar();
    void BuildEncodingMenu(QMenu* tools);
    QAction* AddAction(QMenu* menu, const QString& caption, const QKeySequence& shortcut,
                       void (MainWindow::*command)());
    QToolButton* AddToolButton(const QString& name, const QString& hint, QAction* action);
    void ChooseEncoding(const QString& encoding);

    // Runs a command; a failure that escapes it is shown in the standard error box.
    void RunCommand(void (MainWindow::*command)());
    void ShowHint(const QString& hint);
    void ScheduleRecount();
    void MarkTableChanged();
    void ShowCellRefusal(stadix::CellLeave verdict, const std::string& text);
    // Commits a cell still being edited before a command reads the table; false when
    // its text was refused and the command must stop.
    bool CommitTableEdit();

    void SetCoordTitle();
    void SetMeasurementTitle();
    void SetTotal(std::size_t count);
    void SetCurrentCell(int row, int column);
    void ShowRecordLines();
    bool NewDocument();
    // False when the dialog was closed without a port.
    bool RunSettingsDialog();
    void RunTransferDialog(stadix::Job& job);
    // The job as a transfer takes it, made of the window's members (which it empties),
    // and the transfer's job taken back into them.
    stadix::Job TakeJobForTransfer();
    void ReturnJobFromTransfer(stadix::Job& job);
    void ShowReceivedDocument();
    void OpenJobFile(const QString& path);
    void OpenMeasurementFile(const QString& path, int filterIndex);
    // Writes bytes whole or not at all; reports a failure and returns false.
    bool WriteDocumentFile(const QString& path, const std::string& bytes);
    std::optional<FileChoice> ChooseSaveAsFile(const QString& filter);
    // Where file dialogs start: the current document's folder, else the last one used,
    // else the program's folder when it can be written, else the user's documents.
    QString DialogFolder() const;
    void RememberFolder(const QString& path);
    bool SaveAsCoordinates();
    bool SaveAsMeasurement();
    bool SaveDocument();
    bool SaveDocumentAs();
    QString MeasurementSaveFilter() const;
    void ShowProgress(const QString& text);

    std::unique_ptr<Prompts> prompts_;
    stadix::RecordTable Table_;
    RecordTableModel* model_ = nullptr;
    std::vector<std::string> RecordLines_;
    std::string RawStore_;

    QString FilePath_;
    QString DocName_;
    bool Untitled_ = true;
    int JobCounter_ = 1;
    bool SendMode_ = false;
    bool CoordView_ = true;
    int DataFormat_ = 0;
    // The choices of the settings dialog that every transfer runs with.
    stadix::TransferSettings CommSettings_;
    stadix::DecodeState DecodeState_;
    bool RawLoaded_ = false;
    bool Modified_ = false;

    bool RecountFlag_ = true;
    int LastCountedRow_ = 1;
    bool RecountScheduled_ = false;
    bool ClosingConfirmed_ = false;
    bool Centred_ = false;
    QString LastFolder_;
    std::string SettingsPath_;

    QToolBar* ToolBar_ = nullptr;
    QLabel* StatusPanels_[3] = {nullptr, nullptr, nullptr};
    QLabel* StatusSimple_ = nullptr;
    QList<QAction*> RecordActions_;
    QAction* ImportAction_ = nullptr;
    QAction* ExportAction_ = nullptr;
    QAction* SendAction_ = nullptr;
    QAction* ExportDataAction_ = nullptr;
    QList<QToolButton*> RecordButtons_;
    QToolButton* SendButton_ = nullptr;
};
