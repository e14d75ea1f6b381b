#include "app/ui/MainWindow.h"

#include "app/Errors.h"
#include "app/FileIO.h"
#include "app/JobFile.h"
#include "app/RecordLine.h"
#include "app/ui/AboutBox.h"
#include "app/ui/Icons.h"
#include "app/ui/RecordGridView.h"
#include "app/ui/TextCodec.h"
#include "app/ui/WindowPlacement.h"
#include "comport/qt/ComPort.h"
#include "comport/qt/SettingsPath.h"
#include "rawconv/Listing.h"
#include "rawconv/MeasurementFile.h"
#include "transfer/ui/KvrTransferDialog.h"
#include "transfer/ui/SettingsDialog.h"
#include "transfer/ui/TextTransferDialog.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
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

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

bool HasExtension(const QString& path, const char* upper, const char* lower) {
    const QString name = QFileInfo(path).fileName();
    return name.endsWith(upper, Qt::CaseSensitive) || name.endsWith(lower, Qt::CaseSensitive);
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

void PaintLightBlue(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, kLightBlue);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

MainWindow::MainWindow(std::unique_ptr<Prompts> prompts, QWidget* parent)
    : QMainWindow(parent),
      prompts_(prompts ? std::move(prompts) : std::make_unique<DialogPrompts>()) {
    QFont font("Times New Roman");
    font.setPixelSize(15);
    setFont(font);
    setWindowIcon(ApplicationIcon());
    setContextMenuPolicy(Qt::NoContextMenu);
    resize(559, 735);
    SetRecordTextEncoding(RememberedSettings().value(kEncodingKey).toString());

    model_ = new RecordTableModel(Table_, this);
    recordGrid = new RecordGridView(model_, this);
    recordGrid->setObjectName("recordGrid");
    measurementText = new QPlainTextEdit(this);
    measurementText->setObjectName("measurementText");
    measurementText->setReadOnly(true);
    measurementText->setLineWrapMode(QPlainTextEdit::NoWrap);
    measurementText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    measurementText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Fixed pitch, so that the listing's columns line up.
    QFont listingFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    listingFont.setPixelSize(14);
    measurementText->setFont(listingFont);
    measurementText->hide();

    BuildMenus();
    BuildToolBar();
    BuildStatusBar();

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
    connect(recordGrid, &RecordGridView::KeyTyped, this, &MainWindow::MarkTableChanged);
    connect(recordGrid, &RecordGridView::CellsCleared, this, &MainWindow::MarkTableChanged);
    connect(recordGrid, &RecordGridView::RowClicked, this,
            [this](int row) { StatusPanels_[2]->setText("Row:" + QString::number(row)); });
    connect(recordGrid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { ScheduleRecount(); });

    SettingsPath_ = stadix::SettingsFilePath().toStdString();
    JobCounter_ = 1;
    DocName_ = "Job1";
    SetCoordTitle();
    ClearTable();
    SetCurrentCell(1, 0);
    StatusPanels_[1]->setText("Total:");
    StatusPanels_[2]->setText("Row:");
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    AddAction(file, "&New", QKeySequence("Ctrl+N"), &MainWindow::FileNew);
    AddAction(file, "&Open", QKeySequence("Ctrl+O"), &MainWindow::FileOpen);
    AddAction(file, "&Save", QKeySequence("Ctrl+S"), &MainWindow::FileSave);
    AddAction(file, "Save &as...", QKeySequence(), &MainWindow::FileSaveAs);
    file->addSeparator();
    AddAction(file, "&Print", QKeySequence("Ctrl+P"), nullptr);
    file->addSeparator();
    ImportAction_ = AddAction(file, "&Import...", QKeySequence(), nullptr);
    ExportAction_ = AddAction(file, "&Export...", QKeySequence(), nullptr);
    file->addSeparator();
    AddAction(file, "E&xit", QKeySequence("Ctrl+X"), &MainWindow::FileExit);

    QMenu* record = menuBar()->addMenu("&Record");
    RecordActions_ << AddAction(record, "&Update", QKeySequence("Ctrl+U"), nullptr)
                   << AddAction(record, "&Erase", QKeySequence("Ctrl+E"), nullptr)
                   << AddAction(record, "&Clear", QKeySequence("Ctrl+L"), nullptr);

    QMenu* comm = menuBar()->addMenu("&Communction");
    AddAction(comm, "&Receive...", QKeySequence("F9"), &MainWindow::Receive);
    SendAction_ = AddAction(comm, "&Send...", QKeySequence("F10"), &MainWindow::Send);

    QMenu* card = menuBar()->addMenu("&SD/U dsik");
    AddAction(card, "&Import Data...", QKeySequence("F7"), nullptr);
    ExportDataAction_ = AddAction(card, "&Export Data...", QKeySequence("F8"), nullptr);
    connect(card, &QMenu::aboutToShow, this, [this] { ExportDataAction_->setEnabled(CoordView_); });

    QMenu* tools = menuBar()->addMenu("&Tools");
    AddAction(tools, "&Define Export Format...", QKeySequence(), nullptr);
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

void MainWindow::ChooseEncoding(const QString& encoding) {
    SetRecordTextEncoding(encoding);
    RememberedSettings().setValue(kEncodingKey, encoding);
    model_->TableReset();
    if (!CoordView_)
        ShowRecordLines();
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
    for (QAction* action : findChildren<QAction*>()) {
        if (Caption(action->text()) == caption)
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
    return ToolBar_->findChild<QToolButton*>(name);
}

QWidget* MainWindow::ToolBarStrip() const {
    return ToolBar_;
}

void MainWindow::BuildToolBar() {
    // A real tool bar: when the window is narrow, the buttons that do not fit move to
    // its overflow menu, so Receive and Send stay reachable.
    ToolBar_ = addToolBar("Tools");
    ToolBar_->setObjectName("toolBar");
    ToolBar_->setMovable(false);
    ToolBar_->setFloatable(false);
    ToolBar_->setIconSize(QSize(20, 20));
    PaintLightBlue(ToolBar_);

    AddToolButton("New", "New|Create a new job file", Action("New"))
        ->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
    AddToolButton("Save", "Save|Save data to the current job file", Action("Save"))
        ->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    AddToolButton("Open", "Open|Open a job file", Action("Open"))
        ->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    AddToolButton("Print", "Print|Print the current job file", Action("Print"))
        ->setIcon(ToolIcon("document-print", ToolGlyph::Print));
    ToolBar_->addSeparator();
    RecordButtons_ << AddToolButton("Update", "Update|Update the record table", Action("Update"));
    RecordButtons_.back()->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    RecordButtons_ << AddToolButton("Erase", "Erase|Erase a record", Action("Erase"));
    RecordButtons_.back()->setIcon(ToolIcon("edit-delete", ToolGlyph::Erase));
    RecordButtons_ << AddToolButton("Clear", "Clear|Clear all records", Action("Clear"));
    RecordButtons_.back()->setIcon(ToolIcon("edit-clear-all", ToolGlyph::Clear));
    ToolBar_->addSeparator();
    searchBox = new QLineEdit(ToolBar_);
    searchBox->setObjectName("searchBox");
    searchBox->setFixedWidth(120);
    searchBox->setToolTip(QString());
    searchBox->setStatusTip(QString());
    ToolBar_->addWidget(searchBox);
    RecordButtons_ << AddToolButton("Find", "Find|Find a record by the name entered", nullptr);
    RecordButtons_.back()->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    ToolBar_->addSeparator();
    AddToolButton("Receive", "Receive|Receive data from total station", Action("Receive..."))
        ->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    SendButton_ = AddToolButton("Send", "Send|Send data to total station", Action("Send..."));
    SendButton_->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
}

QToolButton* MainWindow::AddToolButton(const QString& name, const QString& hint, QAction* action) {
    auto* button = new QToolButton(ToolBar_);
    button->setObjectName(name);
    button->setAutoRaise(true);
    button->setFixedSize(28, 28);
    const int bar = int(hint.indexOf('|'));
    button->setToolTip(hint.left(bar));
    button->setStatusTip(hint.mid(bar + 1));
    if (action)
        connect(button, &QToolButton::clicked, action, &QAction::trigger);
    ToolBar_->addWidget(button);
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
        StatusPanels_[i] = new QLabel(bar);
        StatusPanels_[i]->setMinimumWidth(0);
        StatusPanels_[i]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        StatusPanels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        bar->addWidget(StatusPanels_[i], shares[i]);
    }
    StatusSimple_ = new QLabel(bar);
    bar->addWidget(StatusSimple_, 1);
    StatusSimple_->hide();
}

bool MainWindow::StatusSimplePanel() const {
    return !StatusSimple_->isHidden();
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
    if (arguments.size() != 1 || QFileInfo(arguments[0]).fileName().right(4) != ".JCD")
        return;
    const QString path = arguments[0];
    std::vector<std::string> lines;
    try {
        lines = stadix::ReadFileLines(LocalPath(path));
    } catch (const stadix::FileError& failure) {
        prompts_->ShowError(this, BytesToDisplay(failure.what()));
        return;
    }
    RecordLines_ = std::move(lines);
    FillTable();
    FilePath_ = path;
    DocName_ = QFileInfo(path).fileName();
    Untitled_ = false;
    SetCoordTitle();
    SetTotal(RecordLines_.size());
}

void MainWindow::RunCommand(void (MainWindow::*command)()) {
    try {
        (this->*command)();
    } catch (const std::exception& failure) {
        ShowProgress(QString());
        prompts_->ShowError(this, BytesToDisplay(failure.what()));
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
    if (StatusSimplePanel())
        StatusSimple_->setText(hint);
    else
        StatusPanels_[0]->setText(hint);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (Centred_)
        return;
    Centred_ = true;
    CentreOnScreen(this);
}

void MainWindow::MarkTableChanged() {
    Modified_ = true;
    RecountFlag_ = true;
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
    return !CoordView_ || recordGrid->CommitOpenEditor();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    bool confirmed = false;
    try {
        confirmed = ConfirmSaveChanges();
    } catch (const std::exception& failure) {
        prompts_->ShowError(this, BytesToDisplay(failure.what()));
    }
    if (confirmed)
        event->accept();
    else
        event->ignore();
}

void MainWindow::FileExit() {
    close();
}

void MainWindow::ScheduleRecount() {
    if (RecountScheduled_)
        return;
    RecountScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        RecountScheduled_ = false;
        CountRecords();
    });
}

void MainWindow::CountRecords() {
    const int row = recordGrid->CurrentRow();
    if (!RecountFlag_ || row == LastCountedRow_)
        return;
    LastCountedRow_ = row;
    StatusPanels_[1]->setText("Total:" + QString::number(Table_.CountComplete()));
    RecountFlag_ = false;
}

void MainWindow::SetCoordTitle() {
    setWindowTitle(DocName_ + kCoordTitle);
}

void MainWindow::SetMeasurementTitle() {
    setWindowTitle(RawLoaded_ ? DocName_ + kMeasTitle : DocName_);
}

void MainWindow::SetTotal(std::size_t count) {
    StatusPanels_[1]->setText("Total:" + QString::number(qulonglong(count)));
}

void MainWindow::SetCurrentCell(int row, int column) {
    recordGrid->SetCurrentCell(row, column);
}

void MainWindow::ShowProgress(const QString& text) {
    StatusPanels_[0]->setText(text);
    StatusPanels_[0]->repaint();
}

void MainWindow::ClearTable() {
    Table_.ClearTable();
    model_->RowsChanged(1, Table_.RowCount() - 1);
}

void MainWindow::FillTable() {
    if (stadix::PrepareRowsForLines(Table_, RecordLines_.size()))
        model_->TableReset();
    const bool showProgress = RecordLines_.size() > 1000;
    if (showProgress)
        ShowProgress("Loading records...");
    const int column = recordGrid->CurrentColumn();
    // Yield to the window every 100 lines, but at most once a frame: a repaint for
    // every 100 lines would make loading many times slower than the load itself.
    QElapsedTimer sinceYield;
    sinceYield.start();
    stadix::FillTable(Table_, RecordLines_, [&](std::size_t i) {
        if (!showProgress || i % 100 != 0 || sinceYield.elapsed() < kFrameMs)
            return;
        model_->RowsChanged(1, int(i) + 1);
        SetCurrentCell(int(i) + 1, column);
        QCoreApplication::processEvents();
        sinceYield.restart();
    });
    if (!RecordLines_.empty())
        model_->RowsChanged(1, int(RecordLines_.size()));
    if (showProgress)
        ShowProgress(QString());
}

void MainWindow::GatherRecords() {
    stadix::GatherRecords(Table_, RecordLines_, [this](std::size_t made) {
        if (made != 1000)
            return;
        ShowProgress("Processing records...");
        QCoreApplication::processEvents();
    });
    ShowProgress(QString());
}

void MainWindow::ShowRecordLines() {
    QString text;
    for (const std::string& line : RecordLines_) {
        text += BytesToDisplay(line);
        text += '\n';
    }
    if (!text.isEmpty())
        text.chop(1);
    measurementText->setPlainText(text);
}

void MainWindow::ShowCoordinateView() {
    measurementText->hide();
    ImportAction_->setEnabled(true);
    for (QAction* action : RecordActions_)
        action->setEnabled(true);
    searchBox->setEnabled(true);
    for (QToolButton* button : RecordButtons_)
        button->setEnabled(true);
    SendButton_->setEnabled(true);
    SendAction_->setEnabled(true);
    ExportAction_->setEnabled(true);
    StatusSimple_->hide();
    for (QLabel* panel : StatusPanels_)
        panel->show();
    recordGrid->show();
}

void MainWindow::ShowMeasurementView() {
    ClearTable();
    recordGrid->hide();
    for (QAction* action : RecordActions_)
        action->setEnabled(false);
    ImportAction_->setEnabled(false);
    searchBox->setEnabled(false);
    for (QToolButton* button : RecordButtons_)
        button->setEnabled(false);
    SendButton_->setEnabled(RawLoaded_);
    ExportAction_->setEnabled(RawLoaded_);
    SendAction_->setEnabled(RawLoaded_);
    for (QLabel* panel : StatusPanels_)
        panel->hide();
    StatusSimple_->show();
    ShowRecordLines();
    measurementText->show();
}

bool MainWindow::ConfirmSaveChanges() {
    if (!CommitTableEdit())
        return false;
    if (!Modified_)
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
    if (Untitled_ && !Modified_)
        return true;
    if (!ConfirmSaveChanges())
        return false;
    if (!RecordLines_.empty()) {
        ClearTable();
        RecordLines_.clear();
        StatusPanels_[1]->setText("Total:0");
        SetCurrentCell(1, 0);
    }
    ++JobCounter_;
    DocName_ = "Job" + QString::number(JobCounter_);
    SetCoordTitle();
    Untitled_ = true;
    Modified_ = false;
    SetCurrentCell(1, 0);
    if (!CoordView_) {
        ShowCoordinateView();
        CoordView_ = true;
    }
    return true;
}

bool MainWindow::RunSettingsDialog() {
    SettingsDialog dialog(stadix::LoadTransferSettings(SettingsPath_, CommSettings_), SendMode_,
                          stadix::ComPort::EnumComPorts(), *prompts_, this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    CommSettings_ = dialog.Settings();
    DataFormat_ = static_cast<int>(CommSettings_.dataFormat);
    try {
        stadix::StoreTransferSettings(SettingsPath_, CommSettings_);
    } catch (const stadix::FileError& failure) {
        prompts_->Tell(this, "Warning",
                       "The communication settings could not be saved.\n" +
                           BytesToDisplay(failure.what()) +
                           "\nThey are used for this transfer only.",
                       QMessageBox::Warning);
    }
    return true;
}

void MainWindow::RunTransferDialog(stadix::Job& job) {
    if (CommSettings_.dataFormat != stadix::DataFormat::Kvr) {
        TextTransferDialog dialog(job, CommSettings_, SendMode_, *prompts_, this);
        dialog.exec();
        return;
    }
    KvrTransferDialog dialog(job, CommSettings_, SendMode_, *prompts_, this);
    dialog.exec();
}

stadix::Job MainWindow::TakeJobForTransfer() {
    stadix::Job job;
    job.lines = std::move(RecordLines_);
    job.rawRecords = std::move(RawStore_);
    job.content = stadix::ContentOf(CoordView_, RawLoaded_);
    job.rawLoaded = RawLoaded_;
    job.dataFormat = static_cast<stadix::DataFormat>(DataFormat_);
    job.coordUnit = CommSettings_.coordUnit;
    job.decodeState = DecodeState_;
    return job;
}

void MainWindow::ReturnJobFromTransfer(stadix::Job& job) {
    RecordLines_ = std::move(job.lines);
    RawStore_ = std::move(job.rawRecords);
    CoordView_ = job.InCoordinateView();
    RawLoaded_ = job.rawLoaded;
    DecodeState_ = job.decodeState;
}

void MainWindow::Receive() {
    if (!NewDocument())
        return;
    SendMode_ = false;
    if (!RunSettingsDialog())
        return;
    {
        stadix::Job job = TakeJobForTransfer();
        const auto giveBack = qScopeGuard([&] { ReturnJobFromTransfer(job); });
        RunTransferDialog(job);
        stadix::ConvertReceivedCoordinates(job);
    }
    ShowReceivedDocument();
}

void MainWindow::ShowReceivedDocument() {
    if (CoordView_) {
        FillTable();
        ShowCoordinateView();
        SetTotal(RecordLines_.size());
        SetCurrentCell(1, 0);
        // Received coordinates exist nowhere else yet: closing must ask about them.
        if (!RecordLines_.empty())
            Modified_ = true;
        return;
    }
    ShowMeasurementView();
    Modified_ = true;
    setWindowTitle(DocName_ + kMeasTitle);
}

void MainWindow::Send() {
    if (!CommitTableEdit())
        return;
    if (CoordView_) {
        GatherRecords();
        if (RecordLines_.empty())
            return;
    } else if (RawStore_.size() / stadix::kRawRecordSize < 4) {
        return;
    }
    SendMode_ = true;
    if (!RunSettingsDialog())
        return;
    stadix::Job job = TakeJobForTransfer();
    const auto giveBack = qScopeGuard([&] { ReturnJobFromTransfer(job); });
    RunTransferDialog(job);
}

void MainWindow::FileOpen() {
    if (!ConfirmSaveChanges())
        return;
    FileDialogRequest request;
    request.title = "Open";
    request.filter = kOpenFilter;
    request.defaultExt = "JCD";
    request.folder = DialogFolder();
    const std::optional<FileChoice> choice = prompts_->ChooseOpenFile(this, request);
    if (!choice)
        return;
    RememberFolder(choice->path);
    if (HasExtension(choice->path, ".JCD", ".jcd"))
        OpenJobFile(choice->path);
    else
        OpenMeasurementFile(choice->path, choice->filterIndex);
}

void MainWindow::OpenJobFile(const QString& path) {
    stadix::JobLoad load = stadix::LoadJobFile(LocalPath(path));
    ClearTable();
    FilePath_ = path;
    DocName_ = QFileInfo(path).fileName();
    Untitled_ = false;
    ShowCoordinateView();
    CoordView_ = true;
    SetCoordTitle();
    RecordLines_ = std::move(load.lines);
    FillTable();
    SetTotal(RecordLines_.size());
    SetCurrentCell(1, 0);
    Modified_ = false;
    if (load.fileLines > RecordLines_.size()) {
        prompts_->Tell(this, "Warning", BytesToDisplay(stadix::JobCutMessage(load.fileLines)),
                       QMessageBox::Warning);
    }
}

void MainWindow::OpenMeasurementFile(const QString& path, int filterIndex) {
    const bool rawRecords = HasExtension(path, ".TSM", ".tsm");
    std::string bytes;
    std::vector<std::string> lines;
    if (rawRecords) {
        bytes = stadix::ReadFileBytes(LocalPath(path));
        // A refused file is not opened: the document stays as it was, so that no save
        // can write an empty document over it.
        const std::string problem = stadix::CheckMeasurementFile(bytes);
        if (!problem.empty()) {
            prompts_->Tell(this, "Warning", BytesToDisplay(problem), QMessageBox::Warning);
            return;
        }
    } else {
        lines = stadix::ReadFileLines(LocalPath(path));
    }
    FilePath_ = path;
    DocName_ = QFileInfo(path).fileName();
    Untitled_ = false;
    CoordView_ = false;
    RawStore_ = std::move(bytes);
    RecordLines_ = std::move(lines);
    RawLoaded_ = rawRecords;
    if (rawRecords) {
        stadix::RenderListing(DecodeState_, RawStore_, RecordLines_);
        DataFormat_ = 0;
    } else if (filterIndex == 3) {
        DataFormat_ = HasExtension(path, ".GTS", ".gts") ? 1 : 2;
    } else {
        DataFormat_ = 0;
    }
    ShowMeasurementView();
    SetMeasurementTitle();
    Modified_ = false;
}

bool MainWindow::WriteDocumentFile(const QString& path, const std::string& bytes) {
    try {
        stadix::WriteFileAtomically(LocalPath(path), bytes);
        return true;
    } catch (const stadix::FileError& failure) {
        prompts_->ShowError(this, BytesToDisplay(failure.what()));
        return false;
    }
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
    if (Untitled_)
        return SaveDocumentAs();
    try {
        if (CoordView_) {
            GatherRecords();
            if (!WriteDocumentFile(FilePath_, stadix::JobFileBytes(RecordLines_)))
                return false;
        } else if (!RawLoaded_) {
            if (!WriteDocumentFile(FilePath_, stadix::JoinLinesCrLf(RecordLines_)))
                return false;
        }
    } catch (const stadix::ConversionError& failure) {
        ShowProgress(QString());
        prompts_->ShowError(this, BytesToDisplay(failure.what()));
        return false;
    }
    Modified_ = false;
    return true;
}

bool MainWindow::SaveDocumentAs() {
    if (!CommitTableEdit())
        return false;
    try {
        return CoordView_ ? SaveAsCoordinates() : SaveAsMeasurement();
    } catch (const stadix::ConversionError& failure) {
        ShowProgress(QString());
        prompts_->ShowError(this, BytesToDisplay(failure.what()));
        return false;
    }
}

std::optional<FileChoice> MainWindow::ChooseSaveAsFile(const QString& filter) {
    FileDialogRequest request;
    request.title = "Save as";
    request.filter = filter;
    request.defaultExt = "JCD";
    request.folder = DialogFolder();
    request.fileName = DocName_;
    std::optional<FileChoice> choice = prompts_->ChooseSaveFile(this, request);
    if (!choice)
        return choice;
    choice->path = WithTypeExtension(*choice, request);
    RememberFolder(choice->path);
    return choice;
}

QString MainWindow::DialogFolder() const {
    if (!Untitled_ && !FilePath_.isEmpty())
        return QFileInfo(FilePath_).absolutePath();
    if (!LastFolder_.isEmpty())
        return LastFolder_;
    const QString programFolder = QCoreApplication::applicationDirPath();
    if (QFileInfo(programFolder).isWritable())
        return programFolder;
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

void MainWindow::RememberFolder(const QString& path) {
    LastFolder_ = QFileInfo(path).absolutePath();
}

bool MainWindow::SaveAsCoordinates() {
    const std::optional<FileChoice> choice = ChooseSaveAsFile(kCoordSaveFilter);
    if (!choice)
        return false;
    GatherRecords();
    if (choice->filterIndex == 2) {
        if (!WriteDocumentFile(choice->path, stadix::JobTextCopyBytes(RecordLines_)))
            return false;
    } else {
        if (!WriteDocumentFile(choice->path, stadix::JobFileBytes(RecordLines_)))
            return false;
        FilePath_ = choice->path;
        DocName_ = QFileInfo(choice->path).fileName();
        SetCoordTitle();
        Untitled_ = false;
    }
    Modified_ = false;
    return true;
}

QString MainWindow::MeasurementSaveFilter() const {
    QString first;
    if (DataFormat_ == 0 && RawLoaded_)
        first = "TS Meas. Data File(KVR)|*.TSM|";
    else if (DataFormat_ == 1)
        first = "TS Meas. Data File(GTS)|*.gts|";
    else if (DataFormat_ == 2)
        first = "TS Meas. Data File(SSS)|*.gt7|";
    return first + "Text file(*.TXT)|*.TXT";
}

bool MainWindow::SaveAsMeasurement() {
    const std::optional<FileChoice> choice = ChooseSaveAsFile(MeasurementSaveFilter());
    if (!choice)
        return false;
    const bool writeRaw = choice->filterIndex == 1 && RawLoaded_ && DataFormat_ == 0;
    if (!WriteDocumentFile(choice->path,
                           writeRaw ? RawStore_ : stadix::JoinLinesCrLf(RecordLines_)))
        return false;
    FilePath_ = choice->path;
    DocName_ = QFileInfo(choice->path).fileName();
    SetMeasurementTitle();
    Untitled_ = false;
    Modified_ = false;
    return true;
}
