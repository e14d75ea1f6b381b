// The GIS formats in the window: Export and Import through the reference system the user
// chooses, the last choice remembered, and the dialog that searches the systems.
#include "app/ui/GisChoices.h"
#include "app/ui/RememberedSettings.h"
#include "gis/ui/ReferenceSystemDialog.h"
#include "job/Job.h"
#include "tests/support/MainWindowFixture.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QtTest>

namespace {

const std::vector<std::string> kPoints = {
    Line("P1", "5800000.123", "400000.456", "35.789", "CURB"),
    Line("P2", "5800100.001", "400200.999", "-1.250"),
    Line("STATION8", "5799950.500", "399990.000", "40.000", "STN")};

// Kinds and texts of what the window showed, from the given position on.
QStringList ShownSince(const ScriptedPrompts& prompts, int from) {
    QStringList shown;
    for (int i = from; i < prompts.shown.size(); ++i)
        shown << prompts.shown[i].kind + ": " + prompts.shown[i].text;
    return shown;
}

} // namespace

class MainWindowGisTest : public MainWindowFixture {
    Q_OBJECT

    // Export's GeoPackage and KML entries, after the five coordinate formats.
    static constexpr int kGeoPackageExport = 6;
    static constexpr int kKmlExport = 9;
    // Import's GeoPackage and GeoJSON entries, after PTS, CSV, SIMA, GSI, SDR33 and RW5.
    static constexpr int kGeoPackageImport = 7;
    static constexpr int kGeoJsonImport = 9;

    void Export(const QString& name, int type, const QString& system) {
        prompts->files.push_back(FileChoice{Path(name), type});
        prompts->referenceSystems.push_back(system);
        window->FileExport();
    }
    void Import(const QString& name, int type, const QString& system) {
        prompts->files.push_back(FileChoice{Path(name), type});
        prompts->referenceSystems.push_back(system);
        window->FileImport();
    }

  private slots:
    void init() {
        MakeWindow();
        RememberedSettings().remove(kReferenceSystemKey);
    }
    void cleanup() { window.reset(); }

    void exportsAGeoPackageThatImportsBackToTheMillimetre() {
        OpenJob(kPoints);
        const int shownBefore = int(prompts->shown.size());
        Export("points.gpkg", kGeoPackageExport, "EPSG:25833");
        QCOMPARE(prompts->Kinds().mid(shownBefore), QStringList({"save", "crs"}));
        QCOMPARE(prompts->shown.last().caption, QString("none allowed"));
        QCOMPARE(prompts->shown.last().text, QString()); // nothing remembered yet
        QVERIFY(QFileInfo::exists(Path("points.gpkg")));

        MakeWindow();
        Import("points.gpkg", kGeoPackageImport, "EPSG:25833");
        QCOMPARE(prompts->shown.last().kind, QString("crs"));
        QCOMPARE(prompts->shown.last().text, QString("EPSG:25833")); // the last choice
        QCOMPARE(window->CurrentJob().lines, kPoints);
        QVERIFY(window->CurrentJob().untitled);
    }

    // KML holds longitudes and latitudes: the points are transformed.
    void refusesAPointOutsideTheAreaOfUseWritingNothing() {
        QVERIFY(QDir(dir.path()).mkdir("far"));
        Write("far/points.kml", "the older file");
        std::vector<std::string> lines = kPoints;
        lines.push_back(Line("FAR", "1000000.000", "400000.000"));
        OpenJob(lines);
        Export("far/points.kml", kKmlExport, "EPSG:25833");
        QCOMPARE(prompts->shown[prompts->shown.size() - 2].caption, QString("required"));
        QCOMPARE(prompts->shown.last().kind, QString("tell"));
        QCOMPARE(prompts->shown.last().text,
                 QString("Point FAR: outside the area of use of ETRS89 / UTM zone 33N "
                         "(EPSG:25833)\nNothing was written."));
        QCOMPARE(FileBytes(Path("far/points.kml")), std::string("the older file"));
        QCOMPARE(
            QDir(Path("far")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList({"points.kml"}));
    }

    void importsGeoJsonTellingTheNamesCutAndFailsLeavingTheJob() {
        Write("points.geojson",
              R"({"type": "FeatureCollection", "features": [
{"type": "Feature", "properties": {"name": "BOUNDARY-STONE-7", "code": "PEG"},
 "geometry": {"type": "Point", "coordinates": [13.4, 52.52, 35.5]}}]})");
        Write("far.geojson", R"({"type": "FeatureCollection", "features": [
{"type": "Feature", "properties": {"name": "WEST"},
 "geometry": {"type": "Point", "coordinates": [5.0, 52.0]}}]})");
        OpenJob(kPoints);
        Import("far.geojson", kGeoJsonImport, "EPSG:25833");
        QCOMPARE(prompts->shown.last().text,
                 QString("Importing Error\uFF01\nPoint WEST: outside the area of use of "
                         "ETRS89 / UTM zone 33N (EPSG:25833)"));
        QCOMPARE(window->CurrentJob().lines, kPoints);
        QVERIFY(!window->CurrentJob().untitled);

        const int shownBefore = int(prompts->shown.size());
        Import("points.geojson", kGeoJsonImport, "EPSG:25833");
        QCOMPARE(ShownSince(*prompts, shownBefore).mid(1),
                 QStringList({"crs: EPSG:25833",
                              "tell: Name cut to 8 characters: BOUNDARY-STONE-7 -> BOUNDARY"}));
        QCOMPARE(window->CurrentJob().lines.size(), std::size_t(1));
        QCOMPARE(stadix::RecordLinePt(window->CurrentJob().lines[0]), std::string("BOUNDARY"));
    }

    void theDialogSearchesTheSystemsWithTheLastChoicePreset() {
        ReferenceSystemDialog dialog("EPSG:25833", false, nullptr);
        QCOMPARE(dialog.Choice(), QString("EPSG:25833"));
        QVERIFY(dialog.noneBox->isHidden());
        QTest::keyClicks(dialog.searchBox, "UTM zone 33N");
        const QAbstractItemModel& found = *dialog.systemList->model();
        QVERIFY(found.rowCount() > 1);
        for (int row = 0; row < found.rowCount(); ++row)
            QVERIFY(found.index(row, 0).data().toString().contains("33N", Qt::CaseInsensitive));
        dialog.searchBox->setText("25832");
        QCOMPARE(found.index(0, 0).data().toString(), QString("EPSG:25832  ETRS89 / UTM zone 32N"));
        QCOMPARE(dialog.Choice(), QString("EPSG:25832"));
        dialog.searchBox->setText("no such system");
        QCOMPARE(found.rowCount(), 0);
        QVERIFY(!dialog.okButton->isEnabled());

        ReferenceSystemDialog none(kNoReferenceSystem, true, nullptr);
        QCOMPARE(none.Choice(), QString(kNoReferenceSystem));
        none.noneBox->setChecked(false);
        QVERIFY(!none.okButton->isEnabled()); // nothing chosen in the list
    }
};

QTEST_MAIN(MainWindowGisTest)
#include "main_window_gis_test.moc"
