#include "job/Job.h"

#include "base/FileIO.h"
#include "job/JobFile.h"
#include "job/ReceivedCoords.h"
#include "job/RecordTable.h"

#include <filesystem>

namespace stadix {

void StartNewJob(Job& job) {
    job.lines.clear();
    job.content = JobContent::RecordLines;
    DetachFromFile(job);
    job.modified = false;
}

void AttachToFile(Job& job, const std::string& path) {
    job.filePath = path;
    job.docName = std::filesystem::path(path).filename().string();
    job.untitled = false;
}

void DetachFromFile(Job& job) {
    ++job.jobCounter;
    job.docName = "Job" + std::to_string(job.jobCounter);
    job.untitled = true;
}

std::optional<DocumentKind> DocumentKindOf(const std::string& path) {
    if (HasExtension(path, ".JCD"))
        return DocumentKind::JobFile;
    if (HasExtension(path, ".TSM"))
        return DocumentKind::MeasurementFile;
    if (HasExtension(path, ".GTS") || HasExtension(path, ".GT7"))
        return DocumentKind::GtsText;
    if (HasExtension(path, ".TXT"))
        return DocumentKind::Text;
    if (HasExtension(path, ".GSI") || HasExtension(path, ".SDR") || HasExtension(path, ".RW5"))
        return DocumentKind::MakersRawData;
    return std::nullopt;
}

std::size_t OpenJobFile(Job& job, const std::string& path) {
    FileHead load = LoadJobFile(path);
    job.lines = std::move(load.lines);
    job.content = JobContent::RecordLines;
    if (load.fileLines > job.lines.size())
        DetachFromFile(job);
    else
        AttachToFile(job, path);
    job.modified = false;
    return load.fileLines;
}

std::optional<std::string> SaveFileBytes(const Job& job) {
    if (job.InCoordinateView())
        return JobFileBytes(job.lines);
    if (job.content == JobContent::Listing || job.content == JobContent::MakersListing)
        return std::nullopt;
    return JoinLinesCrLf(job.lines);
}

bool SavesRawRecords(const Job& job, bool firstTypeChosen) {
    return firstTypeChosen && job.content == JobContent::Listing &&
           job.dataFormat == DataFormat::Kvr;
}

bool SavesOwnFileKind(const Job& job, bool firstTypeChosen) {
    return job.content != JobContent::MakersListing &&
           SavesRawRecords(job, firstTypeChosen) == job.rawLoaded;
}

std::string MeasurementFileBytes(const Job& job, bool firstTypeChosen) {
    if (SavesRawRecords(job, firstTypeChosen))
        return job.rawRecords;
    return JoinLinesCrLf(job.lines);
}

SavedFile ReceivedJobFile(const Job& job) {
    if (job.InCoordinateView())
        return {DocumentKind::JobFile, *SaveFileBytes(job)};
    return {SavesRawRecords(job, true) ? DocumentKind::MeasurementFile : DocumentKind::Text,
            MeasurementFileBytes(job, true)};
}

JobContent ContentOf(bool coordinates, bool rawLoaded) {
    if (coordinates)
        return JobContent::RecordLines;
    return rawLoaded ? JobContent::Listing : JobContent::Text;
}

bool ReceivedAnything(const Job& before, const Job& after) {
    return after.lines != before.lines ||
           (!after.rawRecords.empty() && after.rawRecords != before.rawRecords);
}

void ConvertReceivedCoordinates(Job& job) {
    if (job.content != JobContent::ReceivedCoordinates)
        return;
    ConvertReceivedCoordinates(job.lines, job.dataFormat);
    job.content = JobContent::RecordLines;
}

std::vector<std::string> GatheredRecords(const std::vector<std::string>& lines) {
    std::vector<std::string> records;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (std::optional<std::string> record = GatheredRecordLine(lines[i], int(i + 1)))
            records.push_back(std::move(*record));
    }
    return records;
}

} // namespace stadix
