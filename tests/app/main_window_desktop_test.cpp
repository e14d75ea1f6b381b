// What a desktop user expects of the main window: recent files, files dropped on it,
// the desktop's --open, the window where it was left, progress in the status bar.
#include "app/ui/RecordGridView.h"
#include "job/RecordLine.h"
#include "tests/support/MainWindowFixture.h"
#include "widgets/WindowPlacement.h"

#include <QAction>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QUrl>
#include <QtTest>

namespace {

std::string Line(const char* pt) {
    return stadix::MakeRecordLine(pt, "", "1", "2", "3");
}

std::string InstRecord() {
    std::string record(42, '\0');
    record[0] = char(0x81);
    return record;
}

// The texts a status label showed each time it was painted.
class PaintedTexts : public QObject {
  public:
    explicit PaintedTexts(QLabel* label) { label->installEventFilter(this); }
    QStringList texts;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            texts << static_cast<QLabel*>(watched)->text();
        return false;
    }
};

} // namespace

class MainWindowDesktopTest : public MainWindowFixture {
    Q_OBJECT

  private:
    // Types into the grid: the document is then changed.
    void Change() {
        QTest::keyClick(window->recordGrid, Qt::Key_A);
        QVERIFY(window->CurrentJob().modified);
    }
    // The entries of File > Recent Files as the menu lists them when File opens.
    QList<QAction*> RecentEntries(MainWindow& window) {
        emit window.Menu("File")->aboutToShow();
        return window.Menu("File")->findChild<QMenu*>("recentFilesMenu")->actions();
    }
    // Drags files over the window and drops them; true when the window took the drag.
    bool Drop(const QStringList& names) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& name : names)
            urls << QUrl::fromLocalFile(Path(name));
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(window.get(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(window.get(), &drop);
        QCoreApplication::processEvents();
        return drop.isAccepted();
    }

  private slots:
    void init() {
        QSettings("Stadix", "Stadix").clear();
        MakeWindow();
    }
    void cleanup() { window.reset(); }

    // How many the list keeps and in what order is the core's.
    void recentFilesAreTheFilesOpenedOrSaved() {
        QVERIFY(RecentEntries(*window).isEmpty());
        QVERIFY(!window->Menu("File")->findChild<QMenu*>("recentFilesMenu")->isEnabled());
        Write("job.JCD", Line("P") + "\r\n");
        Open("job.JCD");
        Write("m.tsm", InstRecord());
        Open("m.tsm", 2);
        QList<QAction*> entries = RecentEntries(*window);
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries.first()->text(), QString("&1 m.tsm"));
        QCOMPARE(entries.first()->statusTip(), Path("m.tsm"));
        QCOMPARE(entries.last()->text(), QString("&2 job.JCD"));

        // Remembered for the next run; a job saved under a new name comes first.
        MainWindow next(std::make_unique<ScriptedPrompts>());
        QCOMPARE(RecentEntries(next).size(), 2);
        window->FileNew();
        SaveAs("new.JCD");
        QCOMPARE(RecentEntries(*window).first()->statusTip(), Path("new.JCD"));
    }

    void aRecentFileOpensThroughTheQuestionOrIsForgottenWhenGone() {
        Write("a.JCD", Line("A") + "\r\n");
        Write("b.JCD", Line("B") + "\r\n");
        Open("a.JCD");
        Open("b.JCD");
        Change();
        prompts->answers.push_back(QMessageBox::Cancel);
        RecentEntries(*window)[1]->trigger();
        QCOMPARE(ShownTitle(*window), QString("b.JCD*--TS Coord. data file"));
        prompts->answers.push_back(QMessageBox::Discard);
        RecentEntries(*window)[1]->trigger();
        QCOMPARE(prompts->Kinds(), QStringList({"open", "open", "ask", "ask"}));
        QCOMPARE(ShownTitle(*window), QString("a.JCD--TS Coord. data file"));
        QCOMPARE(window->Table().Cell(1, stadix::ColPt), std::string("A"));
        QCOMPARE(RecentEntries(*window).first()->text(), QString("&1 a.JCD"));

        // A file gone since: said so, taken off the list, the document kept.
        QFile::remove(Path("b.JCD"));
        RecentEntries(*window)[1]->trigger();
        QCOMPARE(prompts->shown.last().text, "The file cannot be found:\n" + Path("b.JCD"));
        QCOMPARE(RecentEntries(*window).size(), 1);
        QCOMPARE(ShownTitle(*window), QString("a.JCD--TS Coord. data file"));
    }

    void aDroppedJobOrMeasurementFileOpensThroughTheQuestion() {
        Write("site.jcd", Line("S1") + "\r\n");
        Write("m.tsm", InstRecord());
        Write("points.pts", "P1,1,2,3\r\n");
        QVERIFY(!Drop({"points.pts"}));
        QVERIFY(!Drop({"site.jcd", "m.tsm"}));
        QVERIFY(prompts->shown.isEmpty());

        // The question is the recent files' test's.
        Change();
        prompts->answers.push_back(QMessageBox::Cancel);
        QVERIFY(Drop({"site.jcd"}));
        QCOMPARE(prompts->Kinds(), QStringList{"ask"});
        QVERIFY(window->CurrentJob().untitled);
        prompts->answers.push_back(QMessageBox::Discard);
        QVERIFY(Drop({"site.jcd"}));
        QCOMPARE(ShownTitle(*window), QString("site.jcd--TS Coord. data file"));
        QCOMPARE(window->Table().Cell(1, stadix::ColPt), std::string("S1"));

        QVERIFY(Drop({"m.tsm"}));
        QCOMPARE(ShownTitle(*window), QString("m.tsm--TS Meas. Data File"));
        QCOMPARE(RecentEntries(*window).size(), 2);
    }

    void theDesktopsOpenOptionTakesAnyDocumentTheBareArgumentOnlyUpperCaseJcd() {
        Write("site.jcd", Line("S1") + "\r\n");
        window->OpenFromCommandLine({Path("site.jcd")});
        QVERIFY(window->CurrentJob().untitled);
        window->OpenFromCommandLine({"--open", Path("site.jcd")});
        QCOMPARE(ShownTitle(*window), QString("site.jcd--TS Coord. data file"));
        QCOMPARE(window->Table().Cell(1, stadix::ColPt), std::string("S1"));

        MainWindow other(std::make_unique<ScriptedPrompts>());
        Write("m.tsm", InstRecord());
        other.OpenFromCommandLine({"--open", Path("m.tsm")});
        QCOMPARE(ShownTitle(other), QString("m.tsm--TS Meas. Data File"));

        Write("site.Jcd", "text");
        window->OpenFromCommandLine({"--open", Path("site.Jcd")});
        QCOMPARE(prompts->shown.last().icon, QMessageBox::Warning);
        QVERIFY(prompts->shown.last().text.endsWith(Path("site.Jcd")));
        QCOMPARE(ShownTitle(*window), QString("site.jcd--TS Coord. data file"));
    }

    void theWindowOpensWhereItWasLeft() {
        // The first time: centred on the screen; one larger than the screen (as at twice
        // the scale) is made to fit it, and so is every dialog, also when it grows.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        window->resize(screen.size() + QSize(300, 300));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(screen.contains(window->frameGeometry()));
        QVERIFY(qAbs(window->frameGeometry().center().x() - screen.center().x()) <= 1);
        KeepWindowsOnScreen(*qApp);
        QDialog large(window.get());
        large.resize(2000, 2000);
        large.show();
        QVERIFY(screen.contains(large.frameGeometry()));
        large.setGeometry(QRect(screen.center(), QSize(200, 200)));
        large.resize(200, screen.height() - 50);
        QVERIFY(screen.contains(large.frameGeometry()));
        large.close();

        const QRect placed(40, 30, 500, 420);
        window->setGeometry(placed);
        QVERIFY(window->close());
        auto scripted = std::make_unique<ScriptedPrompts>();
        ScriptedPrompts& nextPrompts = *scripted;
        MainWindow next(std::move(scripted));
        next.show();
        QVERIFY(QTest::qWaitForWindowExposed(&next));
        QCOMPARE(next.geometry(), placed);

        // A close that the user cancels remembers nothing.
        next.setGeometry(QRect(60, 50, 520, 440));
        QTest::keyClick(next.recordGrid, Qt::Key_A);
        nextPrompts.answers.push_back(QMessageBox::Cancel);
        QVERIFY(!next.close());
        MainWindow last(std::make_unique<ScriptedPrompts>());
        last.show();
        QVERIFY(QTest::qWaitForWindowExposed(&last));
        QCOMPARE(last.geometry(), placed);
    }

    void longOperationsShowTheirProgressInTheStatusBar() {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        PaintedTexts panel(window->MessagePanel());
        PaintedTexts simple(window->StatusLine());

        std::vector<std::string> lines;
        for (int i = 0; i < 3000; ++i)
            lines.push_back(Line(("P" + std::to_string(i)).c_str()));
        Write("big.JCD", stadix::JoinLinesCrLf(lines));
        Open("big.JCD");
        QVERIFY(panel.texts.contains("Opening big.JCD..."));
        QVERIFY(panel.texts.contains("Loading records..."));
        prompts->files.push_back(FileChoice{Path("big.pts"), 1});
        window->FileExport();
        QVERIFY(panel.texts.contains("Exporting..."));
        QVERIFY(window->MessagePanel()->text().isEmpty());

        // The measurement view shows it in its one panel.
        Write("m.TXT", "text\r\n");
        Open("m.TXT", 4);
        Write("m.TSM", InstRecord());
        Open("m.TSM", 2);
        QVERIFY(simple.texts.contains("Opening m.TSM..."));
        QVERIFY(window->StatusLine()->text().isEmpty());
    }
};

QTEST_MAIN(MainWindowDesktopTest)
#include "main_window_desktop_test.moc"
