// The main window as the controllers of its commands see it: what they show of the job
// while a command works on it. The main window implements it.
#pragma once

#include "job/RecordEditing.h"

#include <QString>

#include <cstddef>
#include <vector>

// The title's caption after the job's name while raw data is shown.
inline const char* const kMeasurementCaption = "--TS Meas. Data File";
// A long operation repaints its progress at most once a screen frame.
inline constexpr int kFrameMs = 16;

class DocumentView {
  public:
    virtual ~DocumentView() = default;

    // The title: the job's name with the coordinate caption; with the measurement caption
    // while the listing of raw records is shown, else alone; or a title of its own.
    virtual void SetCoordTitle() = 0;
    virtual void SetMeasurementTitle() = 0;
    virtual void SetTitle(const QString& title) = 0;
    // Marks the title while the job has changes that are not saved.
    virtual void ShowModified() = 0;

    // The record table and its commands, or the measurement text without them.
    virtual void ShowCoordinateView() = 0;
    virtual void ShowMeasurementView() = 0;

    // A progress text in the status bar while a long operation runs; empty when it ends.
    virtual void ShowProgress(const QString& text) = 0;
    // Names the incomplete rows a command left out in the status bar until the next
    // command (nothing when there were none); outcome says what befell them. Returns
    // the note.
    virtual QString NoteRowsLeftOut(const std::vector<int>& rows, const char* outcome) = 0;
    virtual void SetTotal(std::size_t count) = 0;

    // The record table: the job's record lines shown in it and gathered back from it.
    // CommitTableEdit commits a cell still being edited before a command reads the
    // table; false when its text was refused and the command must stop.
    virtual bool CommitTableEdit() = 0;
    virtual void SetCurrentCell(int row, int column) = 0;
    virtual void FillTable() = 0;
    virtual void ClearTable() = 0;
    virtual void GatherRecords() = 0;
    // Empties the job's record lines and the table.
    virtual void ClearRecords() = 0;

    // The undo history: a change a command made, the job saved, and the job replaced
    // (what came before can no longer be undone).
    virtual void PushChange(const QString& name, stadix::RecordsChange change) = 0;
    virtual void MarkSaved() = 0;
    virtual void ForgetEdits() = 0;
};

// Shows a progress text in the status bar while it lives.
class ProgressShown {
  public:
    ProgressShown(DocumentView& view, const QString& text) : view_(view) {
        view_.ShowProgress(text);
    }
    ~ProgressShown() { view_.ShowProgress(QString()); }
    ProgressShown(const ProgressShown&) = delete;
    ProgressShown& operator=(const ProgressShown&) = delete;

  private:
    DocumentView& view_;
};
