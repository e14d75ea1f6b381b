// Other makers' raw files in the window: opened read-only as their listing, computed into
// coordinates, and their stored coordinates imported.
#include "app/ui/MainWindow.h"
#include "app/ui/TextLinesView.h"
#include "formats/ExportFormats.h"
#include "job/RecordTable.h"
#include "tests/support/MainWindowFixture.h"

#include <QAction>
#include <QtTest>

#include <cmath>

namespace {

// GSI-16, metres and gon: S1 at E 1000, N 2000, H 50, instrument 1.5; P1 at 100 gon, level,
// 25 m; P2 at 50 gon, zenith 99 gon, 40 m, target 1.3.
const char kSite[] = "*110001+00000000000000S1 84..10+0000000001000000 85..10+0000000002000000 "
                     "86..10+0000000000050000 88..10+0000000000001500\r\n"
                     "*110002+00000000000000P1 21.102+0000000010000000 22.102+0000000010000000 "
                     "31..06+0000000000250000 87..10+0000000000001500\r\n"
                     "*110003+00000000000000P2 21.102+0000000005000000 22.102+0000000009900000 "
                     "31..06+0000000000400000 87..10+0000000000001300\r\n";

} // namespace

class MainWindowMakersTest : public MainWindowFixture {
    Q_OBJECT

  private:
    QStringList Row(int row) {
        QStringList cells;
        for (int column = stadix::ColPt; column <= stadix::ColCode; ++column)
            cells << CellText(row, column);
        return cells;
    }
    // The row's point with N, E, Z within 3 mm of those given.
    void ComparePoint(int row, const char* name, double north, double east, double height) {
        const QStringList cells = Row(row);
        QCOMPARE(cells[stadix::ColPt], QString(name));
        const double given[] = {north, east, height};
        const int columns[] = {stadix::ColN, stadix::ColE, stadix::ColZ};
        for (int i = 0; i < 3; ++i)
            QVERIFY2(std::abs(cells[columns[i]].toDouble() - given[i]) < 0.003,
                     qPrintable(cells.join(' ')));
    }

  private slots:
    void init() { MakeWindow(); }

    void ListedComputedAndImported() {
        Write("site.gsi", kSite);
        Open("site.gsi", 5);
        QVERIFY(prompts->shown[0].text.endsWith(
            "|Other instruments' raw data (*.gsi *.sdr *.rw5)|*.gsi;*.sdr;*.rw5"));
        const stadix::Job& job = window->CurrentJob();
        QCOMPARE(job.lines.size(), std::size_t(3));
        QVERIFY2(QString::fromStdString(job.lines[2])
                     .startsWith(
                         "Line 3: point P2, horizontal circle 50.00000 gon, zenith angle 99.00000 "
                         "gon, slope distance 40.0000 m, target height 1.300 m"),
                 job.lines[2].c_str());
        QVERIFY(!window->measurementText->isHidden() && window->recordGrid->isHidden());
        QCOMPARE(window->windowTitle(), QString("site.gsi[*]"));
        // Save never writes the listing over the file.
        window->FileSave();
        QCOMPARE(FileBytes(Path("site.gsi")), std::string(kSite));

        // A file not of its kind names the line; the listing shown stays.
        std::string bad = kSite;
        Write("BAD.GSI", bad.replace(bad.find("21.102"), 6, "21.1x2"));
        window->OpenDocument(Path("BAD.GSI"));
        QCOMPARE(prompts->shown.back().kind, QString("tell"));
        QVERIFY2(prompts->shown.back().text.contains("BAD.GSI is not a Leica GSI file: Line 2: "
                                                     "not a GSI word"),
                 qPrintable(prompts->shown.back().text));
        QVERIFY(job.filePath == Path("site.gsi").toStdString());
        QCOMPARE(job.lines.size(), std::size_t(3));

        prompts->reductionOptions.push_back(stadix::ReductionOptions());
        window->Action("Compute Coordinates...")->trigger();
        const double hd = 40 * std::sin(99 * M_PI / 200), half = std::sqrt(0.5);
        ComparePoint(1, "S1", 2000, 1000, 50);
        ComparePoint(2, "P1", 2000, 1025, 50);
        ComparePoint(3, "P2", 2000 + hd * half, 1000 + hd * half,
                     50 + 1.5 + 40 * std::cos(99 * M_PI / 200) - 1.3);

        // The stored coordinates of an RW5 file; a name too long for the PT column is told.
        Write("stored.rw5", "JB,NMT\nMO,AD0,UN1,SF1.00000000,EC0,EO0.0,AU0\n"
                            "SP,PNBOUNDARY12,N 5000.1234,E 3000.5,EL100.25,--CP\n"
                            "SP,PN2,N 5200.0000,E 3000.0000,EL101.0000\n");
        prompts->answers = {QMessageBox::Discard};
        prompts->files.push_back(
            FileChoice{Path("stored.rw5"), int(stadix::ImportableFormats().size()) + 3});
        window->FileImport();
        QCOMPARE(Row(1).join(' '), QString("BOUNDARY 5000.123 3000.500 100.250 CP"));
        QCOMPARE(Row(2).join(' ').trimmed(), QString("2 5200.000 3000.000 101.000"));
        QCOMPARE(prompts->shown.back().text,
                 QString("1 point name was cut to 8 characters:\nBOUNDARY12 -> BOUNDARY"));

        // The same points straight from the raw file shown, as a new untitled job: those of
        // the text shown, even when the file has changed since.
        prompts->answers = {QMessageBox::Discard};
        window->OpenDocument(Path("stored.rw5"));
        Write("stored.rw5", "JB,NMT\nSP,PN9,N 1.0,E 2.0,EL3.0\n");
        QVERIFY(window->Action("Import Stored Coordinates")->isEnabled());
        window->Action("Import Stored Coordinates")->trigger();
        QVERIFY(window->measurementText->isHidden() && job.untitled && job.modified);
        QCOMPARE(Row(2).join(' ').trimmed(), QString("2 5200.000 3000.000 101.000"));
        QVERIFY(!window->Action("Import Stored Coordinates")->isEnabled());
    }
};

QTEST_MAIN(MainWindowMakersTest)
#include "main_window_makers_test.moc"
