#include "survey/Reduction.h"

#include "base/Errors.h"
#include "base/TextFormat.h"
#include "job/RecordLine.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

namespace stadix {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kSecondsPerRadian = 648000 / kPi;
constexpr std::size_t kRecordNameLength = 8;
// A backsight closer than this to its station gives no direction.
constexpr double kShortestBacksight = 0.001;

bool IsFinite(const Position& p) {
    return std::isfinite(p.north) && std::isfinite(p.east) && std::isfinite(p.elevation);
}

double HorizontalDistance(const Position& from, const Position& to) {
    return std::hypot(to.north - from.north, to.east - from.east);
}

// What the reduction knows of a point by its name: coordinates the input gives, or the
// mean of the setups that computed it so far; and its entry among the computed points.
struct KnownPoint {
    bool given = false;
    Position sum;
    std::size_t count = 0;
    std::size_t computed = kNoSetup; // index into Reduction::points, once computed
    Position Mean() const { return {sum.north / count, sum.east / count, sum.elevation / count}; }
};

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
std::string PointLine(const std::string& name, const std::string& code, const Position& position,
                      CoordUnit unit) {
    const double perMetre = 1 / MetresPer(unit);
    return MakeRecordLine(
        name, code.substr(0, kRecordNameLength), FormatFixed(position.north * perMetre, 3),
        FormatFixed(position.east * perMetre, 3), FormatFixed(position.elevation * perMetre, 3));
}

class Reducer {
  public:
    Reducer(const Measurements& measurements, const ReductionOptions& options)
        : measurements_(measurements), options_(options) {}

    Reduction Run() {
        LearnGivenPoints();
        GroupObservationsBySetup();
        result_.setups.resize(measurements_.setups.size());
        for (std::size_t s = 0; s < measurements_.setups.size(); ++s)
            ReduceSetup(s);
        WriteRecordLines();
        return std::move(result_);
    }

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

    // One record line to be written: a station or a computed point.
    struct Entry {
        std::size_t place;
        const std::string* name;
        const std::string* code;
        Position position;
        CoordUnit unit;
    };

    void Learn(const std::string& name, const Position& position) {
        KnownPoint& known = known_[name];
        if (known.given)
            return;
        known.given = true;
        known.sum = position;
        known.count = 1;
    }

    void LearnGivenPoints() {
        for (const Setup& setup : measurements_.setups) {
            if (setup.coordinates.position && !setup.coordinates.zerosMayBePlaceholder)
                Learn(setup.station, *setup.coordinates.position);
            for (const DesignatedBacksight& backsight : setup.backsights) {
                if (backsight.coordinates.position && !backsight.coordinates.zerosMayBePlaceholder)
                    Learn(backsight.point, *backsight.coordinates.position);
            }
        }
        for (const GivenPoint& point : measurements_.givenPoints)
            Learn(point.name, point.position);
    }

    // The setups' observations one after the other, in input order within each setup.
    void GroupObservationsBySetup() {
        const std::vector<Observation>& observations = measurements_.observations;
        setupStart_.assign(measurements_.setups.size() + 1, 0);
        for (const Observation& observation : observations) {
            if (observation.setup < measurements_.setups.size())
                ++setupStart_[observation.setup + 1];
            else
                result_.outsideSetups.push_back(
                    {observation.point, observation.place, "no station setup"});
        }
        for (std::size_t s = 1; s < setupStart_.size(); ++s)
            setupStart_[s] += setupStart_[s - 1];
        std::vector<std::size_t> next(setupStart_.begin(), setupStart_.end() - 1);
        bySetup_.resize(setupStart_.back());
        for (const Observation& observation : observations) {
            if (observation.setup < measurements_.setups.size())
                bySetup_[next[observation.setup]++] = &observation;
        }
    }

    // Coordinates a record gives, else those known by the name, else the record's zeros.
    std::optional<Position> Locate(const std::string& name, const RecordedCoordinates& recorded,
                                   std::string* source) const {
        if (recorded.position && !recorded.zerosMayBePlaceholder)
            return recorded.position;
        const auto known = known_.find(name);
        if (known != known_.end() && known->second.count > 0) {
            if (source)
                *source = name;
            return known->second.Mean();
        }
        return recorded.position;
    }

    void ReduceSetup(std::size_t s) {
        const Setup& setup = measurements_.setups[s];
        SetupResult& result = result_.setups[s];
        const Observation* const* first = bySetup_.data() + setupStart_[s];
        const Observation* const* last = bySetup_.data() + setupStart_[s + 1];
        result.station = Locate(setup.station, setup.coordinates, &result.stationSource);
        if (!result.station) {
            for (const Observation* const* o = first; o != last; ++o)
                result.leftOut.push_back(
                    {(*o)->point, (*o)->place, "station without known coordinates"});
            return;
        }
        Orient(setup, result, first, last);
        for (const Observation* const* o = first; o != last; ++o) {
            if (!IsBacksight(setup, (*o)->point))
                AddObservation(setup, result, **o);
        }
        SettleSetupPoints(result);
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
    }

    std::vector<OrientingBacksight> OrientingBacksights(const Setup& setup, SetupResult& result) {
        std::vector<OrientingBacksight> orienting;
        for (const DesignatedBacksight& backsight : setup.backsights) {
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
                            station.elevation + setup.instrumentHeight + rise -
                                observation.targetHeight};
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
        KnownPoint& known = known_[observation.point];
        if (known.computed == kNoSetup) {
            known.computed = result_.points.size();
            result_.points.push_back({&observation, {}, 0});
        }
        ComputedPoint& point = result_.points[known.computed];
        if (observation.place < point.first->place)
            point.first = &observation;
        if (slotOf_.size() < result_.points.size())
            slotOf_.resize(result_.points.size(), kNoSetup);
        std::size_t& slot = slotOf_[known.computed];
        if (slot == kNoSetup || slot >= result.points.size() ||
            result.points[slot].point != known.computed) {
            slot = result.points.size();
            result.points.push_back({known.computed, {}, 0});
        }
        SetupPoint& setupPoint = result.points[slot];
        setupPoint.position.north += reduced.position.north;
        setupPoint.position.east += reduced.position.east;
        setupPoint.position.elevation += reduced.position.elevation;
        ++setupPoint.observations;
    }

    // Each point of the setup becomes the mean of its observations there, and adds to
    // what later setups know of it.
    void SettleSetupPoints(SetupResult& result) {
        for (SetupPoint& setupPoint : result.points) {
            const double count = static_cast<double>(setupPoint.observations);
            Position& p = setupPoint.position;
            p = {p.north / count, p.east / count, p.elevation / count};
            ComputedPoint& point = result_.points[setupPoint.point];
            point.sum.north += p.north;
            point.sum.east += p.east;
            point.sum.elevation += p.elevation;
            ++point.setups;
            KnownPoint& known = known_[point.first->point];
            if (!known.given) {
                known.sum = point.sum;
                known.count = point.setups;
            }
        }
    }

    std::vector<Entry> Entries() const {
        std::vector<Entry> entries;
        std::unordered_set<std::string_view> stations;
        for (std::size_t s = 0; s < measurements_.setups.size(); ++s) {
            const Setup& setup = measurements_.setups[s];
            const std::optional<Position>& station = result_.setups[s].station;
            if (station && stations.insert(setup.station).second)
                entries.push_back({setup.place, &setup.station, &setup.code, *station, setup.unit});
        }
        for (const ComputedPoint& point : result_.points)
            entries.push_back({point.first->place, &point.first->point, &point.first->code,
                               point.Mean(), point.first->unit});
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Entry& a, const Entry& b) { return a.place < b.place; });
        return entries;
    }

    void WriteRecordLines() {
        std::unordered_set<std::string_view> written;
        for (const Entry& entry : Entries()) {
            if (!written.insert(*entry.name).second)
                continue;
            if (entry.name->empty()) {
                result_.notWritten.push_back({"", entry.place, "no name"});
                continue;
            }
            if (!IsFinite(entry.position)) {
                result_.notWritten.push_back({*entry.name, entry.place, "cannot be computed"});
                continue;
            }
            const std::string name = entry.name->substr(0, kRecordNameLength);
            try {
                result_.recordLines.push_back(
                    PointLine(name, *entry.code, entry.position, entry.unit));
            } catch (const ConversionError&) {
                result_.notWritten.push_back(
                    {*entry.name, entry.place, "too large for a record line"});
                continue;
            }
            if (name.size() < entry.name->size())
                result_.cutNames.push_back({*entry.name, name});
        }
    }

    const Measurements& measurements_;
    const ReductionOptions& options_;
    Reduction result_;
    std::unordered_map<std::string, KnownPoint> known_;
    std::vector<std::size_t> setupStart_;
    std::vector<const Observation*> bySetup_;
    // Where each computed point stands in the points of the setup being reduced.
    std::vector<std::size_t> slotOf_;
};

} // namespace

Position ComputedPoint::Mean() const {
    const double count = static_cast<double>(setups);
    return {sum.north / count, sum.east / count, sum.elevation / count};
}

Reduction Reduce(const Measurements& measurements, const ReductionOptions& options) {
    return Reducer(measurements, options).Run();
}

} // namespace stadix
