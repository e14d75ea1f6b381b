// Setups simulated from chosen true coordinates, as an instrument would record them,
// must reduce to those coordinates again.
#include "formats/ExportFormats.h"
#include "job/RecordLine.h"
#include "survey/RawMeasurements.h"
#include "survey/Reduction.h"
#include "survey/SssMeasurements.h"
#include "tests/support/RawRecordBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>

namespace stadix {
namespace {

using test::RawRecordBuilder;

constexpr double kPi = 3.14159265358979323846;
constexpr double kSecondsPerRadian = 648000 / kPi;

struct Point {
    const char* name;
    double north, east, elevation;
};

// How one observation is made.
struct Shot {
    bool faceRight = false;
    double collimation = 0;    // seconds, added in face left and taken off in face right
    double directionError = 0; // seconds, on the reading
    double scale = 1;          // the grid scale the distance is reduced with
    std::optional<double> refraction = std::nullopt;
    bool distance = true;
};

Shot InFace(bool faceRight, double collimation = 0) {
    Shot shot;
    shot.faceRight = faceRight;
    shot.collimation = collimation;
    return shot;
}
Shot Misdirected(double seconds) {
    Shot shot;
    shot.directionError = seconds;
    return shot;
}

// The raw records of a survey, each value the one an instrument would record for the
// true coordinates of its station and target.
class Instrument {
  public:
    explicit Instrument(bool bigEndian = true, std::uint8_t distanceUnit = 0)
        : bigEndian_(bigEndian) {
        Add(RawRecordBuilder(129, true).Bytes(1, bigEndian ? "RVA110" : "OTHER").Build());
        Add(RawRecordBuilder(131, bigEndian).Byte(1, distanceUnit).Build());
    }

    // Sets up on at, the circle reading circleOffset seconds less than the azimuth; Station
    // also stores the STN record.
    Instrument& SetUp(const Point& at, double height, std::uint8_t group, double circleOffset) {
        stations_[group] = {at, height, circleOffset};
        return *this;
    }
    Instrument& Station(const Point& at, double height, std::uint8_t group,
                        double circleOffset = 0) {
        SetUp(at, height, group, circleOffset);
        return Add(WithCoordinates(3, at, height, group));
    }
    Instrument& Backsight(const Point& at, std::uint8_t group) {
        return Add(WithCoordinates(6, at, 0, group));
    }
    Instrument& Observe(const Point& target, std::uint8_t group, const Shot& shot = {},
                        double targetHeight = 1.3) {
        const StationAt& from = stations_[group];
        const double dn = target.north - from.at.north, de = target.east - from.at.east;
        double horizontal = std::hypot(dn, de);
        double rise = target.elevation + targetHeight - from.at.elevation - from.height;
        if (shot.refraction)
            rise -= (1 - *shot.refraction) * horizontal * horizontal / (2 * 6371000.0);
        horizontal /= shot.scale;
        double reading = std::atan2(de, dn) * kSecondsPerRadian - from.circleOffset +
                         shot.directionError + shot.collimation;
        double zenith = std::atan2(horizontal, rise) * kSecondsPerRadian;
        if (shot.faceRight) {
            reading += 648000 - 2 * shot.collimation;
            zenith = 1296000 - zenith;
        }
        RawRecordBuilder record(shot.distance ? 1 : 2, bigEndian_);
        record.Bytes(1, target.name).Float(19, static_cast<float>(targetHeight));
        if (shot.distance)
            record.Float(23, static_cast<float>(std::hypot(horizontal, rise)));
        record.UInt32(27, Seconds(zenith)).UInt32(31, Seconds(reading)).Byte(41, group);
        return Add(record.Build());
    }
    std::string Store() const { return store_; }

  private:
    struct StationAt {
        Point at;
        double height;
        double circleOffset;
    };

    static std::uint32_t Seconds(double seconds) {
        return static_cast<std::uint32_t>(std::llround(seconds + 1296000 * 4) % 1296000);
    }
    RawRecord WithCoordinates(std::uint8_t type, const Point& at, double height,
                              std::uint8_t group) const {
        RawRecordBuilder record(type, bigEndian_);
        record.Bytes(1, at.name).Float(19, static_cast<float>(height)).Byte(41, group);
        std::size_t offset = 23;
        for (double value : {at.north, at.east, at.elevation}) {
            const long long mm = std::llround(value * 1000);
            record.Coordinate(offset, static_cast<std::int32_t>(mm / 1000),
                              static_cast<std::int16_t>(mm % 1000));
            offset += 6;
        }
        return record.Build();
    }
    Instrument& Add(const RawRecord& record) {
        store_.append(reinterpret_cast<const char*>(record.data()), record.size());
        return *this;
    }

    bool bigEndian_;
    std::string store_;
    StationAt stations_[256];
};

const Point A{"A", 5000, 3000, 120}, B{"B", 5200.5, 3400.25, 131.75};
const Point North100{"N100", 5100, 3000, 119}, West300{"W300", 5000, 2700, 121};
const Point P1{"P1", 5123.456, 3050.789, 121.234}, P2{"P2", 4900.12, 3200.5, 118.9},
    P3{"P3", 4950, 2850.25, 125.5}, LongName{"LONGNAME9", 5180.5, 2890.125, 117.05};
const Point Far{"FAR", 7000, 3000, 112.983};

struct Case {
    const char* what;
    std::function<Instrument()> survey;
    std::vector<Point> expected; // in output order
    ReductionOptions options = {};
    double perMetre = 1;
};

// P1, P2 and P3 observed from the station of group 1.
Instrument& Shots(Instrument& instrument, const Shot& shot = {}) {
    for (const Point& p : {P1, P2, P3})
        instrument.Observe(p, 1, shot);
    return instrument;
}

Instrument AtA(Instrument instrument, double circleOffset = 0) {
    return instrument.Station(A, 1.55, 1, circleOffset);
}

const Point LongNameCut{"LONGNAME", LongName.north, LongName.east, LongName.elevation};

const Case kCases[] = {
    {"circle as read, a name of nine characters",
     [] {
         Instrument instrument = AtA(Instrument());
         return Shots(instrument).Observe(LongName, 1);
     },
     {A, P1, P2, P3, LongNameCut}},
    {"one backsight, circle offset",
     [] {
         Instrument instrument = AtA(Instrument(), 445506);
         return Shots(instrument.Backsight(North100, 1).Observe(North100, 1));
     },
     {A, P1, P2, P3}},
    {"two backsights with opposite direction errors, weighed by distance",
     [] {
         Instrument instrument = AtA(Instrument(), 1000);
         instrument.Backsight(North100, 1).Backsight(West300, 1);
         return Shots(instrument.Observe(North100, 1, Misdirected(30))
                          .Observe(West300, 1, Misdirected(-10)));
     },
     {A, P1, P2, P3}},
    {"both faces with collimation error",
     [] {
         Instrument instrument = AtA(Instrument(), 200000);
         instrument.Backsight(West300, 1).Observe(West300, 1, InFace(false, 20));
         instrument.Observe(West300, 1, InFace(true, 20));
         return Shots(Shots(instrument, InFace(false, 20)), InFace(true, 20));
     },
     {A, P1, P2, P3}},
    {"stations interleaved by group, a shot stored before its station",
     [] {
         Instrument instrument;
         instrument.Station(A, 1.55, 7).SetUp(B, 1.6, 9, 0).Observe(P2, 9, {}, 2.0);
         instrument.Station(B, 1.6, 9).Observe(P1, 7).Observe(P3, 9);
         return instrument.Observe(LongName, 7).Station(North100, 1.5, 7);
     },
     {A, P2, B, P1, P3, LongNameCut, North100}},
    {"little-endian records",
     [] {
         Instrument instrument = AtA(Instrument(false));
         return Shots(instrument);
     },
     {A, P1, P2, P3}},
    {"international feet",
     [] {
         Instrument instrument = AtA(Instrument(true, 1));
         return Shots(instrument);
     },
     {A, P1, P2, P3},
     {},
     1 / 0.3048},
    {"curvature and refraction at 2 km",
     [] {
         Shot shot;
         shot.refraction = 0.13;
         return AtA(Instrument()).Observe(Far, 1, shot, 1.5);
     },
     {A, Far},
     {1.0, 0.13}},
    {"scale",
     [] {
         Instrument instrument = AtA(Instrument());
         Shot shot;
         shot.scale = 0.9996;
         return Shots(instrument, shot);
     },
     {A, P1, P2, P3},
     {0.9996, {}}},
};

void ExpectPoints(const std::vector<std::string>& lines, const Case& c) {
    ASSERT_EQ(lines.size(), c.expected.size()) << c.what;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Point& p = c.expected[i];
        EXPECT_EQ(RecordLinePt(lines[i]), p.name) << c.what;
        EXPECT_NEAR(std::stod(RecordLineN(lines[i])), p.north * c.perMetre, 0.003) << c.what;
        EXPECT_NEAR(std::stod(RecordLineE(lines[i])), p.east * c.perMetre, 0.003) << c.what;
        EXPECT_NEAR(std::stod(RecordLineZ(lines[i])), p.elevation * c.perMetre, 0.003)
            << c.what << " " << p.name;
    }
}

TEST(Reduction, SimulatedSetupsGiveTheirTrueCoordinatesBack) {
    for (const Case& c : kCases) {
        const Reduction reduction = Reduce(ReadRawMeasurements(c.survey().Store()), c.options);
        ExpectPoints(reduction.recordLines, c);
    }
}

// The SSS export of a file reduces to the same points; what gives no point is left out
// with its reason.
TEST(Reduction, SssTextOfAFileGivesTheSamePoints) {
    Instrument instrument = AtA(Instrument());
    Shot anglesOnly;
    anglesOnly.distance = false;
    Shots(Shots(instrument), InFace(true)).Observe(LongName, 1, anglesOnly);
    DecodeState state;
    const std::string text = FindMeasurementFormat("sss")->fileBytes(state, instrument.Store());
    const Reduction reduction = Reduce(ReadSssMeasurements(text), {});
    ExpectPoints(reduction.recordLines, {"SSS", {}, {A, P1, P2, P3}});
    ASSERT_EQ(reduction.setups[0].leftOut.size(), 1u);
    EXPECT_EQ(reduction.setups[0].leftOut[0].reason, "angles only");
    EXPECT_EQ(reduction.setups[0].points[0].observations, 2u);
}

} // namespace
} // namespace stadix
