#include "survey/StreamedReduction.h"

#include <optional>
#include <vector>

namespace stadix {

namespace {

// One reading of the file: its setups reduced as they finish, their report blocks written.
class FileReading {
  public:
    FileReading(SetupReducer& reducer, const ReductionOptions& options,
                const StreamedReductionOutput& output)
        : reducer_(reducer), options_(options), output_(output) {}

    void Read(const MakersFormat& format, const std::string& path) {
        format.stream(
            path, [this](const Measurements& read, std::size_t finished) { Take(read, finished); });
    }

    void Finish() {
        const ReductionSummary summary = reducer_.Finish([this](std::string&& line) {
            ++counts_.records;
            output_.recordLine(std::move(line));
        });
        counts_.leftOut += summary.outsideSetups.size();
        if (report_)
            report_->End(summary, unread_, counts_.records);
    }

    const StreamedReductionCounts& Counts() const { return counts_; }

  private:
    void Take(const Measurements& read, std::size_t finished) {
        if (output_.startReport && !report_)
            report_.emplace(options_, read.placeWord, output_.startReport());
        reducer_.LearnCoordinates(read);
        reducer_.ReduceSetups(read, finished, [this](const Setup& setup, SetupResult&& result) {
            ++counts_.setups;
            counts_.leftOut += result.leftOut.size();
            if (report_)
                report_->AddSetup(setup, result);
        });
        unread_.insert(unread_.end(), read.unread.begin(), read.unread.end());
    }

    SetupReducer& reducer_;
    const ReductionOptions& options_;
    const StreamedReductionOutput& output_;
    std::optional<ReductionReportWriter> report_;
    std::vector<UnreadItem> unread_;
    StreamedReductionCounts counts_;
};

} // namespace

StreamedReductionCounts ReduceMakersFile(const MakersFormat& format, const std::string& path,
                                         const ReductionOptions& options,
                                         const StreamedReductionOutput& output) {
    // The spreads are told in the report only.
    SetupReducer reducer(options, static_cast<bool>(output.startReport));
    {
        FileReading reading(reducer, options, output);
        reading.Read(format, path);
        if (!reducer.LearnedTooLate()) {
            reading.Finish();
            return reading.Counts();
        }
    }
    // The first reading's memory goes as the second starts, knowing every coordinate.
    reducer = reducer.Restarted();
    FileReading reading(reducer, options, output);
    reading.Read(format, path);
    reading.Finish();
    return reading.Counts();
}

} // namespace stadix
