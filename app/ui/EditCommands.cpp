// The main window's Edit menu: undo and redo of the changes of the records, and cells
// cut, copied and pasted as tab-separated text, as spreadsheets exchange them.
#include "app/ui/MainWindow.h"
#include "app/ui/RecordGridView.h"
#include "app/ui/RecordTableModel.h"
#include "app/ui/RecordsCommand.h"
#include "app/ui/TextCodec.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QUndoStack>

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
