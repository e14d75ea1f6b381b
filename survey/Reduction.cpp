#include "survey/Reduction.h"

#include "base/Errors.h"
#include "job/RecordLine.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string_view>

namespace stadix {

namespace {

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

// An index among the names of one input, or what is counted by them; an input holds
// fewer than 2^32 names (KnownPoints checks).
using NameIndex = std::uint32_t;
constexpr NameIndex kNoIndex = std::numeric_limits<NameIndex>::max();

// What the reduction knows of a point by its name: coordinates the input gives; its entry
// among the computed points, whose setups so far give its mean; and whether a record line
// of that name is written. Kept small: there is one for nearly every observation.
struct KnownPoint {
    NameIndex given = kNoIndex;    // index into the given positions
    NameIndex computed = kNoIndex; // index into Reduction::points, once computed
    bool listed = false;
};

// The points known by name, each name once. Open addressing over a table made large
// enough for every name of the input at the start, so that it never grows and a name is
// found in about one probe: an input holds a new name in nearly every observation. The
// slots are kept small, as the table is read at random.
class KnownPoints {
  public:
    explicit KnownPoints(std::size_t names) {
        if (names >= kNoIndex)
            throw std::length_error("too many point names");
        std::size_t size = 16;
        while (size < 2 * names)
            size *= 2;
        slots_.assign(size, {0, kNoIndex});
        names_.reserve(names);
        points_.reserve(names);
    }
    // The index of the name's point, added when the name is new.
    NameIndex IndexOf(const std::string& name) {
        const std::size_t hash = Hash(name);
        Slot& slot = slots_[SlotOf(name, hash)];
        if (slot.point == kNoIndex) {
            slot = {static_cast<std::uint32_t>(hash), static_cast<NameIndex>(points_.size())};
            names_.push_back(&name);
            points_.emplace_back();
        }
        return slot.point;
    }
    KnownPoint& At(std::size_t index) { return points_[index]; }
    // The name's point; nullptr when the name is not known.
    const KnownPoint* Find(const std::string& name) const {
        const NameIndex point = slots_[SlotOf(name, Hash(name))].point;
        return point == kNoIndex ? nullptr : &points_[point];
    }
    // Asks for the slot where the name is looked for first, ahead of the lookup, so that
    // walking a long list of names does not wait on memory at every name.
    void Prefetch(std::string_view name) const {
#if defined(__GNUC__) || defined(__clang__)
        __builtin_prefetch(&slots_[Hash(name) & (slots_.size() - 1)]);
#else
        (void)name;
#endif
    }

  private:
    struct Slot {
        std::uint32_t hash; // the low bits of the name's hash
        NameIndex point;    // kNoIndex: an empty slot
    };

    static std::size_t Hash(std::string_view name) {
        return std::hash<std::string_view>()(name);
    }

    // The slot that holds the name, or the empty one where it goes.
    std::size_t SlotOf(std::string_view name, std::size_t hash) const {
        const std::size_t mask = slots_.size() - 1;
        const auto tag = static_cast<std::uint32_t>(hash);
        std::size_t at = hash & mask;
        while (slots_[at].point != kNoIndex &&
               (slots_[at].hash != tag || *names_[slots_[at].point] != name))
            at = (at + 1) & mask;
        return at;
    }

    std::vector<Slot> slots_;
    std::vector<const std::string*> names_; // the input's own strings
    std::vector<KnownPoint> points_;
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
    return MakeRecordLineFromValues(name, code.substr(0, kRecordNameLength),
                                    position.north * perMetre, position.east * perMetre,
                                    position.elevation * perMetre);
}

// How many names the input holds at most.
std::size_t NameCount(const Measurements& measurements) {
    std::size_t count = measurements.observations.size() + measurements.givenPoints.size();
    for (const Setup& setup : measurements.setups)
        count += 1 + setup.backsights.size();
    return count;
}

class Reducer {
  public:
    Reducer(const Measurements& measurements, const ReductionOptions& options)
        : measurements_(measurements), options_(options), known_(NameCount(measurements)) {}

    Reduction Run() {
        LearnGivenPoints();
        GroupObservationsBySetup();
        // Each observation in a setup computes one point at most.
        result_.points.reserve(bySetup_.size());
        knownOf_.reserve(bySetup_.size());
        slotOf_.assign(bySetup_.size(), kNoIndex);
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
        std::size_t known; // what is known by the name
    };

    void Learn(const std::string& name, const Position& position) {
        KnownPoint& known = known_.At(known_.IndexOf(name));
        if (known.given != kNoIndex)
            return;
        known.given = static_cast<NameIndex>(givenPositions_.size());
        givenPositions_.push_back(position);
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
        const KnownPoint* known = known_.Find(name);
        if (const std::optional<Position> position = known ? PositionOf(*known) : std::nullopt) {
            if (source)
                *source = name;
            return position;
        }
        return recorded.position;
    }

    // The given coordinates of a point, else the mean of the setups that computed it so
    // far; none when neither is known yet.
    std::optional<Position> PositionOf(const KnownPoint& known) const {
        if (known.given != kNoIndex)
            return givenPositions_[known.given];
        if (known.computed != kNoIndex && result_.points[known.computed].setups > 0)
            return result_.points[known.computed].Mean();
        return std::nullopt;
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
        result.points.reserve(static_cast<std::size_t>(last - first));
        const Observation* const* end = bySetup_.data() + bySetup_.size();
        for (const Observation* const* o = first; o != last; ++o) {
            if (end - o > kLookAhead)
                known_.Prefetch(o[kLookAhead]->point);
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
            known.computed = static_cast<NameIndex>(result_.points.size());
            result_.points.push_back({&observation, {}, 0});
            knownOf_.push_back(index);
        }
        ComputedPoint& point = result_.points[known.computed];
        if (observation.place < point.first->place)
            point.first = &observation;
        NameIndex& slot = slotOf_[known.computed];
        if (slot == kNoIndex || slot >= result.points.size() ||
            result.points[slot].point != known.computed) {
            slot = static_cast<NameIndex>(result.points.size());
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
        }
    }

    // The record line source of a number below the setup count is that setup's station;
    // of any other, the computed point that many places further.
    Entry EntryOf(std::size_t source) {
        const std::size_t setups = measurements_.setups.size();
        if (source < setups) {
            const Setup& setup = measurements_.setups[source];
            return {setup.place, &setup.station,
                    &setup.code, *result_.setups[source].station,
                    setup.unit,  known_.IndexOf(setup.station)};
        }
        const ComputedPoint& point = result_.points[source - setups];
        return {point.first->place, &point.first->point, &point.first->code,
                point.Mean(),       point.first->unit,   knownOf_[source - setups]};
    }

    // The computed points in the order of their first places, which they mostly have.
    std::vector<NameIndex> PointsInInputOrder() const {
        std::vector<NameIndex> order(result_.points.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = static_cast<NameIndex>(i);
        const auto earlier = [this](NameIndex a, NameIndex b) {
            return result_.points[a].first->place < result_.points[b].first->place;
        };
        if (!std::is_sorted(order.begin(), order.end(), earlier))
            std::stable_sort(order.begin(), order.end(), earlier);
        return order;
    }

    // The first setup from s on whose station has coordinates; the setup count if none.
    std::size_t NextStation(std::size_t s) const {
        while (s < measurements_.setups.size() && !result_.setups[s].station)
            ++s;
        return s;
    }

    // A record line for the first entry of each name, in input order: the stations, in
    // the order of their setups, merged with the computed points, a station first where
    // both stand at one place.
    void WriteRecordLines() {
        const std::size_t setups = measurements_.setups.size();
        const std::vector<NameIndex> points = PointsInInputOrder();
        result_.recordLines.reserve(setups + points.size());
        std::size_t s = NextStation(0);
        auto p = points.begin();
        while (s < setups || p != points.end()) {
            if (p == points.end() ||
                (s < setups && measurements_.setups[s].place <= result_.points[*p].first->place)) {
                WriteRecordLine(EntryOf(s));
                s = NextStation(s + 1);
            } else {
                WriteRecordLine(EntryOf(setups + *p++));
            }
        }
    }

    // The entry's record line, unless its name has one already or it cannot be written.
    void WriteRecordLine(const Entry& entry) {
        bool& listed = known_.At(entry.known).listed;
        if (listed)
            return;
        listed = true;
        if (entry.name->empty()) {
            result_.notWritten.push_back({"", entry.place, "no name"});
            return;
        }
        if (!IsFinite(entry.position)) {
            result_.notWritten.push_back({*entry.name, entry.place, "cannot be computed"});
            return;
        }
        const std::string name = entry.name->substr(0, kRecordNameLength);
        try {
            result_.recordLines.push_back(PointLine(name, *entry.code, entry.position, entry.unit));
        } catch (const ConversionError&) {
            result_.notWritten.push_back({*entry.name, entry.place, "too large for a record line"});
            return;
        }
        if (name.size() < entry.name->size())
            result_.cutNames.push_back({*entry.name, name});
    }

    const Measurements& measurements_;
    const ReductionOptions& options_;
    Reduction result_;
    KnownPoints known_; // the names are those of the measurements
    std::vector<Position> givenPositions_;
    std::vector<NameIndex> knownOf_; // of each computed point
    std::vector<std::size_t> setupStart_;
    std::vector<const Observation*> bySetup_;
    // Where each computed point stands in the points of the setup being reduced.
    std::vector<NameIndex> slotOf_;
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
