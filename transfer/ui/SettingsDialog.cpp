#include "transfer/ui/SettingsDialog.h"

#include "comport/qt/ComPort.h"
#include "comport/qt/PortWatcher.h"
#include "widgets/DialogButtons.h"
#include "widgets/Prompts.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// The entries of the Char./Parity and stop-bits lists, in list order.
constexpr stadix::CharacterFormat kCharacterEntries[] = {stadix::CharacterFormat::SevenEven,
                                                         stadix::CharacterFormat::SevenOdd,
                                                         stadix::CharacterFormat::EightNone};
constexpr int kStop1 = 0;
constexpr int kStop2 = 1;

QStringList BaudItems() {
    QStringList items;
    for (const stadix::BaudRate rate : stadix::kTransferBaudRates) {
        stadix::PortSettings port;
        port.baudRate = rate;
        items << QString::number(stadix::BaudRateValue(port));
    }
    return items;
}

// -1 (no entry) for 7 data bits with a parity the list does not offer.
int CharacterEntry(const stadix::PortSettings& port) {
    if (port.dataBits == 7 && port.parity != stadix::Parity::Even &&
        port.parity != stadix::Parity::Odd)
        return -1;
    return static_cast<int>(stadix::CharacterFormatOf(port));
}

} // namespace

SettingsDialog::SettingsDialog(const stadix::TransferSettings& settings, bool sendMode,
                               const std::vector<stadix::PortDescription>& ports, Prompts& prompts,
                               QWidget* parent)
    : QDialog(parent), settings_(settings), prompts_(prompts) {
    BuildControls(sendMode);
    ShowSettings(ports);
    ApplyFormatRule();
    WatchPorts();
}

void SettingsDialog::BuildControls(bool sendMode) {
    setWindowTitle("Comm.setting");
    formatGroup = new RadioGroup("Data Format", {"KVR", "GTS", "SSS"}, 3, this);
    protocolGroup = new RadioGroup("Protocol", {"ACK/NAK", "One way"}, 2, this);

    auto* frame = new QGroupBox("Settings", this);
    auto* rows = new QFormLayout(frame);
    portList = AddSetting(rows, "Port", {});
    portList->setMinimumContentsLength(14);
    baudList = AddSetting(rows, "Baudrate", BaudItems());
    characterList = AddSetting(rows, "Char./Parity", {"7/Even", "7/Odd", "8/None"});
    stopBitsList = AddSetting(rows, "Stop bits", {"1", "2"});

    unitGroup = new RadioGroup(sendMode ? "Convert coord.unit from" : "Convert coord.unit to",
                               {"m", "Intl.ft", "US.ft"}, 3, this);

    lineLogBox = new QCheckBox("Keep a line log", this);
    lineLogBox->setToolTip("Writes the bytes of every transfer, both ways, to a file named by "
                           "the date and time beside the settings file.");

    const DialogButtons buttons = AddOkCancelButtons(this);
    okButton = buttons.ok;
    cancelButton = buttons.cancel;
    connect(formatGroup->Buttons(), &QButtonGroup::idClicked, this,
            &SettingsDialog::ApplyFormatRule);

    auto* layout = new QVBoxLayout(this);
    for (QWidget* part : {static_cast<QWidget*>(formatGroup), static_cast<QWidget*>(protocolGroup),
                          static_cast<QWidget*>(frame), static_cast<QWidget*>(unitGroup),
                          static_cast<QWidget*>(lineLogBox)})
        layout->addWidget(part);
    layout->addLayout(buttons.row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

// One row of the settings frame: a caption and a pick-only list.
QComboBox* SettingsDialog::AddSetting(QFormLayout* rows, const QString& caption,
                                      const QStringList& items) {
    auto* list = new QComboBox(rows->parentWidget());
    list->addItems(items);
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    rows->addRow(caption, list);
    connect(list, &QComboBox::activated, this, &SettingsDialog::ApplyPortAndBaud);
    return list;
}

void SettingsDialog::ShowSettings(const std::vector<stadix::PortDescription>& ports) {
    ShowPorts(ports);
    const stadix::PortSettings& port = settings_.port;
    baudList->setCurrentIndex(static_cast<int>(stadix::TransferBaudIndex(port.baudRate)));
    characterList->setCurrentIndex(CharacterEntry(port));
    stopBitsList->setCurrentIndex(port.stopBits == stadix::StopBits::Two ? kStop2 : kStop1);
    unitGroup->SetItemIndex(static_cast<int>(settings_.coordUnit));
    formatGroup->SetItemIndex(static_cast<int>(settings_.dataFormat));
    protocolGroup->SetItemIndex(static_cast<int>(settings_.protocol));
    lineLogBox->setChecked(settings_.keepLineLog);
}

void SettingsDialog::ShowPorts(std::vector<stadix::PortDescription> ports) {
    stadix::SortByName(ports);
    if (ports == ports_)
        return;
    ports_ = std::move(ports);
    portList->clear();
    for (const stadix::PortDescription& port : ports_) {
        portList->addItem(QString::fromStdString(stadix::PortChoiceText(port)),
                          QString::fromStdString(port.name));
        const std::string details = stadix::PortDetailsText(port);
        const std::string tip = details.empty() ? port.location : port.location + "\n" + details;
        portList->setItemData(portList->count() - 1, QString::fromStdString(tip), Qt::ToolTipRole);
    }
    ShowChosenPort();
    portList->view()->setMinimumWidth(portList->view()->sizeHintForColumn(0) + 24);
}

// A chosen port that the machine does not list gets an entry of its own, so that the
// user sees which port the transfer would use.
void SettingsDialog::ShowChosenPort() {
    const QString name = QString::fromStdString(settings_.port.portName);
    int index = portList->findData(name);
    if (index < 0 && !name.isEmpty()) {
        portList->addItem(name + " (not present)", name);
        index = portList->count() - 1;
    }
    portList->setCurrentIndex(index);
}

// Devices plugged in or out while the dialog is open show up in the port list.
void SettingsDialog::WatchPorts() {
    auto* watcher = new stadix::PortWatcher(QStringLiteral("/dev"), this);
    connect(watcher, &stadix::PortWatcher::Changed, this,
            [this] { ShowPorts(stadix::ComPort::EnumComPorts()); });
}

// The protocol belongs to GTS alone; the line settings that KVR forces are shown and
// cannot be changed.
void SettingsDialog::ApplyFormatRule() {
    stadix::TransferSettings ruled = settings_;
    ruled.dataFormat = static_cast<stadix::DataFormat>(formatGroup->ItemIndex());
    const bool kvr = ruled.dataFormat == stadix::DataFormat::Kvr;
    protocolGroup->setEnabled(ruled.dataFormat == stadix::DataFormat::Gts);
    if (kvr) {
        stadix::ApplyFormatRule(ruled);
        characterList->setCurrentIndex(static_cast<int>(stadix::CharacterFormatOf(ruled.port)));
        stopBitsList->setCurrentIndex(kStop1);
    }
    characterList->setEnabled(!kvr);
    stopBitsList->setEnabled(!kvr);
}

// Without a port entry the port keeps its name.
void SettingsDialog::ApplyPortAndBaud() {
    if (portList->currentIndex() >= 0)
        settings_.port.portName = portList->currentData().toString().toStdString();
    settings_.port.baudRate =
        stadix::kTransferBaudRates[static_cast<std::size_t>(baudList->currentIndex())];
}

void SettingsDialog::done(int result) {
    if (result != QDialog::Accepted) {
        QDialog::done(QDialog::Rejected);
        return;
    }
    if (settings_.port.portName.empty()) {
        prompts_.Tell(this,
                      "No serial port is chosen.\nChoose the port that the instrument is "
                      "connected to.",
                      QMessageBox::Warning);
        return;
    }
    ApplyChoices();
    QDialog::done(QDialog::Accepted);
}

void SettingsDialog::closeEvent(QCloseEvent* event) {
    done(settings_.port.portName.empty() ? QDialog::Rejected : QDialog::Accepted);
    event->accept();
}

// The protocol is taken only with GTS, so that a choice made for GTS outlives the others.
void SettingsDialog::ApplyChoices() {
    const int character = characterList->currentIndex();
    stadix::SetCharacterFormat(settings_.port, character < 0 ? stadix::CharacterFormat::EightNone
                                                             : kCharacterEntries[character]);
    settings_.port.stopBits =
        stopBitsList->currentIndex() == kStop2 ? stadix::StopBits::Two : stadix::StopBits::One;
    settings_.coordUnit = static_cast<stadix::CoordUnit>(unitGroup->ItemIndex());
    settings_.dataFormat = static_cast<stadix::DataFormat>(formatGroup->ItemIndex());
    settings_.keepLineLog = lineLogBox->isChecked();
    if (settings_.dataFormat == stadix::DataFormat::Gts)
        settings_.protocol = static_cast<stadix::GtsProtocol>(protocolGroup->ItemIndex());
}
