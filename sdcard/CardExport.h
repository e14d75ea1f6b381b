// Export to the card: the job's record lines as PT records appended to a record file or
// to a job of a job store, and what the command then tells the user.
#pragma once

#include "job/Job.h"
#include "sdcard/JobStore.h"

#include <cstddef>
#include <string>
#include <vector>

namespace stadix {

struct CardExportReport {
    // Success; FileFull, JobFull or StoreFull when the records beyond the room were not
    // stored; Failure when the card file was refused or could not be written.
    CardStatus status = CardStatus::Success;
    std::size_t stored = 0;
    // The message box: caption and text.
    std::string caption;
    std::string message;
    // Why the export failed or stopped early when the card file is at fault; else empty.
    CardProblem problem;
};

// Appends one PT record per record line of the job (its gathered records) to an
// existing record file, numbers little-endian, until the file is full.
CardExportReport ExportToRecordFile(const std::string& path, Job& job);

// Appends one PT record per record line to a job (or the known-coordinates list) of an
// open, recognised and loaded job store, in the store's byte order, until the job or the
// store is full.
CardExportReport ExportToJob(JobStore& store, int jobNumber, Job& job);

// The PTS text file of the record lines, as the PTS choice of the export writes it.
std::string CardPtsFileBytes(const std::vector<std::string>& recordLines);

} // namespace stadix
