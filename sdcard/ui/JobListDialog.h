#pragma once

#include <QDialog>

#include <optional>

namespace stadix {
class JobStore;
}
class Prompts;
class QTreeWidget;
class QPushButton;

// "Select a file in TSD": the known-coordinates list and the jobs of an open, loaded job
// store, in columns: number, job, records and creation time. In export mode "NEW" creates a job in
// the store at once and selects it.
class JobListDialog : public QDialog {
    Q_OBJECT
  public:
    JobListDialog(stadix::JobStore& store, bool exportMode, Prompts& prompts,
                  QWidget* parent = nullptr);

    // The job number chosen; none when the dialog was closed without choosing.
    std::optional<int> ChosenJob() const { return chosen_; }

    void accept() override;
    // The chosen row (0 for the known coordinates), -1 when none is.
    int CurrentRow() const;

    QTreeWidget* jobList = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* newButton = nullptr;

  private:
    void CreateJob();
    void FitListWidth();

    stadix::JobStore& store_;
    Prompts& prompts_;
    std::optional<int> chosen_;
};
