#include "app/ui/AboutBox.h"
#include "app/ui/MainWindow.h"
#include "app/ui/RecordGridView.h"
#include "app/ui/TextLinesView.h"
#include "base/FileIO.h"
#include "job/RecordLine.h"
#include "tests/support/MainWindowFixture.h"
#include "widgets/TextCodec.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStatusTipEvent>
#include <QToolButton>

class MainWindowTest : public MainWindowFixture {
    Q_OBJECT

  private slots:
    void init() { MakeWindow(); }
    void cleanup() { window.reset(); }

    void startsWithAnEmptyUntitledJobAndItsMenusToolbarAndHints() {
        QCOMPARE(ShownTitle(*window), QString("Job1--TS Coord. data file"));
        QCOMPARE(window->TotalPanel()->text(), QString());
        QVERIFY(window->CurrentJob().untitled && window->CurrentJob().InCoordinateView() &&
                !window->CurrentJob().modified);
        // Hints go to panel 0, or to the one panel of a measurement view.
        QStatusTipEvent tip("Create a new job file");
        QApplication::sendEvent(window.get(), &tip);
        QCOMPARE(window->MessagePanel()->text(), QString("Create a new job file"));

        const QStringList menus{"File",        "Edit",  "Record", "Communication",
                                "SD/USB disk", "Tools", "Help"};
        for (const QString& caption : menus)
            QVERIFY2(window->Menu(caption), qPrintable(caption));
        // Save, Find and the clipboard's keys are pressed in the other tests.
        const QList<QPair<QString, QString>> shortcuts{
            {"New", "Ctrl+N"},        {"Open", "Ctrl+O"},
            {"Print", "Ctrl+P"},      {"Exit", "Ctrl+Q"},
            {"Update", "Ctrl+U"},     {"Erase", "Ctrl+E"},
            {"Clear", "Ctrl+L"},      {"Receive...", "F9"},
            {"Send...", "F10"},       {"Import Data...", "F7"},
            {"Export Data...", "F8"}, {"About Software", ""},
            {"Save as...", ""},       {"Define Export Format...", ""}};
        for (const auto& [caption, keys] : shortcuts) {
            QAction* action = window->Action(caption);
            QVERIFY2(action, qPrintable(caption));
            QCOMPARE(action->shortcut().toString(), keys);
        }
        const QStringList buttons{"New",   "Save",  "Open", "Print",   "Update",
                                  "Erase", "Clear", "Find", "Receive", "Send"};
        for (const QString& name : buttons) {
            QToolButton* button = window->ToolButton(name);
            QVERIFY2(button, qPrintable(name));
            QCOMPARE(button->toolTip(), name);
        }
        QCOMPARE(window->ToolButton("Find")->statusTip(),
                 QString("Find a record by the name entered"));
    }

    void newAdvancesTheJobOnlyForAChangedOrNamedDocument() {
        window->FileNew();
        QCOMPARE(window->CurrentJob().jobCounter, 1);
        QVERIFY(prompts->shown.isEmpty());

        Type("A");
        QVERIFY(window->CurrentJob().modified);
        QCOMPARE(ShownTitle(*window), QString("Job1*--TS Coord. data file"));
        prompts->answers.push_back(QMessageBox::Cancel);
        window->FileNew();
        QCOMPARE(window->CurrentJob().jobCounter, 1);
        QCOMPARE(prompts->shown.last().buttons,
                 QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        QCOMPARE(prompts->shown.last().text,
                 QString("The document has been changed.\nDo you want to save the changes?"));

        prompts->answers.push_back(QMessageBox::Discard);
        window->FileNew();
        QCOMPARE(window->CurrentJob().jobCounter, 2);
        QCOMPARE(ShownTitle(*window), QString("Job2--TS Coord. data file"));
        QVERIFY(!window->CurrentJob().modified);
        // The typed record, never gathered, goes with the old job.
        QCOMPARE(CellText(1, stadix::ColPt), QString());
    }

    void saveThenCancelledSaveAsEndsTheCommandAsCancel() {
        SetRow(1, "P1", "1", "2");
        Type("A");
        prompts->answers.push_back(QMessageBox::Save);
        prompts->files.push_back(std::nullopt);
        window->FileNew();
        QCOMPARE(window->CurrentJob().jobCounter, 1);
        QVERIFY(window->CurrentJob().modified);
        QCOMPARE(CellText(1, stadix::ColN), QString("1"));
        QCOMPARE(prompts->Kinds(), QStringList({"ask", "save"}));
        // Closing takes the same answers: the records test closes with a save that fails.
    }

    void saveAsWritesCompleteRecordsAndOpenReadsThemBack() {
        // A text copy leaves the job untitled.
        SetRow(1, "P1", "1", "2", "3");
        SaveAs("copy.TXT", 2);
        QVERIFY(QFile::exists(Path("copy.TXT")) && window->CurrentJob().untitled);

        SetRow(1, "P1", "1234.567", "2345.678", "12.3");
        SetRow(9, "P9", "-1.0004", "3", "4");
        SaveAs("job.JCD");
        const auto& dialog = prompts->shown.last().dialog;
        QCOMPARE(dialog.title, QString("Save as"));
        QCOMPARE(dialog.filter, QString("TS Coord. Data File(*.JCD)|*.JCD|Text(*.TXT)|*.TXT"));
        QCOMPARE(dialog.defaultExt, QString("JCD"));
        QCOMPARE(dialog.fileName, QString("Job1"));
        QCOMPARE(dialog.folder, dir.path());
        const std::string expected = Line("P1", "1234.567", "2345.678", "12.3") + "\r\n" +
                                     Line("P9", "-1.0004", "3", "4") + "\r\n";
        QCOMPARE(FileBytes(Path("job.JCD")), expected);
        QCOMPARE(ShownTitle(*window), QString("job.JCD--TS Coord. data file"));
        QVERIFY(!window->CurrentJob().untitled);

        Open("job.JCD");
        QCOMPARE(prompts->shown.last().dialog.title, QString("Open"));
        QCOMPARE(CellText(2, stadix::ColN), QString("-1.000"));
        QCOMPARE(window->TotalPanel()->text(), QString("2 points"));
    }

    void failedSavesAndOpensLeaveFileAndDocumentAsTheyWere() {
        // An open that fails keeps the document.
        SetRow(1, "KEEP", "1", "2");
        prompts->files.push_back(FileChoice{Path("none.JCD"), 1});
        QAction* open = window->Action("Open");
        open->trigger();
        QCOMPARE(prompts->shown.last().kind, QString("error"));
        QCOMPARE(CellText(1, stadix::ColPt), QString("KEEP"));
        QCOMPARE(ShownTitle(*window), QString("Job1--TS Coord. data file"));
        QVERIFY(QDir(dir.path()).mkdir("folder.JCD"));
        prompts->files.push_back(FileChoice{Path("folder.JCD"), 1});
        open->trigger();
        QVERIFY(prompts->shown.last().text.endsWith("It is a folder, not a file."));
        QCOMPARE(CellText(1, stadix::ColPt), QString("KEEP"));

        SetRow(1, "P1", "1", "2");
        SaveAs("job.JCD");
        const std::string before = FileBytes(Path("job.JCD"));

        SetRow(2, "P2", "abc", "2");
        Type("A");
        window->FileSave();
        QCOMPARE(prompts->shown.last().kind, QString("error"));
        QCOMPARE(FileBytes(Path("job.JCD")), before);
        QVERIFY(window->CurrentJob().modified);

        // A file that cannot be written: the job may still be saved elsewhere.
        SetRow(2, "P2", "5", "2");
        SaveAs("missing/job.JCD");
        QCOMPARE(prompts->Kinds().mid(prompts->shown.size() - 2), QStringList({"error", "ask"}));
        QCOMPARE(window->CurrentJob().docName, std::string("job.JCD"));
        QVERIFY(window->CurrentJob().modified);
        prompts->answers.push_back(QMessageBox::Yes);
        prompts->files.push_back(FileChoice{Path("elsewhere.JCD"), 1});
        SaveAs("missing/job.JCD");
        // The name typed into row 1 while the save failed is saved too.
        QCOMPARE(FileBytes(Path("elsewhere.JCD")),
                 Line("A", "1", "2") + "\r\n" + Line("P2", "5", "2") + "\r\n");
        QVERIFY(!window->CurrentJob().modified);

        // Another kind written over a file the job was read from is refused.
        const std::string saved = FileBytes(Path("elsewhere.JCD"));
        SaveAs("elsewhere.JCD", 2);
        prompts->files.push_back(FileChoice{Path("elsewhere.JCD"), 2});
        window->FileExport();
        QCOMPARE(prompts->Kinds().mid(prompts->shown.size() - 4),
                 QStringList({"save", "tell", "save", "tell"}));
        QVERIFY(prompts->shown.last().text.endsWith("Nothing was written: choose another file."));
        QCOMPARE(FileBytes(Path("elsewhere.JCD")), saved);
        Write("in.pts", "P7,1,2,3\r\n");
        prompts->files.push_back(FileChoice{Path("in.pts"), 1});
        window->FileImport();
        SaveAs("in.pts");
        QCOMPARE(prompts->shown.last().kind, QString("tell"));
        QCOMPARE(FileBytes(Path("in.pts")), std::string("P7,1,2,3\r\n"));
    }

    // A job opened cut is untitled: Save asks for a name and will not write over the file.
    void openCutsLongFilesButTheCommandLineDoesNot() {
        const std::vector<std::string> lines(16001, Line("P", "1", "2"));
        Write("big.jcd", stadix::JoinLinesCrLf(lines));
        Open("big.jcd");
        QCOMPARE(window->TotalPanel()->text(), QString("15999 points"));
        QCOMPARE(prompts->shown.last().text,
                 QString("The file holds 16001 lines; only the first 15999 were read.\nThe job is "
                         "untitled, so that saving it cannot cut the file: Save asks for a new "
                         "name."));
        QVERIFY(window->MessagePanel()->text().isEmpty());
        QCOMPARE(ShownTitle(*window), QString("Job2--TS Coord. data file"));
        prompts->files.push_back(FileChoice{Path("big.jcd"), 1});
        window->FileSave();
        QCOMPARE(prompts->Kinds().mid(prompts->shown.size() - 2), QStringList({"save", "tell"}));
        QCOMPARE(FileBytes(Path("big.jcd")).size(), std::size_t(16001 * 59));

        // The command line opens one upper-case job file whole; Save writes back to it.
        Write("start.JCD", stadix::JoinLinesCrLf(lines));
        window->OpenFromCommandLine({Path("start.JCD"), Path("big.jcd")});
        QCOMPARE(ShownTitle(*window), QString("Job2--TS Coord. data file"));
        window->OpenFromCommandLine({Path("start.JCD")});
        QCOMPARE(ShownTitle(*window), QString("start.JCD--TS Coord. data file"));
        QCOMPARE(window->TotalPanel()->text(), QString("16001 points"));
        window->FileSave();
        QCOMPARE(FileBytes(Path("start.JCD")).size(), std::size_t(16001 * 59));
    }

    void otherExtensionsOpenAsMeasurementText() {
        Write("site.Jcd", "abc\r\ndef\r\n");
        Open("site.Jcd");
        QVERIFY(!window->CurrentJob().InCoordinateView());
        QCOMPARE(ShownTitle(*window), QString("site.Jcd"));
        QCOMPARE(window->measurementText->toPlainText(), QString("abc\ndef"));
        QStatusTipEvent tip("Open a job file");
        QApplication::sendEvent(window.get(), &tip);
        QVERIFY(window->StatusLineShown());
        QCOMPARE(window->StatusLine()->text(), QString("Open a job file"));
        QVERIFY(!window->Action("Update")->isEnabled() && !window->Action("Send...")->isEnabled() &&
                !window->searchBox->isEnabled());
        window->Menu("SD/USB disk")->aboutToShow();
        QVERIFY(!window->Action("Export Data...")->isEnabled());
        SaveAs("m2.TXT");
        QCOMPARE(prompts->shown.last().dialog.filter, QString("Text file(*.TXT)|*.TXT"));

        Write("m.GT7", "x\r\n");
        Open("m.GT7", 3);
        SaveAs("out.gt7");
        QCOMPARE(prompts->shown.last().dialog.filter,
                 QString("TS Meas. Data File(SSS)|*.gt7|Text file(*.TXT)|*.TXT"));
        QCOMPARE(FileBytes(Path("out.gt7")), std::string("x\r\n"));
        QCOMPARE(ShownTitle(*window), QString("out.gt7"));

        // New returns to the coordinate view.
        window->FileNew();
        QVERIFY(window->CurrentJob().InCoordinateView() &&
                window->recordGrid->isVisibleTo(window.get()));
        QCOMPARE(ShownTitle(*window), QString("Job2--TS Coord. data file"));
    }

    void measurementFilesOpenAsRenderedRawRecords() {
        std::string inst(42, '\0');
        inst[0] = char(0x81);
        inst.replace(1, 6, "MODELX");
        Write("one.TSM", inst);
        Open("one.TSM", 2);
        QVERIFY(!window->measurementText->toPlainText().isEmpty());
        QCOMPARE(ShownTitle(*window), QString("one.TSM--TS Meas. Data File"));
        QVERIFY(window->Action("Send...")->isEnabled() && window->Action("Export...")->isEnabled());

        // Save writes nothing for raw records; Save As of the first type writes them.
        Write("one.TSM", "changed on disk");
        window->FileSave();
        QCOMPARE(FileBytes(Path("one.TSM")), std::string("changed on disk"));
        SaveAs("copy.TSM");
        QCOMPARE(prompts->shown.last().dialog.filter,
                 QString("TS Meas. Data File(KVR)|*.TSM|Text file(*.TXT)|*.TXT"));
        QCOMPARE(FileBytes(Path("copy.TSM")), inst);
        QCOMPARE(ShownTitle(*window), QString("copy.TSM--TS Meas. Data File"));

        // A refused file is not opened: the user is told why, the document stays, and
        // Save does not write over the refused file.
        Write("odd.tsm", inst + "x");
        Open("odd.tsm", 2);
        QCOMPARE(prompts->shown.last().kind, QString("tell"));
        QCOMPARE(ShownTitle(*window), QString("copy.TSM--TS Meas. Data File"));
        window->FileSave();
        QCOMPARE(FileBytes(Path("odd.tsm")), inst + "x");
    }

    // The rules of the cells are the core's: here the keys reach them, and a warning keeps
    // the cell current.
    void typedKeysAreFilteredAndCheckedOnLeavingTheCell() {
        ShowWithGridFocused();
        window->recordGrid->SetCurrentCell(1, stadix::ColN);
        QTest::keyClick(window->recordGrid, Qt::Key_Down);
        QTest::keyClick(window->recordGrid, Qt::Key_Up);
        QVERIFY(!window->CurrentJob().modified);
        Type("x");
        QCOMPARE(CellText(1, stadix::ColN), QString());
        window->recordGrid->SetCurrentCell(1, stadix::ColE);
        Type("100000000\n");
        QCOMPARE(prompts->shown.last().icon, QMessageBox::Warning);
        QCOMPARE(prompts->shown.last().text, QString("Over range!\nPlease input again."));
        QCOMPARE(window->recordGrid->CurrentColumn(), int(stadix::ColE));
        QCOMPARE(CellText(1, stadix::ColE), QString("100000000"));
        window->Table().SetCell(1, stadix::ColE, "1");
        Type("\n\nLONGNAME99\n");
        QCOMPARE(CellText(1, stadix::ColCode), QString("LONGNAME"));
        QCOMPARE(window->recordGrid->CurrentRow(), 2);
        QCOMPARE(window->recordGrid->CurrentColumn(), 0);
        QVERIFY(window->CurrentJob().modified);
    }

    void aValueStillBeingTypedIsCommittedByEveryCommandThatReadsTheTable() {
        ShowWithGridFocused();
        Write("site.JCD", Line("P1", "1", "2", "3") + "\r\n");
        Open("site.JCD");
        window->recordGrid->setFocus();
        window->recordGrid->SetCurrentCell(1, stadix::ColZ);
        Type("15");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(FileBytes(Path("site.JCD")), Line("P1", "1", "2", "15") + "\r\n");
        QVERIFY(!window->CurrentJob().modified);

        // A new row whose last cell is still open is saved whole.
        window->recordGrid->SetCurrentCell(2, stadix::ColPt);
        Type("P2\n4\n5");
        window->Action("Save")->trigger();
        QCOMPARE(FileBytes(Path("site.JCD")),
                 Line("P1", "1", "2", "15") + "\r\n" + Line("P2", "4", "5") + "\r\n");

        // An over-range value stops the command with its warning; nothing is written.
        window->recordGrid->SetCurrentCell(2, stadix::ColZ);
        Type("100000000");
        window->Action("Save")->trigger();
        QCOMPARE(prompts->shown.last().icon, QMessageBox::Warning);
        QCOMPARE(FileBytes(Path("site.JCD")).size(), std::size_t(2 * 59));
        QVERIFY(window->CurrentJob().modified);

        // Closing with a value still open asks about it.
        window->recordGrid->SetCurrentCell(2, stadix::ColZ);
        Type("7");
        prompts->answers.push_back(QMessageBox::Cancel);
        QVERIFY(!window->close());
        QCOMPARE(prompts->shown.last().kind, QString("ask"));
        QCOMPARE(CellText(2, stadix::ColZ), QString("7.000"));
    }

    void yesOnCloseSavesTheFileTheTitleNames() {
        QTemporaryDir data;
        const QString site = data.filePath("SITE.JCD");
        stadix::WriteFileAtomically(site.toStdString(), Line("P1", "1", "2") + "\r\n");
        // Without a documents folder or a folder used, dialogs start at home.
        const QString documents = QDir::homePath() + "/Documents";
        QDir(documents).removeRecursively();
        prompts->files.push_back(FileChoice{site, 1});
        window->FileOpen();
        QCOMPARE(prompts->shown.last().dialog.folder, QDir::homePath());
        ShowWithGridFocused();
        window->recordGrid->SetCurrentCell(1, stadix::ColZ);
        Type("8");
        prompts->answers.push_back(QMessageBox::Save);
        prompts->files.push_back(FileChoice{site, 1});
        QVERIFY(window->close());
        const FileDialogRequest& dialog = prompts->shown.last().dialog;
        QCOMPARE(dialog.folder, data.path());
        QCOMPARE(dialog.fileName, QString("SITE.JCD"));
        QCOMPARE(FileBytes(site), Line("P1", "1", "2", "8") + "\r\n");

        // An untitled job's dialogs start in the user's documents folder, else in the
        // folder used last.
        prompts->answers.push_back(QMessageBox::Discard);
        window->FileNew();
        QVERIFY(QDir().mkpath(documents));
        prompts->files.push_back(std::nullopt);
        window->FileSaveAs();
        QCOMPARE(prompts->shown.last().dialog.folder, documents);
        QVERIFY(QDir(documents).removeRecursively());
        prompts->files.push_back(std::nullopt);
        window->FileSaveAs();
        QCOMPARE(prompts->shown.last().dialog.folder, data.path());
    }

    void bytesThatAreNotEditedSurviveAndTheEncodingIsAChoice() {
        const std::string latin = "BR\xDC"
                                  "CKE1";
        const std::string broken = "A\x80\xFF";
        Write("names.JCD",
              Line(latin.c_str(), "1", "2") + "\r\n" + Line(broken.c_str(), "3", "4") + "\r\n");
        Open("names.JCD");
        ShowWithGridFocused();
        // Open the editor on the undecodable name, leave it unchanged, then edit Z.
        window->recordGrid->SetCurrentCell(2, stadix::ColPt);
        QTest::keyClick(window->recordGrid, Qt::Key_F2);
        Type("\n\n\n6");
        window->FileSave();
        QCOMPARE(FileBytes(Path("names.JCD")), Line(latin.c_str(), "1", "2") + "\r\n" +
                                                   Line(broken.c_str(), "3", "4", "6") + "\r\n");

        const QModelIndex name = window->recordGrid->model()->index(1, stadix::ColPt);
        QVERIFY(name.data().toString() != QString::fromUtf8("BRÜCKE1"));
        window->Menu("Tools")->findChild<QAction*>("windows-1252")->trigger();
        QCOMPARE(name.data().toString(), QString::fromUtf8("BRÜCKE1"));
        MainWindow reopened(std::make_unique<ScriptedPrompts>());
        QCOMPARE(RecordTextEncoding(), QString("windows-1252"));
        reopened.Menu("Tools")->findChild<QAction*>("GB18030")->trigger();
        QCOMPARE(RecordTextEncoding(), QString("GB18030"));
    }

    void deleteClearsTheSelectionTabMovesWithinTheGridAndTheTotalFollows() {
        ShowWithGridFocused();
        window->recordGrid->SetCurrentCell(3, stadix::ColPt);
        QTest::keyClick(window->recordGrid, Qt::Key_Delete);
        QVERIFY(!window->CurrentJob().modified);
        SetRow(1, "P1", "1", "2");
        SetRow(2, "P2", "3", "4");
        window->recordGrid->SetCurrentCell(1, stadix::ColN);
        QTest::keyClick(window->recordGrid, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(window->recordGrid, Qt::Key_Delete);
        QVERIFY(window->CurrentJob().modified);
        QCOMPARE(CellText(1, stadix::ColN) + CellText(2, stadix::ColN) + CellText(2, stadix::ColE),
                 QString("4"));
        QTest::keyClick(window->recordGrid, Qt::Key_Tab);
        QCOMPARE(window->recordGrid->CurrentColumn(), int(stadix::ColE));
        QVERIFY(window->recordGrid->hasFocus());
        // The total follows edits when the row changes.
        window->recordGrid->SetCurrentCell(5, stadix::ColPt);
        Type("P5\n1\n2\n\n\n");
        QTRY_COMPARE(window->TotalPanel()->text(), QString("1 point"));
    }

    void headerRowCannotBeSelectedAndClicksShowTheRow() {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QWidget* viewport = window->recordGrid->viewport();
        const QRect header =
            window->recordGrid->visualRect(window->recordGrid->model()->index(0, 2));
        QTest::mouseClick(viewport, Qt::LeftButton, {}, header.center());
        QCOMPARE(window->recordGrid->CurrentRow(), 1);
        const QRect cell = window->recordGrid->visualRect(window->recordGrid->model()->index(4, 2));
        QTest::mouseClick(viewport, Qt::LeftButton, {}, cell.center());
        QCOMPARE(window->recordGrid->CurrentRow(), 4);
        QCOMPARE(window->RowPanel()->text(), QString("row 4"));
        // The panel follows the keyboard and New too.
        QTest::keyClick(window->recordGrid, Qt::Key_Down);
        QCOMPARE(window->RowPanel()->text(), QString("row 5"));
        QTest::keyClick(window->recordGrid, Qt::Key_7);
        prompts->answers.push_back(QMessageBox::Discard);
        window->FileNew();
        QCOMPARE(window->RowPanel()->text(), QString("row 1"));
    }

    void cellsAreCutCopiedPastedAndUndoneByTheDesktopsKeys() {
        ShowWithGridFocused();
        QWidget* grid = window->recordGrid;
        SetRow(1, "P1", "1.000", "2.000");
        SetRow(2, "P2", "3.000", "4.000");
        // Ctrl+X cuts the cell, and leaves the window open.
        QTest::keyClick(grid, Qt::Key_X, Qt::ControlModifier);
        QVERIFY(window->isVisible());
        QCOMPARE(QApplication::clipboard()->text(), QString("P1"));
        QCOMPARE(CellText(1, stadix::ColPt), QString());
        QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(CellText(1, stadix::ColPt), QString("P1"));
        QVERIFY(!window->CurrentJob().modified);

        // A block goes out as a spreadsheet's text and comes back in by the cell rules.
        window->recordGrid->SetCurrentCell(1, stadix::ColN);
        QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(grid, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QString("1.000\t2.000\n3.000\t4.000"));
        window->recordGrid->SetCurrentCell(5, stadix::ColN);
        QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(CellText(5, stadix::ColN) + CellText(6, stadix::ColE), QString("1.0004.000"));
        // Into an open cell by the same rules, which are the core's.
        window->recordGrid->SetCurrentCell(8, stadix::ColN);
        QTest::keyClick(grid, Qt::Key_F2);
        for (const char* text : {"x1", " 2,5\r\n"}) {
            QApplication::clipboard()->setText(text);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
        }
        QVERIFY(prompts->shown.last().text.startsWith("Row 8, N/X: \"x1\" cannot be pasted"));
        Type("\n");
        QCOMPARE(CellText(8, stadix::ColN), QString("2.500"));

        // A value typed and formatted on leaving is one step.
        window->recordGrid->SetCurrentCell(3, stadix::ColN);
        Type("12,5\n");
        QCOMPARE(CellText(3, stadix::ColN), QString("12.500"));
        QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(CellText(3, stadix::ColN), QString());
        QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(CellText(3, stadix::ColN), QString("12.500"));

        // Ctrl+F: what is typed next goes into the search box.
        QTest::keyClick(grid, Qt::Key_F, Qt::ControlModifier);
        Type("P2");
        QCOMPARE(window->searchBox->text(), QString("P2"));
        QCOMPARE(CellText(3, stadix::ColPt), QString());
    }

    void splashClosesItselfButTheHelpCopyWaits() {
        AboutBox splash;
        QCOMPARE(splash.versionLabel->text(), QString("Version  4.1"));
        splash.StartCloseTimer();
        splash.show();
        QTRY_VERIFY_WITH_TIMEOUT(!splash.isVisible(), 3000);
        QCOMPARE(splash.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
