// Tools > Compute Coordinates in the window: the measurements shown become a new
// untitled coordinate job, with the report in a window of its own.
#include "app/ui/MainWindow.h"
#include "app/ui/ReductionDialogs.h"
#include "app/ui/TextLinesView.h"
#include "base/FileIO.h"
#include "job/RecordTable.h"
#include "tests/support/MainWindowFixture.h"
#include "tests/support/RawRecordBuilder.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {

using stadix::test::RawRecordBuilder;

std::string Bytes(const stadix::RawRecord& record) {
    return std::string(reinterpret_cast<const char*>(record.data()), record.size());
}

// An INST and a UNIT record: big-endian, metres and seconds of arc.
std::string Header() {
    return Bytes(RawRecordBuilder(129, true).Bytes(1, "RVA110").Build()) +
           Bytes(RawRecordBuilder(131, true).Build());
}

// A STN (3) or BS (6) record of the station group: name, height, N, E, Z in mm.
std::string Located(std::uint8_t type, const char* name, float height, std::int32_t north,
                    std::int32_t east, std::int32_t elevation, std::uint8_t group) {
    return Bytes(RawRecordBuilder(type, true)
                     .Bytes(1, name)
                     .Float(19, height)
                     .Coordinate(23, north, 0)
                     .Coordinate(29, east, 0)
                     .Coordinate(35, elevation, 0)
                     .Byte(41, group)
                     .Build());
}

// A DIST record: target height, slope distance, zenith and circle in seconds of arc.
std::string Shot(const char* name, float targetHeight, float distance, std::uint32_t zenith,
                 std::uint32_t circle, std::uint8_t group) {
    return Bytes(RawRecordBuilder(1, true)
                     .Bytes(1, name)
                     .Float(19, targetHeight)
                     .Float(23, distance)
                     .UInt32(27, zenith)
                     .UInt32(31, circle)
                     .Byte(41, group)
                     .Build());
}

constexpr std::uint32_t kLevel = 324000; // a zenith angle of 90 degrees

// Setup 1 on A (1000, 2000, 100), instrument 1.5, oriented on B due north whose circle
// reads 10 degrees; P1 at 100 degrees on the circle, 50 m. Setup 2 on C (1000, 2100, 101),
// instrument 1.6, circle as read: P2 due south 30 m, P1 due west 50 m with a 2.6 m target.
std::string TwoSetups() {
    return Header() + Located(3, "A", 1.5f, 1000, 2000, 100, 1) +
           Located(6, "B", 0, 1100, 2000, 100, 1) + Shot("B", 1.5f, 100, kLevel, 36000, 1) +
           Shot("P1", 1.5f, 50, kLevel, 360000, 1) + Located(3, "C", 1.6f, 1000, 2100, 101, 2) +
           Shot("P2", 1.6f, 30, kLevel, 648000, 2) + Shot("P1", 2.6f, 50, kLevel, 972000, 2);
}

} // namespace

class MainWindowReductionTest : public MainWindowFixture {
    Q_OBJECT

  private:
    QAction* Compute() const { return window->Action("Compute Coordinates..."); }
    void Open(const QString& name, int filterIndex = 2) {
        prompts->files.push_back(FileChoice{Path(name), filterIndex});
        window->FileOpen();
    }
    QStringList Rows() {
        QStringList rows;
        for (int row = 1; row < window->Table().RowCount(); ++row) {
            const stadix::RecordTable::Row& cells = window->Table().RowCells(row);
            if (cells[stadix::ColPt].empty())
                break;
            QStringList row_;
            for (const std::string& cell : cells)
                row_ << QString::fromStdString(cell);
            rows << row_.join(' ').trimmed();
        }
        return rows;
    }

  private slots:
    void init() { MakeWindow(); }

    void ComputesTheSetupsIntoANewJobWithItsReport() {
        Write("two.TSM", TwoSetups());
        QVERIFY(!Compute()->isEnabled());
        Open("two.TSM");
        QVERIFY(Compute()->isEnabled());
        stadix::ReductionOptions options;
        options.scale = 1.0001;
        prompts->reductionOptions.push_back(options);
        window->ComputeCoordinates();

        QCOMPARE(Rows().join(" | "), QString("A 1000.000 2000.000 100.000 | "
                                             "P1 1000.000 2050.000 100.000 | "
                                             "C 1000.000 2100.000 101.000 | "
                                             "P2 969.997 2100.000 101.000"));
        QCOMPARE(window->TotalPanel()->text(), QString("4 points"));
        QVERIFY(window->CurrentJob().untitled && window->CurrentJob().modified);
        QVERIFY(!Compute()->isEnabled());

        ReportWindow* report = window->ReductionReport();
        QVERIFY(report && report->isVisible());
        const QString text = report->reportText->toPlainText();
        QVERIFY2(
            text.startsWith("Coordinates from measurements\nScale factor: 1.000100\n") &&
                text.contains("  P1  2 setups, horizontal spread 0.010, height spread 0.000 m"),
            qPrintable(text));
        prompts->files.push_back(FileChoice{Path("report.txt"), 1});
        report->saveButton->click();
        QCOMPARE(QString::fromUtf8(stadix::ReadFileBytes(Path("report.txt").toStdString())),
                 text + "\n");
        QTest::keyClick(report->reportText, Qt::Key_Escape);
        QVERIFY(!report->isVisible());

        // The measurements are still there to go back to, after the usual question.
        prompts->answers = {QMessageBox::Discard};
        Open("two.TSM");
        QCOMPARE(prompts->Kinds(), QStringList({"open", "reduction", "save", "ask", "open"}));
        QVERIFY(window->CurrentJob().ListsRawRecords());
    }

    void ListingWithoutAStationChangesNothing() {
        Write("shots.TSM", Header() + Shot("P1", 1.5f, 50, kLevel, 360000, 1));
        Open("shots.TSM");
        const QString title = window->windowTitle();
        const std::vector<std::string> lines = window->CurrentJob().lines;
        window->ComputeCoordinates();
        QCOMPARE(prompts->Kinds(), QStringList({"open", "tell"}));
        QCOMPARE(window->windowTitle(), title);
        QVERIFY(window->CurrentJob().lines == lines && window->CurrentJob().ListsRawRecords());
        QVERIFY(!window->ReductionReport());
    }

    void OfferedForSssTextOnly() {
        Write("sss.GT7", "STN,A,1.5\r\n");
        Write("plain.TXT", "STN,A,1.5\r\n");
        Open("sss.GT7", 3);
        QVERIFY(Compute()->isEnabled());
        Open("plain.TXT", 4);
        QVERIFY(!Compute()->isEnabled());
    }
};

QTEST_MAIN(MainWindowReductionTest)
#include "main_window_reduction_test.moc"
