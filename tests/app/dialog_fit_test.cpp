#include "app/ui/AboutBox.h"
#include "base/FileIO.h"
#include "formats/ui/ExportLayoutDialog.h"
#include "job/Job.h"
#include "sdcard/CardImport.h"
#include "sdcard/JobStore.h"
#include "sdcard/ui/ImportOptionsDialog.h"
#include "sdcard/ui/JobListDialog.h"
#include "sdcard/ui/JobNameDialog.h"
#include "tests/support/CardImages.h"
#include "tests/support/MainWindowFixture.h"
#include "transfer/ui/KvrTransferDialog.h"
#include "transfer/ui/SettingsDialog.h"
#include "transfer/ui/TextTransferDialog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QtTest>

namespace {

// The room a widget has for its text, and the text; an empty text for widgets that
// show none.
std::pair<QRect, QString> TextRoom(QWidget* widget) {
    QStyle* style = widget->style();
    if (auto* label = qobject_cast<QLabel*>(widget); label && !label->wordWrap())
        return {label->contentsRect(), label->text()};
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        return {style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField,
                                      combo),
                combo->currentText()};
    }
    if (auto* box = qobject_cast<QGroupBox*>(widget))
        return {box->rect(), box->title()};
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(button);
        const QStyle::SubElement contents =
            widget->inherits("QCheckBox")      ? QStyle::SE_CheckBoxContents
            : widget->inherits("QRadioButton") ? QStyle::SE_RadioButtonContents
                                               : QStyle::SE_PushButtonContents;
        return {style->subElementRect(contents, &option, button), button->text()};
    }
    return {};
}

// Fails for a shown child of the window whose text is larger than its room, or that
// lies outside the window.
void ExpectFits(QWidget* window) {
    window->show();
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window) || widget->window() != window)
            continue;
        const QString name = widget->metaObject()->className() + QString(" ") +
                             widget->objectName() + " of " + window->windowTitle();
        const QRect placed(widget->mapTo(window, QPoint()), widget->size());
        QVERIFY2(window->rect().contains(placed), qPrintable(name + " lies outside"));
        const auto [room, text] = TextRoom(widget);
        if (text.isEmpty())
            continue;
        const QSize needed = widget->fontMetrics().size(Qt::TextShowMnemonic, text);
        QVERIFY2(needed.width() <= room.width() && needed.height() <= room.height(),
                 qPrintable(name + " clips \"" + text + "\""));
    }
}

} // namespace

// Every dialog and the main window at twice the scale: each text has room.
class DialogFitTest : public MainWindowFixture {
    Q_OBJECT

  private slots:
    void everyWindowFitsItsTexts() {
        MakeWindow();
        ExpectFits(window.get());

        stadix::TransferSettings settings;
        settings.port.portName = "/dev/ttyUSB7";
        for (bool sendMode : {false, true}) {
            SettingsDialog dialog(settings, sendMode, {}, *prompts);
            ExpectFits(&dialog);
        }
        stadix::Job job;
        KvrTransferDialog kvr(job, settings, false, *prompts);
        ExpectFits(&kvr);
        settings.dataFormat = stadix::DataFormat::Gts;
        TextTransferDialog text(job, settings, true, *prompts);
        ExpectFits(&text);

        ImportOptionsDialog import(stadix::ImportChoices{});
        ExpectFits(&import);
        JobNameDialog name("Creating new JOB", "Input JOB name:", QString(), 8);
        ExpectFits(&name);
        Write("CARD.TSD",
              stadix::test::JobStoreImage(stadix::kJobStoreLayouts[1]).AddJob(0, "SITE").Bytes());
        stadix::JobStore store;
        QCOMPARE(stadix::OpenCardJobStore(store, Path("CARD.TSD").toStdString(),
                                          stadix::CardAccess::ReadOnly),
                 stadix::StoreOpening::Opened);
        JobListDialog jobs(store, true, *prompts);
        ExpectFits(&jobs);
        ExportLayoutDialog layout(Path("layout.ini").toStdString(), *prompts);
        ExpectFits(&layout);
        AboutBox about;
        ExpectFits(&about);
    }
};

int main(int argc, char** argv) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication application(argc, argv);
    DialogFitTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "dialog_fit_test.moc"
