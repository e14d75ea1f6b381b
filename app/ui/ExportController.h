// Export: the records in a coordinate format of the user's choice (a GIS format in the
// reference system the user names), or the raw records of the measurement view as text; and the
// dialog that defines the user's own layout.
#pragma once

#include "gis/GisFormats.h"

#include <QString>

#include <string>
#include <vector>

class DocumentFiles;
class DocumentView;
class QWidget;
class WindowPrompts;
namespace stadix {
struct Job;
class RecordTable;
} // namespace stadix

class ExportController {
  public:
    // settingsPath: the settings file that holds the user's layout.
    ExportController(stadix::Job& job, const stadix::RecordTable& table, WindowPrompts& prompts,
                     QWidget* parent, DocumentView& view, DocumentFiles& files,
                     const std::string& settingsPath);

    void Export();
    void DefineExportFormat();

  private:
    void ExportCoordinates();
    // The export's failure told, the progress shown cleared first.
    void TellNothingWritten(const QString& why);
    void ExportMeasurements();
    // Writes the points in the format, asking their reference system first; the file is
    // written whole or not at all, and a failure or a point refused is reported.
    void ExportGisFile(const QString& path, stadix::GisFormat format,
                       const std::vector<int>& leftOut);
    // Writes an exported file whole or not at all; a failure is reported.
    void WriteExportFile(const QString& path, const std::string& bytes);

    stadix::Job& job_;
    const stadix::RecordTable& table_;
    WindowPrompts& prompts_;
    QWidget* parent_;
    DocumentView& view_;
    DocumentFiles& files_;
    const std::string& settingsPath_;
};
