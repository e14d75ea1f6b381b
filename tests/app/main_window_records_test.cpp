#include "app/ui/MainWindow.h"
#include "app/ui/RecordGridView.h"
#include "base/FileIO.h"
#include "formats/ui/ExportLayoutDialog.h"
#include "job/JobFile.h"
#include "job/RecordLine.h"
#include "tests/support/MainWindowFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusTipEvent>
#include <QToolButton>

namespace {

std::vector<std::string> Records(int count) {
    std::vector<std::string> lines;
    for (int i = 1; i <= count; ++i)
        lines.push_back(stadix::MakeRecordLine("P" + std::to_string(i), "K",
                                               std::to_string(1000 + i) + ".5", "2000.25", "3"));
    return lines;
}

// What pdftotext makes of a PDF: with -layout its text, a form feed after each page.
QString Pdftotext(const QString& option, const QString& path) {
    QProcess process;
    process.start("pdftotext", {option, path, "-"});
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The records of a printed coordinate list: the lines that end in a coordinate.
QStringList PrintedRecords(const QString& pdfText) {
    QStringList records;
    const QRegularExpression coordinateEnd("\\d\\.\\d{3}$");
    for (const QString& line : pdfText.split('\n')) {
        const QString words = line.simplified();
        if (words.contains(coordinateEnd))
            records << words;
    }
    return records;
}

} // namespace

class MainWindowRecordsTest : public MainWindowFixture {
    Q_OBJECT

  private:
    void Find(const QString& name) {
        window->searchBox->setText(name);
        QTest::keyClick(window->searchBox, Qt::Key_Return);
    }
    // Prints to a PDF through the print dialog and returns its text.
    QString PrintToPdf(const QString& name) {
        prompts->printers.push_back(Path(name));
        window->FilePrint();
        return Pdftotext("-layout", Path(name));
    }

  private slots:
    void init() { MakeWindow(); }
    void cleanup() { window.reset(); }

    // How names match is the core's: Enter and the Find button find the next one, typed
    // records too, and a name not found is said so.
    void findMovesToTheRecordOrSaysItIsNotFound() {
        SetRow(2, "A", "1", "2");
        window->recordGrid->SetCurrentCell(1, 3);
        Find("a");
        QCOMPARE(window->recordGrid->CurrentRow(), 2);
        QCOMPARE(window->recordGrid->CurrentColumn(), 0);
        SetRow(3, "P3", "1", "2");
        window->searchBox->setText("P3");
        window->ToolButton("Find")->click();
        QCOMPARE(window->recordGrid->CurrentRow(), 3);
        QVERIFY(prompts->shown.isEmpty());
        Find("C");
        QCOMPARE(prompts->Kinds(), QStringList{"tell"});
        QCOMPARE(prompts->shown.last().icon, QMessageBox::Information);
        QCOMPARE(prompts->shown.last().text, QString("No matched record found."));
        QCOMPARE(window->recordGrid->CurrentRow(), 3);
        QVERIFY(!window->CurrentJob().modified);
    }

    // What Update gathers, and that a bad cell changes nothing, is the core's.
    void updateGathersTheTableAndReportsACellThatDoesNotConvert() {
        window->ToolButton("Clear")->click();
        QVERIFY(prompts->shown.isEmpty());
        SetRow(2, "R2", "1", "2");
        SetRow(7, "R7", "1", "2");
        window->Action("Update")->trigger();
        QCOMPARE(CellText(1) + CellText(2) + CellText(7), QString("R2R7"));
        QCOMPARE(window->TotalPanel()->text(), QString("2 points"));
        QVERIFY(window->CurrentJob().modified);
        SetRow(9, "BAD", "1,5", "2");
        window->Action("Update")->trigger();
        QCOMPARE(prompts->Kinds(), QStringList{"error"});
        QVERIFY(prompts->shown.last().text.contains("'1,5' is not a valid floating point value"));
        QCOMPARE(CellText(9), QString("BAD"));

        // Undo puts the rows back where they were, typed and never gathered: Clear asks
        // about them too.
        window->Action("Undo")->trigger();
        QCOMPARE(CellText(1) + CellText(7), QString("R7"));
        prompts->answers.push_back(QMessageBox::Yes);
        window->Action("Clear")->trigger();
        QCOMPARE(prompts->shown.last().text, QString("Do you really want to delete all records?"));
        QCOMPARE(CellText(7), QString());
        QCOMPARE(window->recordGrid->CurrentRow(), 1);
    }

    void eraseAsksThenLeavesAGapAndUndoGoesBackToTheOpenedFile() {
        OpenJob(Records(3));
        QVERIFY(!window->Action("Undo")->isEnabled());
        // An Update that changes nothing is no change.
        window->Action("Update")->trigger();
        QVERIFY(!window->CurrentJob().modified);
        window->recordGrid->SetCurrentCell(2, 1);
        prompts->answers.push_back(QMessageBox::No);
        window->Action("Erase")->trigger();
        QCOMPARE(prompts->shown.last().buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(prompts->shown.last().text, QString("Do you really want to delete this record?"));
        QCOMPARE(CellText(2), QString("P2"));

        prompts->answers.push_back(QMessageBox::Yes);
        window->ToolButton("Erase")->click();
        QCOMPARE(CellText(2), QString());
        QCOMPARE(CellText(3), QString("P3"));
        QCOMPARE(window->TotalPanel()->text(), QString("2 points"));
        window->recordGrid->SetCurrentCell(3, 0);
        QCoreApplication::processEvents();
        QCOMPARE(window->TotalPanel()->text(), QString("2 points"));
        QVERIFY(window->CurrentJob().modified);

        // Clear asks; Undo goes back to the opened file, and the saved state is unchanged.
        prompts->answers = {QMessageBox::No, QMessageBox::Yes};
        window->ToolButton("Clear")->click();
        QCOMPARE(prompts->shown.last().text, QString("Do you really want to delete all records?"));
        QCOMPARE(CellText(1), QString("P1"));
        window->Action("Clear")->trigger();
        QVERIFY(window->CurrentJob().lines.empty() && window->CurrentJob().modified);
        QCOMPARE(window->TotalPanel()->text(), QString("0 points"));
        QCOMPARE(window->Action("Undo")->text(), QString("&Undo Clear"));
        window->Action("Undo")->trigger();
        QCOMPARE(CellText(1) + CellText(2) + CellText(3), QString("P1P3"));
        QCOMPARE(window->TotalPanel()->text(), QString("2 points"));
        window->Action("Undo")->trigger();
        QCOMPARE(CellText(2), QString("P2"));
        QVERIFY(!window->CurrentJob().modified);

        window->Action("Redo")->trigger();
        QVERIFY(window->CurrentJob().modified);
        window->FileSave();
        QVERIFY(!window->CurrentJob().modified);
        window->Action("Undo")->trigger();
        QVERIFY(window->CurrentJob().modified);
        window->Action("Redo")->trigger();
        QVERIFY(!window->CurrentJob().modified);
        window->FileNew();
        QVERIFY(!window->Action("Undo")->isEnabled());
    }

    void importReplacesTheRecordsOrLeavesTheJobAsItWas() {
        OpenJob(Records(3));
        const QString title = ShownTitle(*window);
        // A title line does not convert: the job, its table and its file stay.
        Write("t.CSV", "PT,N,E,Z\r\nA,1,2,3\r\n");
        prompts->files.push_back(FileChoice{Path("t.CSV"), 2});
        window->Action("Import...")->trigger();
        QCOMPARE(prompts->shown.last().icon, QMessageBox::Warning);
        QCOMPARE(prompts->shown.last().text,
                 QString::fromUtf8(
                     "Importing Error！\nLine 1: 'N' is not a valid floating point value"));
        QCOMPARE(CellText(3), QString("P3"));
        QCOMPARE(ShownTitle(*window), title);
        QVERIFY(!window->CurrentJob().untitled);

        // How long files are cut is the core's.
        Write("q.pts", "Q1,1,2,3\r\nQ2,1,2,3\r\n");
        prompts->files.push_back(FileChoice{Path("q.pts"), 1});
        window->Action("Import...")->trigger();
        QCOMPARE(prompts->shown.last().dialog.filter,
                 QString("Topcon GTS-700/600/800 Coords(*.pts)|*.pts|CSV File(comma "
                         "separated)(*.CSV)|*.CSV|SIMA Data File(*.sim)|*.sim|Leica GSI "
                         "(*.gsi)|*.gsi|Sokkia SDR33 (*.sdr)|*.sdr|Carlson RW5 (*.rw5)|*.rw5|"
                         "GeoPackage (*.gpkg)|*.gpkg|ESRI Shapefile (*.shp)|*.shp|"
                         "GeoJSON (*.geojson)|*.geojson|KML (*.kml)|*.kml"));
        QCOMPARE(CellText(2) + CellText(3), QString("Q2"));
        QCOMPARE(window->TotalPanel()->text(), QString("2 points"));
        QVERIFY(window->CurrentJob().modified);
        // Untitled, and titled so: Save asks for a name rather than writing over job.JCD.
        QCOMPARE(ShownTitle(*window), QString("Job2*--TS Coord. data file"));
        window->FileSave();
        QCOMPARE(prompts->shown.last().kind, QString("save"));
        QCOMPARE(prompts->shown.last().dialog.fileName, QString("Job2"));
        QCOMPARE(FileBytes(Path("job.JCD")), stadix::JobFileBytes(Records(3)));
        window->Action("Undo")->trigger();
        QCOMPARE(CellText(3), QString("P3"));
    }

    // Export and Save leave incomplete rows in the table, Update removes them; each says
    // so in the status bar until the next command, hints or not.
    void incompleteRowsLeftOutAreNamed() {
        SetRow(1, "P1", "1", "2");
        SetRow(3, "P3", "1", "");
        SetRow(7, "", "1", "2");
        prompts->files.push_back(FileChoice{Path("out.pts"), 1});
        window->Action("Export...")->trigger();
        QCOMPARE(window->MessagePanel()->text(),
                 QString("2 incomplete rows not exported: rows 3, 7"));
        QStatusTipEvent hintOver("");
        QApplication::sendEvent(window.get(), &hintOver);
        QCOMPARE(window->MessagePanel()->text(),
                 QString("2 incomplete rows not exported: rows 3, 7"));

        prompts->files.push_back(FileChoice{Path("job.JCD"), 1});
        window->Action("Save")->trigger();
        QCOMPARE(prompts->shown.last().text,
                 QString("2 incomplete rows not saved: rows 3, 7.\nA record needs PT, N/X and "
                         "E/Y; these rows stay in the table."));
        QCOMPARE(window->MessagePanel()->text(), QString("2 incomplete rows not saved: rows 3, 7"));
        QCOMPARE(FileBytes(Path("job.JCD")), Line("P1", "1", "2") + "\r\n");
        QCOMPARE(CellText(3), QString("P3"));
        // Still changed: closing saves again, and the rows left out keep the window open.
        prompts->answers.push_back(QMessageBox::Save);
        prompts->files.push_back(FileChoice{Path("job.JCD"), 1});
        QVERIFY(!window->close());

        window->Action("Update")->trigger();
        QCOMPARE(window->MessagePanel()->text(), QString("2 incomplete rows removed: rows 3, 7"));
        QCOMPARE(CellText(3), QString());
        window->Action("Save")->trigger();
        QCOMPARE(window->MessagePanel()->text(), QString());
        QVERIFY(!window->CurrentJob().modified);
    }

    void exportOffersTheCoordinateAndGisFormatsAndReportsAFileItCannotWrite() {
        window->SetSettingsPath(Path("Commpara").toStdString());
        Write("Commpara", "[ComPort1]\r\nPort=COM1\r\n[UserDefFormat1]\r\n"
                          "DefName=Stake\r\nDefFileExt=\r\nDefOrderWord=214031\r\n");
        OpenJob(Records(2));
        prompts->files.push_back(FileChoice{Path("out"), 5});
        window->Action("Export...")->trigger();
        const FileDialogRequest dialog = prompts->shown.last().dialog;
        QCOMPARE(dialog.title, QString("Export"));
        QCOMPARE(dialog.filter,
                 QString("Topcon GTS-700/600/800 Coords(*.pts)|*.pts|CSV File(comma "
                         "separated)(*.CSV)|*.CSV|AutoCAD DXF File(*.DXF)|*.DXF|SIMA Data "
                         "File(*.sim)|*.sim|Stake(User's)|*.*|GeoPackage (*.gpkg)|*.gpkg|"
                         "ESRI Shapefile (*.shp)|*.shp|GeoJSON (*.geojson)|*.geojson|"
                         "KML (*.kml)|*.kml|LandXML 1.2 (*.xml)|*.xml"));
        QCOMPARE(dialog.defaultExt, QString());
        QCOMPARE(
            FileBytes(Path("out")),
            std::string("1,2000.250,1001.500,K,P1,3.000\r\n2,2000.250,1002.500,K,P2,3.000\r\n"));

        // A file that cannot be written is reported with the reason.
        prompts->files.push_back(FileChoice{Path("missing/out.pts"), 1});
        window->Action("Export...")->trigger();
        QVERIFY(prompts->shown.last().text.startsWith("Cannot export data to this file\nCannot"));
    }

    void measurementExportOffersTheTwoTexts() {
        std::string inst(42, '\0');
        inst[0] = char(0x81);
        Write("m.TSM", inst);
        Open("m.TSM", 2);
        prompts->files.push_back(FileChoice{Path("m"), 2});
        window->Action("Export...")->trigger();
        QCOMPARE(prompts->shown.last().dialog.filter,
                 QString("Topcon GTS-700/600/800 Meas.data(SSS format)|*.txt|Polar Format "
                         "Dat(*.dat)|*.dat"));
        QCOMPARE(prompts->shown.last().dialog.defaultExt, QString("dat"));
        QVERIFY(QFile::exists(Path("m.dat")));
        prompts->files.push_back(FileChoice{Path("m.txt"), 1});
        window->Action("Export...")->trigger();
        QCOMPARE(FileBytes(Path("m.txt")), std::string("INST     Ver. No.\r\n"));
    }

    void layoutDialogShowsAndStoresTheLayout() {
        const std::string settings = Path("Commpara").toStdString();
        stadix::WriteFileAtomically(settings, "[ComPort1]\r\nPort=COM3\r\n");
        ExportLayoutDialog fresh(settings, *prompts);
        QCOMPARE(fresh.windowTitle(), QString("Define Export Format"));
        QCOMPARE(fresh.nameBox->text(), QString("My format"));
        QCOMPARE(fresh.extensionBox->text(), QString("dat"));
        QCOMPARE(fresh.fieldLists[4]->currentText(), QString("Code"));
        fresh.nameBox->setText("Stake out");
        fresh.fieldLists[0]->setCurrentIndex(2);
        fresh.numberedBox->setChecked(true);
        fresh.okButton->click();
        fresh.okButton->click();
        ExportLayoutDialog stored(settings, *prompts);
        QCOMPARE(stored.nameBox->text(), QString("Stake out"));
        QCOMPARE(stored.fieldLists[0]->currentText(), QString("E"));
        QVERIFY(stored.numberedBox->isChecked());
    }

    void coordinateListPrintsAsATableHeadedOnEveryPage() {
        // Nothing to print, or a cancelled dialog: no dialog, or no file.
        window->FilePrint();
        QVERIFY(prompts->shown.isEmpty());
        OpenJob(Records(3));
        prompts->printers.push_back(std::nullopt);
        window->FilePrint();
        QCOMPARE(prompts->shown.last().kind, QString("print"));
        QCOMPARE(prompts->shown.last().caption,
                 QString("Printing coord. filejob.JCD--TS Coord. data file"));
        QCOMPARE(prompts->shown.last().text, Path("job.pdf"));

        // Northings of one to nine digits before the point: right-aligned, they all end
        // in one column.
        std::vector<std::string> lines;
        for (int i = 1; i <= 200; ++i)
            lines.push_back(stadix::MakeRecordLine("P" + std::to_string(i), "K",
                                                   std::to_string(i * i * i) + ".5", "2.25", "3"));
        OpenJob(lines);
        const QStringList pages = PrintToPdf("long.pdf").split('\f');
        QCOMPARE(pages.size(), 5);
        const QString head = pages[0].section('\n', 0, 0).simplified();
        QVERIFY(head.startsWith("job.JCD " + QDate::currentDate().toString(Qt::ISODate)));
        QVERIFY(head.endsWith("Page 1 of 4"));
        QVERIFY(pages[3].contains("Page 4 of 4") && !pages[0].contains("*"));
        QVERIFY(pages[0].contains(QRegularExpression("PT +CODE +N/X +E/Y +Z")));
        const QRegularExpression row("^ *P(\\d+) +K +(\\S+) +2\\.250 +3\\.000$");
        QSet<qsizetype> rightEdges;
        int rows = 0;
        for (const QString& line : pages.join('\n').split('\n')) {
            const QRegularExpressionMatch match = row.match(line);
            if (!match.hasMatch())
                continue;
            ++rows;
            const qint64 point = match.captured(1).toLongLong();
            QCOMPARE(match.captured(2), QString("%1.500").arg(point * point * point));
            rightEdges << match.capturedEnd(2);
        }
        QCOMPARE(rows, 200);
        QCOMPARE(rightEdges.size(), 1);
    }

    // Records typed into a new job, and an edit not yet updated, print as the table shows
    // them.
    void printAndPreviewPrintWhatTheTableShows() {
        SetRow(1, "T1", "1234.567", "2.000");
        SetRow(4, "T4", "5.000", "6.000");
        prompts->previewPdf = Path("preview.pdf");
        window->Action("Print Preview")->trigger();
        QCOMPARE(PrintedRecords(Pdftotext("-layout", Path("preview.pdf"))),
                 QStringList({"T1 1234.567 2.000 0.000", "T4 5.000 6.000 0.000"}));
        window->Table().SetCell(1, stadix::ColN, "9999.999");
        QCOMPARE(PrintedRecords(PrintToPdf("edited.pdf")),
                 QStringList({"T1 9999.999 2.000 0.000", "T4 5.000 6.000 0.000"}));
    }

    void measurementTextAndThePreviewPrintTheSameLinesAndAFailingPrinterIsReported() {
        Write("m.TXT", "first line\r\nsecond line\r\n");
        Open("m.TXT", 4);
        const QString printed = PrintToPdf("text.pdf");
        QCOMPARE(prompts->shown.last().caption, QString("Printing meas. filem.TXT"));
        QVERIFY(printed.contains("first line") && printed.contains("second line"));

        prompts->previewPdf = Path("preview.pdf");
        window->Action("Print Preview")->trigger();
        QCOMPARE(prompts->shown.last().kind, QString("preview"));
        QCOMPARE(Pdftotext("-layout", Path("preview.pdf")), printed);

        // A printer that fails is reported.
        prompts->printers.push_back(Path("no-such-folder/out.pdf"));
        window->FilePrint();
        QCOMPARE(prompts->Kinds().last(), QString("error"));
        QVERIFY(prompts->shown.last().text.contains("no-such-folder/out.pdf"));
    }
};

QTEST_MAIN(MainWindowRecordsTest)
#include "main_window_records_test.moc"
