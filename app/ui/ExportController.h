// Export: the records in a coordinate format of the user's choice, or the raw records
// of the measurement view as text; and the dialog that defines the user's own layout.
#pragma once

#include <QString>

#include <string>

class DocumentFiles;
class DocumentView;
class Prompts;
class QWidget;
namespace stadix {
struct Job;
class RecordTable;
} // namespace stadix

class ExportController {
  public:
    // settingsPath: the settings file that holds the user's layout.
    ExportController(stadix::Job& job, const stadix::RecordTable& table, Prompts& prompts,
                     QWidget* parent, DocumentView& view, DocumentFiles& files,
                     const std::string& settingsPath);

    void Export();
    void DefineExportFormat();

  private:
    void ExportCoordinates();
    void ExportMeasurements();
    // Writes an exported file whole or not at all; a failure is reported.
    void WriteExportFile(const QString& path, const std::string& bytes);

    stadix::Job& job_;
    const stadix::RecordTable& table_;
    Prompts& prompts_;
    QWidget* parent_;
    DocumentView& view_;
    DocumentFiles& files_;
    const std::string& settingsPath_;
};
