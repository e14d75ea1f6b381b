#include "rawconv/RawRecords.h"

#include "base/TextFormat.h"
#include "job/DataKinds.h"
#include "job/RecordLine.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace stadix {

namespace {

constexpr std::size_t kNameTextSize = 9;

void CheckFieldInRecord(std::size_t offset, std::size_t size) {
    if (offset > kRawRecordSize || size > kRawRecordSize - offset)
        throw std::out_of_range("field outside the raw record");
}

// The unsigned number of size bytes at offset, in the byte order of the decoding state.
std::uint32_t ReadUnsigned(const DecodeState& state, const RawRecord& record, std::size_t offset,
                           std::size_t size) {
    CheckFieldInRecord(offset, size);
    const bool bigEndian = state.bigEndian;
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const std::size_t at = bigEndian ? offset + i : offset + size - 1 - i;
        value = (value << 8) | record[at];
    }
    return value;
}

// printf "%.Nf" without the locale's decimal point.
std::string PrintFixed(double value, int precision) {
    char text[400];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, precision);
    return std::string(text, result.ptr);
}

// The number in decimal, appended.
void AppendDecimal(std::string& text, long value) {
    char digits[24];
    char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    text.append(digits, static_cast<std::size_t>(end - digits));
}

// The number in decimal with zeros in front up to width digits ("%0*u"), appended.
void AppendZeroPadded(std::string& text, unsigned value, std::size_t width) {
    char digits[24];
    char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    const auto count = static_cast<std::size_t>(end - digits);
    if (count < width)
        text.append(width - count, '0');
    text.append(digits, count);
}

// The decimal pattern "0.0..." of FormatFixed, with a word for values that are no
// number at all.
std::string PatternFixed(double value, int decimals) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    return FormatFixed(value, decimals);
}

// Rounds to single precision; values beyond its range become infinities.
float ToSingle(double value) {
    if (std::fabs(value) > std::numeric_limits<float>::max())
        return value > 0 ? std::numeric_limits<float>::infinity()
                         : -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

bool HostIsLittleEndian() {
    const std::uint16_t one = 1;
    unsigned char first = 0;
    std::memcpy(&first, &one, 1);
    return first == 1;
}

bool CardOrderDiffersFromHost(CardByteOrder order) {
    return (order == CardByteOrder::BigEndian) == HostIsLittleEndian();
}

// Copies up to 8 printable ASCII characters of text to offset, then a NUL.
void WriteCardName(const std::string& text, RawRecord& record, std::size_t offset) {
    std::size_t count = 0;
    while (count < 8 && count < text.size()) {
        const auto c = static_cast<unsigned char>(text[count]);
        if (c < 0x20 || c > 0x7E)
            break;
        record[offset + count] = c;
        ++count;
    }
    record[offset + count] = 0;
}

void WriteCardCoordinate(const RawCoordinate& value, RawRecord& record, std::size_t offset,
                         CardByteOrder order) {
    const std::uint32_t whole = CardWord32(static_cast<std::uint32_t>(value.whole), order);
    const std::uint16_t thousandths =
        CardWord16(static_cast<std::uint16_t>(value.thousandths), order);
    std::memcpy(&record[offset], &whole, 4);
    std::memcpy(&record[offset + 4], &thousandths, 2);
}

} // namespace

RawRecord RawRecordAt(std::string_view store, std::size_t index) {
    RawRecord record;
    std::memcpy(record.data(), store.data() + index * kRawRecordSize, kRawRecordSize);
    return record;
}

std::int16_t ReadInt16(const DecodeState& state, const RawRecord& record, std::size_t offset) {
    return static_cast<std::int16_t>(ReadUnsigned(state, record, offset, 2));
}

std::uint32_t ReadUInt32(const DecodeState& state, const RawRecord& record, std::size_t offset) {
    return ReadUnsigned(state, record, offset, 4);
}

float ReadFloat32(const DecodeState& state, const RawRecord& record, std::size_t offset) {
    const std::uint32_t bits = ReadUnsigned(state, record, offset, 4);
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

RawCoordinate ReadCoordinate(const DecodeState& state, const RawRecord& record,
                             std::size_t offset) {
    RawCoordinate value;
    value.whole = static_cast<std::int32_t>(ReadUnsigned(state, record, offset, 4));
    value.thousandths = static_cast<std::int16_t>(ReadUnsigned(state, record, offset + 4, 2));
    return value;
}

std::string ReadNameText(const RawRecord& record, std::size_t offset) {
    CheckFieldInRecord(offset, kNameTextSize);
    std::size_t length = 0;
    while (length < kNameTextSize && record[offset + length] != 0)
        ++length;
    return std::string(reinterpret_cast<const char*>(&record[offset]), length);
}

std::string ReadFixedText(const RawRecord& record, std::size_t offset, std::size_t size) {
    CheckFieldInRecord(offset, size);
    return Trim(std::string(reinterpret_cast<const char*>(&record[offset]), size));
}

std::string FormatLength(const DecodeState& state, float metres) {
    if (!state.feetDisplay)
        return PatternFixed(metres, 3);
    return PatternFixed(ToSingle(metres * FeetPerMetre(state.usSurveyFeet)), 2);
}

std::string FormatCoordinate(const DecodeState& state, RawCoordinate value) {
    if (state.feetDisplay) {
        const double metres = value.whole + value.thousandths * 0.001;
        return PrintFixed(metres * FeetPerMetre(state.usSurveyFeet), 2);
    }
    // "%ld.%03d" of the whole metres and the thousandths without their sign, and "-0."
    // for a negative value under one metre.
    std::string text;
    text.reserve(20);
    if (value.whole == 0 && value.thousandths < 0)
        text += '-';
    AppendDecimal(text, value.whole);
    text += '.';
    AppendZeroPadded(text, static_cast<unsigned>(std::abs(static_cast<int>(value.thousandths))), 3);
    return text;
}

std::string FormatAngle(const DecodeState& state, std::uint32_t seconds) {
    switch (state.angleUnit) {
    case 1:
        return PrintFixed(seconds / 3240.0, 4);
    case 2:
        return PrintFixed(seconds * 2.0 * (1.0 / 405), 3);
    default: {
        // "%i.%02d%02d": degrees kept to 16 bits, minutes, seconds.
        std::string text;
        text.reserve(12);
        AppendDecimal(text, static_cast<std::uint16_t>(seconds / 3600));
        text += '.';
        AppendZeroPadded(text, seconds / 60 % 60, 2);
        AppendZeroPadded(text, seconds % 60, 2);
        return text;
    }
    }
}

std::string FormatTemperature(int fahrenheit, int unitCode) {
    if (unitCode != 0)
        return std::to_string(fahrenheit);
    float celsius = static_cast<float>((static_cast<double>(fahrenheit) - 32) * 0.5555556);
    if (celsius < 0)
        celsius -= 0.5f;
    if (celsius > 0)
        celsius += 0.5f;
    return std::to_string(static_cast<int>(celsius));
}

std::string FormatPressure(int hundredthsInHg, int unitCode) {
    switch (unitCode) {
    case 0:
        return std::to_string(static_cast<int>(hundredthsInHg * 0.3386531 + 0.5));
    case 1:
        return std::to_string(static_cast<int>(hundredthsInHg * 0.254 + 0.5));
    default:
        return PrintFixed(hundredthsInHg * 0.01, 2);
    }
}

std::string LengthField(const DecodeState& state, const RawRecord& record, std::size_t offset) {
    return FormatLength(state, ReadFloat32(state, record, offset));
}

std::string CoordinateField(const DecodeState& state, const RawRecord& record, std::size_t offset) {
    return FormatCoordinate(state, ReadCoordinate(state, record, offset));
}

std::string AngleField(const DecodeState& state, const RawRecord& record, std::size_t offset) {
    return FormatAngle(state, ReadUInt32(state, record, offset));
}

std::string OptionalCodeField(const RawRecord& record) {
    const std::string code = ReadNameText(record, raw::kCode);
    return code.empty() ? std::string() : Concat(",", code);
}

bool IsKnownModel(std::string_view model) {
    for (std::string_view known : ModelTable) {
        if (model == known)
            return true;
    }
    return false;
}

void ApplyInstRecord(DecodeState& state, const RawRecord& record) {
    const std::string model = ReadFixedText(record, raw::kInstModel, raw::kInstModelSize);
    state.bigEndian = IsKnownModel(model);
    const std::uint8_t* marker = &record[raw::kInstByteOrderMarker];
    if (marker[0] == 'L' && marker[1] == 'T' && marker[2] == 'E')
        state.bigEndian = false;
}

void ApplyUnitRecord(DecodeState& state, const RawRecord& record) {
    if (record[raw::kUnitDistance] <= 2)
        SetDistanceUnit(state, record[raw::kUnitDistance]);
    SetAngleUnit(state, record[raw::kUnitAngle]);
}

void SetDistanceUnit(DecodeState& state, int code) {
    state.feetDisplay = code != 0;
    state.usSurveyFeet = code == 2;
}

void SetAngleUnit(DecodeState& state, int code) {
    if (code >= 0 && code <= 2)
        state.angleUnit = code;
}

RawCoordinate ParseCoordinate(const std::string& text) {
    constexpr double kLargest = std::numeric_limits<std::int32_t>::max();
    double value = ParseLenientNumber(text);
    const bool negative = value < 0;
    value = std::fmin(std::fabs(value), kLargest);
    std::int32_t whole = static_cast<std::int32_t>(value);
    int thousandths = static_cast<int>((value - whole) * 1000 + 0.5);
    if (thousandths >= 1000) {
        thousandths -= 1000;
        whole += 1;
    }
    RawCoordinate result;
    result.whole = negative ? -whole : whole;
    result.thousandths = static_cast<std::int16_t>(negative ? -thousandths : thousandths);
    return result;
}

namespace {

// The point line of a record, with its name and code, whose three coordinates start at
// north.
std::string PointLine(const DecodeState& state, const RawRecord& record, std::size_t north) {
    const auto coordinate = [&](std::size_t offset) {
        return FormatCoordinate(state, ReadCoordinate(state, record, offset));
    };
    return MakeRecordLine(ReadNameText(record, raw::kName), ReadNameText(record, raw::kCode),
                          coordinate(north), coordinate(north + 6), coordinate(north + 12));
}

} // namespace

std::string PtRecordToPointLine(DecodeState& state, const RawRecord& record, bool bigEndian) {
    state.bigEndian = bigEndian;
    return PointLine(state, record, raw::kPtNorth);
}

std::string CoordRecordToPointLine(DecodeState& state, const RawRecord& record, bool bigEndian) {
    state.bigEndian = bigEndian;
    return PointLine(state, record, raw::kNorth);
}

void PointLineToPtRecord(const std::string& line, RawRecord& record, CardByteOrder order) {
    record[0] = kTypePt;
    WriteCardName(RecordLinePt(line), record, raw::kName);
    WriteCardName(RecordLineCode(line), record, raw::kCode);
    WriteCardCoordinate(ParseCoordinate(RecordLineN(line)), record, raw::kPtNorth, order);
    WriteCardCoordinate(ParseCoordinate(RecordLineE(line)), record, raw::kPtEast, order);
    WriteCardCoordinate(ParseCoordinate(RecordLineZ(line)), record, raw::kPtElevation, order);
}

std::uint16_t CardWord16(std::uint16_t value, CardByteOrder order) {
    if (!CardOrderDiffersFromHost(order))
        return value;
    return static_cast<std::uint16_t>((value >> 8) | (value << 8));
}

std::uint32_t CardWord32(std::uint32_t value, CardByteOrder order) {
    if (!CardOrderDiffersFromHost(order))
        return value;
    return (value >> 24) | ((value >> 8) & 0xFF00u) | ((value << 8) & 0xFF0000u) | (value << 24);
}

} // namespace stadix
