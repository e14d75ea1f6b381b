#include "sdcard/CardExport.h"

#include "formats/ExportFormats.h"

#include "sdcard/CardTexts.h"
#include "sdcard/RecordFile.h"

namespace stadix {

namespace {

// Appends the PT record of every line with append until it reports anything but
// Success; the report says how far it went.
template <typename Append>
CardExportReport AppendPtRecords(const std::vector<std::string>& lines, CardByteOrder order,
                                 Append append) {
    CardExportReport report;
    for (const std::string& line : lines) {
        RawRecord record{};
        PointLineToPtRecord(line, record, order);
        report.status = append(record);
        if (report.status != CardStatus::Success)
            break;
        ++report.stored;
    }
    return report;
}

CardExportReport Refused(const CardProblem& problem, std::size_t stored) {
    CardExportReport report;
    report.status = CardStatus::Failure;
    report.stored = stored;
    report.caption = cardtext::kWarningCaption;
    report.message = cardtext::kCannotExport;
    report.problem = problem;
    return report;
}

} // namespace

CardExportReport ExportToRecordFile(const std::string& path, Job& job) {
    RecordFile file;
    if (file.OpenRecordFile(path, CardAccess::ReadWrite) != CardStatus::Success)
        return Refused(file.Problem(), 0);
    job.cardByteOrder = CardByteOrder::LittleEndian;
    CardExportReport report =
        AppendPtRecords(job.lines, job.cardByteOrder,
                        [&](const RawRecord& record) { return file.AppendRecord(record); });
    // Closing writes the slot map and the count of the records stored, whatever followed.
    if (report.status == CardStatus::Failure || file.CloseRecordFile() != CardStatus::Success)
        return Refused(file.Problem(), report.stored);
    report.caption = cardtext::kMessageCaption;
    report.message = report.status == CardStatus::FileFull ? cardtext::kFileFull
                                                           : cardtext::ExportedText(report.stored);
    return report;
}

CardExportReport ExportToJob(JobStore& store, int jobNumber, Job& job) {
    job.cardByteOrder = store.ByteOrder();
    job.decodeState.bigEndian = store.Layout().bigEndian;
    CardExportReport report =
        AppendPtRecords(job.lines, job.cardByteOrder, [&](const RawRecord& record) {
            return store.AddJobRecord(jobNumber, record);
        });
    if (report.status == CardStatus::Failure)
        return Refused(store.Problem(), report.stored);
    report.caption = cardtext::kMessageCaption;
    if (report.status == CardStatus::Success) {
        report.message = cardtext::ExportedText(report.stored);
    } else {
        report.message = cardtext::FullExportedText(report.stored);
        report.problem = store.Problem();
    }
    return report;
}

std::string CardPtsFileBytes(const std::vector<std::string>& recordLines) {
    return CoordinateExportBytes(*FindCoordinateFormat("pts"), recordLines, UserFormat());
}

} // namespace stadix
