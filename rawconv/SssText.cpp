#include "rawconv/SssText.h"

#include "base/TextFormat.h"

namespace stadix {

namespace {

// The first line of an observation: keyword, name, height and code; the comma before
// the code stands also when the code is empty.
std::string SssHead(const DecodeState& state, const char* keyword, const RawRecord& record) {
    return Concat(keyword, ReadNameText(record, raw::kName), ",",
                  LengthField(state, record, raw::kHeight), ",", ReadNameText(record, raw::kCode));
}

// CRD and STN: the head, then east, north and elevation.
std::string SssCoordinateText(const DecodeState& state, const char* keyword,
                              const RawRecord& record) {
    return Concat(SssHead(state, keyword, record), "\r\nXYZ     ",
                  CoordinateField(state, record, raw::kEast), ",",
                  CoordinateField(state, record, raw::kNorth), ",",
                  CoordinateField(state, record, raw::kElevation));
}

std::string SssDistText(const DecodeState& state, const RawRecord& record) {
    return Concat(SssHead(state, "SS      ", record), "\r\nSD      ",
                  AngleField(state, record, raw::kHorizontalAngle), ",",
                  AngleField(state, record, raw::kVerticalAngle), ",",
                  LengthField(state, record, raw::kSlopeDistance));
}

std::string SssAngText(const DecodeState& state, const RawRecord& record) {
    return Concat(SssHead(state, "SS      ", record), "\r\nHV      ",
                  AngleField(state, record, raw::kHorizontalAngle), ",",
                  AngleField(state, record, raw::kVerticalAngle));
}

// Applies the record's byte order before it is shown.
std::string SssInstText(DecodeState& state, const RawRecord& record) {
    ApplyInstRecord(state, record);
    return Concat("INST    ", ReadFixedText(record, raw::kInstModel, raw::kInstModelSize), " Ver.",
                  ReadFixedText(record, raw::kInstVersion, raw::kInstVersionSize), " No.",
                  ReadFixedText(record, raw::kInstSerial, raw::kInstSerialSize));
}

// Applies the record's units, then names them: M or F (either foot), D, G or M.
std::string SssUnitText(DecodeState& state, const RawRecord& record) {
    ApplyUnitRecord(state, record);
    const char* angle = state.angleUnit == 1 ? "G" : state.angleUnit == 2 ? "M" : "D";
    return Concat("UNITS   ", state.feetDisplay ? "F" : "M", ",", angle);
}

} // namespace

std::string FormatSssRecord(DecodeState& state, const RawRecord& record) {
    switch (record[0]) {
    case kTypeCrd:
        return SssCoordinateText(state, "SS      ", record);
    case kTypeDist:
        return SssDistText(state, record);
    case kTypeAng:
        return SssAngText(state, record);
    case kTypeStn:
        return SssCoordinateText(state, "STN     ", record);
    case kTypeInst:
        return SssInstText(state, record);
    case kTypeJob:
        return Concat("JOB     ", ReadFixedText(record, raw::kJobName, raw::kJobNameSize));
    case kTypeUnit:
        return SssUnitText(state, record);
    default:
        return std::string();
    }
}

void WriteSssText(DecodeState& state, std::string_view store, std::vector<std::string>& items) {
    items.reserve(items.size() + RawRecordCount(store));
    for (std::size_t i = 0; i < RawRecordCount(store); ++i) {
        std::string item = FormatSssRecord(state, RawRecordAt(store, i));
        if (!item.empty())
            items.push_back(std::move(item));
    }
}

} // namespace stadix
