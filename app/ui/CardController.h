// The SD card and USB disk exchange: Import Data and Export Data, run on the card
// exchange with its questions asked in the window.
#pragma once

#include "sdcard/CardExchange.h"
#include "sdcard/qt/RecordFolder.h"
#include "widgets/Prompts.h"

#include <optional>
#include <string>
#include <vector>

class DocumentController;
class DocumentFiles;
class DocumentView;
class QWidget;
class WindowPrompts;
namespace stadix {
struct Job;
}

class CardController {
  public:
    CardController(stadix::Job& job, WindowPrompts& prompts, QWidget* parent, DocumentView& view,
                   DocumentController& documents, DocumentFiles& files);

    void ImportData();
    void ExportData();

    // The volumes searched for the card's record folder (this computer's by default).
    void SetVolumes(std::vector<std::string> volumes) { volumes_ = std::move(volumes); }

  private:
    // The card exchange's questions, asked in the window.
    class Questions;

    std::optional<stadix::RecordFolder> FindRecordFolder() const;
    // The file to export to, with its type's extension, in the card's record folder
    // when there is one.
    std::optional<FileChoice> ChooseExportFile();
    // Shows what an import put into the job; raw data under measurementCaption.
    void ShowImport(const char* measurementCaption);
    // A card message box: caption, text and, on a line of its own, why.
    void Tell(const stadix::CardResult& result);

    stadix::Job& job_;
    WindowPrompts& prompts_;
    QWidget* parent_;
    DocumentView& view_;
    DocumentController& documents_;
    DocumentFiles& files_;
    // Keeps the import options chosen last for the rest of the run.
    stadix::CardExchange exchange_;
    std::optional<std::vector<std::string>> volumes_;
};
