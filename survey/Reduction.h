// Coordinates from measurements: each setup oriented on its observed backsights (or
// its circle taken as read), each observation with a distance reduced to a point,
// several observations of a point in one setup averaged, and the result as the record
// lines of a job, with what the report needs to tell how each value came about.
#pragma once

#include "survey/Measurements.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace stadix {

constexpr double kEarthRadius = 6371000.0;
// The longest name (and code) a record line holds.
constexpr std::size_t kRecordNameLength = 8;

struct ReductionOptions {
    double scale = 1.0; // applied to horizontal distances
    // The refraction coefficient K; none: no curvature and refraction correction.
    std::optional<double> refraction;
};

// An observation, or a point, that gave nothing, and why.
struct LeftOut {
    std::string name;
    std::size_t place = 0;
    std::string reason;
};

struct BacksightCheck {
    std::string point;
    // Set when the backsight oriented the setup: its mean residual and its distance.
    std::optional<double> residualSeconds;
    double distance = 0;
    std::size_t observations = 0;
    std::string unusedReason; // why it did not orient the setup
};

// A point as one setup computed it: the mean of its observations there.
struct SetupPoint {
    std::size_t point = 0; // the computed point, counted in the order they were first computed
    std::string name;
    CoordUnit unit = CoordUnit::Metre; // where the point's first observation stands
    Position position;
    std::size_t observations = 0;
};

struct SetupResult {
    std::optional<Position> station;   // none: its coordinates are not known
    std::string stationSource;         // the point it took them from, when it took them
    std::optional<double> orientation; // radians; none: the circle as read
    // Set when no observed backsight oriented the setup and a backsight record's stated
    // direction did: that backsight's name (empty for an azimuth alone).
    std::optional<std::string> orientationStatedBy;
    std::vector<BacksightCheck> backsights;
    std::vector<SetupPoint> points;
    std::vector<LeftOut> leftOut;
};

// A point computed in more than one setup: how far its positions lie apart.
struct PointSpread {
    std::string name;
    CoordUnit unit = CoordUnit::Metre;
    std::size_t setups = 0;
    double horizontal = 0; // the largest distance between two of its positions
    double height = 0;     // the range of its heights
};

struct CutName {
    std::string name;
    std::string cut;
};

// What the whole reduction tells beside its setups.
struct ReductionSummary {
    std::vector<LeftOut> outsideSetups; // observations that belong to no setup
    std::vector<PointSpread> spreads;   // in the order the points were first computed
    std::vector<CutName> cutNames;
    std::vector<LeftOut> notWritten; // values a record line cannot hold
};

struct Reduction : ReductionSummary {
    // Stations and computed points in input order, one record line per name, in the
    // distance unit of the input where each stands.
    std::vector<std::string> recordLines;
    std::vector<SetupResult> setups; // as Measurements::setups
};

Reduction Reduce(const Measurements& measurements, const ReductionOptions& options);

// The reduction of an input given a few setups at a time, so that it is never held whole.
// The coordinates of each name are learned as they come; a station or backsight takes
// those known by its name when its setup is reduced. When a name's coordinates come only
// after they were asked for, the reduction of the input must be made again from the start
// with Restarted(), which knows them all from the beginning: Reduce gives the same.
class SetupReducer {
  public:
    // Without spreads, the positions of points computed in several setups are not kept,
    // and Finish gives none: memory then grows with the names of the input only.
    explicit SetupReducer(const ReductionOptions& options, bool keepSpreads = true);
    ~SetupReducer();
    SetupReducer(SetupReducer&&) noexcept;
    SetupReducer& operator=(SetupReducer&&) noexcept;

    // Learns the coordinates the measurements give: their stations' and backsights' own,
    // then their given points'. A station's or backsight's own come before a given point's.
    void LearnCoordinates(const Measurements& measurements);
    // Reduces the setups of the measurements before `finished`, in order, each with its
    // observations, and hands each result to `done` with its setup; an observation of no
    // setup is left out.
    void ReduceSetups(const Measurements& measurements, std::size_t finished,
                      const std::function<void(const Setup&, SetupResult&&)>& done);
    // Whether coordinates were learned for a name after a station or backsight had asked
    // for it: the reduction so far did not have them.
    bool LearnedTooLate() const;
    // A new reduction that knows every coordinate this one learned.
    SetupReducer Restarted() const;
    // Ends the reduction: each record line in input order to `line`; the rest returned.
    ReductionSummary Finish(const std::function<void(std::string&&)>& line);

  private:
    friend Reduction Reduce(const Measurements& measurements, const ReductionOptions& options);
    class Work;
    explicit SetupReducer(std::unique_ptr<Work> work);
    std::unique_ptr<Work> work_;
};

} // namespace stadix
