#include "survey/GsiMeasurements.h"

#include "base/TextFormat.h"
#include "survey/TextRecords.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <optional>

namespace stadix {

namespace {

// More words than any block has: a line of more is not a GSI block.
constexpr std::size_t kMostWords = 64;

struct Word {
    int index = 0;
    char unit = '.'; // the last information character
    bool negative = false;
    std::string_view data;
    std::string_view text; // the whole word, for messages
};

// The word of the text; throws FormatError when it is none or holds more data than its
// line's words may.
Word ParseWord(std::string_view text, std::size_t width, std::size_t line) {
    const auto information = [](char c) { return IsDigit(c) || c == '.'; };
    if (text.size() < 8 || !IsDigit(text[0]) || !IsDigit(text[1]) || !information(text[2]) ||
        !information(text[3]) || !information(text[4]) || !information(text[5]) ||
        (text[6] != '+' && text[6] != '-'))
        throw FormatError(line, "not a GSI word: " + Quoted(text));
    if (text.size() - 7 > width)
        throw FormatError(line, Concat("more than ", std::to_string(width),
                                       " characters of data in a GSI-", std::to_string(width),
                                       " word: ", Quoted(text)));
    return {(text[0] - '0') * 10 + (text[1] - '0'), text[5], text[6] == '-', text.substr(7), text};
}

const char* Label(int index) {
    switch (index) {
    case 11:
        return "point";
    case 12:
        return "serial number";
    case 13:
        return "instrument";
    case 19:
        return "time";
    case 21:
        return "horizontal circle";
    case 22:
        return "zenith angle";
    case 31:
        return "slope distance";
    case 32:
        return "horizontal distance";
    case 33:
        return "height difference";
    case 41:
        return "code";
    case 51:
        return "ppm/mm";
    case 58:
        return "prism constant";
    case 71:
        return "remark";
    case 81:
        return "easting";
    case 82:
        return "northing";
    case 83:
        return "height";
    case 84:
        return "station easting";
    case 85:
        return "station northing";
    case 86:
        return "station height";
    case 87:
        return "target height";
    case 88:
        return "instrument height";
    default:
        return index >= 42 && index <= 49 ? "information" : "word";
    }
}

bool IsLength(int index) {
    return (index >= 31 && index <= 33) || (index >= 81 && index <= 88);
}

bool IsAngle(int index) {
    return index == 21 || index == 22;
}

// The data of a name or code word: its leading zeros are the padding.
std::string_view Text(const Word& word) {
    std::string_view data = word.data;
    while (data.size() > 1 && data[0] == '0')
        data.remove_prefix(1);
    return data;
}

struct LengthUnit {
    CoordUnit unit;
    std::uint8_t decimals;
};

// The unit digits of lengths; "." (none given) is read as metres to the millimetre.
std::optional<LengthUnit> LengthUnitOf(char digit) {
    switch (digit) {
    case '0':
    case '.':
        return LengthUnit{CoordUnit::Metre, 3};
    case '1':
        return LengthUnit{CoordUnit::UsSurveyFoot, 3};
    case '6':
        return LengthUnit{CoordUnit::Metre, 4};
    case '7':
        return LengthUnit{CoordUnit::UsSurveyFoot, 4};
    case '8':
        return LengthUnit{CoordUnit::Metre, 5};
    default:
        return std::nullopt;
    }
}

// A length in the word's unit, as its steps of the last digit.
struct Length {
    std::int64_t steps;
    LengthUnit unit;
    double Metres() const {
        static constexpr double kScale[] = {1, 10, 100, 1000, 10000, 100000};
        return static_cast<double>(steps) / kScale[unit.decimals] * MetresPer(unit.unit);
    }
};

// What one block gives.
struct Block {
    std::string name;
    std::string code;
    std::optional<Angle> horizontal;
    std::optional<Angle> zenith;
    std::optional<Length> slope;
    std::optional<Length> words[9]; // WI 80 to 88 by their last digit
    std::optional<CoordUnit> unit;  // of its first length
    bool Has(int index) const { return words[index - 80].has_value(); }
    double Metres(int index) const { return words[index - 80]->Metres(); }
};

class GsiReader {
  public:
    explicit GsiReader(std::string* listing, FinishedSetups take = {})
        : listing_(listing), take_(std::move(take)) {
        measurements_.placeWord = "line";
    }

    Measurements Read(std::string_view text) {
        // Nearly every line is an observation.
        measurements_.observations.reserve(
            static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
        ForEachLine(text, [this](std::string_view line, std::size_t number) {
            TakeLine(TrimView(line), number);
        });
        return std::move(measurements_);
    }

    void Stream(const std::string& path) {
        ForEachFileLine(path, [this](std::string_view line, std::size_t number) {
            TakeLine(TrimView(line), number);
        });
        take_(measurements_, measurements_.setups.size());
    }

  private:
    void TakeLine(std::string_view line, std::size_t number) {
        if (line.empty())
            return;
        const bool sixteen = line[0] == '*';
        if (sixteen)
            line.remove_prefix(1);
        Block block;
        std::string listed;
        std::size_t words = 0;
        while (!line.empty()) {
            const std::size_t blank = line.find(' ');
            const std::string_view piece = line.substr(0, blank);
            line.remove_prefix(blank == std::string_view::npos ? line.size() : blank + 1);
            if (piece.empty())
                continue;
            if (++words > kMostWords)
                throw FormatError(number, Concat("more than ", std::to_string(kMostWords),
                                                 " words: not a GSI block"));
            const Word word = ParseWord(piece, sixteen ? 16 : 8, number);
            const std::string value = TakeWord(word, block, number);
            if (listing_)
                listed += Concat(listed.empty() ? "" : ", ", Label(word.index), " ", value);
        }
        if (listing_)
            *listing_ += Concat("Line ", std::to_string(number), ": ", listed, "\n");
        Apply(block, number);
    }

    // Takes the word into the block; returns its value as the listing shows it, when
    // there is a listing.
    std::string TakeWord(const Word& word, Block& block, std::size_t line) {
        if (IsAngle(word.index)) {
            const Angle angle = AngleOf(word, line);
            (word.index == 21 ? block.horizontal : block.zenith) = angle;
            return listing_ ? AngleText(angle) : std::string();
        }
        if (IsLength(word.index)) {
            const Length length = LengthOf(word, line);
            if (!block.unit)
                block.unit = length.unit.unit;
            if (word.index == 31)
                block.slope = length;
            else if (word.index >= 81)
                block.words[word.index - 80] = length;
            return listing_ ? DecimalText(length.steps, length.unit.decimals) +
                                  UnitSuffix(length.unit.unit)
                            : std::string();
        }
        const std::string_view text = Text(word);
        if (word.index == 11)
            block.name = text;
        else if (word.index == 71)
            block.code = text;
        return listing_ ? Concat(word.negative ? "-" : "", text) : std::string();
    }

    static std::int64_t Digits(const Word& word, std::size_t line) {
        std::int64_t value = 0;
        for (char c : word.data) {
            if (!IsDigit(c))
                throw FormatError(line,
                                  Concat(Label(word.index), " (WI ", std::to_string(word.index),
                                         ") is not a number: ", Quoted(word.text)));
            value = value * 10 + (c - '0');
        }
        return word.negative ? -value : value;
    }

    static Length LengthOf(const Word& word, std::size_t line) {
        const std::optional<LengthUnit> unit = LengthUnitOf(word.unit);
        if (!unit)
            throw FormatError(line, Concat(Label(word.index), " (WI ", std::to_string(word.index),
                                           ") without a length unit: ", Quoted(word.text)));
        return {Digits(word, line), *unit};
    }

    // Gon and decimal degrees to 5 decimals, mil to 4, and degrees, minutes, seconds and
    // tenths of a second as DDDMMSSs.
    static Angle AngleOf(const Word& word, std::size_t line) {
        const std::int64_t digits = Digits(word, line);
        Angle angle;
        switch (word.unit) {
        case '2':
            return {digits, AngleUnit::Gon, 5};
        case '3':
            return {digits, AngleUnit::DecimalDegrees, 5};
        case '5':
            return {digits, AngleUnit::Mil, 4};
        case '4':
            break;
        default:
            throw FormatError(line, Concat(Label(word.index), " (WI ", std::to_string(word.index),
                                           ") without an angle unit: ", Quoted(word.text)));
        }
        const std::int64_t magnitude = digits < 0 ? -digits : digits;
        const std::int64_t minutes = magnitude / 1000 % 100;
        const std::int64_t seconds = magnitude / 10 % 100;
        if (minutes >= 60 || seconds >= 60)
            throw FormatError(line, "minutes or seconds of 60 or more: " + Quoted(word.text));
        angle.decimals = 1;
        angle.steps = ((magnitude / 100000 * 60 + minutes) * 60 + seconds) * 10 + magnitude % 10;
        if (digits < 0)
            angle.steps = -angle.steps;
        return angle;
    }

    void Apply(const Block& block, std::size_t line) {
        if (block.unit)
            unit_ = *block.unit;
        if (block.Has(87))
            targetHeight_ = block.Metres(87);
        const bool stationWords = block.Has(84) || block.Has(85) || block.Has(86) || block.Has(88);
        if (stationWords && (!block.horizontal || StationDiffers(block)))
            StartSetup(block, line);
        if (block.horizontal)
            AddObservation(block, line);
        if (block.Has(81) && block.Has(82) && block.Has(83))
            measurements_.givenPoints.push_back(
                {block.name,
                 {block.Metres(82), block.Metres(81), block.Metres(83)},
                 block.code,
                 line,
                 unit_});
    }

    // Whether a word of the block of those indices says other than the setup's.
    bool Differs(const Block& block, std::initializer_list<int> indices) const {
        for (int index : indices) {
            const std::optional<Length>& word = block.words[index - 80];
            const std::optional<Length>& known = station_[index - 84];
            if (word && (!known || known->steps != word->steps ||
                         known->unit.decimals != word->unit.decimals))
                return true;
        }
        return false;
    }

    bool StationDiffers(const Block& block) const {
        return measurements_.setups.empty() || Differs(block, {84, 85, 86, 88});
    }

    // The station a block sets up: its point id; for a measurement block, the setup's
    // station while its coordinates stand, none once they change.
    std::string StationOf(const Block& block) const {
        if (!block.horizontal)
            return block.name;
        if (measurements_.setups.empty() || Differs(block, {84, 85, 86}))
            return "";
        return measurements_.setups.back().station;
    }

    // A station block sets up anew; a measurement block's station words change those of
    // the setup, whose station it keeps while its coordinates stand.
    void StartSetup(const Block& block, std::size_t line) {
        const bool measured = block.horizontal.has_value();
        Setup setup;
        setup.station = StationOf(block);
        setup.code = measured ? "" : block.code;
        for (int index : {84, 85, 86, 88}) {
            if (!measured || block.words[index - 80])
                station_[index - 84] = block.words[index - 80];
        }
        if (station_[0] && station_[1] && station_[2]) {
            const Position position{station_[1]->Metres(), station_[0]->Metres(),
                                    station_[2]->Metres()};
            setup.coordinates = {position, position.north == 0 && position.east == 0 &&
                                               position.elevation == 0};
        }
        setup.instrumentHeight = station_[4] ? station_[4]->Metres() : 0;
        setup.place = line;
        setup.unit = unit_;
        stadix::StartSetup(measurements_, std::move(setup), take_);
    }

    void AddObservation(const Block& block, std::size_t line) {
        if (!block.zenith) {
            measurements_.unread.push_back(
                {line, "point " + block.name + ": no zenith angle (WI 22)"});
            return;
        }
        Observation observation;
        observation.point = block.name;
        observation.code = block.code;
        observation.targetHeight = targetHeight_;
        observation.horizontal = *block.horizontal;
        observation.zenith = *block.zenith;
        if (block.slope)
            observation.slopeDistance = block.slope->Metres();
        observation.face = FaceOfZenith(observation.zenith);
        observation.setup =
            measurements_.setups.empty() ? kNoSetup : measurements_.setups.size() - 1;
        observation.place = line;
        observation.unit = unit_;
        measurements_.observations.push_back(std::move(observation));
    }

    std::string* listing_;
    FinishedSetups take_;
    Measurements measurements_;
    CoordUnit unit_ = CoordUnit::Metre;
    double targetHeight_ = 0;
    std::optional<Length> station_[5]; // the setup's 84, 85, 86 and 88 (at 4)
};

} // namespace

Measurements ReadGsiMeasurements(std::string_view text) {
    return GsiReader(nullptr).Read(text);
}

void StreamGsiMeasurements(const std::string& path, const FinishedSetups& take) {
    GsiReader(nullptr, take).Stream(path);
}

std::string GsiListing(std::string_view text) {
    std::string listing;
    GsiReader(&listing).Read(text);
    return listing;
}

} // namespace stadix
