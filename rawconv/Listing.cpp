#include "rawconv/Listing.h"

#include "base/TextFormat.h"

#include <utility>

namespace stadix {

namespace {

struct UnitLines {
    std::string unit; // "UNIT: " distance, angle, temperature and pressure unit codes
    std::string edm;  // "EDM:  " temperature, pressure and the EDM settings
};

// Name and height, the fields that open every observation text.
std::string ObservationHead(const DecodeState& state, const char* label, const RawRecord& record) {
    return Concat(label, ReadNameText(record, raw::kName), ",",
                  LengthField(state, record, raw::kHeight));
}

// CRD, STN and BS: height and the three coordinates.
std::string CoordinateText(const DecodeState& state, const char* label, const RawRecord& record) {
    return Concat(ObservationHead(state, label, record), ",",
                  CoordinateField(state, record, raw::kNorth), ",",
                  CoordinateField(state, record, raw::kEast), ",",
                  CoordinateField(state, record, raw::kElevation), OptionalCodeField(record));
}

std::string DistText(const DecodeState& state, const RawRecord& record) {
    return Concat(ObservationHead(state, "DIST: ", record), ",",
                  AngleField(state, record, raw::kHorizontalAngle), ",",
                  AngleField(state, record, raw::kVerticalAngle), ",",
                  LengthField(state, record, raw::kSlopeDistance), OptionalCodeField(record));
}

std::string AngText(const DecodeState& state, const RawRecord& record) {
    return Concat(ObservationHead(state, "ANG:  ", record), ",",
                  AngleField(state, record, raw::kHorizontalAngle), ",",
                  AngleField(state, record, raw::kVerticalAngle), OptionalCodeField(record));
}

std::string BkbText(const DecodeState& state, const RawRecord& record) {
    return Concat(ObservationHead(state, "BKB:  ", record), ",",
                  AngleField(state, record, raw::kVerticalAngle), ",",
                  AngleField(state, record, raw::kHorizontalAngle), OptionalCodeField(record));
}

std::string PtText(const DecodeState& state, const RawRecord& record) {
    return Concat("PT:   ", ReadNameText(record, raw::kName), ",",
                  CoordinateField(state, record, raw::kPtNorth), ",",
                  CoordinateField(state, record, raw::kPtEast), ",",
                  CoordinateField(state, record, raw::kPtElevation));
}

// Applies the record's byte order before it is shown.
std::string InstText(DecodeState& state, const RawRecord& record) {
    ApplyInstRecord(state, record);
    return Concat("INST: ", ReadFixedText(record, raw::kInstModel, raw::kInstModelSize), ",V",
                  ReadFixedText(record, raw::kInstVersion, raw::kInstVersionSize), ",No.",
                  ReadFixedText(record, raw::kInstSerial, raw::kInstSerialSize));
}

std::string JobText(const RawRecord& record) {
    return Concat("JOB:  ", ReadFixedText(record, raw::kJobName, raw::kJobNameSize));
}

int DistanceDisplayCode(const DecodeState& state) {
    if (!state.feetDisplay)
        return 0;
    return state.usSurveyFeet ? 2 : 1;
}

// Applies the record's distance and angle units, then shows the units in force and
// the record's settings, each out-of-range setting replaced by its default.
UnitLines UnitText(DecodeState& state, const RawRecord& record) {
    ApplyUnitRecord(state, record);

    const int temperatureCode =
        record[raw::kUnitTemperatureCode] <= 1 ? record[raw::kUnitTemperatureCode] : 1;
    const int pressureCode =
        record[raw::kUnitPressureCode] <= 2 ? record[raw::kUnitPressureCode] : 2;
    const int mode = record[raw::kUnitMode] <= 2 ? record[raw::kUnitMode] : 0;
    const int storedPrism = static_cast<std::int8_t>(record[raw::kUnitPrism]);
    const int prism = storedPrism > -100 && storedPrism < 100 ? storedPrism : 0;
    const float storedScale = ReadFloat32(state, record, raw::kUnitScale);
    const double scale = storedScale >= 0.98 && storedScale <= 1.02 ? storedScale : 1.0;

    UnitLines lines;
    lines.unit = Concat("UNIT: ", std::to_string(DistanceDisplayCode(state)), ",",
                        std::to_string(state.angleUnit), ",", std::to_string(temperatureCode), ",",
                        std::to_string(pressureCode));
    lines.edm =
        Concat("EDM:  ",
               FormatTemperature(ReadInt16(state, record, raw::kUnitTemperature), temperatureCode),
               ",", FormatPressure(ReadInt16(state, record, raw::kUnitPressure), pressureCode), ",",
               std::to_string(ReadInt16(state, record, raw::kUnitPpm)), ",", std::to_string(mode),
               ",", std::to_string(prism), ",", FormatFixed(scale, 6));
    return lines;
}

} // namespace

std::string FormatListingRecord(DecodeState& state, const RawRecord& record) {
    switch (record[0]) {
    case kTypeCrd:
        return CoordinateText(state, "CRD:  ", record);
    case kTypeDist:
        return DistText(state, record);
    case kTypeAng:
        return AngText(state, record);
    case kTypeStn:
        return CoordinateText(state, "STN:  ", record);
    case kTypePt:
        return PtText(state, record);
    case kTypeBkb:
        return BkbText(state, record);
    case kTypeBs:
        return CoordinateText(state, "BS:   ", record);
    case kTypeInst:
        return InstText(state, record);
    case kTypeJob:
        return JobText(record);
    case kTypeUnit: {
        const UnitLines lines = UnitText(state, record);
        return Concat(lines.unit, "\r\n", lines.edm);
    }
    default:
        return std::string();
    }
}

void AddRecordToListing(DecodeState& state, std::vector<std::string>& lines,
                        const RawRecord& record) {
    if (record[0] == kTypeUnit) {
        UnitLines unit = UnitText(state, record);
        lines.push_back(std::move(unit.unit));
        lines.push_back(std::move(unit.edm));
        return;
    }
    std::string text = FormatListingRecord(state, record);
    if (!text.empty())
        lines.push_back(std::move(text));
}

void RenderListing(DecodeState& state, std::string_view store, std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < RawRecordCount(store); ++i)
        AddRecordToListing(state, lines, RawRecordAt(store, i));
}

} // namespace stadix
