#include "survey/SdrMeasurements.h"

#include "base/TextFormat.h"
#include "survey/TextRecords.h"

namespace stadix {

namespace {

constexpr std::size_t kDescriptionWidth = 16;

bool IsLetterOrDigit(char c) {
    return IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

const char* AngleUnitName(AngleUnit unit) {
    switch (unit) {
    case AngleUnit::Gon:
        return "gon";
    case AngleUnit::Mil:
        return "mil";
    default:
        return "degrees";
    }
}

class SdrReader {
  public:
    explicit SdrReader(std::string* listing, FinishedSetups take = {})
        : listing_(listing), take_(std::move(take)) {
        measurements_.placeWord = "line";
    }

    Measurements Read(std::string_view text) {
        ForEachLine(text,
                    [this](std::string_view line, std::size_t number) { TakeText(line, number); });
        return std::move(measurements_);
    }

    void Stream(const std::string& path) {
        ForEachFileLine(
            path, [this](std::string_view line, std::size_t number) { TakeText(line, number); });
        take_(measurements_, measurements_.setups.size());
    }

  private:
    void TakeText(std::string_view line, std::size_t number) {
        if (!TrimView(line).empty())
            TakeLine(line, number);
    }

    void TakeLine(std::string_view line, std::size_t number) {
        if (line.size() < 4 || !IsDigit(line[0]) || !IsDigit(line[1]) ||
            !IsLetterOrDigit(line[2]) || !IsLetterOrDigit(line[3]))
            throw FormatError(number, "not an SDR record: " + Quoted(line));
        if (!headerMet_ && line.substr(0, 2) != "00")
            throw FormatError(number, "not an SDR file, which starts with its header record "
                                      "(00): " +
                                          Quoted(line));
        headerMet_ = true;
        line_ = line;
        number_ = number;
        at_ = 4;
        listed_.clear();
        switch ((line[0] - '0') * 10 + (line[1] - '0')) {
        case 0:
            TakeHeader();
            break;
        case 1:
            TakeInstrument();
            break;
        case 2:
            TakeStation();
            break;
        case 3:
            Record("target height");
            targetHeight_ = *Length("target height", valueWidth_, true);
            break;
        case 7:
            TakeBacksight();
            break;
        case 8:
            TakeCoordinates();
            break;
        case 9:
            TakeObservation();
            break;
        case 10:
            Record("job");
            Item("name", Field(kDescriptionWidth));
            break;
        case 12:
        case 13:
            Record("note");
            Item("text", TrimView(line_.substr(4)));
            break;
        default:
            Record("record, not read");
            break;
        }
        if (listing_)
            *listing_ += Concat("Line ", std::to_string(number), ": ", listed_, "\n");
    }

    // The next field, as Field reads it, left to be read.
    std::string_view Peek(std::size_t width) const {
        return at_ < line_.size() ? TrimView(line_.substr(at_, width)) : std::string_view();
    }

    // The next field, width characters long, without its blanks; empty past the line's end.
    std::string_view Field(std::size_t width) {
        const std::string_view field = Peek(width);
        at_ += width;
        return field;
    }

    // The character at the column (from 1), or a blank past the line's end.
    char Column(std::size_t column) const {
        return column <= line_.size() ? line_[column - 1] : ' ';
    }

    void Record(const char* what) {
        if (listing_)
            listed_ = Concat(what, " (", line_.substr(0, 4), ")");
        items_ = 0;
    }

    void Item(const char* label, std::string_view value) {
        if (listing_ && !value.empty())
            listed_ += Concat(items_++ == 0 ? ": " : ", ", label, " ", value);
    }

    [[noreturn]] void Refuse(const char* label, std::string_view text) const {
        throw FormatError(number_, Concat(label, " is not a number: ", Quoted(text)));
    }

    // The next field as metres; none when it is blank and may be.
    std::optional<double> Length(const char* label, std::size_t width, bool required = false) {
        const std::string_view text = Field(width);
        if (text.empty() && !required)
            return std::nullopt;
        const std::optional<double> value = ParseFiniteNumber(text);
        if (!value)
            Refuse(label, text);
        Item(label, Concat(text, UnitSuffix(unit_)));
        return *value * MetresPer(unit_);
    }

    Angle AngleField(const char* label) {
        const std::string_view text = Field(valueWidth_);
        const std::optional<Angle> angle = ParseSignedAngle(text, angleUnit_);
        if (!angle)
            Refuse(label, text);
        Item(label, AngleText(*angle));
        return *angle;
    }

    std::string NameField(const char* label) {
        const std::string_view name = Field(idWidth_);
        Item(label, name);
        return std::string(name);
    }

    void TakeHeader() {
        Record("header");
        const std::string_view version = Field(16);
        Item("version", version);
        if (version.substr(0, 4) == "SDR2") {
            idWidth_ = 4;
            valueWidth_ = 10;
        }
        const char angle = Column(41);
        if (angle == '1' || angle == '2' || angle == '4')
            angleUnit_ = angle == '1'   ? AngleUnit::DecimalDegrees
                         : angle == '2' ? AngleUnit::Gon
                                        : AngleUnit::Mil;
        else if (angle != ' ')
            throw FormatError(number_, Concat("angle unit ", Quoted({&angle, 1}), " not known"));
        const char distance = Column(42);
        if (distance == '1' || distance == '2')
            unit_ = distance == '1' ? CoordUnit::Metre : CoordUnit::InternationalFoot;
        else if (distance != ' ')
            throw FormatError(number_,
                              Concat("distance unit ", Quoted({&distance, 1}), " not known"));
        const char order = Column(45);
        if (order == '1' || order == '2')
            eastFirst_ = order == '2';
        else if (order != ' ')
            throw FormatError(number_,
                              Concat("coordinate order ", Quoted({&order, 1}), " not known"));
        Item("angles in", AngleUnitName(angleUnit_));
        Item("distances in", UnitSuffix(unit_) + 1);
        Item("coordinates", eastFirst_ ? "east first" : "north first");
    }

    void TakeInstrument() {
        Record("instrument");
        Item("model", Field(16));
        fromHorizon_ = Column(51) == '2';
        Item("vertical angles from the", fromHorizon_ ? "horizon" : "zenith");
    }

    // Northing, easting and elevation in the file's order; none unless all three are given.
    std::optional<Position> CoordinateFields() {
        const std::optional<double> first =
            Length(eastFirst_ ? "easting" : "northing", valueWidth_);
        const std::optional<double> second =
            Length(eastFirst_ ? "northing" : "easting", valueWidth_);
        const std::optional<double> elevation = Length("elevation", valueWidth_);
        if (!first || !second || !elevation)
            return std::nullopt;
        return eastFirst_ ? Position{*second, *first, *elevation}
                          : Position{*first, *second, *elevation};
    }

    void TakeStation() {
        Record("station");
        Setup setup;
        setup.station = NameField("station");
        const std::optional<Position> position = CoordinateFields();
        setup.instrumentHeight = Length("instrument height", valueWidth_).value_or(0);
        setup.code = std::string(Field(kDescriptionWidth));
        Item("description", setup.code);
        const bool zeros =
            position && position->north == 0 && position->east == 0 && position->elevation == 0;
        setup.coordinates = {position, zeros};
        setup.place = number_;
        setup.unit = unit_;
        if (position && !zeros)
            measurements_.givenPoints.push_back(
                {setup.station, *position, setup.code, number_, unit_});
        StartSetup(measurements_, std::move(setup), take_);
    }

    void TakeBacksight() {
        Record("backsight");
        const std::string station = NameField("station");
        DesignatedBacksight backsight{NameField("backsight"), {}, std::nullopt};
        if (!Peek(valueWidth_).empty()) {
            const Angle azimuth = AngleField("azimuth");
            const Angle circle =
                Peek(valueWidth_).empty() ? Angle{0, angleUnit_, 0} : AngleField("circle");
            backsight.stated = StatedDirection{azimuth, circle};
        }
        const std::size_t setup = LastSetupOn(measurements_, station);
        if (setup == kNoSetup)
            measurements_.unread.push_back({number_, "backsight " + backsight.point +
                                                         " of station " + station +
                                                         " outside that station's setup"});
        else
            measurements_.setups[setup].backsights.push_back(std::move(backsight));
    }

    void TakeCoordinates() {
        Record("coordinates");
        const std::string point = NameField("point");
        const std::optional<Position> position = CoordinateFields();
        const std::string code(Field(kDescriptionWidth));
        Item("description", code);
        if (position)
            measurements_.givenPoints.push_back({point, *position, code, number_, unit_});
        else
            measurements_.unread.push_back(
                {number_, "point " + point + ": coordinates incomplete"});
    }

    void TakeObservation() {
        Record("observation");
        Observation observation;
        const std::string station = NameField("station");
        observation.point = NameField("point");
        observation.slopeDistance = Length("slope distance", valueWidth_);
        const Angle vertical = AngleField("vertical angle");
        observation.zenith = fromHorizon_ ? ZenithOfElevation(vertical) : vertical;
        observation.horizontal = AngleField("horizontal circle");
        observation.code = std::string(Field(kDescriptionWidth));
        Item("description", observation.code);
        observation.targetHeight = targetHeight_;
        observation.face = FaceOfZenith(observation.zenith);
        observation.setup = LastSetupOn(measurements_, station);
        observation.place = number_;
        observation.unit = unit_;
        measurements_.observations.push_back(std::move(observation));
    }

    std::string* listing_;
    FinishedSetups take_;
    Measurements measurements_;
    std::string_view line_;
    std::size_t number_ = 0;
    std::size_t at_ = 0; // where the next field starts
    std::string listed_;
    std::size_t items_ = 0; // listed of the record
    std::size_t idWidth_ = 16;
    std::size_t valueWidth_ = 16;
    AngleUnit angleUnit_ = AngleUnit::DecimalDegrees;
    CoordUnit unit_ = CoordUnit::Metre;
    bool eastFirst_ = false;
    bool fromHorizon_ = false;
    bool headerMet_ = false;
    double targetHeight_ = 0;
};

} // namespace

Measurements ReadSdrMeasurements(std::string_view text) {
    return SdrReader(nullptr).Read(text);
}

void StreamSdrMeasurements(const std::string& path, const FinishedSetups& take) {
    SdrReader(nullptr, take).Stream(path);
}

std::string SdrListing(std::string_view text) {
    std::string listing;
    SdrReader(&listing).Read(text);
    return listing;
}

} // namespace stadix
