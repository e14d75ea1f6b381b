#include "app/ui/MainWindow.h"

#include "app/ui/AboutBox.h"
#include "app/ui/Icons.h"
#include "app/ui/PointPlot.h"
#include "app/ui/RecentFilesMenu.h"
#include "app/ui/RecordGridView.h"
#include "app/ui/RecordTableModel.h"
#include "app/ui/RememberedSettings.h"
#include "app/ui/TextLinesView.h"
#include "comport/qt/SettingsPath.h"
#include "widgets/TextCodec.h"
#include "widgets/WindowPlacement.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const char* const kCoordTitle = "--TS Coord. data file";

// A menu caption without its access key marker.
QString Caption(const QString& text) {
    return QString(text).remove('&');
}

} // namespace

MainWindow::MainWindow(std::unique_ptr<WindowPrompts> prompts, QWidget* parent)
    : QMainWindow(parent),
      prompts_(prompts ? std::move(prompts) : std::make_unique<WindowDialogs>()),
      settingsPath_(stadix::SettingsFilePath().toStdString()) {
    setWindowIcon(ApplicationIcon());
    setContextMenuPolicy(Qt::NoContextMenu);
    resize(559, 735);
    setAcceptDrops(true);
    SetRecordTextEncoding(RememberedSettings().value(kEncodingKey).toString());

    model_ = new RecordTableModel(table_, this);
    recordGrid = new RecordGridView(model_, this);
    recordGrid->setObjectName("recordGrid");
    measurementText = new TextLinesView(this);
    measurementText->setObjectName("measurementText");
    measurementText->hide();
    searchBox = new QLineEdit(this);
    searchBox->setObjectName("searchBox");
    MakeControllers();

    BuildMenus();
    BuildToolBar();
    BuildStatusBar();
    BuildViewMenu();
    // Wide enough for every tool button, whatever the font.
    resize(qMax(width(), toolBar_->sizeHint().width()), height());

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(recordGrid, 1);
    layout->addWidget(measurementText, 1);
    setCentralWidget(central);

    connect(recordGrid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                rowPanel_->setText("row " + QString::number(current.row()));
                records_->ScheduleRecount();
            });

    SetCoordTitle();
    ClearTable();
    SetCurrentCell(1, 0);
}

MainWindow::~MainWindow() = default;

void MainWindow::MakeControllers() {
    DocumentView& view = *this;
    records_ = std::make_unique<RecordsController>(job_, table_, *model_, *recordGrid, *searchBox,
                                                   *prompts_, this, view);
    files_ = std::make_unique<DocumentFiles>(job_, *prompts_, this, view);
    documents_ = std::make_unique<DocumentController>(job_, table_, *prompts_, this, view, *files_);
    transfer_ = std::make_unique<TransferController>(job_, *prompts_, this, view, *documents_,
                                                     *files_, settingsPath_);
    export_ = std::make_unique<ExportController>(job_, table_, *prompts_, this, view, *files_,
                                                 settingsPath_);
    print_ = std::make_unique<PrintController>(job_, *prompts_, this, view, *files_);
    plot_ =
        std::make_unique<PlotController>(job_, table_, *model_, *recordGrid, this, view, *files_);
    pointPlot = plot_->Plot();
    card_ = std::make_unique<CardController>(job_, *prompts_, this, view, *documents_, *files_);
    reduction_ =
        std::make_unique<ReductionController>(job_, *prompts_, this, view, *documents_, *files_);
}

void MainWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    AddAction(file, "&New", QKeySequence("Ctrl+N"), &MainWindow::FileNew);
    AddAction(file, "&Open", QKeySequence("Ctrl+O"), &MainWindow::FileOpen);
    AddAction(file, "&Save", QKeySequence("Ctrl+S"), &MainWindow::FileSave);
    AddAction(file, "Save &as...", QKeySequence(), &MainWindow::FileSaveAs);
    new RecentFilesMenu(
        file, [this](const QString& path) { RunCommand([this, path] { OpenDocument(path); }); });
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

    QMenu* comm = menuBar()->addMenu("&Communication");
    AddAction(comm, "&Receive...", QKeySequence("F9"), &MainWindow::Receive);
    sendAction_ = AddAction(comm, "&Send...", QKeySequence("F10"), &MainWindow::Send);

    QMenu* card = menuBar()->addMenu("&SD/USB disk");
    AddAction(card, "&Import Data...", QKeySequence("F7"), &MainWindow::ImportCardData);
    exportDataAction_ =
        AddAction(card, "&Export Data...", QKeySequence("F8"), &MainWindow::ExportCardData);
    connect(card, &QMenu::aboutToShow, this,
            [this] { exportDataAction_->setEnabled(job_.InCoordinateView()); });

    QMenu* tools = menuBar()->addMenu("&Tools");
    AddAction(tools, "&Define Export Format...", QKeySequence(), &MainWindow::DefineExportFormat);
    computeAction_ = AddAction(tools, "&Compute Coordinates...", QKeySequence(),
                               &MainWindow::ComputeCoordinates);
    computeAction_->setEnabled(false);
    storedAction_ = AddAction(tools, "&Import Stored Coordinates", QKeySequence(),
                              &MainWindow::ImportStoredCoordinates);
    storedAction_->setEnabled(false);
    BuildEncodingMenu(tools);

    QMenu* help = menuBar()->addMenu("&Help");
    AddAction(help, "&About Software", QKeySequence(), &MainWindow::ShowAbout);
}

void MainWindow::BuildEditMenu() {
    QMenu* edit = menuBar()->addMenu("&Edit");
    QAction* undo = AddAction(edit, "&Undo", QKeySequence("Ctrl+Z"), &MainWindow::EditUndo);
    QAction* redo = AddAction(edit, "&Redo", QKeySequence("Ctrl+Shift+Z"), &MainWindow::EditRedo);
    records_->FollowUndoStack(undo, redo);
    edit->addSeparator();
    recordActions_ << AddAction(edit, "Cu&t", QKeySequence("Ctrl+X"), &MainWindow::EditCut)
                   << AddAction(edit, "&Copy", QKeySequence("Ctrl+C"), &MainWindow::EditCopy)
                   << AddAction(edit, "&Paste", QKeySequence("Ctrl+V"), &MainWindow::EditPaste);
}

void MainWindow::BuildViewMenu() {
    QMenu* view = new QMenu("&View", this);
    menuBar()->insertMenu(Menu("Communication")->menuAction(), view);
    connect(plot_->AddViewEntries(view), &QAction::triggered, this,
            [this] { RunCommand(&MainWindow::SavePlotAs); });
    toolBar_->addSeparator();
    plot_->SetUpShowButton(
        AddToolButton("Plot", "Plot|Show the job's points on a plan", plot_->ShowAction()));
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

void MainWindow::BuildToolBar() {
    // A real tool bar: when the window is narrow, the buttons that do not fit move to
    // its overflow menu, so Receive and Send stay reachable.
    toolBar_ = addToolBar("Tools");
    toolBar_->setObjectName("toolBar");
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);

    AddToolButton("New", "New|Create a new job file", Action("New"))
        ->setIcon(ThemeIcon("document-new", QStyle::SP_FileIcon));
    AddToolButton("Save", "Save|Save data to the current job file", Action("Save"))
        ->setIcon(ThemeIcon("document-save", QStyle::SP_DialogSaveButton));
    AddToolButton("Open", "Open|Open a job file", Action("Open"))
        ->setIcon(ThemeIcon("document-open", QStyle::SP_DialogOpenButton));
    AddToolButton("Print", "Print|Print the current job file", Action("Print"))
        ->setIcon(ToolIcon("document-print", ToolGlyph::Print));
    toolBar_->addSeparator();
    recordButtons_ << AddToolButton("Update", "Update|Update the record table", Action("Update"));
    recordButtons_.back()->setIcon(ThemeIcon("view-refresh", QStyle::SP_BrowserReload));
    recordButtons_ << AddToolButton("Erase", "Erase|Erase a record", Action("Erase"));
    recordButtons_.back()->setIcon(ToolIcon("edit-delete", ToolGlyph::Erase));
    recordButtons_ << AddToolButton("Clear", "Clear|Clear all records", Action("Clear"));
    recordButtons_.back()->setIcon(ToolIcon("edit-clear-all", ToolGlyph::Clear));
    toolBar_->addSeparator();
    searchBox->setPlaceholderText("Find point (Ctrl+F)");
    searchBox->setClearButtonEnabled(true);
    searchBox->setFixedWidth(
        searchBox->fontMetrics().horizontalAdvance(searchBox->placeholderText()) +
        6 * searchBox->fontMetrics().averageCharWidth());
    searchBox->setToolTip(QString());
    searchBox->setStatusTip(QString());
    toolBar_->addWidget(searchBox);
    connect(searchBox, &QLineEdit::returnPressed, this,
            [this] { RunCommand(&MainWindow::RecordFind); });
    recordButtons_ << AddToolButton("Find", "Find|Find a record by the name entered", nullptr);
    recordButtons_.back()->setIcon(ThemeIcon("edit-find", QStyle::SP_FileDialogContentsView));
    connect(recordButtons_.back(), &QToolButton::clicked, this,
            [this] { RunCommand(&MainWindow::RecordFind); });
    toolBar_->addSeparator();
    // Receive and Send name themselves: their arrows alone do not say which way.
    QToolButton* receive =
        AddToolButton("Receive", "Receive|Receive data from total station", Action("Receive..."));
    receive->setIcon(ThemeIcon("go-down", QStyle::SP_ArrowDown));
    sendButton_ = AddToolButton("Send", "Send|Send data to total station", Action("Send..."));
    sendButton_->setIcon(ThemeIcon("go-up", QStyle::SP_ArrowUp));
    for (QToolButton* button : {receive, sendButton_}) {
        button->setText(button->objectName());
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    }
}

QIcon MainWindow::ThemeIcon(const QString& name, QStyle::StandardPixmap fallback) const {
    return QIcon::fromTheme(name, style()->standardIcon(fallback));
}
QToolButton* MainWindow::AddToolButton(const QString& name, const QString& hint, QAction* action) {
    auto* button = new QToolButton(toolBar_);
    button->setObjectName(name);
    button->setAutoRaise(true);
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
    bar->setSizeGripEnabled(false);
    // Hints and notes take the width that the count, the row and the file name leave;
    // those follow their text.
    messagePanel_ = new QLabel(bar);
    messagePanel_->setMinimumWidth(0);
    messagePanel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bar->addWidget(messagePanel_, 1);
    totalPanel_ = AddStatusPanel();
    rowPanel_ = AddStatusPanel();
    filePanel_ = AddStatusPanel();
    statusLine_ = new QLabel(bar);
    bar->addWidget(statusLine_, 1);
    statusLine_->hide();
}

QLabel* MainWindow::AddStatusPanel() {
    auto* panel = new QLabel(statusBar());
    panel->setContentsMargins(6, 0, 6, 0);
    statusBar()->addPermanentWidget(panel);
    return panel;
}

bool MainWindow::StatusLineShown() const {
    return !statusLine_->isHidden();
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
    if (arguments.size() == 2 && arguments[0] == "--open")
        RunCommand([this, &arguments] { OpenDocument(arguments[1]); });
    else if (arguments.size() == 1 && QFileInfo(arguments[0]).fileName().right(4) == ".JCD")
        documents_->OpenStartupJob(arguments[0]);
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
    ShowModified();
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
    if (StatusLineShown())
        statusLine_->setText(shown);
    else
        messagePanel_->setText(shown);
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

void MainWindow::SetCoordTitle() {
    SetTitle(DocName(job_) + kCoordTitle);
    filePanel_->setText(DocName(job_));
}

void MainWindow::SetMeasurementTitle() {
    SetTitle(job_.ListsRawRecords() ? DocName(job_) + kMeasurementCaption : DocName(job_));
}

void MainWindow::SetTitle(const QString& title) {
    // The desktop shows the changes mark where the placeholder stands: after the name.
    const int captionAt = int(title.indexOf("--"));
    setWindowTitle(QString(title).insert(captionAt < 0 ? int(title.size()) : captionAt, "[*]"));
    ShowModified();
}

void MainWindow::ShowModified() {
    setWindowModified(job_.modified);
}

void MainWindow::SetTotal(std::size_t count) {
    totalPanel_->setText(count == 1 ? QString("1 point")
                                    : QString::number(qulonglong(count)) + " points");
}

void MainWindow::SetCurrentCell(int row, int column) {
    recordGrid->SetCurrentCell(row, column);
}

void MainWindow::ShowProgress(const QString& text) {
    // Where hints show too: the message panel of the coordinate view, the status line of
    // the measurement view; both, as an operation may switch the view. When the work ends,
    // the command's note shows.
    const QString shown = text.isEmpty() ? statusNote_ : text;
    messagePanel_->setText(shown);
    statusLine_->setText(shown);
    (StatusLineShown() ? statusLine_ : messagePanel_)->repaint();
}

QString MainWindow::NoteRowsLeftOut(const std::vector<int>& rows, const char* outcome) {
    statusNote_ = rows.empty()
                      ? QString()
                      : QString::fromStdString(stadix::IncompleteRowsMessage(rows, outcome));
    ShowProgress(QString());
    return statusNote_;
}

void MainWindow::ShowCoordinateView() {
    measurementText->hide();
    EnableCommands(true, true);
    ShowStatusPanels(true);
    recordGrid->show();
}

void MainWindow::ShowMeasurementView() {
    ClearTable();
    recordGrid->hide();
    EnableCommands(false, job_.ListsRawRecords());
    ShowStatusPanels(false);
    measurementText->SetLines(job_.lines);
    measurementText->show();
}

void MainWindow::EnableCommands(bool recordCommands, bool sendAndExport) {
    importAction_->setEnabled(recordCommands);
    for (QAction* action : recordActions_)
        action->setEnabled(recordCommands);
    searchBox->setEnabled(recordCommands);
    for (QToolButton* button : recordButtons_)
        button->setEnabled(recordCommands);
    sendButton_->setEnabled(sendAndExport);
    sendAction_->setEnabled(sendAndExport);
    exportAction_->setEnabled(sendAndExport);
    computeAction_->setEnabled(!recordCommands && reduction_->Available());
    storedAction_->setEnabled(!recordCommands && documents_->ShowsMakersFile());
}

void MainWindow::ShowStatusPanels(bool shown) {
    statusLine_->setVisible(!shown);
    for (QLabel* panel : {messagePanel_, totalPanel_, rowPanel_, filePanel_})
        panel->setVisible(shown);
}
