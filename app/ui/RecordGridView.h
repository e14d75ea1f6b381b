// The record table on screen (recordGrid): a view over the table data with the
// header row, the key filters, Enter moving to the next cell and the checks on
// leaving a cell.
#pragma once

#include "app/ui/RecordTableModel.h"
#include "job/CellRules.h"
#include "job/RecordTable.h"

#include <QStyledItemDelegate>
#include <QTableView>

#include <functional>

class QLineEdit;

// Paints the grey header row and filters the keys typed, and the text pasted, into a
// cell's editor.
class RecordGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;

  signals:
    void KeyTyped();
    // Text pasted into an editor was refused: why.
    void PasteRefused(const QString& message);

  protected:
    bool eventFilter(QObject* editor, QEvent* event) override;

  private:
    // Pastes the clipboard's text into the editor by the cell rules, or says why not.
    void PasteIntoEditor(QLineEdit& line);
};

class RecordGridView : public QTableView {
    Q_OBJECT
  public:
    RecordGridView(RecordTableModel* model, QWidget* parent = nullptr);

    // Shown when a left N/E/Z cell is over range or not a number (with the cell's
    // text); the move is then refused.
    using RefusalHandler = std::function<void(stadix::CellLeave, const std::string&)>;
    void SetRefusalHandler(RefusalHandler handler) { refusal_ = std::move(handler); }

    // Commits a cell being edited as Enter does, with the same checks, but stays on the
    // cell. False when the check refuses the text: the command that asked must stop.
    bool CommitOpenEditor();

    // Moves the current cell without the leave check (loading, New, Open).
    void SetCurrentCell(int row, int column);
    int CurrentRow() const;
    int CurrentColumn() const;

    // Moves as Enter does: one column right, or to column 0 of the next row.
    void MoveByEnter();

    // The selected cells (the current cell when none is selected).
    stadix::CellBlock SelectedBlock() const;

  signals:
    // A key that types or deletes text in the table.
    void KeyTyped();
    // Delete pressed outside a cell's editor: the selected cells are to be emptied.
    void DeletePressed();
    // Text pasted into a cell's editor was refused: why.
    void PasteRefused(const QString& message);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

  private:
    // Checks the current cell before the user leaves it; false refuses the move.
    bool LeaveCurrentCell();
    bool MoveTo(const QModelIndex& target);

    RecordTableModel* model_;
    RefusalHandler refusal_;
};
