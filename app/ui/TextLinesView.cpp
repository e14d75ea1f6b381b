#include "app/ui/TextLinesView.h"

#include "widgets/TextCodec.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QKeyEvent>

#include <algorithm>

void TextLinesModel::SetLines(std::vector<std::string> lines, QSize lineSize) {
    beginResetModel();
    lines_ = std::move(lines);
    lineSize_ = lineSize;
    endResetModel();
}

void TextLinesModel::Redecode() {
    if (!lines_.empty())
        emit dataChanged(index(0), index(rowCount() - 1), {Qt::DisplayRole});
}

QString TextLinesModel::LineText(const std::string& line) const {
    return utf8_ ? QString::fromStdString(line) : BytesToDisplay(line);
}

int TextLinesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(lines_.size());
}

QVariant TextLinesModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return QVariant();
    if (role == Qt::DisplayRole)
        return LineText(lines_[std::size_t(index.row())]);
    if (role == Qt::SizeHintRole)
        return lineSize_;
    return QVariant();
}

TextLinesView::TextLinesView(QWidget* parent)
    : QListView(parent), model_(new TextLinesModel(this)) {
    setModel(model_);
    // Fixed pitch, so that the listing's columns line up.
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
}

void TextLinesView::SetLines(std::vector<std::string> lines) {
    std::size_t longest = 0;
    for (const std::string& line : lines)
        longest = std::max(longest, line.size());
    const QFontMetrics metrics(font());
    // Fixed pitch: the longest line in bytes is at least as wide as any shown line
    // (a multi-byte character never shows wider than two columns).
    const QSize lineSize(int(longest + 2) * metrics.horizontalAdvance('M'), metrics.height());
    model_->SetLines(std::move(lines), lineSize);
}

void TextLinesView::Redecode() {
    model_->Redecode();
}

QString TextLinesView::toPlainText() const {
    QStringList texts;
    texts.reserve(qsizetype(model_->Lines().size()));
    for (const std::string& line : model_->Lines())
        texts << model_->LineText(line);
    return texts.join('\n');
}

void TextLinesView::keyPressEvent(QKeyEvent* event) {
    if (!event->matches(QKeySequence::Copy)) {
        QListView::keyPressEvent(event);
        return;
    }
    QModelIndexList selected = selectionModel()->selectedRows();
    std::sort(selected.begin(), selected.end());
    QStringList texts;
    for (const QModelIndex& index : selected)
        texts << index.data().toString();
    QApplication::clipboard()->setText(texts.join('\n'));
}
