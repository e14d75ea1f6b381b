// One step of the main window's undo stack: a change of the job's records.
#pragma once

#include "job/RecordEditing.h"

#include <QUndoCommand>

#include <functional>

class RecordsCommand : public QUndoCommand {
  public:
    // Shows the records as the change leaves them, undone or made again.
    using Apply = std::function<void(const stadix::RecordsChange& change, bool undo)>;

    // change: already made when the command is pushed. A cell's edit merges with the
    // text put into its normal form as the user leaves the cell (normalised).
    RecordsCommand(const QString& text, stadix::RecordsChange change, Apply apply,
                   bool cellEdit = false, bool normalised = false);

    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

  private:
    stadix::RecordsChange change_;
    Apply apply_;
    bool cellEdit_;
    bool normalised_;
    bool made_ = true;
};
