// Another maker's raw file reduced as it is read, a setup at a time, so that a file of any
// length is reduced in memory that grows with its point names only, never with its text
// or its observations. It gives what Reduce gives for the whole file.
#pragma once

#include "survey/MakersFormats.h"
#include "survey/ReductionReport.h"

#include <cstddef>
#include <functional>
#include <string>

namespace stadix {

struct StreamedReductionOutput {
    // Called as each reading of the file starts; the report's pieces from then on go to
    // what it returns. The file is read a second time only when coordinates of a name came
    // after a station or backsight had asked for them. Empty: no report.
    std::function<ReductionReportWriter::Write()> startReport;
    // Each record line in input order, once the file is read.
    std::function<void(std::string&&)> recordLine;
};

struct StreamedReductionCounts {
    std::size_t setups = 0;
    std::size_t records = 0;
    std::size_t leftOut = 0; // observations that gave no point
};

// Throws FileError, and FormatError for a file that is not of its kind.
StreamedReductionCounts ReduceMakersFile(const MakersFormat& format, const std::string& path,
                                         const ReductionOptions& options,
                                         const StreamedReductionOutput& output);

} // namespace stadix
