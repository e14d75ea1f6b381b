// The job's own commands: New, Open, Save, Save as and Import; the question before a
// changed job is replaced; and files opened without the Open dialog.
#pragma once

#include "formats/CoordinateImport.h"
#include "gis/GisFormats.h"

#include <QString>

#include <functional>

#include <optional>
#include <string>
#include <vector>

class DocumentFiles;
class DocumentView;
class QWidget;
class WindowPrompts;
namespace stadix {
struct Job;
struct CutName;
struct MakersFormat;
class RecordTable;
struct StoredPointLines;
} // namespace stadix

class DocumentController {
  public:
    DocumentController(stadix::Job& job, const stadix::RecordTable& table, WindowPrompts& prompts,
                       QWidget* parent, DocumentView& view, DocumentFiles& files);

    // Asks whether to save a changed document; false ends the calling command.
    bool ConfirmSaveChanges();
    // New: false when the user kept the document.
    bool NewDocument();
    // New leaves an untitled, unchanged document as it is.
    bool NewKeepsDocument() const;
    void Open();
    // Opens a job or measurement file as Open does, its kind told by its extension,
    // after the unsaved-changes question: a recent file, a dropped file, --open.
    void OpenDocument(const QString& path);
    // A job file named as the only argument at start-up: no question, no checks.
    void OpenStartupJob(const QString& path);
    bool Save();
    bool SaveAs();
    void Import();
    // Whether the document is another maker's raw file, whose stored coordinates
    // ImportStoredCoordinates takes.
    bool ShowsMakersFile() const;
    // The coordinates the open raw file of another maker stores, as a new untitled
    // coordinate job after the unsaved-changes question; names cut are told.
    void ImportStoredCoordinates();
    // The record lines become the document: a new, untitled and changed coordinate job.
    void ShowAsNewJob(std::vector<std::string> lines);

  private:
    // New after its question: an empty untitled job with the next default name.
    void StartNewDocument();
    // Opens a chosen file by its extension; the GTS type decides the text's format.
    void OpenFile(const std::string& path, bool gtsTypeChosen);
    void OpenJobFile(const std::string& path);
    // False when the file was refused.
    bool OpenMeasurementFile(const std::string& path, bool gtsTypeChosen);
    // Another maker's raw file, shown read-only as its listing; false when refused.
    bool OpenMakersFile(const std::string& path);
    // After a save that failed: offers to save the document in another file, so that
    // what it holds need not be lost. Whether it was saved.
    bool OfferSaveElsewhere();
    // Ends a save that left out the incomplete rows given (none, or ones still in the
    // table): names them and keeps the job changed. Whether everything was saved.
    bool SavedLeavingOut(const std::vector<int>& leftOut);
    bool SaveAsCoordinates();
    bool SaveAsMeasurement();
    QString MeasurementSaveFilter() const;
    // Reads and converts a file to import; none when it failed, which is reported.
    std::optional<stadix::ImportedRecords> ReadImportFile(const std::string& path,
                                                          stadix::ImportFormat format);
    void TellImportFailure(const std::string& why);
    // The coordinates another maker's raw file stores, imported as a coordinate file is;
    // names cut to fit a record are told.
    void ImportStoredPoints(const std::string& path, const stadix::MakersFormat& format);
    // The coordinates read() gives of the file at path; none when it failed or the file
    // stores none, which is told.
    std::optional<stadix::StoredPointLines>
    TakeStoredPoints(const std::string& path, const stadix::MakersFormat& format,
                     const std::function<stadix::StoredPointLines()>& read);
    void TellCutNames(const std::vector<stadix::CutName>& cutNames);
    // Takes the points of a GIS file into the reference system the user names; what was
    // cut or left out is told in one message. A failure leaves the job as it was.
    void ImportGisFile(const std::string& path, stadix::GisFormat format);
    // The records imported from path replace the job's; the job no longer is a file's.
    void ShowImported(stadix::ImportedRecords imported, const std::string& path);

    stadix::Job& job_;
    const stadix::RecordTable& table_;
    WindowPrompts& prompts_;
    QWidget* parent_;
    DocumentView& view_;
    DocumentFiles& files_;
};
