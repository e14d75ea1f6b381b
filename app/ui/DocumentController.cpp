#include "app/ui/DocumentController.h"

#include "app/ui/DocumentFiles.h"
#include "app/ui/DocumentView.h"
#include "app/ui/GisChoices.h"
#include "app/ui/RememberedSettings.h"
#include "app/ui/WindowPrompts.h"
#include "base/Errors.h"
#include "base/FileIO.h"
#include "formats/ExportFormats.h"
#include "gis/PointImport.h"
#include "job/Job.h"
#include "job/JobFile.h"
#include "job/RecordTable.h"
#include "rawconv/MeasurementFile.h"
#include "survey/MakersFile.h"
#include "widgets/Prompts.h"
#include "widgets/TextCodec.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>

namespace {

// Record lines as an import takes them: those beyond its limit counted and left out.
stadix::ImportedRecords ImportedUpToTheLimit(std::vector<std::string> lines) {
    stadix::ImportedRecords imported;
    if (lines.size() > stadix::kMaxImportLines) {
        imported.linesLeftOut = lines.size() - stadix::kMaxImportLines;
        lines.resize(stadix::kMaxImportLines);
    }
    imported.lines = std::move(lines);
    return imported;
}

const char* const kOpenFilter =
    "TS Coord. Data File(*.JCD)|*.JCD|TS Meas. Data File(*.TSM)|*.TSM|GTS Meas. Data "
    "File(*.GTS,*.GT7)|*.GTS;*.GT7|Text(*.TXT)|*.TXT|Other instruments' raw data (*.gsi *.sdr "
    "*.rw5)|*.gsi;*.sdr;*.rw5";
const char* const kCoordSaveFilter = "TS Coord. Data File(*.JCD)|*.JCD|Text(*.TXT)|*.TXT";

} // namespace

DocumentController::DocumentController(stadix::Job& job, const stadix::RecordTable& table,
                                       WindowPrompts& prompts, QWidget* parent, DocumentView& view,
                                       DocumentFiles& files)
    : job_(job), table_(table), prompts_(prompts), parent_(parent), view_(view), files_(files) {}

bool DocumentController::ConfirmSaveChanges() {
    if (!view_.CommitTableEdit())
        return false;
    if (!job_.modified)
        return true;
    const QMessageBox::StandardButton answer =
        prompts_.Ask(parent_, "The document has been changed.\nDo you want to save the changes?",
                     QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    if (answer == QMessageBox::Save)
        return SaveAs();
    return answer == QMessageBox::Discard;
}

bool DocumentController::NewDocument() {
    if (!view_.CommitTableEdit())
        return false;
    if (NewKeepsDocument()) {
        view_.ForgetEdits();
        return true;
    }
    if (!ConfirmSaveChanges())
        return false;
    StartNewDocument();
    return true;
}

bool DocumentController::NewKeepsDocument() const {
    return job_.untitled && !job_.modified;
}

void DocumentController::StartNewDocument() {
    const bool wasCoordView = job_.InCoordinateView();
    // Rows typed but never gathered go too: the new job starts empty.
    view_.ClearRecords();
    stadix::StartNewJob(job_);
    view_.ForgetEdits();
    files_.SetImportedFrom(std::string());
    view_.SetCoordTitle();
    view_.SetCurrentCell(1, 0);
    if (!wasCoordView)
        view_.ShowCoordinateView();
}

void DocumentController::Open() {
    if (!ConfirmSaveChanges())
        return;
    const std::optional<FileChoice> choice = files_.ChooseOpenFile("Open", kOpenFilter, "JCD");
    if (!choice)
        return;
    OpenFile(LocalPath(choice->path), choice->filterIndex == 3);
}

void DocumentController::OpenDocument(const QString& path) {
    const std::optional<stadix::DocumentKind> kind = stadix::DocumentKindOf(LocalPath(path));
    if (!kind) {
        prompts_.Tell(parent_,
                      "Only job files (.JCD), measurement files (.TSM, .GTS, .GT7, .TXT) and "
                      "other instruments' raw data (.GSI, .SDR, .RW5) can be opened:\n" +
                          path,
                      QMessageBox::Warning);
        return;
    }
    if (!QFileInfo(path).isFile()) {
        ForgetRecentFile(path);
        prompts_.Tell(parent_, "The file cannot be found:\n" + path, QMessageBox::Warning);
        return;
    }
    if (!ConfirmSaveChanges())
        return;
    OpenFile(LocalPath(path), *kind == stadix::DocumentKind::GtsText);
}

void DocumentController::OpenStartupJob(const QString& path) {
    std::vector<std::string> lines;
    try {
        lines = stadix::ReadFileLines(LocalPath(path));
    } catch (const stadix::FileError& failure) {
        prompts_.ShowError(parent_, MessageToDisplay(failure.what()));
        return;
    }
    job_.lines = std::move(lines);
    view_.FillTable();
    stadix::AttachToFile(job_, LocalPath(path));
    view_.ForgetEdits();
    view_.SetCoordTitle();
    view_.SetTotal(job_.lines.size());
    RememberRecentFile(LocalPath(path));
}

void DocumentController::OpenFile(const std::string& path, bool gtsTypeChosen) {
    const ProgressShown progress(
        view_, "Opening " + QFileInfo(QFile::decodeName(path.c_str())).fileName() + "...");
    const std::optional<stadix::DocumentKind> kind = stadix::DocumentKindOf(path);
    if (kind == stadix::DocumentKind::JobFile)
        OpenJobFile(path);
    else if (kind == stadix::DocumentKind::MakersRawData) {
        if (!OpenMakersFile(path))
            return;
    } else if (!OpenMeasurementFile(path, gtsTypeChosen))
        return;
    view_.ForgetEdits();
    // A job opened cut holds only part of its file, which nothing may be written over.
    files_.SetImportedFrom(job_.untitled ? path : std::string());
    RememberRecentFile(path);
}

void DocumentController::OpenJobFile(const std::string& path) {
    const std::size_t fileLines = stadix::OpenJobFile(job_, path);
    view_.ClearTable();
    view_.ShowCoordinateView();
    view_.SetCoordTitle();
    view_.FillTable();
    view_.SetTotal(job_.lines.size());
    view_.SetCurrentCell(1, 0);
    if (fileLines > job_.lines.size()) {
        prompts_.Tell(parent_,
                      BytesToDisplay(stadix::JobCutMessage(fileLines)) +
                          "\nThe job is untitled, so that saving it cannot cut the file: Save "
                          "asks for a new name.",
                      QMessageBox::Warning);
    }
}

bool DocumentController::OpenMeasurementFile(const std::string& path, bool gtsTypeChosen) {
    // A refused file is not opened: the document stays as it was, so that no save can
    // write an empty document over it.
    const std::string problem = stadix::OpenMeasurementFile(job_, path, gtsTypeChosen);
    if (!problem.empty()) {
        view_.ShowProgress(QString());
        prompts_.Tell(parent_, MessageToDisplay(problem), QMessageBox::Warning);
        return false;
    }
    view_.ShowMeasurementView();
    view_.SetMeasurementTitle();
    return true;
}

bool DocumentController::OpenMakersFile(const std::string& path) {
    const stadix::MakersFormat& format = *stadix::MakersFormatOfFile(path);
    try {
        stadix::OpenMakersFile(job_, path, format);
    } catch (const stadix::FormatError& failure) {
        view_.ShowProgress(QString());
        prompts_.Tell(parent_, MessageToDisplay(stadix::NotOfKindMessage(format, path, failure)),
                      QMessageBox::Warning);
        return false;
    }
    view_.ShowMeasurementView();
    view_.SetMeasurementTitle();
    return true;
}

bool DocumentController::OfferSaveElsewhere() {
    if (prompts_.Ask(parent_, "Nothing was saved. Save the job in another file?",
                     QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return false;
    return SaveAs();
}

bool DocumentController::Save() {
    if (!view_.CommitTableEdit())
        return false;
    if (job_.untitled)
        return SaveAs();
    std::vector<int> leftOut;
    try {
        if (job_.InCoordinateView()) {
            leftOut = stadix::IncompleteRows(table_);
            view_.GatherRecords();
        }
        const std::optional<std::string> bytes = stadix::SaveFileBytes(job_);
        if (bytes && !files_.WriteDocumentFile(QFile::decodeName(job_.filePath.c_str()), *bytes))
            return OfferSaveElsewhere();
    } catch (const stadix::ConversionError& failure) {
        view_.ShowProgress(QString());
        prompts_.ShowError(parent_, MessageToDisplay(failure.what()));
        return false;
    }
    return SavedLeavingOut(leftOut);
}

bool DocumentController::SavedLeavingOut(const std::vector<int>& leftOut) {
    // The rows left out stay in the table, which the file then does not match: the job
    // stays changed, so that closing still asks about them.
    job_.modified = !leftOut.empty();
    if (leftOut.empty()) {
        view_.MarkSaved();
        return true;
    }
    const QString note = view_.NoteRowsLeftOut(leftOut, "not saved");
    prompts_.Tell(parent_,
                  note + ".\nA record needs PT, N/X and E/Y; these rows stay in the table.",
                  QMessageBox::Warning);
    return false;
}

bool DocumentController::SaveAs() {
    if (!view_.CommitTableEdit())
        return false;
    try {
        return job_.InCoordinateView() ? SaveAsCoordinates() : SaveAsMeasurement();
    } catch (const stadix::ConversionError& failure) {
        view_.ShowProgress(QString());
        prompts_.ShowError(parent_, MessageToDisplay(failure.what()));
        return false;
    }
}

bool DocumentController::SaveAsCoordinates() {
    const std::optional<FileChoice> choice =
        files_.ChooseSaveFile("Save as", kCoordSaveFilter, "JCD", DocName(job_));
    if (!choice)
        return false;
    const std::vector<int> leftOut = stadix::IncompleteRows(table_);
    view_.GatherRecords();
    const bool textCopy = choice->filterIndex == 2;
    if (files_.RefuseWritingOverInput(choice->path, !textCopy))
        return false;
    if (textCopy) {
        if (!files_.WriteDocumentFile(choice->path, stadix::JobTextCopyBytes(job_.lines)))
            return OfferSaveElsewhere();
    } else {
        if (!files_.WriteDocumentFile(choice->path, stadix::JobFileBytes(job_.lines)))
            return OfferSaveElsewhere();
        stadix::AttachToFile(job_, LocalPath(choice->path));
        view_.SetCoordTitle();
        RememberRecentFile(LocalPath(choice->path));
    }
    return SavedLeavingOut(leftOut);
}

QString DocumentController::MeasurementSaveFilter() const {
    QString first;
    if (job_.dataFormat == stadix::DataFormat::Kvr && job_.ListsRawRecords())
        first = "TS Meas. Data File(KVR)|*.TSM|";
    else if (job_.dataFormat == stadix::DataFormat::Gts)
        first = "TS Meas. Data File(GTS)|*.gts|";
    else if (job_.dataFormat == stadix::DataFormat::Sss)
        first = "TS Meas. Data File(SSS)|*.gt7|";
    return first + "Text file(*.TXT)|*.TXT";
}

bool DocumentController::SaveAsMeasurement() {
    const std::optional<FileChoice> choice =
        files_.ChooseSaveFile("Save as", MeasurementSaveFilter(), "JCD", DocName(job_));
    if (!choice)
        return false;
    const bool firstType = choice->filterIndex == 1;
    // A measurement file holds raw records; its listing written over it would lose them.
    if (files_.RefuseWritingOverInput(choice->path, stadix::SavesOwnFileKind(job_, firstType)))
        return false;
    if (!files_.WriteDocumentFile(choice->path, stadix::MeasurementFileBytes(job_, firstType)))
        return OfferSaveElsewhere();
    stadix::AttachToFile(job_, LocalPath(choice->path));
    view_.SetMeasurementTitle();
    RememberRecentFile(LocalPath(choice->path));
    view_.MarkSaved();
    job_.modified = false;
    return true;
}

void DocumentController::Import() {
    if (!ConfirmSaveChanges())
        return;
    const std::vector<const stadix::CoordinateFormat*> formats = stadix::ImportableFormats();
    QStringList entries;
    for (const stadix::CoordinateFormat* format : formats)
        entries << DialogFilterEntry(stadix::CoordinateDialogEntry(*format, {}));
    // Other makers' raw files give the coordinates they store.
    for (const stadix::MakersFormat& format : stadix::MakersFormats())
        entries << QString("%1 (*%2)|*%2").arg(format.name, QString(format.extension).toLower());
    const std::vector<stadix::GisFormat> gisFormats = GisFormatsOfDialog(true);
    for (const stadix::GisFormat format : gisFormats)
        entries << GisFilterEntry(format);
    const std::optional<FileChoice> choice =
        files_.ChooseOpenFile("Import", entries.join('|'), "pts");
    if (!choice)
        return;
    const std::size_t chosen = std::size_t(qMax(1, choice->filterIndex) - 1);
    const std::vector<stadix::MakersFormat>& makers = stadix::MakersFormats();
    if (chosen >= formats.size() && chosen < formats.size() + makers.size()) {
        ImportStoredPoints(LocalPath(choice->path), makers[chosen - formats.size()]);
        return;
    }
    const std::size_t gisIndex = chosen - formats.size() - makers.size();
    if (chosen >= formats.size() + makers.size() && gisIndex < gisFormats.size()) {
        ImportGisFile(LocalPath(choice->path), gisFormats[gisIndex]);
        return;
    }
    const stadix::ImportFormat format =
        *formats[std::size_t(qBound(1, choice->filterIndex, int(formats.size())) - 1)]
             ->importFormat;
    // The file is read and converted before the job changes: a file that fails
    // leaves the job, its table and its file name as they were.
    std::optional<stadix::ImportedRecords> imported =
        ReadImportFile(LocalPath(choice->path), format);
    if (imported)
        ShowImported(std::move(*imported), LocalPath(choice->path));
}

std::optional<stadix::ImportedRecords>
DocumentController::ReadImportFile(const std::string& path, stadix::ImportFormat format) {
    try {
        const ProgressShown progress(view_, "Importing...");
        return stadix::ImportCoordinateFile(path, format);
    } catch (const std::exception& failure) {
        TellImportFailure(failure.what());
        return std::nullopt;
    }
}

void DocumentController::TellImportFailure(const std::string& why) {
    prompts_.Tell(parent_,
                  QString::fromUtf8(stadix::kImportingError) + "\n" + MessageToDisplay(why),
                  QMessageBox::Warning);
}

std::optional<stadix::StoredPointLines>
DocumentController::TakeStoredPoints(const std::string& path, const stadix::MakersFormat& format,
                                     const std::function<stadix::StoredPointLines()>& read) {
    stadix::StoredPointLines stored;
    try {
        const ProgressShown progress(view_, "Importing...");
        stored = read();
    } catch (const stadix::FormatError& failure) {
        TellImportFailure(stadix::NotOfKindMessage(format, path, failure));
        return std::nullopt;
    } catch (const std::exception& failure) {
        TellImportFailure(failure.what());
        return std::nullopt;
    }
    if (stored.lines.empty()) {
        prompts_.Tell(parent_, "The file stores no coordinates: nothing was imported.",
                      QMessageBox::Warning);
        return std::nullopt;
    }
    return stored;
}

void DocumentController::TellCutNames(const std::vector<stadix::CutName>& cutNames) {
    if (!cutNames.empty())
        prompts_.Tell(parent_, MessageToDisplay(stadix::CutNamesMessage(cutNames)),
                      QMessageBox::Information);
}

void DocumentController::ImportStoredPoints(const std::string& path,
                                            const stadix::MakersFormat& format) {
    std::optional<stadix::StoredPointLines> stored =
        TakeStoredPoints(path, format, [&] { return stadix::ReadStoredPoints(path, format); });
    if (!stored)
        return;
    stadix::ImportedRecords imported = ImportedUpToTheLimit(std::move(stored->lines));
    ShowImported(std::move(imported), path);
    TellCutNames(stored->cutNames);
}

bool DocumentController::ShowsMakersFile() const {
    return job_.content == stadix::JobContent::MakersListing;
}

void DocumentController::ImportStoredCoordinates() {
    const std::string path = job_.filePath;
    const stadix::MakersFormat* format = stadix::MakersFormatOfFile(path);
    if (!ShowsMakersFile() || !format)
        return;
    // From the text shown, which Compute Coordinates computes from too.
    std::optional<stadix::StoredPointLines> stored =
        TakeStoredPoints(path, *format, [this] { return stadix::ListedFileStoredPoints(job_); });
    if (!stored || !ConfirmSaveChanges())
        return;
    stadix::ImportedRecords imported = ImportedUpToTheLimit(std::move(stored->lines));
    ShowAsNewJob(std::move(imported.lines));
    // The raw file stays the input: a Save As over it is refused.
    files_.SetImportedFrom(path);
    if (imported.linesLeftOut > 0)
        prompts_.Tell(parent_, BytesToDisplay(stadix::ImportCutMessage(imported)),
                      QMessageBox::Warning);
    TellCutNames(stored->cutNames);
}

void DocumentController::ShowAsNewJob(std::vector<std::string> lines) {
    view_.ClearRecords();
    stadix::StartNewJob(job_);
    job_.lines = std::move(lines);
    files_.SetImportedFrom(std::string());
    view_.ShowCoordinateView();
    view_.SetCoordTitle();
    view_.FillTable();
    view_.SetTotal(job_.lines.size());
    view_.SetCurrentCell(1, 0);
    // The records exist nowhere else yet: closing must ask about them.
    job_.modified = true;
    view_.ForgetEdits();
}

void DocumentController::ImportGisFile(const std::string& path, stadix::GisFormat format) {
    const std::optional<ChosenReferenceSystem> chosen = AskReferenceSystem(prompts_, parent_, true);
    if (!chosen)
        return;
    stadix::GisImport imported;
    try {
        const ProgressShown progress(view_, "Importing...");
        imported = stadix::ImportGisPoints(path, format, chosen->system);
    } catch (const std::exception& failure) {
        TellImportFailure(failure.what());
        return;
    }
    const std::vector<std::string> notes = stadix::ImportNotes(imported, chosen->system);
    ShowImported({std::move(imported.recordLines), 0}, path);
    QStringList lines;
    for (const std::string& note : notes)
        lines << MessageToDisplay(note);
    if (!lines.isEmpty())
        prompts_.Tell(parent_, lines.join('\n'), QMessageBox::Information);
}

void DocumentController::ShowImported(stadix::ImportedRecords imported, const std::string& path) {
    const std::string cutMessage =
        imported.linesLeftOut > 0 ? stadix::ImportCutMessage(imported) : std::string();
    stadix::RecordsState before = stadix::CaptureAllRecords(table_, job_.lines);
    job_.lines = std::move(imported.lines);
    view_.ClearTable();
    view_.FillTable();
    view_.SetTotal(job_.lines.size());
    view_.SetCurrentCell(1, 0);
    view_.PushChange("Import", stadix::RecordsChange(std::move(before), table_, &job_.lines));
    // The records are no longer the file's: the job is untitled, and its title says so.
    if (!job_.untitled)
        stadix::DetachFromFile(job_);
    view_.SetCoordTitle();
    files_.SetImportedFrom(path);
    if (!cutMessage.empty())
        prompts_.Tell(parent_, BytesToDisplay(cutMessage), QMessageBox::Warning);
}
