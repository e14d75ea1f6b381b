// Coordinates from measurements: each setup oriented on its observed backsights (or
// its circle taken as read), each observation with a distance reduced to a point,
// several observations of a point in one setup averaged, and the result as the record
// lines of a job, with what the report needs to tell how each value came about.
#pragma once

#include "survey/Measurements.h"

#include <cstddef>
#include <optional>
#include <string>
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
    std::size_t point = 0; // index into Reduction::points
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

// A point computed in one setup or more.
struct ComputedPoint {
    const Observation* first = nullptr; // its first observation that gave it
    Position sum;                       // of its setups' positions
    std::size_t setups = 0;
    Position Mean() const;
};

struct CutName {
    std::string name;
    std::string cut;
};

struct Reduction {
    // Stations and computed points in input order, one record line per name, in the
    // distance unit of the input where each stands.
    std::vector<std::string> recordLines;
    std::vector<SetupResult> setups; // as Measurements::setups
    std::vector<ComputedPoint> points;
    std::vector<LeftOut> outsideSetups; // observations that belong to no setup
    std::vector<LeftOut> notWritten;    // values a record line cannot hold
    std::vector<CutName> cutNames;
};

Reduction Reduce(const Measurements& measurements, const ReductionOptions& options);

} // namespace stadix
