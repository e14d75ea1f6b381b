// The record table's data as a Qt model: no item per cell, the bytes stay in the table.
#pragma once

#include "job/RecordEditing.h"
#include "job/RecordTable.h"

#include <QAbstractTableModel>

#include <functional>
#include <string>

// The table data as a Qt model; row 0 holds the column titles.
class RecordTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit RecordTableModel(stadix::RecordTable& table, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The bytes a cell holds.
    const std::string& CellBytes(const QModelIndex& index) const;

    // Told of each cell that the user changed, after the change; normalised when the
    // change only put the cell's text into its normal form as the user left it.
    using EditRecorder = std::function<void(stadix::RecordsChange change, bool normalised)>;
    void SetEditRecorder(EditRecorder recorder) { recorder_ = std::move(recorder); }
    void NormaliseCell(const QModelIndex& index, const std::string& text);

    // Tells the view that rows first..last changed, or that the row count did.
    void RowsChanged(int first, int last);
    void TableReset();

  private:
    void SetCellBytes(const QModelIndex& index, const std::string& bytes, bool normalised);

    stadix::RecordTable& table_;
    EditRecorder recorder_;
};
