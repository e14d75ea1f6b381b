// The report of a reduction, for the surveyor to check and file: per setup the station,
// its coordinates and instrument height, the orientation and each backsight's residual,
// the points computed and the observations left out with their reasons; then the points
// computed in more than one setup with the spread of their positions.
#pragma once

#include "survey/Reduction.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace stadix {

// The report written a piece at a time, as a reduction given setup by setup goes: the
// heading at once, then each setup's block, then the end.
class ReductionReportWriter {
  public:
    using Write = std::function<void(std::string_view)>;
    // placeWord names a place: "record" or "line".
    ReductionReportWriter(const ReductionOptions& options, std::string placeWord, Write write);
    // The setup's block; setups are numbered from 1 in the order they come.
    void AddSetup(const Setup& setup, const SetupResult& result);
    // What stands after the setups, and the count of record lines written.
    void End(const ReductionSummary& summary, const std::vector<UnreadItem>& unread,
             std::size_t written);

  private:
    void Emit();
    void Orientation(const Setup& setup, const SetupResult& result);
    void Points(const SetupResult& result);
    void LeftOutList(const char* title, const std::vector<LeftOut>& list, const char* indent = "");
    void Spreads(const std::vector<PointSpread>& spreads);
    void CutNames(const std::vector<CutName>& cuts);
    void Unread(const std::vector<UnreadItem>& unread);
    std::string Place(std::size_t place) const;

    std::string placeWord_;
    Write write_;
    std::size_t setups_ = 0;
    std::string text_;
};

// UTF-8 text, lines ending in LF.
std::string ReductionReport(const Measurements& measurements, const ReductionOptions& options,
                            const Reduction& reduction);

} // namespace stadix
