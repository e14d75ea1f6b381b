#include "app/ui/MainWindow.h"
#include "app/ui/RecordGridView.h"
#include "app/ui/TextLinesView.h"
#include "base/FileIO.h"
#include "job/JobFile.h"
#include "job/RecordLine.h"
#include "sdcard/JobStore.h"
#include "sdcard/ui/ImportOptionsDialog.h"
#include "sdcard/ui/JobListDialog.h"
#include "sdcard/ui/JobNameDialog.h"
#include "tests/support/CardImages.h"
#include "tests/support/MainWindowFixture.h"
#include "tests/support/RawRecordBuilder.h"
#include "widgets/RadioGroup.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

namespace {

stadix::RawRecord Point(std::uint8_t type, const std::string& name) {
    const std::size_t north = type == stadix::kTypePt ? 19 : 23;
    return stadix::test::RawRecordBuilder(type, false)
        .Bytes(1, name)
        .Coordinate(north, 1, 500)
        .Build();
}

std::string Bytes(const QString& path) {
    return stadix::ReadFileBytes(path.toStdString());
}

} // namespace

// F7 and F8 with scripted dialogs, and the three card dialogs as a user drives them.
class CardWindowTest : public MainWindowFixture {
    Q_OBJECT

  private:
    // A record file of a PT record and a STN record; a store of the smallest kind whose
    // job SITE holds one STN record and whose known-coordinates list holds K1.
    void WriteCard() {
        Write("CARD.TSR", stadix::test::RecordFileImage()
                              .Put(0, Point(stadix::kTypePt, "K1"))
                              .Put(1, Point(stadix::kTypeStn, "S1"))
                              .Bytes());
        const stadix::JobStoreLayout& layout = stadix::kJobStoreLayouts[1];
        Write("CARD.TSD", stadix::test::JobStoreImage(layout)
                              .AddJob(0, "SITE")
                              .Put(0, 0, 0, 0, Point(stadix::kTypeStn, "S1"))
                              .Put(layout.jobs, 1, 0, 0, Point(stadix::kTypePt, "K1"))
                              .Bytes());
    }
    void ImportCard(const QString& name) {
        prompts->files.push_back(FileChoice{Path(name), 1});
        window->Action("Import Data...")->trigger();
    }
    QString Pt(int row) { return QString::fromStdString(window->Table().Cell(row, stadix::ColPt)); }

  private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() {
        MakeWindow();
        window->SetCardVolumes({});
        WriteCard();
    }
    void cleanup() { window.reset(); }

    void importAsksForAFolderThenTakesWhatTheOptionsSay() {
        prompts->answers.push_back(QMessageBox::No);
        window->Action("Import Data...")->trigger();
        QCOMPARE(prompts->Kinds(), QStringList{"ask"});
        QCOMPARE(
            prompts->shown.last().text,
            QString("Failed to find SD card (U disk) record folder. Search in another folder?"));

        // Raw data: every record but PT records, under the raw data caption.
        prompts->answers.push_back(QMessageBox::Yes);
        stadix::ImportChoices raw;
        raw.dataType = stadix::ImportDataType::RawData;
        prompts->importOptions.push_back(raw);
        ImportCard("CARD.TSR");
        QCOMPARE(prompts->shown[2].dialog.filter,
                 QString("Total Station SD/U disk File(*.TSR;*.TSD;*.GT7;*.PTS;*.GTS;*.XYZ)|*.TSR;"
                         "*.TSD;*.GT7;*.PTS;*.GTS;*.XYZ"));
        QVERIFY(!window->CurrentJob().InCoordinateView());
        QCOMPARE(ShownTitle(*window), QString("Total Station Meas.Data"));
        QVERIFY(window->measurementText->toPlainText().startsWith("STN:  S1"));

        // The job store's known-coordinates list: no options, known points remembered.
        prompts->answers.push_back(QMessageBox::Yes);
        prompts->jobItems.push_back(0);
        ImportCard("CARD.TSD");
        QVERIFY(window->CurrentJob().InCoordinateView());
        QCOMPARE(Pt(1), QString("K1"));
        QCOMPARE(window->TotalPanel()->text(), QString("1 point"));
        QCOMPARE(prompts->Kinds().count("options"), 1);
        QVERIFY(window->CurrentJob().modified);
    }

    void exportAppendsKnownPointsOrWritesAPtsFile() {
        const std::string line = stadix::MakeRecordLine("P1", "", "1", "2", "3");
        Write("job.JCD", stadix::JobFileBytes({line}));
        prompts->files.push_back(FileChoice{Path("job.JCD"), 1});
        window->FileOpen();

        prompts->files.push_back(FileChoice{Path("NEW.TSR"), 1});
        prompts->answers.push_back(QMessageBox::Yes);
        window->Action("Export Data...")->trigger();
        QCOMPARE(prompts->shown[1].text, QString("Failed to find SD card (U disk) record folder!"));
        QVERIFY(!prompts->shown[2].dialog.confirmOverwrite);
        QCOMPARE(prompts->shown[3].text, QString("Sure to export data to a new file?"));
        QCOMPARE(prompts->shown.last().text, QString("Total exported coord.data:1"));

        Write("OUT.PTS", "old");
        prompts->files.push_back(FileChoice{Path("OUT.PTS"), 2});
        prompts->answers.push_back(QMessageBox::No);
        window->Action("Export Data...")->trigger();
        QCOMPARE(prompts->shown.last().text, QString("File exists. Overwrite it?"));
        QCOMPARE(Bytes(Path("OUT.PTS")), std::string("old"));
        prompts->files.push_back(FileChoice{Path("OUT.PTS"), 2});
        prompts->answers.push_back(QMessageBox::Yes);
        window->Action("Export Data...")->trigger();
        QCOMPARE(Bytes(Path("OUT.PTS")), std::string("P1,2.000,1.000,3.000,\r\n"));
    }

    void optionsEnableTheUnitsForRawDataOnly() {
        stadix::ImportChoices preset;
        preset.angleUnit = 1;
        ImportOptionsDialog dialog(preset);
        QCOMPARE(dialog.windowTitle(), QString("Import Data"));
        QVERIFY(!dialog.angleGroup->isEnabled());
        dialog.dataGroup->Item(1)->click();
        QVERIFY(dialog.angleGroup->isEnabled() && dialog.distanceGroup->isEnabled());
        dialog.distanceGroup->Item(2)->click();
        QCOMPARE(dialog.Choices().distanceUnit, 2);
        QCOMPARE(dialog.Choices().angleUnit, 1);
    }

    void jobListCreatesJobsAndNamesTakeOnlyWhatTheCardTakes() {
        stadix::JobStore store;
        QCOMPARE(stadix::OpenCardJobStore(store, Path("CARD.TSD").toStdString(),
                                          stadix::CardAccess::ReadWrite),
                 stadix::StoreOpening::Opened);
        JobListDialog importList(store, false, *prompts);
        QVERIFY(importList.newButton->isHidden());
        QCOMPARE(importList.jobList->topLevelItemCount(), 2);
        QCOMPARE(importList.jobList->topLevelItem(0)->text(1), QString("Known Coord"));

        JobListDialog exportList(store, true, *prompts);
        QTimer::singleShot(0, this, [] {
            auto* names = qobject_cast<JobNameDialog*>(QApplication::activeModalWidget());
            QVERIFY(names);
            QCOMPARE(names->windowTitle(), QString("Creating new JOB"));
            QTest::keyClicks(names->nameBox, "ne_w-1");
            QCOMPARE(names->nameBox->text(), QString("NEW-1"));
            names->okButton->click();
        });
        exportList.newButton->click();
        QCOMPARE(exportList.jobList->topLevelItemCount(), 3);
        QCOMPARE(exportList.CurrentRow(), 2);
        QCOMPARE(exportList.jobList->topLevelItem(2)->text(1), QString("NEW-1"));
        exportList.okButton->click();
        QCOMPARE(exportList.ChosenJob(), std::optional<int>(store.JobAtPosition(1)));
    }
};

QTEST_MAIN(CardWindowTest)
#include "card_window_test.moc"
