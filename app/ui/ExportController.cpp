#include "app/ui/ExportController.h"

#include "app/ui/DocumentFiles.h"
#include "app/ui/DocumentView.h"
#include "app/ui/GisChoices.h"
#include "app/ui/WindowPrompts.h"
#include "base/Errors.h"
#include "base/FileIO.h"
#include "formats/ExportFormats.h"
#include "formats/ui/ExportLayoutDialog.h"
#include "gis/PointWriters.h"
#include "job/Job.h"
#include "job/RecordTable.h"
#include "widgets/Prompts.h"
#include "widgets/TextCodec.h"

#include <QStringList>

ExportController::ExportController(stadix::Job& job, const stadix::RecordTable& table,
                                   WindowPrompts& prompts, QWidget* parent, DocumentView& view,
                                   DocumentFiles& files, const std::string& settingsPath)
    : job_(job), table_(table), prompts_(prompts), parent_(parent), view_(view), files_(files),
      settingsPath_(settingsPath) {}

void ExportController::Export() {
    if (!job_.InCoordinateView() && job_.rawLoaded)
        ExportMeasurements();
    else
        ExportCoordinates();
}

void ExportController::ExportCoordinates() {
    if (!view_.CommitTableEdit())
        return;
    const std::vector<int> leftOut = stadix::IncompleteRows(table_);
    view_.GatherRecords();
    // Read afresh at every export: the layout dialog may have changed it.
    const stadix::UserFormat layout =
        stadix::ReadUserFormat(settingsPath_).value_or(stadix::DefaultUserFormat());
    QStringList entries;
    for (const stadix::CoordinateFormat& format : stadix::kCoordinateFormats)
        entries << DialogFilterEntry(stadix::CoordinateDialogEntry(format, layout));
    const std::vector<stadix::GisFormat> gisFormats = GisFormatsOfDialog(false);
    for (const stadix::GisFormat format : gisFormats)
        entries << GisFilterEntry(format);
    const std::optional<FileChoice> choice =
        files_.ChooseSaveFile("Export", entries.join('|'),
                              BytesToDisplay(stadix::CoordinateDialogDefaultExtension(layout)));
    if (!choice)
        return;
    const int gisIndex = choice->filterIndex - int(stadix::kCoordinateFormats.size()) - 1;
    if (gisIndex >= 0 && gisIndex < int(gisFormats.size())) {
        ExportGisFile(choice->path, gisFormats[std::size_t(gisIndex)], leftOut);
        return;
    }
    view_.NoteRowsLeftOut(leftOut, "not exported");
    const ProgressShown progress(view_, "Exporting...");
    const int index = qBound(1, choice->filterIndex, int(stadix::kCoordinateFormats.size()));
    WriteExportFile(choice->path,
                    stadix::CoordinateExportBytes(
                        stadix::kCoordinateFormats[std::size_t(index - 1)], job_.lines, layout));
}

void ExportController::ExportGisFile(const QString& path, stadix::GisFormat format,
                                     const std::vector<int>& leftOut) {
    if (files_.RefuseWritingOverInput(path, false))
        return;
    const std::optional<ChosenReferenceSystem> chosen =
        AskReferenceSystem(prompts_, parent_, !stadix::HoldsWgs84(format));
    if (!chosen)
        return;
    view_.NoteRowsLeftOut(leftOut, "not exported");
    const ProgressShown progress(view_, "Exporting...");
    try {
        const std::unique_ptr<stadix::GisPointWriter> writer =
            stadix::OpenGisPointWriter(format, LocalPath(path), chosen->system);
        for (const std::string& line : job_.lines)
            writer->Add(stadix::GisPointOfRecordLine(line));
        writer->Commit();
    } catch (const stadix::PointsRefused& failure) {
        TellNothingWritten(MessageToDisplay(failure.what()) + "\nNothing was written.");
    } catch (const stadix::FileError& failure) {
        TellNothingWritten(QString(stadix::kCannotExportError) + "\n" +
                           MessageToDisplay(failure.what()));
    }
}

void ExportController::ExportMeasurements() {
    QStringList entries;
    for (const stadix::MeasurementFormat& format : stadix::kMeasurementFormats)
        entries << DialogFilterEntry(stadix::MeasurementDialogEntry(format));
    const std::optional<FileChoice> choice = files_.ChooseSaveFile(
        "Export", entries.join('|'),
        BytesToDisplay(std::string(stadix::kMeasurementDialogDefaultExtension)));
    if (!choice)
        return;
    const ProgressShown progress(view_, "Exporting...");
    // Any entry but the first writes the polar text.
    const stadix::MeasurementFormat& format =
        stadix::kMeasurementFormats[choice->filterIndex == 1 ? 0 : 1];
    WriteExportFile(choice->path, format.fileBytes(job_.decodeState, job_.rawRecords));
}

void ExportController::WriteExportFile(const QString& path, const std::string& bytes) {
    if (files_.RefuseWritingOverInput(path, false))
        return;
    try {
        stadix::WriteFileAtomically(LocalPath(path), bytes);
    } catch (const stadix::FileError& failure) {
        TellNothingWritten(QString(stadix::kCannotExportError) + "\n" +
                           MessageToDisplay(failure.what()));
    }
}

void ExportController::TellNothingWritten(const QString& why) {
    view_.ShowProgress(QString());
    prompts_.Tell(parent_, why, QMessageBox::Warning);
}

void ExportController::DefineExportFormat() {
    ExportLayoutDialog dialog(settingsPath_, prompts_, parent_);
    dialog.exec();
}
