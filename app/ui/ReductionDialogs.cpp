#include "app/ui/ReductionDialogs.h"

#include "app/ui/TextLinesView.h"
#include "widgets/DialogButtons.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr double kDefaultRefraction = 0.13;

QDoubleSpinBox* NumberBox(double low, double high, int decimals, double step, double value,
                          QWidget* parent) {
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(low, high);
    box->setDecimals(decimals);
    box->setSingleStep(step);
    box->setValue(value);
    return box;
}

} // namespace

ReductionOptionsDialog::ReductionOptionsDialog(const stadix::ReductionOptions& options,
                                               QWidget* parent)
    : QDialog(parent) {
    setWindowTitle("Compute Coordinates");
    setMinimumWidth(320);
    scaleBox = NumberBox(0.9, 1.1, 6, 0.0001, options.scale, this);
    scaleBox->setObjectName("scaleBox");
    refractionBox = new QCheckBox("Apply curvature and refraction", this);
    refractionBox->setObjectName("refractionBox");
    refractionBox->setChecked(options.refraction.has_value());
    coefficientBox =
        NumberBox(0, 1, 2, 0.01, options.refraction.value_or(kDefaultRefraction), this);
    coefficientBox->setObjectName("coefficientBox");
    coefficientBox->setEnabled(refractionBox->isChecked());
    connect(refractionBox, &QCheckBox::toggled, coefficientBox, &QWidget::setEnabled);

    auto* form = new QFormLayout;
    form->addRow("Scale factor:", scaleBox);
    form->addRow(refractionBox);
    form->addRow("Refraction coefficient:", coefficientBox);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(AddOkCancelButtons(this).row);
}

stadix::ReductionOptions ReductionOptionsDialog::Options() const {
    stadix::ReductionOptions options;
    options.scale = scaleBox->value();
    if (refractionBox->isChecked())
        options.refraction = coefficientBox->value();
    return options;
}

bool RunReductionOptionsDialog(QWidget* parent, stadix::ReductionOptions& options) {
    ReductionOptionsDialog dialog(options, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    options = dialog.Options();
    return true;
}

ReportWindow::ReportWindow(QWidget* owner, std::function<void()> save)
    : QWidget(owner, Qt::Window) {
    setObjectName("reportWindow");
    setWindowTitle("Compute Coordinates - Report");
    resize(760, 560);
    reportText = new TextLinesView(this);
    reportText->setObjectName("reportText");
    reportText->SetUtf8(true);
    copyButton = new QPushButton("&Copy", this);
    saveButton = new QPushButton("&Save...", this);
    auto* closeButton = new QPushButton("Close", this);
    connect(copyButton, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(reportText->toPlainText()); });
    connect(saveButton, &QPushButton::clicked, this, [save = std::move(save)] { save(); });
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copyButton);
    buttons->addWidget(saveButton);
    buttons->addStretch(1);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(reportText, 1);
    layout->addLayout(buttons);
}

void ReportWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        close();
    else
        QWidget::keyPressEvent(event);
}

void ReportWindow::SetReport(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    reportText->SetLines(std::move(lines));
}
