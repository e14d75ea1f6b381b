#include "survey/Rw5Measurements.h"

#include "base/TextFormat.h"
#include "survey/TextRecords.h"

#include <vector>

namespace stadix {

namespace {

// More fields than any record has: a line of more is not an RW5 record.
constexpr std::size_t kMostFields = 64;

bool IsCapital(char c) {
    return c >= 'A' && c <= 'Z';
}

struct Field {
    std::string_view tag;
    std::string_view value;
};

bool IsAngleTag(std::string_view tag) {
    return tag == "AR" || tag == "ZE" || tag == "BS" || tag == "BC";
}

bool IsLengthTag(std::string_view tag) {
    return tag == "SD" || tag == "HI" || tag == "HR" || tag == "N" || tag == "E" || tag == "EL";
}

const char* TagLabel(std::string_view tag) {
    static const std::pair<const char*, const char*> kLabels[] = {{"OP", "occupied point"},
                                                                  {"BP", "backsight point"},
                                                                  {"FP", "foresight point"},
                                                                  {"PN", "point"},
                                                                  {"BS", "backsight azimuth"},
                                                                  {"BC", "back circle"},
                                                                  {"AR", "angle right"},
                                                                  {"ZE", "zenith angle"},
                                                                  {"SD", "slope distance"},
                                                                  {"HI", "instrument height"},
                                                                  {"HR", "rod height"},
                                                                  {"N", "northing"},
                                                                  {"E", "easting"},
                                                                  {"EL", "elevation"},
                                                                  {"UN", "distance unit"},
                                                                  {"AU", "angle unit"},
                                                                  {"NM", "name"},
                                                                  {"DT", "date"},
                                                                  {"TM", "time"}};
    for (const auto& [known, label] : kLabels) {
        if (tag == known)
            return label;
    }
    return nullptr;
}

const char* RecordName(std::string_view type) {
    static const std::pair<const char*, const char*> kNames[] = {{"MO", "mode"},
                                                                 {"SP", "stored point"},
                                                                 {"OC", "occupy"},
                                                                 {"BK", "backsight"},
                                                                 {"LS", "line of sight"},
                                                                 {"SS", "side shot"},
                                                                 {"TR", "traverse shot"},
                                                                 {"BD", "backsight, direct"},
                                                                 {"BR", "backsight, reverse"},
                                                                 {"FD", "foresight, direct"},
                                                                 {"FR", "foresight, reverse"},
                                                                 {"JB", "job"}};
    for (const auto& [known, name] : kNames) {
        if (type == known)
            return name;
    }
    return "record, not read";
}

bool IsObservation(std::string_view type) {
    return type == "SS" || type == "TR" || type == "BD" || type == "BR" || type == "FD" ||
           type == "FR";
}

// The records whose fields are read (the job's for the listing).
bool IsRead(std::string_view type) {
    return type == "MO" || type == "SP" || type == "OC" || type == "BK" || type == "LS" ||
           type == "JB" || IsObservation(type);
}

// Two to four capitals and digits, a capital first: "SS", "G0", "GPS".
bool IsRecordType(std::string_view type) {
    if (type.size() < 2 || type.size() > 4 || !IsCapital(type[0]))
        return false;
    for (char c : type) {
        if (!IsCapital(c) && !(c >= '0' && c <= '9'))
            return false;
    }
    return true;
}

class Rw5Reader {
  public:
    explicit Rw5Reader(std::string* listing, FinishedSetups take = {})
        : listing_(listing), take_(std::move(take)) {
        measurements_.placeWord = "line";
    }

    // A file none of whose records is one that is read is refused at its first record.
    Measurements Read(std::string_view text) {
        ForEachLine(text,
                    [this](std::string_view line, std::size_t number) { TakeText(line, number); });
        RefuseWhenNothingRead();
        return std::move(measurements_);
    }

    void Stream(const std::string& path) {
        ForEachFileLine(
            path, [this](std::string_view line, std::size_t number) { TakeText(line, number); });
        RefuseWhenNothingRead();
        take_(measurements_, measurements_.setups.size());
    }

  private:
    void TakeText(std::string_view line, std::size_t number) {
        line = TrimView(line);
        if (line.empty())
            return;
        number_ = number;
        if (line.substr(0, 2) == "--") {
            if (listing_)
                *listing_ +=
                    Concat("Line ", std::to_string(number), ": note ", line.substr(2), "\n");
            return;
        }
        TakeRecord(line);
    }

    void RefuseWhenNothingRead() const {
        if (!firstRecord_.empty() && !recordRead_)
            throw FormatError(firstRecordLine_, "not an RW5 record: " + firstRecord_);
    }

    void TakeRecord(std::string_view line) {
        const std::size_t comma = line.find(',');
        type_ = line.substr(0, comma);
        if (!IsRecordType(type_))
            throw FormatError(number_, "not an RW5 record: " + Quoted(line));
        if (firstRecord_.empty()) {
            firstRecord_ = Quoted(line);
            firstRecordLine_ = number_;
        }
        rest_ = comma == std::string_view::npos ? std::string_view() : line.substr(comma + 1);
        fields_.clear();
        note_ = {};
        if (IsRead(type_)) {
            recordRead_ = true;
            Split();
            Take();
        }
        if (listing_)
            List();
    }

    // The fields and the note of the record.
    void Split() {
        std::string_view rest = rest_;
        while (!rest.empty()) {
            if (rest.substr(0, 2) == "--") {
                note_ = TrimView(rest.substr(2));
                break;
            }
            const std::size_t comma = rest.find(',');
            const std::string_view field = TrimView(rest.substr(0, comma));
            rest.remove_prefix(comma == std::string_view::npos ? rest.size() : comma + 1);
            if (field.empty())
                continue;
            if (fields_.size() == kMostFields)
                throw FormatError(number_, Concat("more than ", std::to_string(kMostFields),
                                                  " fields: not an RW5 record"));
            fields_.push_back(SplitField(field));
        }
    }

    Field SplitField(std::string_view field) const {
        // "N " and "E " are the one-letter tags; a tag alone is a field without a value.
        const std::size_t length = field.size() == 1 || field[1] == ' ' ? 1 : 2;
        const std::string_view tag = field.substr(0, length);
        if (!IsCapital(tag[0]) || (length == 2 && !IsCapital(tag[1])))
            throw FormatError(number_, "a field without its tag: " + Quoted(field));
        return {tag, TrimView(field.substr(length))};
    }

    // The field's value; none when the record has no such field or it is blank.
    std::optional<std::string_view> Value(std::string_view tag) const {
        for (const Field& field : fields_) {
            if (field.tag == tag)
                return field.value.empty() ? std::nullopt
                                           : std::optional<std::string_view>(field.value);
        }
        return std::nullopt;
    }

    [[noreturn]] void Refuse(std::string_view tag, std::string_view value, const char* what) const {
        throw FormatError(number_, Concat(type_, " ", tag, " is not ", what, ": ", Quoted(value)));
    }

    std::optional<double> Length(std::string_view tag) const {
        const std::optional<std::string_view> text = Value(tag);
        if (!text)
            return std::nullopt;
        const std::optional<double> value = ParseFiniteNumber(*text);
        if (!value)
            Refuse(tag, *text, "a number");
        return *value * MetresPer(unit_);
    }

    std::optional<Angle> AngleOf(std::string_view tag) const {
        const std::optional<std::string_view> text = Value(tag);
        if (!text)
            return std::nullopt;
        const std::optional<Angle> angle = ParseSignedAngle(*text, angleUnit_);
        if (!angle)
            Refuse(tag, *text, "an angle");
        return angle;
    }

    std::string Name(std::string_view tag) const { return std::string(Value(tag).value_or("")); }

    // N, E and EL; none unless all three are given.
    std::optional<Position> Coordinates() const {
        const std::optional<double> north = Length("N");
        const std::optional<double> east = Length("E");
        const std::optional<double> elevation = Length("EL");
        if (!north || !east || !elevation)
            return std::nullopt;
        return Position{*north, *east, *elevation};
    }

    void Take() {
        if (type_ == "MO")
            TakeMode();
        else if (type_ == "SP")
            TakeStoredPoint();
        else if (type_ == "OC")
            StartSetup(Name("OP"), Coordinates());
        else if (type_ == "BK")
            TakeBacksight();
        else if (type_ == "LS")
            TakeLineOfSight();
        else if (IsObservation(type_))
            TakeObservation();
    }

    void TakeMode() {
        if (const std::optional<std::string_view> unit = Value("UN")) {
            if (*unit == "0" || *unit == "1" || *unit == "2")
                unit_ = *unit == "0"   ? CoordUnit::InternationalFoot
                        : *unit == "1" ? CoordUnit::Metre
                                       : CoordUnit::UsSurveyFoot;
            else
                Refuse("UN", *unit, "a distance unit");
        }
        if (const std::optional<std::string_view> angle = Value("AU")) {
            if (*angle == "0" || *angle == "1")
                angleUnit_ = *angle == "0" ? AngleUnit::DegreesMinutesSeconds : AngleUnit::Gon;
            else
                Refuse("AU", *angle, "an angle unit");
        }
    }

    void TakeStoredPoint() {
        const std::string point = Name("PN");
        if (const std::optional<Position> position = Coordinates())
            measurements_.givenPoints.push_back(
                {point, *position, std::string(note_), number_, unit_});
        else
            measurements_.unread.push_back(
                {number_, "point " + point + ": coordinates incomplete"});
    }

    void StartSetup(const std::string& station, const std::optional<Position>& position) {
        Setup setup;
        setup.station = station;
        setup.code = std::string(note_);
        setup.coordinates = {position, position && position->north == 0 && position->east == 0 &&
                                           position->elevation == 0};
        setup.instrumentHeight = instrumentHeight_;
        setup.place = number_;
        setup.unit = unit_;
        stadix::StartSetup(measurements_, std::move(setup), take_);
        observedInSetup_ = false;
    }

    void TakeBacksight() {
        const std::string station = Name("OP");
        if (LastSetupOn(measurements_, station) == kNoSetup)
            StartSetup(station, std::nullopt);
        DesignatedBacksight backsight{Name("BP"), {}, std::nullopt};
        if (const std::optional<Angle> azimuth = AngleOf("BS"))
            backsight.stated = StatedDirection{
                *azimuth, AngleOf("BC").value_or(Angle{0, azimuth->unit, azimuth->decimals})};
        measurements_.setups.back().backsights.push_back(std::move(backsight));
    }

    void TakeLineOfSight() {
        if (const std::optional<double> height = Length("HI")) {
            instrumentHeight_ = *height;
            if (!measurements_.setups.empty() && !observedInSetup_)
                measurements_.setups.back().instrumentHeight = *height;
        }
        if (const std::optional<double> height = Length("HR"))
            targetHeight_ = *height;
    }

    void TakeObservation() {
        Observation observation;
        observation.point = Name("FP");
        const std::optional<Angle> reading = AngleOf("AR");
        const std::optional<Angle> zenith = AngleOf("ZE");
        observation.slopeDistance = Length("SD");
        if (!reading || !zenith) {
            measurements_.unread.push_back(
                {number_, "point " + observation.point +
                              ": angles other than angle right (AR) and zenith (ZE) not read"});
            return;
        }
        observation.horizontal = *reading;
        observation.zenith = *zenith;
        observation.code = std::string(note_);
        observation.targetHeight = targetHeight_;
        observation.face = FaceOfZenith(*zenith);
        observation.setup = LastSetupOn(measurements_, Name("OP"));
        if (observation.setup != kNoSetup) {
            observedInSetup_ = true;
            if (measurements_.setups[observation.setup].instrumentHeight != instrumentHeight_)
                observation.instrumentHeight = instrumentHeight_;
        }
        observation.place = number_;
        observation.unit = unit_;
        measurements_.observations.push_back(std::move(observation));
    }

    // The record as the listing shows it, angles and lengths in the units of the line.
    // One that is not read is listed as its text.
    void List() const {
        std::string listed =
            Concat("Line ", std::to_string(number_), ": ", RecordName(type_), " (", type_, ")");
        if (!IsRead(type_)) {
            *listing_ += Concat(listed, rest_.empty() ? "" : ": ", rest_, "\n");
            return;
        }
        const char* separator = ": ";
        for (const Field& field : fields_) {
            const char* label = TagLabel(field.tag);
            std::string value(field.value);
            const std::optional<Angle> angle =
                IsAngleTag(field.tag) ? ParseSignedAngle(field.value, angleUnit_) : std::nullopt;
            if (angle)
                value = AngleText(*angle);
            else if (IsLengthTag(field.tag))
                value += UnitSuffix(unit_);
            else if (field.tag == "UN")
                value += Concat(" (", UnitSuffix(unit_) + 1, ")");
            else if (field.tag == "AU")
                value += angleUnit_ == AngleUnit::Gon ? " (gon)" : " (DDD.MMSS)";
            listed += Concat(separator, label ? label : field.tag, " ", value);
            separator = ", ";
        }
        if (!note_.empty())
            listed += Concat(separator, "note ", note_);
        *listing_ += listed + "\n";
    }

    std::string* listing_;
    FinishedSetups take_;
    Measurements measurements_;
    std::size_t number_ = 0;
    std::string_view type_;
    std::string_view rest_; // of the record after its type
    std::vector<Field> fields_;
    std::string_view note_;
    CoordUnit unit_ = CoordUnit::InternationalFoot;
    AngleUnit angleUnit_ = AngleUnit::DegreesMinutesSeconds;
    double instrumentHeight_ = 0;
    double targetHeight_ = 0;
    bool observedInSetup_ = false;
    std::string firstRecord_; // quoted, for the refusal of a file of no record read
    std::size_t firstRecordLine_ = 0;
    bool recordRead_ = false;
};

} // namespace

Measurements ReadRw5Measurements(std::string_view text) {
    return Rw5Reader(nullptr).Read(text);
}

void StreamRw5Measurements(const std::string& path, const FinishedSetups& take) {
    Rw5Reader(nullptr, take).Stream(path);
}

std::string Rw5Listing(std::string_view text) {
    std::string listing;
    Rw5Reader(&listing).Read(text);
    return listing;
}

} // namespace stadix
