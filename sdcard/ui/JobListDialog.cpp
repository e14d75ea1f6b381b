#include "sdcard/ui/JobListDialog.h"

#include "sdcard/CardExchange.h"
#include "sdcard/ui/JobNameDialog.h"
#include "widgets/Prompts.h"
#include "widgets/TextCodec.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

// Draws an item as its number, a point and two blanks in blue, then its text in black;
// both white on the selected item.
class NumberedItemDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        painter->save();
        painter->fillRect(option.rect,
                          selected ? option.palette.highlight() : option.palette.base());
        painter->setFont(option.font);
        const QString number = QString::number(index.row() + 1) + ".  ";
        const QFontMetrics metrics(option.font);
        const QPoint origin = option.rect.topLeft() + QPoint(10, 5 + metrics.ascent());
        painter->setPen(selected ? Qt::white : Qt::blue);
        painter->drawText(origin, number);
        painter->setPen(selected ? Qt::white : Qt::black);
        painter->drawText(origin + QPoint(metrics.horizontalAdvance(number), 0),
                          index.data().toString());
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QFontMetrics metrics(option.font);
        const QString text = QString::number(index.row() + 1) + ".  " + index.data().toString();
        return QSize(metrics.horizontalAdvance(text) + 20, metrics.height() + 10);
    }
};

} // namespace

JobListDialog::JobListDialog(stadix::JobStore& store, bool exportMode, Prompts& prompts,
                             QWidget* parent)
    : QDialog(parent), store_(store), prompts_(prompts) {
    setWindowTitle("Select a file in TSD");
    QFont windowFont = font();
    windowFont.setFamily("Times New Roman");
    setFont(windowFont);

    jobList = new QListWidget(this);
    jobList->setObjectName("JOBListBox");
    // The list lines are columns of blanks and digits: a fixed pitch keeps them straight.
    QFont listFont("Courier New");
    listFont.setStyleHint(QFont::Monospace);
    jobList->setFont(listFont);
    jobList->setItemDelegate(new NumberedItemDelegate(jobList));
    for (const std::string& item : store_.JobListItems())
        jobList->addItem(BytesToDisplay(item));
    jobList->setCurrentRow(0);
    jobList->setMinimumWidth(360);
    connect(jobList, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

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

void JobListDialog::accept() {
    if (jobList->currentRow() < 0)
        return;
    chosen_ = store_.JobOfListItem(jobList->currentRow());
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
    jobList->addItem(BytesToDisplay(store_.JobListText(store_.DirectoryLength() - 1)));
    jobList->setCurrentRow(jobList->count() - 1);
}
