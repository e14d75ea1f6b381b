// The files that the job's commands choose, read and write: where file dialogs start,
// the file the records were imported from (nothing may write over it), and writing a
// file whole with its failure reported.
#pragma once

#include "widgets/Prompts.h"

#include <QString>

#include <optional>
#include <string>

class DocumentView;
class QMimeData;
class QWidget;
namespace stadix {
struct DialogEntry;
struct Job;
} // namespace stadix

// The job's name as titles and file dialogs show it.
QString DocName(const stadix::Job& job);

// A file type of a file dialog's filter: "description|pattern".
QString DialogFilterEntry(const stadix::DialogEntry& entry);

// The one local file of a drag, when it is a file that Open shows; else empty.
QString DroppedDocument(const QMimeData* data);

class DocumentFiles {
  public:
    DocumentFiles(const stadix::Job& job, Prompts& prompts, QWidget* parent, DocumentView& view);

    // File dialogs starting in DialogFolder(); the chosen folder is remembered, and a
    // saved file's name carries its type's extension.
    std::optional<FileChoice> ChooseOpenFile(const QString& title, const QString& filter,
                                             const QString& defaultExt);
    std::optional<FileChoice> ChooseSaveFile(const QString& title, const QString& filter,
                                             const QString& defaultExt,
                                             const QString& fileName = QString());
    // Where file dialogs start: the current document's folder, else the user's
    // documents folder, else the one used last, else the home folder.
    QString DialogFolder() const;
    void RememberFolder(const QString& path);

    // The file the records were last imported from (Import, Import Data, a job opened
    // cut); empty when the document was opened, received or started afresh since.
    void SetImportedFrom(const std::string& path) { importedFrom_ = path; }
    // Refuses, with a warning, to write over a file the document was read from: the
    // file it was imported from, or its own file unless written in its own kind (as Save
    // writes it). True when refused.
    bool RefuseWritingOverInput(const QString& path, bool documentsOwnKind);
    // Writes bytes whole or not at all; reports a failure and returns false.
    bool WriteDocumentFile(const QString& path, const std::string& bytes);

  private:
    FileDialogRequest Request(const QString& title, const QString& filter,
                              const QString& defaultExt, const QString& fileName) const;

    const stadix::Job& job_;
    Prompts& prompts_;
    QWidget* parent_;
    DocumentView& view_;
    QString lastFolder_;
    std::string importedFrom_;
};
