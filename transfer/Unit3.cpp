#include "transfer/Unit3.h"

#include "app/Errors.h"
#include "app/Prompts.h"
#include "transfer/SettingsFile.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

#include <array>
#include <filesystem>
#include <utility>

namespace {

constexpr int kKvr = 0;
constexpr int kGts = 1;

// The baud list's entries and the rates they stand for, in the same order.
const QStringList kBaudItems = {"600", "1200", "2400", "4800", "9600", "19200", "38400"};
constexpr std::array<stadix::BaudRate, 7> kBaudRates = {
    stadix::BaudRate::Br600,  stadix::BaudRate::Br1200, stadix::BaudRate::Br2400,
    stadix::BaudRate::Br4800, stadix::BaudRate::Br9600, stadix::BaudRate::Br19200,
    stadix::BaudRate::Br38400};
constexpr int kBaud9600 = 4;

// Entries of the Char./Parity list.
constexpr int k7Even = 0;
constexpr int k7Odd = 1;
constexpr int k8None = 2;

// Entries of the stop-bits list.
constexpr int kStop1 = 0;
constexpr int kStop2 = 1;

// Where the four lists start inside the settings frame.
constexpr int kListLeft = 95;

int BaudEntry(stadix::BaudRate rate) {
    for (std::size_t i = 0; i < kBaudRates.size(); ++i) {
        if (kBaudRates[i] == rate)
            return static_cast<int>(i);
    }
    return kBaud9600;
}

// -1 (no entry) for 7 data bits with a parity the list does not offer.
int CharParityEntry(const stadix::PortSettings& port) {
    if (port.dataBits != 7)
        return k8None;
    if (port.parity == stadix::Parity::Even)
        return k7Even;
    if (port.parity == stadix::Parity::Odd)
        return k7Odd;
    return -1;
}

// A stored digit beyond the group's items counts as its first item.
int ItemOrFirst(int digit, const TRadioGroup* group) {
    return digit < group->Count() ? digit : 0;
}

} // namespace

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, int columns,
                         QWidget* parent)
    : QGroupBox(caption, parent), buttons_(new QButtonGroup(this)) {
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(10, 4, 10, 4);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        buttons_->addButton(button, i);
        layout->addWidget(button, i / columns, i % columns);
    }
}

int TRadioGroup::ItemIndex() const {
    return buttons_->checkedId();
}

void TRadioGroup::SetItemIndex(int index) {
    Item(index)->setChecked(true);
}

QRadioButton* TRadioGroup::Item(int index) const {
    return static_cast<QRadioButton*>(buttons_->button(index));
}

int TRadioGroup::Count() const {
    return static_cast<int>(buttons_->buttons().size());
}

TForm3::TForm3(stadix::PortSettings& port, int& coordUnit, int& dataFormat, int& gtsAck,
               bool sendMode, std::string settingsPath, QStringList portNames, QWidget* parent)
    : QDialog(parent), ComPort1_(port), CoordUnit_(coordUnit), DataFormat_(dataFormat),
      GtsAck_(gtsAck), SendMode_(sendMode), SettingsPath_(std::move(settingsPath)) {
    BuildControls();
    LoadSettings();
    ShowPortSettings(portNames);
    ShowTransferSettings();
    ApplyFormatRule();
}

void TForm3::BuildControls() {
    setWindowTitle("Comm.setting");
    QFont windowFont = font();
    windowFont.setFamily("Times New Roman");
    setFont(windowFont);
    setFixedSize(330, 392);

    RadioGroup2 = new TRadioGroup("Data Format", {"KVR", "GTS", "SSS"}, 3, this);
    RadioGroup2->setGeometry(16, 10, 298, 50);
    RadioGroup3 = new TRadioGroup("Protocol", {"ACK/NAK", "One way"}, 2, this);
    RadioGroup3->setGeometry(16, 68, 298, 50);

    GroupBox1 = new QGroupBox("Settings", this);
    GroupBox1->setGeometry(16, 126, 298, 150);
    ComboBox1 = AddSetting(0, Label1, "Port", {});
    ComboBox2 = AddSetting(1, Label2, "Baudrate", kBaudItems);
    ComboBox3 = AddSetting(2, Label3, "Char./Parity", {"7/Even", "7/Odd", "8/None"});
    ComboBox4 = AddSetting(3, Label4, "Stop bits", {"1", "2"});

    RadioGroup1 = new TRadioGroup(QString(), {"m", "Intrl.ft", "US.ft"}, 3, this);
    RadioGroup1->setGeometry(16, 284, 298, 50);

    Button1 = new QPushButton("OK", this);
    Button1->setGeometry(124, 348, 82, 28);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(RadioGroup2->Buttons(), &QButtonGroup::idClicked, this, &TForm3::ApplyFormatRule);
}

// One row of the settings frame: a caption and a pick-only list.
QComboBox* TForm3::AddSetting(int row, QLabel*& label, const QString& caption,
                              const QStringList& items) {
    const int top = 24 + row * 30;
    label = new QLabel(caption, GroupBox1);
    label->setGeometry(14, top, kListLeft - 14, 24);
    auto* list = new QComboBox(GroupBox1);
    list->addItems(items);
    list->setGeometry(kListLeft, top, 180, 24);
    label->setBuddy(list);
    connect(list, &QComboBox::activated, this, &TForm3::ApplyPortAndBaud);
    return list;
}

void TForm3::LoadSettings() {
    std::error_code ec;
    if (std::filesystem::exists(SettingsPath_, ec))
        stadix::LoadPortSettings(SettingsPath_, stadix::kPortSection, ComPort1_);
    CoordUnit_ = ItemOrFirst(
        stadix::ReadSettingDigit(SettingsPath_, stadix::kCoordUnitSection, stadix::kCoordUnitKey),
        RadioGroup1);
    DataFormat_ = ItemOrFirst(
        stadix::ReadSettingDigit(SettingsPath_, stadix::kDataFormatSection, stadix::kDataFormatKey),
        RadioGroup2);
    GtsAck_ = ItemOrFirst(
        stadix::ReadSettingDigit(SettingsPath_, stadix::kGtsAckSection, stadix::kGtsAckKey),
        RadioGroup3);
}

void TForm3::ShowPortSettings(const QStringList& portNames) {
    QStringList sorted = portNames;
    sorted.sort();
    ComboBox1->addItems(sorted);
    ComboBox1->setCurrentIndex(
        static_cast<int>(sorted.indexOf(QString::fromStdString(ComPort1_.portName))));
    ComboBox2->setCurrentIndex(BaudEntry(ComPort1_.baudRate));
    ComboBox3->setCurrentIndex(CharParityEntry(ComPort1_));
    ComboBox4->setCurrentIndex(ComPort1_.stopBits == stadix::StopBits::Two ? kStop2 : kStop1);
}

void TForm3::ShowTransferSettings() {
    RadioGroup1->SetItemIndex(CoordUnit_);
    RadioGroup1->setTitle(SendMode_ ? "Convert coord.unit from" : "Convert coord.unit to");
    RadioGroup2->SetItemIndex(DataFormat_);
    RadioGroup3->SetItemIndex(GtsAck_);
}

// The protocol belongs to GTS alone; KVR always runs with 8 data bits, no parity and
// one stop bit.
void TForm3::ApplyFormatRule() {
    const int format = RadioGroup2->ItemIndex();
    RadioGroup3->setEnabled(format == kGts);
    if (format == kKvr) {
        ComboBox3->setCurrentIndex(k8None);
        ComboBox4->setCurrentIndex(kStop1);
    }
    ComboBox3->setEnabled(format != kKvr);
    ComboBox4->setEnabled(format != kKvr);
}

// Without a port entry the port keeps its name.
void TForm3::ApplyPortAndBaud() {
    if (ComboBox1->currentIndex() >= 0)
        ComPort1_.portName = ComboBox1->currentText().toStdString();
    ComPort1_.baudRate = kBaudRates[static_cast<std::size_t>(ComboBox2->currentIndex())];
}

void TForm3::done(int result) {
    ApplyChoices();
    StoreSettings();
    QDialog::done(result);
}

void TForm3::ApplyChoices() {
    const int charParity = ComboBox3->currentIndex();
    ComPort1_.dataBits = charParity == k7Even || charParity == k7Odd ? 7 : 8;
    ComPort1_.parity = charParity == k7Even  ? stadix::Parity::Even
                       : charParity == k7Odd ? stadix::Parity::Odd
                                             : stadix::Parity::None;
    ComPort1_.stopBits =
        ComboBox4->currentIndex() == kStop2 ? stadix::StopBits::Two : stadix::StopBits::One;
    CoordUnit_ = RadioGroup1->ItemIndex();
    DataFormat_ = RadioGroup2->ItemIndex();
    if (DataFormat_ == kGts)
        GtsAck_ = RadioGroup3->ItemIndex();
}

// GTSACK is stored only with GTS, so that a choice made for GTS outlives the others.
void TForm3::StoreSettings() {
    try {
        stadix::StorePortSettings(SettingsPath_, stadix::kPortSection, ComPort1_);
        stadix::WriteSettingValue(SettingsPath_, stadix::kCoordUnitSection, stadix::kCoordUnitKey,
                                  CoordUnit_);
        stadix::WriteSettingValue(SettingsPath_, stadix::kDataFormatSection, stadix::kDataFormatKey,
                                  DataFormat_);
        if (DataFormat_ == kGts)
            stadix::WriteSettingValue(SettingsPath_, stadix::kGtsAckSection, stadix::kGtsAckKey,
                                      GtsAck_);
    } catch (const stadix::FileError& failure) {
        ReportStoreFailure(QString::fromLocal8Bit(failure.what()));
    }
}

void TForm3::ReportStoreFailure(const QString& reason) {
    const QString text = "The communication settings could not be saved.\n" + reason +
                         "\nThey are used for this transfer only.";
    if (prompts_)
        prompts_->Tell(this, "Warning", text, QMessageBox::Warning);
    else
        QMessageBox::warning(this, "Warning", text);
}
