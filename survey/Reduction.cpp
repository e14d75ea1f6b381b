#include "survey/Reduction.h"

#include "base/Errors.h"
#include "job/RecordLine.h"
#include "survey/KnownPoints.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <stdexcept>
#include <string_view>

namespace stadix {

namespace {

using reduction::kNoIndex;
using reduction::KnownPoint;
using reduction::KnownPoints;
using reduction::NameIndex;
using reduction::TextRef;
using reduction::TextStore;

constexpr double kPi = 3.14159265358979323846;
constexpr double kSecondsPerRadian = 648000 / kPi;
// A backsight closer than this to its station gives no direction.
constexpr double kShortestBacksight = 0.001;
// How many observations ahead the names are asked for.
constexpr std::ptrdiff_t kLookAhead = 8;

bool IsFinite(const Position& p) {
    return std::isfinite(p.north) && std::isfinite(p.east) && std::isfinite(p.elevation);
}

double HorizontalDistance(const Position& from, const Position& to) {
    return std::hypot(to.north - from.north, to.east - from.east);
}

// An observation's circle reading and zenith angle in radians, face right turned round.
struct FaceLeftAngles {
    double reading;
    double zenith;
};

FaceLeftAngles TurnedToFaceLeft(const Observation& observation) {
    const double reading = Radians(observation.horizontal);
    const double zenith = Radians(observation.zenith);
    if (observation.face == Face::Right)
        return {reading - kPi, 2 * kPi - zenith};
    return {reading, zenith};
}

// The difference brought within half a circle of reference.
double Near(double angle, double reference) {
    return reference + std::remainder(angle - reference, 2 * kPi);
}

// A position's record line in the unit; throws ConversionError for a value it cannot hold.
std::string PointLine(std::string_view name, std::string_view code, const Position& position,
                      CoordUnit unit) {
    const double perMetre = 1 / MetresPer(unit);
    return MakeRecordLineFromValues(
        std::string(name), std::string(code.substr(0, kRecordNameLength)),
        position.north * perMetre, position.east * perMetre, position.elevation * perMetre);
}

// How many names the input holds at most.
std::size_t NameCount(const Measurements& measurements) {
    std::size_t count = measurements.observations.size() + measurements.givenPoints.size();
    for (const Setup& setup : measurements.setups)
        count += 1 + setup.backsights.size();
    return count;
}

// The corners of the positions' convex hull in the horizontal, counterclockwise: the
// two positions farthest apart are among them.
std::vector<Position> HullCorners(std::vector<Position> positions) {
    std::sort(positions.begin(), positions.end(), [](const Position& a, const Position& b) {
        return a.east < b.east || (a.east == b.east && a.north < b.north);
    });
    const auto turnsLeft = [](const Position& o, const Position& a, const Position& b) {
        return (a.east - o.east) * (b.north - o.north) - (a.north - o.north) * (b.east - o.east) >
               0;
    };
    std::vector<Position> hull(2 * positions.size());
    std::size_t k = 0;
    for (std::size_t i = 0; i < positions.size(); ++i) {
        while (k >= 2 && !turnsLeft(hull[k - 2], hull[k - 1], positions[i]))
            --k;
        hull[k++] = positions[i];
    }
    for (std::size_t i = positions.size() - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && !turnsLeft(hull[k - 2], hull[k - 1], positions[i]))
            --k;
        hull[k++] = positions[i];
    }
    hull.resize(k > 1 ? k - 1 : k);
    return hull;
}

// The largest horizontal distance between two of the positions, sought among the corners
// of their hull (a point measured from many setups has many positions), and the range of
// their heights.
PointSpread SpreadOf(const std::vector<Position>& positions) {
    PointSpread spread;
    spread.setups = positions.size();
    const auto [low, high] = std::minmax_element(
        positions.begin(), positions.end(),
        [](const Position& a, const Position& b) { return a.elevation < b.elevation; });
    spread.height = high->elevation - low->elevation;
    const std::vector<Position> corners = HullCorners(positions);
    for (std::size_t i = 0; i < corners.size(); ++i) {
        for (std::size_t j = i + 1; j < corners.size(); ++j)
            spread.horizontal =
                std::max(spread.horizontal, std::hypot(corners[i].north - corners[j].north,
                                                       corners[i].east - corners[j].east));
    }
    return spread;
}

} // namespace

class SetupReducer::Work {
  public:
    Work(const ReductionOptions& options, bool keepSpreads)
        : options_(options), keepSpreads_(keepSpreads) {}

    void Reserve(const Measurements& measurements) {
        known_.Reserve(NameCount(measurements));
        // Each observation computes one point at most.
        points_.reserve(measurements.observations.size());
    }

    void LearnCoordinates(const Measurements& measurements) {
        for (const Setup& setup : measurements.setups) {
            if (setup.coordinates.position && !setup.coordinates.zerosMayBePlaceholder)
                Learn(setup.station, *setup.coordinates.position, &KnownPoint::recorded);
            for (const DesignatedBacksight& backsight : setup.backsights) {
                if (backsight.coordinates.position && !backsight.coordinates.zerosMayBePlaceholder)
                    Learn(backsight.point, *backsight.coordinates.position, &KnownPoint::recorded);
            }
        }
        for (const GivenPoint& point : measurements.givenPoints)
            Learn(point.name, point.position, &KnownPoint::given);
    }

    void ReduceSetups(const Measurements& measurements, std::size_t finished,
                      const std::function<void(const Setup&, SetupResult&&)>& done) {
        GroupObservationsBySetup(measurements);
        for (std::size_t s = 0; s < finished; ++s) {
            const Setup& setup = measurements.setups[s];
            SetupResult result = ReduceSetup(setup, s);
            if (result.station)
                stations_.push_back({*result.station, setup.place, known_.IndexOf(setup.station),
                                     codes_.Add(setup.code), setup.unit});
            done(setup, std::move(result));
        }
    }

    bool LearnedTooLate() const { return learnedTooLate_; }

    std::unique_ptr<Work> Restarted() const {
        auto restarted = std::make_unique<Work>(options_, keepSpreads_);
        for (NameIndex i = 0; i < known_.Count(); ++i) {
            const KnownPoint& known = known_.At(i);
            if (known.recorded != kNoIndex)
                restarted->Learn(known_.NameOf(i), givenPositions_[known.recorded],
                                 &KnownPoint::recorded);
            if (known.given != kNoIndex)
                restarted->Learn(known_.NameOf(i), givenPositions_[known.given],
                                 &KnownPoint::given);
        }
        return restarted;
    }

    ReductionSummary Finish(const std::function<void(std::string&&)>& line) {
        WriteRecordLines(line);
        for (const auto& [point, positions] : positionsOf_) {
            PointSpread spread = SpreadOf(positions);
            spread.name = known_.NameOf(points_[point].known);
            spread.unit = points_[point].unit;
            summary_.spreads.push_back(std::move(spread));
        }
        return std::move(summary_);
    }

    // The unit of a computed point's first observation.
    CoordUnit UnitOf(std::size_t point) const { return points_[point].unit; }

  private:
    // An observation's reduction to a position, or why it gives none.
    struct Reduced {
        Position position;
        const char* problem = nullptr;
    };

    struct OrientingBacksight {
        const DesignatedBacksight* designated;
        Position position;
        double distance;
        double sum = 0; // of (azimuth - reading) over its observations
        std::size_t observations = 0;
    };

    // A point computed in one setup or more, as its record line needs it: the sum of its
    // setups' positions, and the place, code and unit of its first observation.
    struct ComputedPoint {
        Position sum;
        std::size_t place = 0;
        TextRef code;
        NameIndex known = kNoIndex;
        // Where it stands in the points of the setup being reduced.
        NameIndex slot = kNoIndex;
        std::uint32_t setups = 0;
        CoordUnit unit = CoordUnit::Metre;
        Position Mean() const {
            const double count = setups;
            return {sum.north / count, sum.east / count, sum.elevation / count};
        }
    };

    // A station whose setup had coordinates, for its record line.
    struct StationLine {
        Position position;
        std::size_t place;
        NameIndex known;
        TextRef code;
        CoordUnit unit;
    };

    // One record line to be written: a station or a computed point.
    struct Entry {
        std::size_t place;
        NameIndex known;
        TextRef code;
        Position position;
        CoordUnit unit;
    };

    // The first coordinates learned for the name of each kind stand.
    void Learn(std::string_view name, const Position& position, NameIndex KnownPoint::*kind) {
        KnownPoint& known = known_.At(known_.IndexOf(name));
        if (known.*kind != kNoIndex)
            return;
        const NameIndex before = known.Given();
        known.*kind = static_cast<NameIndex>(givenPositions_.size());
        givenPositions_.push_back(position);
        if (known.askedFor && known.Given() != before)
            learnedTooLate_ = true;
    }

    // The observations of the setups one after the other, in input order within each.
    void GroupObservationsBySetup(const Measurements& measurements) {
        const std::vector<Observation>& observations = measurements.observations;
        const std::size_t setups = measurements.setups.size();
        setupStart_.assign(setups + 1, 0);
        for (const Observation& observation : observations) {
            if (observation.setup < setups)
                ++setupStart_[observation.setup + 1];
            else
                summary_.outsideSetups.push_back(
                    {observation.point, observation.place, "no station setup"});
        }
        for (std::size_t s = 1; s < setupStart_.size(); ++s)
            setupStart_[s] += setupStart_[s - 1];
        next_.assign(setupStart_.begin(), setupStart_.end() - 1);
        bySetup_.resize(setupStart_.back());
        for (const Observation& observation : observations) {
            if (observation.setup < setups)
                bySetup_[next_[observation.setup]++] = &observation;
        }
    }

    // Coordinates a record gives, else those known by the name, else the record's zeros.
    std::optional<Position> Locate(const std::string& name, const RecordedCoordinates& recorded,
                                   std::string* source) {
        if (recorded.position && !recorded.zerosMayBePlaceholder)
            return recorded.position;
        KnownPoint& known = known_.At(known_.IndexOf(name));
        known.askedFor = true;
        if (const std::optional<Position> position = PositionOf(known)) {
            if (source)
                *source = name;
            return position;
        }
        return recorded.position;
    }

    // The given coordinates of a point, else the mean of the setups that computed it so
    // far; none when neither is known yet.
    std::optional<Position> PositionOf(const KnownPoint& known) const {
        if (known.Given() != kNoIndex)
            return givenPositions_[known.Given()];
        if (known.computed != kNoIndex && points_[known.computed].setups > 0)
            return points_[known.computed].Mean();
        return std::nullopt;
    }

    SetupResult ReduceSetup(const Setup& setup, std::size_t s) {
        SetupResult result;
        const Observation* const* first = bySetup_.data() + setupStart_[s];
        const Observation* const* last = bySetup_.data() + setupStart_[s + 1];
        result.station = Locate(setup.station, setup.coordinates, &result.stationSource);
        if (!result.station) {
            for (const Observation* const* o = first; o != last; ++o)
                result.leftOut.push_back(
                    {(*o)->point, (*o)->place, "station without known coordinates"});
            return result;
        }
        Orient(setup, result, first, last);
        result.points.reserve(static_cast<std::size_t>(last - first));
        const Observation* const* end = bySetup_.data() + bySetup_.size();
        for (const Observation* const* o = first; o != last; ++o) {
            if (end - o > kLookAhead)
                known_.Prefetch(o[kLookAhead]->point);
            if (!IsBacksight(setup, (*o)->point))
                AddObservation(setup, result, **o);
        }
        SettleSetupPoints(result);
        return result;
    }

    static bool IsBacksight(const Setup& setup, const std::string& name) {
        for (const DesignatedBacksight& backsight : setup.backsights) {
            if (backsight.point == name)
                return true;
        }
        return false;
    }
    // The distance-weighted mean of (azimuth - reading) over the observed backsights.
    void Orient(const Setup& setup, SetupResult& result, const Observation* const* first,
                const Observation* const* last) {
        std::vector<OrientingBacksight> orienting = OrientingBacksights(setup, result);
        double weighted = 0;
        double weights = 0;
        std::optional<double> reference;
        for (const Observation* const* o = first; o != last; ++o) {
            for (OrientingBacksight& backsight : orienting) {
                if (backsight.designated->point != (*o)->point || !WithinCircle((*o)->zenith))
                    continue;
                const Position& station = *result.station;
                const double azimuth = std::atan2(backsight.position.east - station.east,
                                                  backsight.position.north - station.north);
                const double difference = azimuth - TurnedToFaceLeft(**o).reading;
                if (!reference)
                    reference = difference;
                const double near = Near(difference, *reference);
                backsight.sum += near;
                ++backsight.observations;
                weighted += backsight.distance * near;
                weights += backsight.distance;
            }
        }
        if (weights > 0)
            result.orientation = weighted / weights;
        for (const OrientingBacksight& backsight : orienting)
            ReportBacksight(backsight, result);
        if (!result.orientation)
            OrientAsStated(setup, result);
    }

    // The first stated direction of the setup's backsight records: azimuth less circle.
    static void OrientAsStated(const Setup& setup, SetupResult& result) {
        for (const DesignatedBacksight& backsight : setup.backsights) {
            if (backsight.stated) {
                result.orientation =
                    Radians(backsight.stated->azimuth) - Radians(backsight.stated->circle);
                result.orientationStatedBy = backsight.point;
                return;
            }
        }
    }

    std::vector<OrientingBacksight> OrientingBacksights(const Setup& setup, SetupResult& result) {
        std::vector<OrientingBacksight> orienting;
        for (const DesignatedBacksight& backsight : setup.backsights) {
            if (backsight.point.empty())
                continue;
            const bool repeated =
                std::any_of(result.backsights.begin(), result.backsights.end(),
                            [&](const BacksightCheck& b) { return b.point == backsight.point; }) ||
                std::any_of(orienting.begin(), orienting.end(), [&](const OrientingBacksight& b) {
                    return b.designated->point == backsight.point;
                });
            if (repeated)
                continue;
            const std::optional<Position> position =
                Locate(backsight.point, backsight.coordinates, nullptr);
            if (!position) {
                result.backsights.push_back({backsight.point, {}, 0, 0, "coordinates not known"});
                continue;
            }
            const double distance = HorizontalDistance(*result.station, *position);
            if (!(distance >= kShortestBacksight)) {
                result.backsights.push_back({backsight.point, {}, 0, 0, "at the station"});
                continue;
            }
            orienting.push_back({&backsight, *position, distance});
        }
        return orienting;
    }

    static void ReportBacksight(const OrientingBacksight& backsight, SetupResult& result) {
        BacksightCheck check{
            backsight.designated->point, {}, backsight.distance, backsight.observations, ""};
        if (backsight.observations == 0) {
            check.unusedReason = "not observed";
        } else {
            const double mean = backsight.sum / backsight.observations;
            check.residualSeconds =
                std::remainder(mean - *result.orientation, 2 * kPi) * kSecondsPerRadian;
        }
        result.backsights.push_back(std::move(check));
    }

    Reduced ReduceObservation(const Setup& setup, const SetupResult& result,
                              const Observation& observation) const {
        Reduced reduced;
        if (!observation.slopeDistance) {
            reduced.problem = "angles only";
            return reduced;
        }
        const double slope = *observation.slopeDistance;
        if (!WithinCircle(observation.zenith)) {
            reduced.problem = "zenith angle out of range";
            return reduced;
        }
        if (!(slope >= 0) || !std::isfinite(slope)) {
            reduced.problem = "slope distance not usable";
            return reduced;
        }
        const FaceLeftAngles angles = TurnedToFaceLeft(observation);
        const double horizontal = slope * std::sin(angles.zenith) * options_.scale;
        double rise = slope * std::cos(angles.zenith);
        if (options_.refraction)
            rise += (1 - *options_.refraction) * horizontal * horizontal / (2 * kEarthRadius);
        const double direction = angles.reading + result.orientation.value_or(0);
        const Position& station = *result.station;
        reduced.position = {station.north + horizontal * std::cos(direction),
                            station.east + horizontal * std::sin(direction),
                            station.elevation +
                                observation.instrumentHeight.value_or(setup.instrumentHeight) +
                                rise - observation.targetHeight};
        if (!IsFinite(reduced.position))
            reduced.problem = "coordinates cannot be computed";
        else if (observation.point.empty())
            reduced.problem = "no point name";
        return reduced;
    }

    void AddObservation(const Setup& setup, SetupResult& result, const Observation& observation) {
        const Reduced reduced = ReduceObservation(setup, result, observation);
        if (reduced.problem) {
            result.leftOut.push_back({observation.point, observation.place, reduced.problem});
            return;
        }
        const NameIndex index = known_.IndexOf(observation.point);
        KnownPoint& known = known_.At(index);
        if (known.computed == kNoIndex) {
            known.computed = static_cast<NameIndex>(points_.size());
            points_.emplace_back();
            points_.back().known = index;
            points_.back().place = std::numeric_limits<std::size_t>::max();
        }
        ComputedPoint& point = points_[known.computed];
        if (observation.place < point.place) {
            point.place = observation.place;
            point.code = codes_.Add(observation.code);
            point.unit = observation.unit;
        }
        if (point.slot == kNoIndex || point.slot >= result.points.size() ||
            result.points[point.slot].point != known.computed) {
            point.slot = static_cast<NameIndex>(result.points.size());
            result.points.push_back({known.computed, observation.point, point.unit, {}, 0});
        }
        SetupPoint& setupPoint = result.points[point.slot];
        setupPoint.position.north += reduced.position.north;
        setupPoint.position.east += reduced.position.east;
        setupPoint.position.elevation += reduced.position.elevation;
        ++setupPoint.observations;
    }

    // Each point of the setup becomes the mean of its observations there, and adds to
    // what later setups know of it; the positions of a point of several setups are kept
    // for its spread.
    void SettleSetupPoints(SetupResult& result) {
        for (SetupPoint& setupPoint : result.points) {
            const double count = static_cast<double>(setupPoint.observations);
            Position& p = setupPoint.position;
            p = {p.north / count, p.east / count, p.elevation / count};
            ComputedPoint& point = points_[setupPoint.point];
            if (keepSpreads_ && point.setups >= 1)
                KeepPosition(static_cast<NameIndex>(setupPoint.point), point, p);
            point.sum.north += p.north;
            point.sum.east += p.east;
            point.sum.elevation += p.elevation;
            ++point.setups;
        }
    }

    // A position of a point computed before, with its first, which its sum still is.
    void KeepPosition(NameIndex index, const ComputedPoint& point, const Position& position) {
        std::vector<Position>& positions = positionsOf_[index];
        if (point.setups == 1)
            positions.push_back(point.sum);
        positions.push_back(position);
    }

    // The computed points in the order of their first places, which they mostly have.
    std::vector<NameIndex> PointsInInputOrder() const {
        std::vector<NameIndex> order(points_.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = static_cast<NameIndex>(i);
        const auto earlier = [this](NameIndex a, NameIndex b) {
            return points_[a].place < points_[b].place;
        };
        if (!std::is_sorted(order.begin(), order.end(), earlier))
            std::stable_sort(order.begin(), order.end(), earlier);
        return order;
    }

    // A record line for the first entry of each name, in input order: the stations, in
    // the order of their setups, merged with the computed points, a station first where
    // both stand at one place.
    void WriteRecordLines(const std::function<void(std::string&&)>& line) {
        const std::vector<NameIndex> points = PointsInInputOrder();
        auto s = stations_.begin();
        auto p = points.begin();
        while (s != stations_.end() || p != points.end()) {
            if (p == points.end() || (s != stations_.end() && s->place <= points_[*p].place)) {
                WriteRecordLine({s->place, s->known, s->code, s->position, s->unit}, line);
                ++s;
            } else {
                const ComputedPoint& point = points_[*p++];
                WriteRecordLine({point.place, point.known, point.code, point.Mean(), point.unit},
                                line);
            }
        }
    }

    // The entry's record line, unless its name has one already or it cannot be written.
    void WriteRecordLine(const Entry& entry, const std::function<void(std::string&&)>& line) {
        bool& listed = known_.At(entry.known).listed;
        if (listed)
            return;
        listed = true;
        const std::string_view fullName = known_.NameOf(entry.known);
        if (fullName.empty()) {
            summary_.notWritten.push_back({"", entry.place, "no name"});
            return;
        }
        if (!IsFinite(entry.position)) {
            summary_.notWritten.push_back(
                {std::string(fullName), entry.place, "cannot be computed"});
            return;
        }
        const std::string_view name = fullName.substr(0, kRecordNameLength);
        try {
            line(PointLine(name, codes_.At(entry.code), entry.position, entry.unit));
        } catch (const ConversionError&) {
            summary_.notWritten.push_back(
                {std::string(fullName), entry.place, "too large for a record line"});
            return;
        }
        if (name.size() < fullName.size())
            summary_.cutNames.push_back({std::string(fullName), std::string(name)});
    }

    ReductionOptions options_;
    bool keepSpreads_;
    ReductionSummary summary_;
    KnownPoints known_;
    TextStore codes_;
    std::vector<Position> givenPositions_;
    std::vector<ComputedPoint> points_;
    std::vector<StationLine> stations_;
    // The positions of each point computed in more than one setup, in setup order.
    std::map<NameIndex, std::vector<Position>> positionsOf_;
    bool learnedTooLate_ = false;
    // The observations being reduced, grouped by setup.
    std::vector<std::size_t> setupStart_;
    std::vector<std::size_t> next_;
    std::vector<const Observation*> bySetup_;
};

SetupReducer::SetupReducer(const ReductionOptions& options, bool keepSpreads)
    : work_(std::make_unique<Work>(options, keepSpreads)) {}
SetupReducer::SetupReducer(std::unique_ptr<Work> work) : work_(std::move(work)) {}
SetupReducer::~SetupReducer() = default;
SetupReducer::SetupReducer(SetupReducer&&) noexcept = default;
SetupReducer& SetupReducer::operator=(SetupReducer&&) noexcept = default;

void SetupReducer::LearnCoordinates(const Measurements& measurements) {
    work_->LearnCoordinates(measurements);
}

void SetupReducer::ReduceSetups(const Measurements& measurements, std::size_t finished,
                                const std::function<void(const Setup&, SetupResult&&)>& done) {
    work_->ReduceSetups(measurements, finished, done);
}

bool SetupReducer::LearnedTooLate() const {
    return work_->LearnedTooLate();
}

SetupReducer SetupReducer::Restarted() const {
    return SetupReducer(work_->Restarted());
}

ReductionSummary SetupReducer::Finish(const std::function<void(std::string&&)>& line) {
    return work_->Finish(line);
}

Reduction Reduce(const Measurements& measurements, const ReductionOptions& options) {
    SetupReducer reducer(options);
    reducer.work_->Reserve(measurements);
    reducer.LearnCoordinates(measurements);
    Reduction reduction;
    reduction.setups.reserve(measurements.setups.size());
    reducer.ReduceSetups(
        measurements, measurements.setups.size(),
        [&](const Setup&, SetupResult&& result) { reduction.setups.push_back(std::move(result)); });
    reduction.recordLines.reserve(measurements.setups.size() + measurements.observations.size());
    static_cast<ReductionSummary&>(reduction) = reducer.Finish(
        [&](std::string&& line) { reduction.recordLines.push_back(std::move(line)); });
    // A point's first observation may stand in a later setup when setups interleave.
    for (SetupResult& setup : reduction.setups) {
        for (SetupPoint& point : setup.points)
            point.unit = reducer.work_->UnitOf(point.point);
    }
    return reduction;
}

} // namespace stadix
