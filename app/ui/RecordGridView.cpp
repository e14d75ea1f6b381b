#include "app/ui/RecordGridView.h"

#include "widgets/TextCodec.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

#include <algorithm>

namespace {

// The typed character of a key event, or 0 when it types nothing or several.
char TypedChar(const QKeyEvent* event) {
    const QString text = event->text();
    if (text.size() != 1)
        return 0;
    const QChar c = text.at(0);
    return c.unicode() < 0x80 ? char(c.unicode()) : char(0x80);
}

// A key that types or deletes text. Modifier keys alone, navigation, Enter, Tab and
// Escape change nothing in the job, so they must not mark it as changed (pressing Ctrl
// of Ctrl+O would otherwise ask to save an untouched job).
bool IsEditingKey(const QKeyEvent* event) {
    const QString text = event->text();
    if (text.isEmpty())
        return false;
    const QChar c = text.at(0);
    return c != '\r' && c != '\n' && c != '\t' && c != QChar(0x1b) && c != QChar(0x7f);
}

bool IsEnter(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

} // namespace

void RecordGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    if (index.row() != 0) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    painter->save();
    painter->fillRect(option.rect, option.palette.button());
    painter->setPen(option.palette.color(QPalette::Active, QPalette::ButtonText));
    const QRect textRect = option.rect.adjusted(20, 0, 0, 0);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip,
                      index.data().toString());
    painter->restore();
}

QWidget* RecordGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                          const QModelIndex& index) const {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    editor->setProperty("gridRow", index.row());
    editor->setProperty("gridColumn", index.column());
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (line && stadix::IsNumberColumn(index.column()))
        line->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return editor;
}

bool RecordGridDelegate::eventFilter(QObject* editor, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (key->matches(QKeySequence::Paste) && line) {
            PasteIntoEditor(*line);
            return true;
        }
        if (IsEditingKey(key))
            emit KeyTyped();
        const char c = TypedChar(key);
        const char typed = stadix::TypedCellChar(editor->property("gridColumn").toInt(), c);
        if (c != 0 && typed != c) {
            if (typed != 0 && line)
                line->insert(QString(QChar(typed)));
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(editor, event);
}

void RecordGridDelegate::PasteIntoEditor(QLineEdit& line) {
    std::string problem;
    const std::string typed =
        stadix::TypeIntoCell(line.property("gridRow").toInt(), line.property("gridColumn").toInt(),
                             DisplayToBytes(QApplication::clipboard()->text()), problem);
    if (!problem.empty()) {
        emit PasteRefused(MessageToDisplay(problem + stadix::kNothingPasted));
        return;
    }
    emit KeyTyped();
    line.insert(BytesToDisplay(typed));
}

RecordGridView::RecordGridView(RecordTableModel* model, QWidget* parent)
    : QTableView(parent), model_(model) {
    setModel(model);
    auto* delegate = new RecordGridDelegate(this);
    setItemDelegate(delegate);
    connect(delegate, &RecordGridDelegate::KeyTyped, this, &RecordGridView::KeyTyped);
    connect(delegate, &RecordGridDelegate::PasteRefused, this, &RecordGridView::PasteRefused);
    horizontalHeader()->hide();
    // The five columns share the width, each wide enough for the widest coordinate.
    horizontalHeader()->setMinimumSectionSize(fontMetrics().horizontalAdvance("-9999999.999") +
                                              3 * fontMetrics().averageCharWidth());
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    verticalHeader()->hide();
    const int rowHeight = fontMetrics().height() * 3 / 2;
    verticalHeader()->setMinimumSectionSize(rowHeight);
    verticalHeader()->setDefaultSectionSize(rowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setShowGrid(true);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                    QAbstractItemView::EditKeyPressed);
    setTabKeyNavigation(true);
    setWordWrap(false);
}

void RecordGridView::SetCurrentCell(int row, int column) {
    const QModelIndex target = model_->index(row, column);
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
}

int RecordGridView::CurrentRow() const {
    return currentIndex().isValid() ? currentIndex().row() : 1;
}

int RecordGridView::CurrentColumn() const {
    return currentIndex().isValid() ? currentIndex().column() : 0;
}

bool RecordGridView::LeaveCurrentCell() {
    const QModelIndex current = currentIndex();
    if (!current.isValid() || current.row() == 0)
        return true;
    std::string replacement;
    const std::string& text = model_->CellBytes(current);
    const stadix::CellLeave verdict = stadix::CheckLeftCell(current.column(), text, replacement);
    switch (verdict) {
    case stadix::CellLeave::Keep:
        return true;
    case stadix::CellLeave::Replace:
        model_->NormaliseCell(current, replacement);
        return true;
    case stadix::CellLeave::OverRange:
    case stadix::CellLeave::NotANumber:
        if (refusal_)
            refusal_(verdict, text);
        return false;
    }
    return true;
}

bool RecordGridView::CommitOpenEditor() {
    QWidget* editor = indexWidget(currentIndex());
    if (state() != QAbstractItemView::EditingState || !editor)
        return true;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return LeaveCurrentCell();
}

stadix::CellBlock RecordGridView::SelectedBlock() const {
    stadix::CellBlock block{CurrentRow(), CurrentColumn(), CurrentRow(), CurrentColumn()};
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return block;
    block = {selected.front().row(), selected.front().column(), selected.front().row(),
             selected.front().column()};
    for (const QModelIndex& index : selected) {
        block.top = std::min(block.top, index.row());
        block.left = std::min(block.left, index.column());
        block.bottom = std::max(block.bottom, index.row());
        block.right = std::max(block.right, index.column());
    }
    return block;
}

bool RecordGridView::MoveTo(const QModelIndex& target) {
    if (!target.isValid() || target.row() == 0)
        return false;
    if (target != currentIndex() && !LeaveCurrentCell())
        return false;
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
    return true;
}

void RecordGridView::MoveByEnter() {
    const int row = CurrentRow();
    const int column = CurrentColumn();
    if (column < stadix::RecordTable::kColumns - 1)
        MoveTo(model_->index(row, column + 1));
    else
        MoveTo(model_->index(row + 1 < model_->rowCount() ? row + 1 : row, 0));
}

void RecordGridView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && state() != QAbstractItemView::EditingState) {
        emit DeletePressed();
        event->accept();
        return;
    }
    if (IsEditingKey(event))
        emit KeyTyped();
    if (IsEnter(event) && state() != QAbstractItemView::EditingState) {
        MoveByEnter();
        return;
    }
    // A key refused here opens no editor; one that the column takes differently (a
    // decimal comma) opens it and is then put right by the editor's filter.
    const char c = TypedChar(event);
    if (c != 0 && stadix::TypedCellChar(CurrentColumn(), c) == 0) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void RecordGridView::mousePressEvent(QMouseEvent* event) {
    const QModelIndex target = indexAt(event->position().toPoint());
    if (!target.isValid() || target.row() == 0) {
        event->accept();
        return;
    }
    if (target != currentIndex() && !LeaveCurrentCell()) {
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

QModelIndex RecordGridView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    QModelIndex target = QTableView::moveCursor(action, modifiers);
    if (!target.isValid())
        return target;
    if (target.row() == 0)
        target = model_->index(1, target.column());
    if (target != currentIndex() && !LeaveCurrentCell())
        return currentIndex();
    return target;
}

void RecordGridView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    QTableView::closeEditor(editor, hint);
    // Enter in an open cell commits it and moves on, as Enter does outside the editor.
    if (hint == QAbstractItemDelegate::SubmitModelCache)
        MoveByEnter();
}
