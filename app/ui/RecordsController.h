// The records of the coordinate view: the table filled from the job's record lines and
// gathered back, the Record and Edit commands, the undo stack of their changes, and the
// count of complete records in the status bar.
#pragma once

#include "job/CellRules.h"
#include "job/RecordEditing.h"

#include <QObject>
#include <QString>

#include <string>

class DocumentView;
class Prompts;
class QAction;
class QLineEdit;
class QUndoStack;
class QWidget;
class RecordGridView;
class RecordTableModel;
namespace stadix {
struct Job;
class RecordTable;
} // namespace stadix

// A QObject so that its ties to the table's signals end with it.
class RecordsController : public QObject {
  public:
    // searchBox: the name that Find looks for.
    RecordsController(stadix::Job& job, stadix::RecordTable& table, RecordTableModel& model,
                      RecordGridView& grid, QLineEdit& searchBox, Prompts& prompts, QWidget* parent,
                      DocumentView& view);

    // Undo and Redo follow the undo stack: enabled while it holds a step to take back or
    // make again, and named after that step ("Undo Erase").
    void FollowUndoStack(QAction* undo, QAction* redo);

    void FillTable();
    void GatherRecords();
    void ClearTable();
    void ClearRecords();
    bool CommitTableEdit();

    // Record commands. Find looks for the search box's name from the current row on;
    // FocusSearchBox puts the cursor into the search box.
    void Find();
    void FocusSearchBox();
    void Update();
    void Erase();
    void Clear();

    // Edit commands: undo and redo the changes of the records since the last Open or
    // New; cut, copy and paste cells as tab-separated text, as spreadsheets exchange them.
    void Undo();
    void Redo();
    void Cut();
    void Copy();
    void Paste();

    // Pushes what a command changed in the records onto the undo stack, unless nothing
    // that the table shows changed. A cell's edit merges with the text put into its
    // normal form (normalised) as the user leaves the cell.
    void PushChange(const QString& name, stadix::RecordsChange change, bool cellEdit = false,
                    bool normalised = false);
    void MarkSaved();
    // The document was replaced: what came before can no longer be undone, and a
    // document brought in changed stays changed until it is saved.
    void ForgetEdits();

    // Counts the complete records once the window is idle, if the table changed and the
    // current row moved since the last count.
    void ScheduleRecount();

  private:
    void CountRecords();
    void MarkTableChanged();
    void ShowCellRefusal(stadix::CellLeave verdict, const std::string& text);
    void DeleteSelectedCells(const QString& name);
    // Shows the records as an undone or redone change leaves them.
    void ShowChange(const stadix::RecordsChange& change, bool undo);

    stadix::Job& job_;
    stadix::RecordTable& table_;
    RecordTableModel& model_;
    RecordGridView& grid_;
    QLineEdit& searchBox_;
    Prompts& prompts_;
    QWidget* parent_;
    DocumentView& view_;
    // Its clean state is the saved document: the job's modified flag follows it.
    QUndoStack* undoStack_;

    // The table changed since the total was last counted.
    bool totalOutdated_ = true;
    int lastCountedRow_ = 1;
    bool recountScheduled_ = false;
};
