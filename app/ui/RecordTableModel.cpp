#include "app/ui/RecordTableModel.h"

#include "widgets/TextCodec.h"

namespace {

const char* const kTitles[stadix::RecordTable::kColumns] = {"     PT", "     N/X", "     E/Y",
                                                            "      Z", "  CODE"};

} // namespace

RecordTableModel::RecordTableModel(stadix::RecordTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {}

int RecordTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : table_.RowCount();
}

int RecordTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : stadix::RecordTable::kColumns;
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return QVariant();
    if (role == Qt::TextAlignmentRole && index.row() != 0 && stadix::IsNumberColumn(index.column()))
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    if (index.row() == 0)
        return QString::fromLatin1(kTitles[index.column()]);
    return BytesToDisplay(table_.Cell(index.row(), index.column()));
}

bool RecordTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.row() == 0 || role != Qt::EditRole)
        return false;
    // An editor closed without a change gives back the text it was shown; keep the
    // cell's bytes then, also those that the chosen encoding cannot show.
    const QString text = value.toString();
    if (text == BytesToDisplay(CellBytes(index)))
        return true;
    SetCellBytes(index, DisplayToBytes(text), false);
    return true;
}

void RecordTableModel::NormaliseCell(const QModelIndex& index, const std::string& text) {
    if (text != CellBytes(index))
        SetCellBytes(index, text, true);
}

void RecordTableModel::SetCellBytes(const QModelIndex& index, const std::string& bytes,
                                    bool normalised) {
    stadix::RecordsState before = stadix::CaptureRecords(table_, index.row(), index.row());
    table_.SetCell(index.row(), index.column(), bytes);
    emit dataChanged(index, index);
    if (recorder_)
        recorder_(stadix::RecordsChange(std::move(before), table_), normalised);
}

Qt::ItemFlags RecordTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid() || index.row() == 0)
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

const std::string& RecordTableModel::CellBytes(const QModelIndex& index) const {
    return table_.Cell(index.row(), index.column());
}

void RecordTableModel::RowsChanged(int first, int last) {
    emit dataChanged(index(first, 0), index(last, stadix::RecordTable::kColumns - 1));
}

void RecordTableModel::TableReset() {
    beginResetModel();
    endResetModel();
}
