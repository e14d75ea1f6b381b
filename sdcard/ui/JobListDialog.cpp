#include "sdcard/ui/JobListDialog.h"

#include "sdcard/CardExchange.h"
#include "sdcard/ui/JobNameDialog.h"
#include "widgets/Prompts.h"
#include "widgets/TextCodec.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// One row of the list: its number, the job, its record count and when it was created.
QTreeWidgetItem* JobItem(int number, const stadix::JobStore::JobListRow& row) {
    auto* item =
        new QTreeWidgetItem({QString::number(number), BytesToDisplay(row.name),
                             QString::number(row.records), QString::fromStdString(row.created)});
    for (int column : {0, 2})
        item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

JobListDialog::JobListDialog(stadix::JobStore& store, bool exportMode, Prompts& prompts,
                             QWidget* parent)
    : QDialog(parent), store_(store), prompts_(prompts) {
    setWindowTitle("Select a file in TSD");

    jobList = new QTreeWidget(this);
    jobList->setObjectName("JOBListBox");
    jobList->setHeaderLabels({"No.", "Job", "Records", "Created"});
    jobList->setRootIsDecorated(false);
    jobList->setUniformRowHeights(true);
    jobList->setAllColumnsShowFocus(true);
    jobList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    jobList->header()->setStretchLastSection(false);
    const std::vector<stadix::JobStore::JobListRow> rows = store_.JobListRows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        jobList->addTopLevelItem(JobItem(int(i) + 1, rows[i]));
    jobList->setCurrentItem(jobList->topLevelItem(0));
    FitListWidth();
    connect(jobList, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);

    okButton = new QPushButton("OK", this);
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    newButton = new QPushButton("NEW", this);
    connect(newButton, &QPushButton::clicked, this, &JobListDialog::CreateJob);
    newButton->setVisible(exportMode);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    if (exportMode) {
        buttons->addStretch(1);
        buttons->addWidget(newButton);
    }
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(jobList);
    layout->addLayout(buttons);
}

// The list is as wide as its columns (at least the width of a sample dated row), so
// that no column is cut.
void JobListDialog::FitListWidth() {
    const int sample =
        fontMetrics().horizontalAdvance("000  Known Coord  Records  0000-00-00 00:00");
    int columns = 0;
    for (int column = 0; column < jobList->columnCount(); ++column)
        columns += jobList->header()->sectionSizeHint(column);
    jobList->setMinimumWidth(std::max(sample, columns) + 2 * jobList->frameWidth() +
                             jobList->verticalScrollBar()->sizeHint().width() +
                             fontMetrics().averageCharWidth() * 4);
}

int JobListDialog::CurrentRow() const {
    return jobList->indexOfTopLevelItem(jobList->currentItem());
}

void JobListDialog::accept() {
    if (CurrentRow() < 0)
        return;
    chosen_ = store_.JobOfListItem(CurrentRow());
    QDialog::accept();
}

void JobListDialog::CreateJob() {
    const std::optional<QString> typed =
        InputText(this, "Creating new JOB", "Input JOB name:", QString(), 8);
    if (!typed)
        return;
    // The job is written to the store at once, whatever the dialog's end.
    const stadix::CardResult created = stadix::CreateNamedJob(store_, DisplayToBytes(*typed));
    if (created.end != stadix::CardResult::End::Done) {
        prompts_.Tell(this, QString::fromStdString(created.message), QMessageBox::Warning);
        return;
    }
    const int position = store_.DirectoryLength() - 1;
    jobList->addTopLevelItem(JobItem(position + 2, store_.JobListRowAt(position)));
    jobList->setCurrentItem(jobList->topLevelItem(jobList->topLevelItemCount() - 1));
}
