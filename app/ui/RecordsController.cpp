#include "app/ui/RecordsController.h"

#include "app/ui/DocumentView.h"
#include "app/ui/RecordGridView.h"
#include "app/ui/RecordTableModel.h"
#include "app/ui/RecordsCommand.h"
#include "base/Errors.h"
#include "job/Job.h"
#include "job/RecordTable.h"
#include "widgets/Prompts.h"
#include "widgets/TextCodec.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>
#include <QUndoStack>

namespace {

// Undo and Redo name the step they take back or make again: "Undo Erase".
void NameStep(QAction* action, const QString& caption, const QString& step) {
    action->setText(step.isEmpty() ? caption : caption + " " + step);
}

} // namespace

RecordsController::RecordsController(stadix::Job& job, stadix::RecordTable& table,
                                     RecordTableModel& model, RecordGridView& grid,
                                     QLineEdit& searchBox, Prompts& prompts, QWidget* parent,
                                     DocumentView& view)
    : job_(job), table_(table), model_(model), grid_(grid), searchBox_(searchBox),
      prompts_(prompts), parent_(parent), view_(view), undoStack_(new QUndoStack(this)) {
    connect(undoStack_, &QUndoStack::cleanChanged, this, [this](bool clean) {
        job_.modified = !clean;
        view_.ShowModified();
    });
    grid_.SetRefusalHandler([this](stadix::CellLeave verdict, const std::string& text) {
        ShowCellRefusal(verdict, text);
    });
    model_.SetEditRecorder([this](stadix::RecordsChange change, bool normalised) {
        PushChange("Typing", std::move(change), true, normalised);
        MarkTableChanged();
    });
    connect(&grid_, &RecordGridView::KeyTyped, this, &RecordsController::MarkTableChanged);
    connect(&grid_, &RecordGridView::DeletePressed, this,
            [this] { DeleteSelectedCells("Delete"); });
    connect(&grid_, &RecordGridView::PasteRefused, this, [this](const QString& message) {
        prompts_.Tell(parent_, message, QMessageBox::Warning);
    });
}

void RecordsController::FollowUndoStack(QAction* undo, QAction* redo) {
    undo->setEnabled(false);
    redo->setEnabled(false);
    connect(undoStack_, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(undoStack_, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    connect(undoStack_, &QUndoStack::undoTextChanged, undo,
            [undo](const QString& step) { NameStep(undo, "&Undo", step); });
    connect(undoStack_, &QUndoStack::redoTextChanged, redo,
            [redo](const QString& step) { NameStep(redo, "&Redo", step); });
}

void RecordsController::FillTable() {
    if (stadix::PrepareRowsForLines(table_, job_.lines.size()))
        model_.TableReset();
    const bool showProgress = job_.lines.size() > 1000;
    if (showProgress)
        view_.ShowProgress("Loading records...");
    const int column = grid_.CurrentColumn();
    // Yield to the window every 100 lines, but at most once a frame: a repaint for
    // every 100 lines would make loading many times slower than the load itself.
    QElapsedTimer sinceYield;
    sinceYield.start();
    stadix::FillTable(table_, job_.lines, [&](std::size_t i) {
        if (!showProgress || i % 100 != 0 || sinceYield.elapsed() < kFrameMs)
            return;
        model_.RowsChanged(1, int(i) + 1);
        grid_.SetCurrentCell(int(i) + 1, column);
        QCoreApplication::processEvents();
        sinceYield.restart();
    });
    if (!job_.lines.empty())
        model_.RowsChanged(1, int(job_.lines.size()));
    if (showProgress)
        view_.ShowProgress(QString());
}

void RecordsController::GatherRecords() {
    stadix::GatherRecords(table_, job_.lines, [this](std::size_t made) {
        if (made != 1000)
            return;
        view_.ShowProgress("Processing records...");
        QCoreApplication::processEvents();
    });
    view_.ShowProgress(QString());
}

void RecordsController::ClearTable() {
    table_.ClearTable();
    model_.RowsChanged(1, table_.RowCount() - 1);
}

void RecordsController::ClearRecords() {
    stadix::ClearRecords(job_, table_);
    model_.RowsChanged(1, table_.RowCount() - 1);
    view_.SetTotal(0);
    grid_.SetCurrentCell(1, 0);
}

bool RecordsController::CommitTableEdit() {
    return !job_.InCoordinateView() || grid_.CommitOpenEditor();
}

void RecordsController::ShowCellRefusal(stadix::CellLeave verdict, const std::string& text) {
    const QString message =
        verdict == stadix::CellLeave::OverRange
            ? QString("Over range!\nPlease input again.")
            : BytesToDisplay(stadix::ConversionError(text).what()) + ".\nPlease input again.";
    prompts_.Tell(parent_, message, QMessageBox::Warning);
}

void RecordsController::MarkTableChanged() {
    job_.modified = true;
    view_.ShowModified();
    totalOutdated_ = true;
    ScheduleRecount();
}

void RecordsController::ScheduleRecount() {
    if (recountScheduled_)
        return;
    recountScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        recountScheduled_ = false;
        CountRecords();
    });
}

void RecordsController::CountRecords() {
    const int row = grid_.CurrentRow();
    if (!totalOutdated_ || row == lastCountedRow_)
        return;
    lastCountedRow_ = row;
    view_.SetTotal(std::size_t(table_.CountComplete()));
    totalOutdated_ = false;
}

void RecordsController::Find() {
    if (searchBox_.text().isEmpty() || !CommitTableEdit())
        return;
    const auto equalBeyondAscii = [](std::string_view cell, std::string_view wanted) {
        return BytesToDisplay(std::string(cell))
                   .compare(BytesToDisplay(std::string(wanted)), Qt::CaseInsensitive) == 0;
    };
    const std::optional<int> row = stadix::FindRecord(
        table_, grid_.CurrentRow(), DisplayToBytes(searchBox_.text()), equalBeyondAscii);
    if (!row) {
        prompts_.Tell(parent_, "No matched record found.", QMessageBox::Information);
        return;
    }
    grid_.SetCurrentCell(*row, 0);
    grid_.setFocus();
}

void RecordsController::FocusSearchBox() {
    if (!CommitTableEdit())
        return;
    searchBox_.setFocus(Qt::ShortcutFocusReason);
    searchBox_.selectAll();
}

void RecordsController::Update() {
    if (!CommitTableEdit())
        return;
    const std::vector<int> leftOut = stadix::IncompleteRows(table_);
    stadix::RecordsState before = stadix::CaptureAllRecords(table_, job_.lines);
    // A number that does not convert ends the gather before anything changed.
    GatherRecords();
    ClearTable();
    FillTable();
    view_.SetTotal(job_.lines.size());
    PushChange("Update", stadix::RecordsChange(std::move(before), table_, &job_.lines));
    view_.NoteRowsLeftOut(leftOut, "removed");
}

void RecordsController::Erase() {
    if (!CommitTableEdit())
        return;
    if (prompts_.Ask(parent_, "Do you really want to delete this record?",
                     QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    const int row = grid_.CurrentRow();
    stadix::RecordsState before = stadix::CaptureRecords(table_, row, row);
    table_.ClearRow(row);
    model_.RowsChanged(row, row);
    PushChange("Erase", stadix::RecordsChange(std::move(before), table_));
    totalOutdated_ = true;
    // The records that the table still holds, whatever the record text list says.
    view_.SetTotal(std::size_t(table_.CountComplete()));
}

void RecordsController::Clear() {
    if (!CommitTableEdit() || (job_.lines.empty() && table_.IsEmpty()))
        return;
    if (prompts_.Ask(parent_, "Do you really want to delete all records?",
                     QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    stadix::RecordsState before = stadix::CaptureAllRecords(table_, job_.lines);
    ClearRecords();
    PushChange("Clear", stadix::RecordsChange(std::move(before), table_, &job_.lines));
}

void RecordsController::Undo() {
    // A cell still being edited is committed first, so that its edit is the step undone.
    if (CommitTableEdit())
        undoStack_->undo();
}

void RecordsController::Redo() {
    if (CommitTableEdit())
        undoStack_->redo();
}

void RecordsController::Cut() {
    if (!CommitTableEdit())
        return;
    Copy();
    DeleteSelectedCells("Cut");
}

void RecordsController::Copy() {
    if (CommitTableEdit())
        QApplication::clipboard()->setText(
            BytesToDisplay(stadix::CopyCells(table_, grid_.SelectedBlock())));
}

void RecordsController::Paste() {
    if (!CommitTableEdit())
        return;
    const stadix::CellBlock at = grid_.SelectedBlock();
    stadix::RecordsState before = stadix::CaptureRecords(table_, 1, table_.RowCount() - 1);
    const std::string problem = stadix::PasteCells(
        table_, at.top, at.left, DisplayToBytes(QApplication::clipboard()->text()));
    if (!problem.empty()) {
        prompts_.Tell(parent_, MessageToDisplay(problem), QMessageBox::Warning);
        return;
    }
    model_.RowsChanged(at.top, table_.RowCount() - 1);
    view_.SetTotal(std::size_t(table_.CountComplete()));
    PushChange("Paste", stadix::RecordsChange(std::move(before), table_));
}

void RecordsController::DeleteSelectedCells(const QString& name) {
    const stadix::CellBlock block = grid_.SelectedBlock();
    stadix::RecordsState before = stadix::CaptureRecords(table_, block.top, block.bottom);
    stadix::ClearCells(table_, block);
    model_.RowsChanged(block.top, block.bottom);
    view_.SetTotal(std::size_t(table_.CountComplete()));
    PushChange(name, stadix::RecordsChange(std::move(before), table_));
}

void RecordsController::PushChange(const QString& name, stadix::RecordsChange change, bool cellEdit,
                                   bool normalised) {
    if (change.Empty())
        return;
    undoStack_->push(new RecordsCommand(
        name, std::move(change),
        [this](const stadix::RecordsChange& made, bool undo) { ShowChange(made, undo); }, cellEdit,
        normalised));
}

void RecordsController::ShowChange(const stadix::RecordsChange& change, bool undo) {
    const int rowCount = table_.RowCount();
    const bool rowsDiffer = change.LastRow() >= change.FirstRow();
    const int row = rowsDiffer ? change.FirstRow() : grid_.CurrentRow();
    const int column = grid_.CurrentColumn();
    if (undo)
        change.Undo(table_, job_.lines);
    else
        change.Redo(table_, job_.lines);
    if (table_.RowCount() != rowCount)
        model_.TableReset();
    else if (rowsDiffer)
        model_.RowsChanged(change.FirstRow(), change.LastRow());
    view_.SetTotal(std::size_t(table_.CountComplete()));
    grid_.SetCurrentCell(row, column);
}

void RecordsController::MarkSaved() {
    undoStack_->setClean();
}

void RecordsController::ForgetEdits() {
    const bool changed = job_.modified;
    undoStack_->clear();
    if (changed)
        undoStack_->resetClean();
}
