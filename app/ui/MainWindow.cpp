#include "app/ui/MainWindow.h"

#include "app/RecentFiles.h"
#include "app/ui/AboutBox.h"
#include "app/ui/Icons.h"
#include "app/ui/Printing.h"
#include "app/ui/RecordGridView.h"
#include "app/ui/RecordTableModel.h"
#include "app/ui/RecordsCommand.h"
#include "app/ui/TextLinesView.h"
#include "base/Errors.h"
#include "base/FileIO.h"
#include "comport/qt/ComPort.h"
#include "comport/qt/SettingsPath.h"
#include "formats/CoordinateImport.h"
#include "formats/ExportFormats.h"
#include "formats/ui/ExportLayoutDialog.h"
#include "job/JobFile.h"
#include "job/RecordEditing.h"
#include "job/RecordLine.h"
#include "rawconv/MeasurementFile.h"
#include "transfer/ui/KvrTransferDialog.h"
#include "transfer/ui/SettingsDialog.h"
#include "transfer/ui/TextTransferDialog.h"
#include "widgets/TextCodec.h"
#include "widgets/WindowPlacement.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPrinter>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

namespace {

const char* const kCoordTitle = "--TS Coord. data file";
const char* const kMeasTitle = "--TS Meas. Data File";
const QColor kLightBlue(237, 244, 255);
const int kFrameMs = 16;

const char* const kOpenFilter =
    "TS Coord. Data File(*.JCD)|*.JCD|TS Meas. Data File(*.TSM)|*.TSM|GTS Meas. Data "
    "File(*.GTS,*.GT7)|*.GTS;*.GT7|Text(*.TXT)|*.TXT";
const char* const kCoordSaveFilter = "TS Coord. Data File(*.JCD)|*.JCD|Text(*.TXT)|*.TXT";

// A file type of a file dialog's filter: "description|pattern".
QString DialogFilterEntry(const stadix::DialogEntry& entry) {
    return BytesToDisplay(entry.description) + "|" + BytesToDisplay(entry.pattern);
}

// A menu caption without its access key marker.
QString Caption(const QString& text) {
    return QString(text).remove('&');
}

// The remembered choice of the record texts' encoding.
QSettings RememberedSettings() {
    return QSettings("Stadix", "Stadix");
}
const char* const kEncodingKey = "RecordTextEncoding";
const char* const kRecentFilesKey = "RecentFiles";
const char* const kGeometryKey = "WindowGeometry";

stadix::RecentFiles LoadRecentFiles() {
    std::vector<std::string> paths;
    for (const QString& path : RememberedSettings().value(kRecentFilesKey).toStringList())
        paths.push_back(LocalPath(path));
    return stadix::RecentFiles(paths);
}

void StoreRecentFiles(const stadix::RecentFiles& recent) {
    QStringList paths;
    for (const std::string& path : recent.Paths())
        paths << QFile::decodeName(path.c_str());
    RememberedSettings().setValue(kRecentFilesKey, paths);
}

// The one local file of a drag, when it is a file that Open shows; else empty.
QString DroppedDocument(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1)
        return QString();
    const QUrl url = data->urls().front();
    if (!url.isLocalFile() || !stadix::DocumentKindOf(LocalPath(url.toLocalFile())))
        return QString();
    return url.toLocalFile();
}

void PaintLightBlue(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, kLightBlue);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

MainWindow::MainWindow(std::unique_ptr<WindowPrompts> prompts, QWidget* parent)
    : QMainWindow(parent),
      prompts_(prompts ? std::move(prompts) : std::make_unique<WindowDialogs>()) {
    QFont font("Times New Roman");
    font.setPixelSize(15);
    setFont(font);
    setWindowIcon(ApplicationIcon());
    setContextMenuPolicy(Qt::NoContextMenu);
    resize(559, 735);
    setAcceptDrops(true);
    SetRecordTextEncoding(RememberedSettings().value(kEncodingKey).toString());

    undoStack_ = new QUndoStack(this);
    connect(undoStack_, &QUndoStack::cleanChanged, this,
            [this](bool clean) { job_.modified = !clean; });
    model_ = new RecordTableModel(table_, this);
    recordGrid = new RecordGridView(model_, this);
    recordGrid->setObjectName("recordGrid");
    measurementText = new TextLinesView(this);
    measurementText->setObjectName("measurementText");
    measurementText->hide();

    BuildMenus();
    BuildToolBar();
    BuildStatusBar();
    BuildPlotView();

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(recordGrid, 1);
    layout->addWidget(measurementText, 1);
    setCentralWidget(central);

    recordGrid->SetRefusalHandler([this](stadix::CellLeave verdict, const std::string& text) {
        ShowCellRefusal(verdict, text);
    });
    model_->SetEditRecorder([this](stadix::RecordsChange change, bool normalised) {
        PushChange("Typing", std::move(change), true, normalised);
        MarkTableChanged();
    });
    connect(recordGrid, &RecordGridView::KeyTyped, this, &MainWindow::MarkTableChanged);
    connect(recordGrid, &RecordGridView::DeletePressed, this,
            [this] { DeleteSelectedCells("Delete"); });
    connect(recordGrid, &RecordGridView::PasteRefused, this, [this](const QString& message) {
        prompts_->Tell(this, "Warning", message, QMessageBox::Warning);
    });
    connect(recordGrid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                statusPanels_[2]->setText("Row:" + QString::number(current.row()));
                ScheduleRecount();
            });

    settingsPath_ = stadix::SettingsFilePath().toStdString();
    SetCoordTitle();
    ClearTable();
    SetCurrentCell(1, 0);
    statusPanels_[1]->setText("Total:");
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    AddAction(file, "&New", QKeySequence("Ctrl+N"), &MainWindow::FileNew);
    AddAction(file, "&Open", QKeySequence("Ctrl+O"), &MainWindow::FileOpen);
    AddAction(file, "&Save", QKeySequence("Ctrl+S"), &MainWindow::FileSave);
    AddAction(file, "Save &as...", QKeySequence(), &MainWindow::FileSaveAs);
    recentFilesMenu_ = file->addMenu("Recent &Files");
    recentFilesMenu_->setObjectName("recentFilesMenu");
    connect(file, &QMenu::aboutToShow, this, &MainWindow::ListRecentFiles);
    file->addSeparator();
    AddAction(file, "&Print", QKeySequence("Ctrl+P"), &MainWindow::FilePrint);
    AddAction(file, "Print Pre&view", QKeySequence(), &MainWindow::FilePrintPreview);
    file->addSeparator();
    importAction_ = AddAction(file, "&Import...", QKeySequence(), &MainWindow::FileImport);
    exportAction_ = AddAction(file, "&Export...", QKeySequence(), &MainWindow::FileExport);
    file->addSeparator();
    AddAction(file, "E&xit", QKeySequence("Ctrl+Q"), &MainWindow::FileExit);
    BuildEditMenu();

    QMenu* record = menuBar()->addMenu("&Record");
    recordActions_ << AddAction(record, "&Update", QKeySequence("Ctrl+U"),
                                &MainWindow::RecordUpdate)
                   << AddAction(record, "&Erase", QKeySequence("Ctrl+E"), &MainWindow::RecordErase)
                   << AddAction(record, "&Clear", QKeySequence("Ctrl+L"), &MainWindow::RecordClear)
                   << AddAction(record, "&Find", QKeySequence("Ctrl+F"),
                                &MainWindow::FocusSearchBox);

    QMenu* comm = menuBar()->addMenu("&Communction");
    AddAction(comm, "&Receive...", QKeySequence("F9"), &MainWindow::Receive);
    sendAction_ = AddAction(comm, "&Send...", QKeySequence("F10"), &MainWindow::Send);

    QMenu* card = menuBar()->addMenu("&SD/U dsik");
    AddAction(card, "&Import Data...", QKeySequence("F7"), &MainWindow::ImportCardData);
    exportDataAction_ =
        AddAction(card, "&Export Data...", QKeySequence("F8"), &MainWindow::ExportCardData);
    connect(card, &QMenu::aboutToShow, this,
            [this] { exportDataAction_->setEnabled(CoordView()); });

    QMenu* tools = menuBar()->addMenu("&Tools");
    AddAction(tools, "&Define Export Format...", QKeySequence(), &MainWindow::DefineExportFormat);
    BuildEncodingMenu(tools);

    QMenu* help = menuBar()->addMenu("&Help");
    AddAction(help, "&About Software", QKeySequence(), &MainWindow::ShowAbout);
}

void MainWindow::BuildEncodingMenu(QMenu* tools) {
    QMenu* encodings = tools->addMenu("Text &Encoding");
    auto* group = new QActionGroup(encodings);
    for (const QString& encoding : RecordTextEncodings()) {
        QAction* action = encodings->addAction(encoding);
        action->setObjectName(encoding);
        action->setCheckable(true);
        action->setChecked(encoding == RecordTextEncoding());
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, encoding] { ChooseEncoding(encoding); });
    }
}

void MainWindow::ListRecentFiles() {
    recentFilesMenu_->clear();
    const std::vector<std::string> paths = LoadRecentFiles().Paths();
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const QString path = QFile::decodeName(paths[i].c_str());
        const QString name = QFileInfo(path).fileName().replace('&', "&&");
        QAction* action = recentFilesMenu_->addAction(QString("&%1 %2").arg(i + 1).arg(name));
        action->setStatusTip(path);
        connect(action, &QAction::triggered, this,
                [this, path] { RunCommand([this, path] { OpenDocument(path); }); });
    }
    recentFilesMenu_->setEnabled(!paths.empty());
}

void MainWindow::RememberRecentFile(const std::string& path) {
    stadix::RecentFiles recent = LoadRecentFiles();
    recent.Add(LocalPath(QFileInfo(QFile::decodeName(path.c_str())).absoluteFilePath()));
    StoreRecentFiles(recent);
}

void MainWindow::ForgetRecentFile(const QString& path) {
    stadix::RecentFiles recent = LoadRecentFiles();
    recent.Remove(LocalPath(QFileInfo(path).absoluteFilePath()));
    StoreRecentFiles(recent);
}

void MainWindow::ChooseEncoding(const QString& encoding) {
    SetRecordTextEncoding(encoding);
    RememberedSettings().setValue(kEncodingKey, encoding);
    model_->TableReset();
    measurementText->Redecode();
}

QAction* MainWindow::AddAction(QMenu* menu, const QString& caption, const QKeySequence& shortcut,
                               void (MainWindow::*command)()) {
    QAction* action = menu->addAction(caption);
    action->setShortcut(shortcut);
    action->setObjectName(Caption(caption));
    if (command)
        connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
    return action;
}

QAction* MainWindow::Action(const QString& caption) const {
    // Undo and Redo are found by their name: their captions tell what they take back.
    for (QAction* action : findChildren<QAction*>()) {
        if (Caption(action->text()) == caption || action->objectName() == caption)
            return action;
    }
    return nullptr;
}

QMenu* MainWindow::Menu(const QString& caption) const {
    for (QAction* action : menuBar()->actions()) {
        if (Caption(action->text()) == caption)
            return action->menu();
    }
    return nullptr;
}

QToolButton* MainWindow::ToolButton(const QString& name) const {
    return toolBar_->findChild<QToolButton*>(name);
}

QWidget* MainWindow::ToolBarStrip() const {
    return toolBar_;
}

void MainWindow::BuildToolBar() {
    // A real tool bar: when the window is narrow, the buttons that do not fit move to
    // its overflow menu, so Receive and Send stay reachable.
    toolBar_ = addToolBar("Tools");
    toolBar_->setObjectName("toolBar");
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(20, 20));
    PaintLightBlue(toolBar_);

    AddToolButton("New", "New|Create a new job file", Action("New"))
        ->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
    AddToolButton("Save", "Save|Save data to the current job file", Action("Save"))
        ->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    AddToolButton("Open", "Open|Open a job file", Action("Open"))
        ->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    AddToolButton("Print", "Print|Print the current job file", Action("Print"))
        ->setIcon(ToolIcon("document-print", ToolGlyph::Print));
    toolBar_->addSeparator();
    recordButtons_ << AddToolButton("Update", "Update|Update the record table", Action("Update"));
    recordButtons_.back()->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    recordButtons_ << AddToolButton("Erase", "Erase|Erase a record", Action("Erase"));
    recordButtons_.back()->setIcon(ToolIcon("edit-delete", ToolGlyph::Erase));
    recordButtons_ << AddToolButton("Clear", "Clear|Clear all records", Action("Clear"));
    recordButtons_.back()->setIcon(ToolIcon("edit-clear-all", ToolGlyph::Clear));
    toolBar_->addSeparator();
    searchBox = new QLineEdit(toolBar_);
    searchBox->setObjectName("searchBox");
    searchBox->setFixedWidth(120);
    searchBox->setToolTip(QString());
    searchBox->setStatusTip(QString());
    toolBar_->addWidget(searchBox);
    connect(searchBox, &QLineEdit::returnPressed, this,
            [this] { RunCommand(&MainWindow::RecordFind); });
    recordButtons_ << AddToolButton("Find", "Find|Find a record by the name entered", nullptr);
    recordButtons_.back()->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    connect(recordButtons_.back(), &QToolButton::clicked, this,
            [this] { RunCommand(&MainWindow::RecordFind); });
    toolBar_->addSeparator();
    AddToolButton("Receive", "Receive|Receive data from total station", Action("Receive..."))
        ->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    sendButton_ = AddToolButton("Send", "Send|Send data to total station", Action("Send..."));
    sendButton_->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
}

QToolButton* MainWindow::AddToolButton(const QString& name, const QString& hint, QAction* action) {
    auto* button = new QToolButton(toolBar_);
    button->setObjectName(name);
    button->setAutoRaise(true);
    button->setFixedSize(28, 28);
    const int bar = int(hint.indexOf('|'));
    button->setToolTip(hint.left(bar));
    button->setStatusTip(hint.mid(bar + 1));
    if (action)
        connect(button, &QToolButton::clicked, action, &QAction::trigger);
    toolBar_->addWidget(button);
    return button;
}

void MainWindow::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("statusBar");
    PaintLightBlue(bar);
    QFont statusFont = bar->font();
    statusFont.setFamily("Times New Roman");
    bar->setFont(statusFont);
    bar->setSizeGripEnabled(false);
    // The panels share the window's width in the proportions 340 : 105 : 120.
    const int shares[3] = {340, 105, 120};
    for (int i = 0; i < 3; ++i) {
        statusPanels_[i] = new QLabel(bar);
        statusPanels_[i]->setMinimumWidth(0);
        statusPanels_[i]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        statusPanels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        bar->addWidget(statusPanels_[i], shares[i]);
    }
    statusSimple_ = new QLabel(bar);
    bar->addWidget(statusSimple_, 1);
    statusSimple_->hide();
}

bool MainWindow::StatusSimplePanel() const {
    return !statusSimple_->isHidden();
}

void MainWindow::ShowStartupSplash() {
    AboutBox splash(this);
    splash.StartCloseTimer();
    splash.exec();
}

void MainWindow::ShowAbout() {
    AboutBox about(this);
    about.exec();
}

void MainWindow::OpenFromCommandLine(const QStringList& arguments) {
    if (arguments.size() == 2 && arguments[0] == "--open") {
        RunCommand([this, &arguments] { OpenDocument(arguments[1]); });
        return;
    }
    if (arguments.size() != 1 || QFileInfo(arguments[0]).fileName().right(4) != ".JCD")
        return;
    const QString path = arguments[0];
    std::vector<std::string> lines;
    try {
        lines = stadix::ReadFileLines(LocalPath(path));
    } catch (const stadix::FileError& failure) {
        prompts_->ShowError(this, MessageToDisplay(failure.what()));
        return;
    }
    job_.lines = std::move(lines);
    FillTable();
    stadix::AttachToFile(job_, LocalPath(path));
    ForgetEdits();
    SetCoordTitle();
    SetTotal(job_.lines.size());
    RememberRecentFile(LocalPath(path));
}

void MainWindow::OpenDocument(const QString& path) {
    const std::optional<stadix::DocumentKind> kind = stadix::DocumentKindOf(LocalPath(path));
    if (!kind) {
        prompts_->Tell(this, "Warning",
                       "Only job files (.JCD) and measurement files (.TSM, .GTS, .GT7, .TXT) "
                       "can be opened:\n" +
                           path,
                       QMessageBox::Warning);
        return;
    }
    if (!QFileInfo(path).isFile()) {
        ForgetRecentFile(path);
        prompts_->Tell(this, "Warning", "The file cannot be found:\n" + path, QMessageBox::Warning);
        return;
    }
    if (!ConfirmSaveChanges())
        return;
    OpenFile(LocalPath(path), *kind == stadix::DocumentKind::GtsText);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedDocument(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QString path = DroppedDocument(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // Opened once the drop is over, so that the drag's source does not wait on the
    // unsaved-changes question.
    QTimer::singleShot(0, this, [this, path] { RunCommand([this, path] { OpenDocument(path); }); });
}

void MainWindow::RunCommand(void (MainWindow::*command)()) {
    RunCommand([this, command] { (this->*command)(); });
}

void MainWindow::RunCommand(const std::function<void()>& command) {
    statusNote_.clear();
    ShowProgress(QString());
    try {
        command();
    } catch (const std::exception& failure) {
        ShowProgress(QString());
        prompts_->ShowError(this, MessageToDisplay(failure.what()));
    }
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        ShowHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void MainWindow::ShowHint(const QString& hint) {
    const QString shown = hint.isEmpty() ? statusNote_ : hint;
    if (StatusSimplePanel())
        statusSimple_->setText(shown);
    else
        statusPanels_[0]->setText(shown);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (centred_)
        return;
    centred_ = true;
    // Where the user left the window; centred the first time.
    if (!restoreGeometry(RememberedSettings().value(kGeometryKey).toByteArray()))
        CentreOnScreen(this);
}

void MainWindow::MarkTableChanged() {
    job_.modified = true;
    recountFlag_ = true;
    ScheduleRecount();
}

void MainWindow::ShowCellRefusal(stadix::CellLeave verdict, const std::string& text) {
    const QString message =
        verdict == stadix::CellLeave::OverRange
            ? QString::fromUtf8("Over range！\nPlease input again.")
            : BytesToDisplay(stadix::ConversionError(text).what()) + ".\nPlease input again.";
    prompts_->Tell(this, "Warning", message, QMessageBox::Information);
}

bool MainWindow::CommitTableEdit() {
    return !CoordView() || recordGrid->CommitOpenEditor();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    bool confirmed = false;
    try {
        confirmed = ConfirmSaveChanges();
    } catch (const std::exception& failure) {
        prompts_->ShowError(this, MessageToDisplay(failure.what()));
    }
    if (confirmed) {
        RememberedSettings().setValue(kGeometryKey, saveGeometry());
        event->accept();
    } else
        event->ignore();
}

void MainWindow::FileExit() {
    close();
}

void MainWindow::ScheduleRecount() {
    if (recountScheduled_)
        return;
    recountScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        recountScheduled_ = false;
        CountRecords();
    });
}

void MainWindow::CountRecords() {
    const int row = recordGrid->CurrentRow();
    if (!recountFlag_ || row == lastCountedRow_)
        return;
    lastCountedRow_ = row;
    statusPanels_[1]->setText("Total:" + QString::number(table_.CountComplete()));
    recountFlag_ = false;
}

QString MainWindow::DocName() const {
    return QFile::decodeName(job_.docName.c_str());
}

void MainWindow::SetCoordTitle() {
    setWindowTitle(DocName() + kCoordTitle);
}

void MainWindow::SetMeasurementTitle() {
    setWindowTitle(RawRecordsShown() ? DocName() + kMeasTitle : DocName());
}

bool MainWindow::CoordView() const {
    return job_.InCoordinateView();
}

bool MainWindow::RawRecordsShown() const {
    return job_.content == stadix::JobContent::Listing;
}

void MainWindow::SetTotal(std::size_t count) {
    statusPanels_[1]->setText("Total:" + QString::number(qulonglong(count)));
}

void MainWindow::SetCurrentCell(int row, int column) {
    recordGrid->SetCurrentCell(row, column);
}

void MainWindow::ShowProgress(const QString& text) {
    // Where hints show too: panel 0 of the coordinate view, the one panel of the
    // measurement view; both, as an operation may switch the view. When the work ends,
    // the command's note shows.
    const QString shown = text.isEmpty() ? statusNote_ : text;
    statusPanels_[0]->setText(shown);
    statusSimple_->setText(shown);
    (StatusSimplePanel() ? statusSimple_ : statusPanels_[0])->repaint();
}

QString MainWindow::NoteRowsLeftOut(const std::vector<int>& rows, const char* outcome) {
    statusNote_ = rows.empty()
                      ? QString()
                      : QString::fromStdString(stadix::IncompleteRowsMessage(rows, outcome));
    ShowProgress(QString());
    return statusNote_;
}

void MainWindow::ClearTable() {
    table_.ClearTable();
    model_->RowsChanged(1, table_.RowCount() - 1);
}

void MainWindow::FillTable() {
    if (stadix::PrepareRowsForLines(table_, job_.lines.size()))
        model_->TableReset();
    const bool showProgress = job_.lines.size() > 1000;
    if (showProgress)
        ShowProgress("Loading records...");
    const int column = recordGrid->CurrentColumn();
    // Yield to the window every 100 lines, but at most once a frame: a repaint for
    // every 100 lines would make loading many times slower than the load itself.
    QElapsedTimer sinceYield;
    sinceYield.start();
    stadix::FillTable(table_, job_.lines, [&](std::size_t i) {
        if (!showProgress || i % 100 != 0 || sinceYield.elapsed() < kFrameMs)
            return;
        model_->RowsChanged(1, int(i) + 1);
        SetCurrentCell(int(i) + 1, column);
        QCoreApplication::processEvents();
        sinceYield.restart();
    });
    if (!job_.lines.empty())
        model_->RowsChanged(1, int(job_.lines.size()));
    if (showProgress)
        ShowProgress(QString());
}

void MainWindow::GatherRecords() {
    stadix::GatherRecords(table_, job_.lines, [this](std::size_t made) {
        if (made != 1000)
            return;
        ShowProgress("Processing records...");
        QCoreApplication::processEvents();
    });
    ShowProgress(QString());
}

void MainWindow::ShowRecordLines() {
    measurementText->SetLines(job_.lines);
}

void MainWindow::ShowCoordinateView() {
    measurementText->hide();
    importAction_->setEnabled(true);
    for (QAction* action : recordActions_)
        action->setEnabled(true);
    searchBox->setEnabled(true);
    for (QToolButton* button : recordButtons_)
        button->setEnabled(true);
    sendButton_->setEnabled(true);
    sendAction_->setEnabled(true);
    exportAction_->setEnabled(true);
    statusSimple_->hide();
    for (QLabel* panel : statusPanels_)
        panel->show();
    recordGrid->show();
}

void MainWindow::ShowMeasurementView() {
    ClearTable();
    recordGrid->hide();
    for (QAction* action : recordActions_)
        action->setEnabled(false);
    importAction_->setEnabled(false);
    searchBox->setEnabled(false);
    for (QToolButton* button : recordButtons_)
        button->setEnabled(false);
    sendButton_->setEnabled(RawRecordsShown());
    exportAction_->setEnabled(RawRecordsShown());
    sendAction_->setEnabled(RawRecordsShown());
    for (QLabel* panel : statusPanels_)
        panel->hide();
    statusSimple_->show();
    ShowRecordLines();
    measurementText->show();
}

bool MainWindow::ConfirmSaveChanges() {
    if (!CommitTableEdit())
        return false;
    if (!job_.modified)
        return true;
    const QMessageBox::StandardButton answer = prompts_->Ask(
        this, "Message",
        QString::fromUtf8("The document has been changed.\nDo you want to save the changes？"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Yes)
        return SaveDocumentAs();
    return answer == QMessageBox::No;
}

void MainWindow::FileNew() {
    NewDocument();
}

bool MainWindow::NewDocument() {
    if (!CommitTableEdit())
        return false;
    if (NewKeepsDocument()) {
        ForgetEdits();
        return true;
    }
    if (!ConfirmSaveChanges())
        return false;
    StartNewDocument();
    return true;
}

bool MainWindow::NewKeepsDocument() const {
    return job_.untitled && !job_.modified;
}

void MainWindow::StartNewDocument() {
    const bool wasCoordView = CoordView();
    // Rows typed but never gathered go too: the new job starts empty.
    ClearRecords();
    stadix::StartNewJob(job_);
    ForgetEdits();
    importedFrom_.clear();
    SetCoordTitle();
    SetCurrentCell(1, 0);
    if (!wasCoordView)
        ShowCoordinateView();
}

bool MainWindow::RunSettingsDialog(stadix::Job& job) {
    SettingsDialog dialog(stadix::LoadTransferSettings(settingsPath_, transferSettings_), sendMode_,
                          stadix::ComPort::EnumComPorts(), *prompts_, this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    transferSettings_ = dialog.Settings();
    job.dataFormat = transferSettings_.dataFormat;
    job.coordUnit = transferSettings_.coordUnit;
    try {
        stadix::StoreTransferSettings(settingsPath_, transferSettings_);
    } catch (const stadix::FileError& failure) {
        prompts_->Tell(this, "Warning",
                       "The communication settings could not be saved.\n" +
                           MessageToDisplay(failure.what()) +
                           "\nThey are used for this transfer only.",
                       QMessageBox::Warning);
    }
    return true;
}

void MainWindow::RunTransferDialog(stadix::Job& job) {
    if (transferSettings_.dataFormat != stadix::DataFormat::Kvr) {
        TextTransferDialog dialog(job, transferSettings_, sendMode_, *prompts_, this);
        dialog.exec();
        return;
    }
    KvrTransferDialog dialog(job, transferSettings_, sendMode_, *prompts_, this);
    dialog.exec();
}

void MainWindow::Receive() {
    // What arrives replaces the document as New would, after New's question; until
    // something arrives the document stays as it is, whatever ends the transfer.
    if (!CommitTableEdit())
        return;
    const bool startsNewJob = !NewKeepsDocument();
    if (startsNewJob && !ConfirmSaveChanges())
        return;
    sendMode_ = false;
    stadix::Job received = job_;
    if (startsNewJob)
        stadix::StartNewJob(received);
    if (!RunSettingsDialog(received))
        return;
    const stadix::Job beforeTransfer = received;
    RunTransferDialog(received);
    if (!stadix::ReceivedAnything(beforeTransfer, received))
        return;
    if (startsNewJob) {
        ClearTable();
        importedFrom_.clear();
    }
    job_ = std::move(received);
    stadix::ConvertReceivedCoordinates(job_);
    ShowReceivedDocument();
}

void MainWindow::ShowReceivedDocument() {
    if (CoordView()) {
        SetCoordTitle();
        FillTable();
        ShowCoordinateView();
        SetTotal(job_.lines.size());
        SetCurrentCell(1, 0);
        // Received coordinates exist nowhere else yet: closing must ask about them.
        if (!job_.lines.empty())
            job_.modified = true;
        ForgetEdits();
        return;
    }
    ShowMeasurementView();
    job_.modified = true;
    ForgetEdits();
    setWindowTitle(DocName() + kMeasTitle);
}

void MainWindow::Send() {
    if (!CommitTableEdit())
        return;
    if (CoordView()) {
        GatherRecords();
        if (job_.lines.empty())
            return;
    } else if (stadix::RawRecordCount(job_.rawRecords) < stadix::kMinRawRecordsToSend) {
        return;
    }
    sendMode_ = true;
    if (!RunSettingsDialog(job_))
        return;
    RunTransferDialog(job_);
}

void MainWindow::FileOpen() {
    if (!ConfirmSaveChanges())
        return;
    const std::optional<FileChoice> choice =
        ChooseFile(FileDialogKind::Open, "Open", kOpenFilter, "JCD");
    if (!choice)
        return;
    OpenFile(LocalPath(choice->path), choice->filterIndex == 3);
}

void MainWindow::OpenFile(const std::string& path, bool gtsTypeChosen) {
    const ProgressShown progress(
        *this, "Opening " + QFileInfo(QFile::decodeName(path.c_str())).fileName() + "...");
    if (stadix::HasExtension(path, ".JCD"))
        OpenJobFile(path);
    else if (!OpenMeasurementFile(path, gtsTypeChosen))
        return;
    ForgetEdits();
    // A job opened cut holds only part of its file, which nothing may be written over.
    importedFrom_ = job_.untitled ? path : std::string();
    RememberRecentFile(path);
}

void MainWindow::OpenJobFile(const std::string& path) {
    const std::size_t fileLines = stadix::OpenJobFile(job_, path);
    ClearTable();
    ShowCoordinateView();
    SetCoordTitle();
    FillTable();
    SetTotal(job_.lines.size());
    SetCurrentCell(1, 0);
    if (fileLines > job_.lines.size()) {
        prompts_->Tell(this, "Warning",
                       BytesToDisplay(stadix::JobCutMessage(fileLines)) +
                           "\nThe job is untitled, so that saving it cannot cut the file: Save "
                           "asks for a new name.",
                       QMessageBox::Warning);
    }
}

bool MainWindow::OpenMeasurementFile(const std::string& path, bool gtsTypeChosen) {
    // A refused file is not opened: the document stays as it was, so that no save can
    // write an empty document over it.
    const std::string problem = stadix::OpenMeasurementFile(job_, path, gtsTypeChosen);
    if (!problem.empty()) {
        ShowProgress(QString());
        prompts_->Tell(this, "Warning", MessageToDisplay(problem), QMessageBox::Warning);
        return false;
    }
    ShowMeasurementView();
    SetMeasurementTitle();
    return true;
}

bool MainWindow::WriteDocumentFile(const QString& path, const std::string& bytes) {
    try {
        stadix::WriteFileAtomically(LocalPath(path), bytes);
        return true;
    } catch (const stadix::FileError& failure) {
        ShowProgress(QString());
        prompts_->ShowError(this, MessageToDisplay(failure.what()));
        return false;
    }
}

bool MainWindow::OfferSaveElsewhere() {
    if (prompts_->Ask(this, QApplication::applicationName(),
                      "Nothing was saved. Save the job in another file?",
                      QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return false;
    return SaveDocumentAs();
}

bool MainWindow::RefuseWritingOverInput(const QString& path, bool documentsOwnKind) {
    const std::string target = LocalPath(path);
    std::string input;
    if (!importedFrom_.empty() && stadix::IsSameFile(target, importedFrom_))
        input = importedFrom_;
    else if (!documentsOwnKind && !job_.untitled && stadix::IsSameFile(target, job_.filePath))
        input = job_.filePath;
    if (input.empty())
        return false;
    ShowProgress(QString());
    const QString through =
        input == target ? QString() : " (" + QFile::decodeName(input.c_str()) + ")";
    prompts_->Tell(this, "Warning",
                   "\"" + QFile::decodeName(target.c_str()) +
                       "\" is the file this job was read from" + through +
                       ".\nNothing was written: choose another file.",
                   QMessageBox::Warning);
    return true;
}

void MainWindow::FileSave() {
    SaveDocument();
}

void MainWindow::FileSaveAs() {
    SaveDocumentAs();
}

bool MainWindow::SaveDocument() {
    if (!CommitTableEdit())
        return false;
    if (job_.untitled)
        return SaveDocumentAs();
    std::vector<int> leftOut;
    try {
        if (CoordView()) {
            leftOut = stadix::IncompleteRows(table_);
            GatherRecords();
        }
        const std::optional<std::string> bytes = stadix::SaveFileBytes(job_);
        if (bytes && !WriteDocumentFile(QFile::decodeName(job_.filePath.c_str()), *bytes))
            return OfferSaveElsewhere();
    } catch (const stadix::ConversionError& failure) {
        ShowProgress(QString());
        prompts_->ShowError(this, MessageToDisplay(failure.what()));
        return false;
    }
    return SavedLeavingOut(leftOut);
}

bool MainWindow::SavedLeavingOut(const std::vector<int>& leftOut) {
    // The rows left out stay in the table, which the file then does not match: the job
    // stays changed, so that closing still asks about them.
    job_.modified = !leftOut.empty();
    if (leftOut.empty()) {
        undoStack_->setClean();
        return true;
    }
    const QString note = NoteRowsLeftOut(leftOut, "not saved");
    prompts_->Tell(this, "Warning",
                   note + ".\nA record needs PT, N/X and E/Y; these rows stay in the table.",
                   QMessageBox::Warning);
    return false;
}

bool MainWindow::SaveDocumentAs() {
    if (!CommitTableEdit())
        return false;
    try {
        return CoordView() ? SaveAsCoordinates() : SaveAsMeasurement();
    } catch (const stadix::ConversionError& failure) {
        ShowProgress(QString());
        prompts_->ShowError(this, MessageToDisplay(failure.what()));
        return false;
    }
}

std::optional<FileChoice> MainWindow::ChooseFile(FileDialogKind kind, const QString& title,
                                                 const QString& filter, const QString& defaultExt,
                                                 const QString& fileName) {
    FileDialogRequest request;
    request.title = title;
    request.filter = filter;
    request.defaultExt = defaultExt;
    request.folder = DialogFolder();
    request.fileName = fileName;
    std::optional<FileChoice> choice = kind == FileDialogKind::Open
                                           ? prompts_->ChooseOpenFile(this, request)
                                           : prompts_->ChooseSaveFile(this, request);
    if (!choice)
        return choice;
    if (kind == FileDialogKind::Save)
        choice->path = WithTypeExtension(*choice, request);
    RememberFolder(choice->path);
    return choice;
}

QString MainWindow::DialogFolder() const {
    if (!job_.untitled && !job_.filePath.empty())
        return QFileInfo(QFile::decodeName(job_.filePath.c_str())).absolutePath();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir())
        return documents;
    if (!lastFolder_.isEmpty())
        return lastFolder_;
    return QDir::homePath();
}

void MainWindow::RememberFolder(const QString& path) {
    lastFolder_ = QFileInfo(path).absolutePath();
}

bool MainWindow::SaveAsCoordinates() {
    const std::optional<FileChoice> choice =
        ChooseFile(FileDialogKind::Save, "Save as", kCoordSaveFilter, "JCD", DocName());
    if (!choice)
        return false;
    const std::vector<int> leftOut = stadix::IncompleteRows(table_);
    GatherRecords();
    const bool textCopy = choice->filterIndex == 2;
    if (RefuseWritingOverInput(choice->path, !textCopy))
        return false;
    if (textCopy) {
        if (!WriteDocumentFile(choice->path, stadix::JobTextCopyBytes(job_.lines)))
            return OfferSaveElsewhere();
    } else {
        if (!WriteDocumentFile(choice->path, stadix::JobFileBytes(job_.lines)))
            return OfferSaveElsewhere();
        stadix::AttachToFile(job_, LocalPath(choice->path));
        SetCoordTitle();
        RememberRecentFile(LocalPath(choice->path));
    }
    return SavedLeavingOut(leftOut);
}

QString MainWindow::MeasurementSaveFilter() const {
    QString first;
    if (job_.dataFormat == stadix::DataFormat::Kvr && RawRecordsShown())
        first = "TS Meas. Data File(KVR)|*.TSM|";
    else if (job_.dataFormat == stadix::DataFormat::Gts)
        first = "TS Meas. Data File(GTS)|*.gts|";
    else if (job_.dataFormat == stadix::DataFormat::Sss)
        first = "TS Meas. Data File(SSS)|*.gt7|";
    return first + "Text file(*.TXT)|*.TXT";
}

bool MainWindow::SaveAsMeasurement() {
    const std::optional<FileChoice> choice =
        ChooseFile(FileDialogKind::Save, "Save as", MeasurementSaveFilter(), "JCD", DocName());
    if (!choice)
        return false;
    const bool firstType = choice->filterIndex == 1;
    // A measurement file holds raw records; its listing written over it would lose them.
    if (RefuseWritingOverInput(choice->path,
                               stadix::SavesRawRecords(job_, firstType) == job_.rawLoaded))
        return false;
    if (!WriteDocumentFile(choice->path, stadix::MeasurementFileBytes(job_, firstType)))
        return OfferSaveElsewhere();
    stadix::AttachToFile(job_, LocalPath(choice->path));
    SetMeasurementTitle();
    RememberRecentFile(LocalPath(choice->path));
    undoStack_->setClean();
    job_.modified = false;
    return true;
}

void MainWindow::RecordFind() {
    if (searchBox->text().isEmpty() || !CommitTableEdit())
        return;
    const auto equalBeyondAscii = [](std::string_view cell, std::string_view name) {
        return BytesToDisplay(std::string(cell))
                   .compare(BytesToDisplay(std::string(name)), Qt::CaseInsensitive) == 0;
    };
    const std::optional<int> row = stadix::FindRecord(
        table_, recordGrid->CurrentRow(), DisplayToBytes(searchBox->text()), equalBeyondAscii);
    if (!row) {
        prompts_->Tell(this, "Message", "No matched record found.", QMessageBox::NoIcon);
        return;
    }
    SetCurrentCell(*row, 0);
    recordGrid->setFocus();
}

void MainWindow::RecordUpdate() {
    if (!CommitTableEdit())
        return;
    const std::vector<int> leftOut = stadix::IncompleteRows(table_);
    stadix::RecordsState before = stadix::CaptureAllRecords(table_, job_.lines);
    // A number that does not convert ends the gather before anything changed.
    GatherRecords();
    ClearTable();
    FillTable();
    SetTotal(job_.lines.size());
    PushChange("Update", stadix::RecordsChange(std::move(before), table_, &job_.lines));
    NoteRowsLeftOut(leftOut, "removed");
}

void MainWindow::RecordErase() {
    if (!CommitTableEdit())
        return;
    if (prompts_->Ask(this, "Confirmation", "Do you really want to delete this record?",
                      QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    const int row = recordGrid->CurrentRow();
    stadix::RecordsState before = stadix::CaptureRecords(table_, row, row);
    table_.ClearRow(row);
    model_->RowsChanged(row, row);
    PushChange("Erase", stadix::RecordsChange(std::move(before), table_));
    recountFlag_ = true;
    // The records that the table still holds, whatever the record text list says.
    SetTotal(std::size_t(table_.CountComplete()));
}

void MainWindow::RecordClear() {
    if (!CommitTableEdit() || (job_.lines.empty() && table_.IsEmpty()))
        return;
    if (prompts_->Ask(this, "Confirmation", "Do you really want to delete all records?",
                      QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    stadix::RecordsState before = stadix::CaptureAllRecords(table_, job_.lines);
    ClearRecords();
    PushChange("Clear", stadix::RecordsChange(std::move(before), table_, &job_.lines));
}

void MainWindow::ClearRecords() {
    stadix::ClearRecords(job_, table_);
    model_->RowsChanged(1, table_.RowCount() - 1);
    statusPanels_[1]->setText("Total:0");
    SetCurrentCell(1, 0);
}

QString MainWindow::PrintJobTitle() const {
    return (CoordView() ? "Printing coord. file" : "Printing meas. file") + windowTitle();
}

bool MainWindow::GatherForPrinting() {
    if (CoordView()) {
        if (!CommitTableEdit())
            return false;
        GatherRecords();
    }
    return !job_.lines.empty();
}

void MainWindow::NamePrintJob(QPrinter& printer) const {
    printer.setDocName(PrintJobTitle());
    // A PDF file name makes PDF the output: the printer chosen by default stays chosen.
    const QPrinter::OutputFormat format = printer.outputFormat();
    printer.setOutputFileName(
        QDir(DialogFolder()).filePath(QFileInfo(DocName()).completeBaseName() + ".pdf"));
    printer.setOutputFormat(format);
}

void MainWindow::FilePrint() {
    if (!GatherForPrinting())
        return;
    QPrinter printer(QPrinter::HighResolution);
    NamePrintJob(printer);
    if (!prompts_->ChoosePrinter(this, printer))
        return;
    PrintRecordText(printer);
}

void MainWindow::FilePrintPreview() {
    if (!GatherForPrinting())
        return;
    QPrinter printer(QPrinter::HighResolution);
    NamePrintJob(printer);
    prompts_->PreviewPrint(this, printer, [this](QPrinter& shown) { PrintRecordText(shown); });
}

void MainWindow::PrintRecordText(QPrinter& printer) {
    const PrintKind kind = CoordView() ? PrintKind::CoordinateList : PrintKind::MeasurementText;
    // A long job shows its progress after half a second, repainting at most once a
    // frame; the user's input waits until the pages are done.
    QElapsedTimer elapsed;
    elapsed.start();
    qint64 lastShown = 0;
    bool progressShown = false;
    const QString failure = PrintLines(printer, job_.lines, kind, [&](int page, int pages) {
        if (elapsed.elapsed() < 500 || elapsed.elapsed() - lastShown < kFrameMs)
            return;
        lastShown = elapsed.elapsed();
        progressShown = true;
        ShowProgress(QString("Printing page %1 of %2...").arg(page).arg(pages));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    if (progressShown)
        ShowProgress(QString());
    if (!failure.isEmpty())
        prompts_->ShowError(this, failure);
}

void MainWindow::FileImport() {
    if (!ConfirmSaveChanges())
        return;
    const std::vector<const stadix::CoordinateFormat*> formats = stadix::ImportableFormats();
    QStringList entries;
    for (const stadix::CoordinateFormat* format : formats)
        entries << DialogFilterEntry(stadix::CoordinateDialogEntry(*format, {}));
    const std::optional<FileChoice> choice =
        ChooseFile(FileDialogKind::Open, "Import", entries.join('|'), "pts");
    if (!choice)
        return;
    const stadix::ImportFormat format =
        *formats[std::size_t(qBound(1, choice->filterIndex, int(formats.size())) - 1)]
             ->importFormat;
    // The file is read and converted before the job changes: a file that fails
    // leaves the job, its table and its file name as they were.
    stadix::ImportedRecords imported;
    try {
        ShowProgress("Importing...");
        imported = stadix::ImportCoordinateFile(LocalPath(choice->path), format);
        ShowProgress(QString());
    } catch (const std::exception& failure) {
        ShowProgress(QString());
        prompts_->Tell(this, "Warning",
                       QString::fromUtf8(stadix::kImportingError) + "\n" +
                           MessageToDisplay(failure.what()),
                       QMessageBox::Warning);
        return;
    }
    const std::string cutMessage =
        imported.linesLeftOut > 0 ? stadix::ImportCutMessage(imported) : std::string();
    stadix::RecordsState before = stadix::CaptureAllRecords(table_, job_.lines);
    job_.lines = std::move(imported.lines);
    ClearTable();
    FillTable();
    SetTotal(job_.lines.size());
    SetCurrentCell(1, 0);
    PushChange("Import", stadix::RecordsChange(std::move(before), table_, &job_.lines));
    // The records are no longer the file's: the job is untitled, and its title says so.
    if (!job_.untitled)
        stadix::DetachFromFile(job_);
    SetCoordTitle();
    importedFrom_ = LocalPath(choice->path);
    if (!cutMessage.empty())
        prompts_->Tell(this, "Warning", BytesToDisplay(cutMessage), QMessageBox::Warning);
}

void MainWindow::FileExport() {
    if (!CoordView() && job_.rawLoaded)
        ExportMeasurements();
    else
        ExportCoordinates();
}

void MainWindow::ExportCoordinates() {
    if (!CommitTableEdit())
        return;
    const std::vector<int> leftOut = stadix::IncompleteRows(table_);
    GatherRecords();
    // Read afresh at every export: the layout dialog may have changed it.
    const stadix::UserFormat layout =
        stadix::ReadUserFormat(settingsPath_).value_or(stadix::DefaultUserFormat());
    QStringList entries;
    for (const stadix::CoordinateFormat& format : stadix::kCoordinateFormats)
        entries << DialogFilterEntry(stadix::CoordinateDialogEntry(format, layout));
    const std::optional<FileChoice> choice =
        ChooseFile(FileDialogKind::Save, "Export", entries.join('|'),
                   BytesToDisplay(stadix::CoordinateDialogDefaultExtension(layout)));
    if (!choice)
        return;
    NoteRowsLeftOut(leftOut, "not exported");
    const ProgressShown progress(*this, "Exporting...");
    const int index = qBound(1, choice->filterIndex, int(stadix::kCoordinateFormats.size()));
    WriteExportFile(choice->path,
                    stadix::CoordinateExportBytes(
                        stadix::kCoordinateFormats[std::size_t(index - 1)], job_.lines, layout));
}

void MainWindow::ExportMeasurements() {
    QStringList entries;
    for (const stadix::MeasurementFormat& format : stadix::kMeasurementFormats)
        entries << DialogFilterEntry(stadix::MeasurementDialogEntry(format));
    const std::optional<FileChoice> choice =
        ChooseFile(FileDialogKind::Save, "Export", entries.join('|'),
                   BytesToDisplay(std::string(stadix::kMeasurementDialogDefaultExtension)));
    if (!choice)
        return;
    const ProgressShown progress(*this, "Exporting...");
    // Any entry but the first writes the polar text.
    const stadix::MeasurementFormat& format =
        stadix::kMeasurementFormats[choice->filterIndex == 1 ? 0 : 1];
    WriteExportFile(choice->path, format.fileBytes(job_.decodeState, job_.rawRecords));
}

void MainWindow::WriteExportFile(const QString& path, const std::string& bytes) {
    if (RefuseWritingOverInput(path, false))
        return;
    try {
        stadix::WriteFileAtomically(LocalPath(path), bytes);
    } catch (const stadix::FileError& failure) {
        ShowProgress(QString());
        prompts_->Tell(this, "Warning",
                       "Cannot export data to this file\n" + MessageToDisplay(failure.what()),
                       QMessageBox::Information);
    }
}

void MainWindow::DefineExportFormat() {
    ExportLayoutDialog dialog(settingsPath_, *prompts_, this);
    dialog.exec();
}

// The Edit menu: undo and redo of the changes of the records, and cells cut, copied and
// pasted as tab-separated text, as spreadsheets exchange them.

namespace {

// Undo and Redo name the step they take back or make again: "Undo Erase".
void NameStep(QAction* action, const QString& caption, const QString& step) {
    action->setText(step.isEmpty() ? caption : caption + " " + step);
}

} // namespace

void MainWindow::BuildEditMenu() {
    QMenu* edit = menuBar()->addMenu("&Edit");
    QAction* undo = AddAction(edit, "&Undo", QKeySequence("Ctrl+Z"), &MainWindow::EditUndo);
    QAction* redo = AddAction(edit, "&Redo", QKeySequence("Ctrl+Shift+Z"), &MainWindow::EditRedo);
    undo->setEnabled(false);
    redo->setEnabled(false);
    connect(undoStack_, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(undoStack_, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    connect(undoStack_, &QUndoStack::undoTextChanged, undo,
            [undo](const QString& step) { NameStep(undo, "&Undo", step); });
    connect(undoStack_, &QUndoStack::redoTextChanged, redo,
            [redo](const QString& step) { NameStep(redo, "&Redo", step); });
    edit->addSeparator();
    recordActions_ << AddAction(edit, "Cu&t", QKeySequence("Ctrl+X"), &MainWindow::EditCut)
                   << AddAction(edit, "&Copy", QKeySequence("Ctrl+C"), &MainWindow::EditCopy)
                   << AddAction(edit, "&Paste", QKeySequence("Ctrl+V"), &MainWindow::EditPaste);
}

void MainWindow::EditUndo() {
    // A cell still being edited is committed first, so that its edit is the step undone.
    if (CommitTableEdit())
        undoStack_->undo();
}

void MainWindow::EditRedo() {
    if (CommitTableEdit())
        undoStack_->redo();
}

void MainWindow::EditCut() {
    if (!CommitTableEdit())
        return;
    EditCopy();
    DeleteSelectedCells("Cut");
}

void MainWindow::EditCopy() {
    if (CommitTableEdit())
        QApplication::clipboard()->setText(
            BytesToDisplay(stadix::CopyCells(table_, recordGrid->SelectedBlock())));
}

void MainWindow::EditPaste() {
    if (!CommitTableEdit())
        return;
    const stadix::CellBlock at = recordGrid->SelectedBlock();
    stadix::RecordsState before = stadix::CaptureRecords(table_, 1, table_.RowCount() - 1);
    const std::string problem = stadix::PasteCells(
        table_, at.top, at.left, DisplayToBytes(QApplication::clipboard()->text()));
    if (!problem.empty()) {
        prompts_->Tell(this, "Warning", MessageToDisplay(problem), QMessageBox::Warning);
        return;
    }
    model_->RowsChanged(at.top, table_.RowCount() - 1);
    SetTotal(std::size_t(table_.CountComplete()));
    PushChange("Paste", stadix::RecordsChange(std::move(before), table_));
}

void MainWindow::DeleteSelectedCells(const QString& name) {
    const stadix::CellBlock block = recordGrid->SelectedBlock();
    stadix::RecordsState before = stadix::CaptureRecords(table_, block.top, block.bottom);
    stadix::ClearCells(table_, block);
    model_->RowsChanged(block.top, block.bottom);
    SetTotal(std::size_t(table_.CountComplete()));
    PushChange(name, stadix::RecordsChange(std::move(before), table_));
}

void MainWindow::FocusSearchBox() {
    if (!CommitTableEdit())
        return;
    searchBox->setFocus(Qt::ShortcutFocusReason);
    searchBox->selectAll();
}

void MainWindow::PushChange(const QString& name, stadix::RecordsChange change, bool cellEdit,
                            bool normalised) {
    if (change.Empty())
        return;
    undoStack_->push(new RecordsCommand(
        name, std::move(change),
        [this](const stadix::RecordsChange& made, bool undo) { ShowChange(made, undo); }, cellEdit,
        normalised));
}

void MainWindow::ShowChange(const stadix::RecordsChange& change, bool undo) {
    const int rowCount = table_.RowCount();
    const bool rowsDiffer = change.LastRow() >= change.FirstRow();
    const int row = rowsDiffer ? change.FirstRow() : recordGrid->CurrentRow();
    const int column = recordGrid->CurrentColumn();
    if (undo)
        change.Undo(table_, job_.lines);
    else
        change.Redo(table_, job_.lines);
    if (table_.RowCount() != rowCount)
        model_->TableReset();
    else if (rowsDiffer)
        model_->RowsChanged(change.FirstRow(), change.LastRow());
    SetTotal(std::size_t(table_.CountComplete()));
    SetCurrentCell(row, column);
}

void MainWindow::ForgetEdits() {
    const bool changed = job_.modified;
    undoStack_->clear();
    if (changed)
        undoStack_->resetClean();
}
