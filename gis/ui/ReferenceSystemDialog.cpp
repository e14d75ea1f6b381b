#include "gis/ui/ReferenceSystemDialog.h"

#include "widgets/DialogButtons.h"

#include <QAbstractListModel>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTimer>
#include <QTimer>
#include <QVBoxLayout>

#include <utility>
#include <vector>

// The systems found, as rows of labels. Only the rows in sight are drawn, so that a
// search that finds thousands shows at once.
class ListingsModel : public QAbstractListModel {
  public:
    ListingsModel(const stadix::ReferenceSystemCatalog& catalog, QObject* parent)
        : QAbstractListModel(parent), catalog_(catalog) {}

    void SetFound(std::vector<std::size_t> found) {
        beginResetModel();
        found_ = std::move(found);
        endResetModel();
    }
    const stadix::ReferenceSystemListing& Listing(int row) const {
        return catalog_.Listings()[found_[std::size_t(row)]];
    }
    int RowOf(const QString& code) const {
        for (std::size_t row = 0; row < found_.size(); ++row) {
            if (QString::fromStdString(Listing(int(row)).code) == code)
                return int(row);
        }
        return -1;
    }

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : int(found_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid())
            return QVariant();
        return QString::fromStdString(Listing(index.row()).Label());
    }

  private:
    const stadix::ReferenceSystemCatalog& catalog_;
    std::vector<std::size_t> found_;
};

ReferenceSystemDialog::ReferenceSystemDialog(const QString& preset, bool noneAllowed,
                                             QWidget* parent)
    : QDialog(parent) {
    setWindowTitle("Reference System");
    resize(520, 420);
    searchBox = new QLineEdit(this);
    searchBox->setObjectName("searchBox");
    searchBox->setPlaceholderText("Code or name, e.g. 25833 or UTM zone 33N");
    systemList = new QListView(this);
    systemList->setObjectName("systemList");
    systemList->setUniformItemSizes(true);
    systemList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    model_ = new ListingsModel(catalog_, this);
    systemList->setModel(model_);
    noneBox = new QCheckBox("No reference system: the coordinates as they are", this);
    noneBox->setObjectName("noneBox");
    noneBox->setVisible(noneAllowed);
    noneBox->setChecked(noneAllowed && preset == kNoReferenceSystem);

    auto* label = new QLabel("&Search:", this);
    label->setBuddy(searchBox);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(searchBox);
    layout->addWidget(systemList);
    layout->addWidget(noneBox);
    const DialogButtons buttons = AddOkCancelButtons(this);
    okButton = buttons.ok;
    layout->addLayout(buttons.row);

    connect(searchBox, &QLineEdit::textChanged, this, &ReferenceSystemDialog::ShowFound);
    connect(systemList, &QListView::doubleClicked, this, [this] {
        if (!noneBox->isChecked())
            accept();
    });
    connect(noneBox, &QCheckBox::toggled, this, &ReferenceSystemDialog::EnableChoice);
    ShowFound(QString());
    ChooseRow(model_->RowOf(preset));
    // Scrolled again once the dialog is shown: before, the list has no height to centre in.
    QTimer::singleShot(0, this, [this] {
        systemList->scrollTo(systemList->currentIndex(), QAbstractItemView::PositionAtCenter);
    });
    connect(systemList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &ReferenceSystemDialog::EnableChoice);
    EnableChoice();
    searchBox->setFocus();
}

QString ReferenceSystemDialog::Choice() const {
    if (noneBox->isChecked())
        return kNoReferenceSystem;
    const QModelIndex current = systemList->currentIndex();
    return current.isValid() ? QString::fromStdString(model_->Listing(current.row()).code)
                             : QString();
}

void ReferenceSystemDialog::ShowFound(const QString& text) {
    model_->SetFound(catalog_.Find(text.toStdString()));
    ChooseRow(text.trimmed().isEmpty() ? -1 : 0);
    EnableChoice();
}

void ReferenceSystemDialog::ChooseRow(int row) {
    if (row < 0 || row >= model_->rowCount(QModelIndex()))
        return;
    const QModelIndex index = model_->index(row);
    systemList->setCurrentIndex(index);
    systemList->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void ReferenceSystemDialog::EnableChoice() {
    searchBox->setEnabled(!noneBox->isChecked());
    systemList->setEnabled(!noneBox->isChecked());
    okButton->setEnabled(!Choice().isEmpty());
}

bool RunReferenceSystemDialog(QWidget* parent, bool noneAllowed, QString& choice) {
    ReferenceSystemDialog dialog(choice, noneAllowed, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    choice = dialog.Choice();
    return true;
}
