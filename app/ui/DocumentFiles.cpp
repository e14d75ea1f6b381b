#include "app/ui/DocumentFiles.h"

#include "app/ui/DocumentView.h"
#include "base/Errors.h"
#include "base/FileIO.h"
#include "formats/ExportFormats.h"
#include "job/Job.h"
#include "widgets/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QStandardPaths>
#include <QUrl>

QString DocName(const stadix::Job& job) {
    return QFile::decodeName(job.docName.c_str());
}

QString DialogFilterEntry(const stadix::DialogEntry& entry) {
    return BytesToDisplay(entry.description) + "|" + BytesToDisplay(entry.pattern);
}

DocumentFiles::DocumentFiles(const stadix::Job& job, Prompts& prompts, QWidget* parent,
                             DocumentView& view)
    : job_(job), prompts_(prompts), parent_(parent), view_(view) {}

FileDialogRequest DocumentFiles::Request(const QString& title, const QString& filter,
                                         const QString& defaultExt, const QString& fileName) const {
    FileDialogRequest request;
    request.title = title;
    request.filter = filter;
    request.defaultExt = defaultExt;
    request.folder = DialogFolder();
    request.fileName = fileName;
    return request;
}

std::optional<FileChoice> DocumentFiles::ChooseOpenFile(const QString& title, const QString& filter,
                                                        const QString& defaultExt) {
    const std::optional<FileChoice> choice =
        prompts_.ChooseOpenFile(parent_, Request(title, filter, defaultExt, QString()));
    if (choice)
        RememberFolder(choice->path);
    return choice;
}

std::optional<FileChoice> DocumentFiles::ChooseSaveFile(const QString& title, const QString& filter,
                                                        const QString& defaultExt,
                                                        const QString& fileName) {
    const FileDialogRequest request = Request(title, filter, defaultExt, fileName);
    std::optional<FileChoice> choice = prompts_.ChooseSaveFile(parent_, request);
    if (!choice)
        return choice;
    choice->path = WithTypeExtension(*choice, request);
    RememberFolder(choice->path);
    return choice;
}

QString DocumentFiles::DialogFolder() const {
    if (!job_.untitled && !job_.filePath.empty())
        return QFileInfo(QFile::decodeName(job_.filePath.c_str())).absolutePath();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir())
        return documents;
    if (!lastFolder_.isEmpty())
        return lastFolder_;
    return QDir::homePath();
}

void DocumentFiles::RememberFolder(const QString& path) {
    lastFolder_ = QFileInfo(path).absolutePath();
}

bool DocumentFiles::RefuseWritingOverInput(const QString& path, bool documentsOwnKind) {
    const std::string target = LocalPath(path);
    std::string input;
    if (!importedFrom_.empty() && stadix::IsSameFile(target, importedFrom_))
        input = importedFrom_;
    else if (!documentsOwnKind && !job_.untitled && stadix::IsSameFile(target, job_.filePath))
        input = job_.filePath;
    if (input.empty())
        return false;
    view_.ShowProgress(QString());
    const QString through =
        input == target ? QString() : " (" + QFile::decodeName(input.c_str()) + ")";
    prompts_.Tell(parent_,
                  "\"" + QFile::decodeName(target.c_str()) +
                      "\" is the file this job was read from" + through +
                      ".\nNothing was written: choose another file.",
                  QMessageBox::Warning);
    return true;
}

bool DocumentFiles::WriteDocumentFile(const QString& path, const std::string& bytes) {
    try {
        stadix::WriteFileAtomically(LocalPath(path), bytes);
        return true;
    } catch (const stadix::FileError& failure) {
        view_.ShowProgress(QString());
        prompts_.ShowError(parent_, MessageToDisplay(failure.what()));
        return false;
    }
}

QString DroppedDocument(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1)
        return QString();
    const QUrl url = data->urls().front();
    if (!url.isLocalFile() || !stadix::DocumentKindOf(LocalPath(url.toLocalFile())))
        return QString();
    return url.toLocalFile();
}
