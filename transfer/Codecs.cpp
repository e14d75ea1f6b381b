#include "transfer/Codecs.h"

#include "base/Errors.h"
#include "base/TextColumns.h"
#include "base/TextFormat.h"
#include "job/RecordLine.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace stadix {

const std::array<std::uint8_t, 75> kKvrCharacterCodes = {
    // A-Z
    0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A,
    0x1B, 0x1C, 0x1D, 0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x24,
    // a-z
    0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x2F, 0x30, 0x31, 0x32, 0x33, 0x34,
    0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E,
    // 0-9
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09,
    // . - + * # $ & @ ! _ / % blank
    0x0A, 0x3F, 0x43, 0x46, 0x4A, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0xFF};

namespace {

constexpr std::uint8_t kUnknownCharacterCode = 0x4A; // "#"
constexpr std::size_t kNameWidth = 8;

// Record-line numbers, once rounded to millimetres, lie above -10000000 and below
// 100000000 (12 characters).
bool FitsRecordLine(double value) {
    const double rounded = RoundMm(value);
    return rounded > -10000000 && rounded < 100000000;
}

// The digits of one packed-decimal byte: "0d" below 0A, "0-" for 0F, "-d" for a
// high half of F, otherwise high half * 10 + low half in decimal.
std::string PackedByteDigits(std::uint8_t byte) {
    const int high = byte >> 4;
    const int low = byte & 0x0F;
    if (byte < 0x0A)
        return "0" + std::to_string(low);
    if (byte == 0x0F)
        return "0-";
    if (high == 0x0F)
        return "-" + std::to_string(low);
    return std::to_string(high * 10 + low);
}

std::string PackedDigits(const std::uint8_t* bytes, std::size_t count) {
    std::string digits;
    for (std::size_t i = 0; i < count; ++i)
        digits += PackedByteDigits(bytes[i]);
    return digits;
}

// Leading zeros removed; a bare fraction gets its "0" back.
std::string StripLeadingZeros(const std::string& text) {
    std::string stripped = text.substr(std::min(text.find_first_not_of('0'), text.size()));
    if (stripped.empty() || stripped[0] == '.')
        stripped.insert(0, "0");
    return stripped;
}

std::string Zeros(long count) {
    return std::string(count > 0 ? count : 0, '0');
}

// One byte of a digit pair: "d-" gives 0F, "-d" gives F0 + d, "dd" its packed
// decimal. Throws ConversionError for any other character.
std::uint8_t PackPair(char first, char second, const std::string& text) {
    if (second == '-')
        return 0x0F;
    if (!IsDigit(second) || (first != '-' && !IsDigit(first)))
        throw ConversionError(text);
    if (first == '-')
        return static_cast<std::uint8_t>(0xF0 + (second - '0'));
    return static_cast<std::uint8_t>((first - '0') * 16 + (second - '0'));
}

// The shortest text that reads back as exactly this value.
std::string ExactNumberText(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// A number field as a record line can take it: the text itself when it reads
// strictly, else its leniently read value (unreadable gives 0).
std::string ReadableNumberText(const std::string& text) {
    try {
        ParseStrictNumber(text);
        return text;
    } catch (const ConversionError&) {
        return ExactNumberText(ParseLenientNumber(text));
    }
}

// The 10 digit characters of a 5-byte slot: seven integer positions, three decimals.
std::string SlotDigits(const std::string& number) {
    const std::string normalized = NormalizeKvrNumber(number);
    if (normalized.size() != 11 || normalized[0] != '0')
        throw ConversionError(number);
    return normalized.substr(1);
}

void PutSlot(const std::string& number, std::uint8_t* slot) {
    const std::string digits = SlotDigits(number);
    for (std::size_t i = 0; i < 5; ++i)
        slot[i] = PackPair(digits[2 * i], digits[2 * i + 1], number);
}

std::string FeetText(const std::string& metres, bool usSurveyFoot) {
    const std::string feet = MetresToFeetText(metres, usSurveyFoot);
    return FitsRecordLine(ParseStrictNumber(feet)) ? feet : "0";
}

std::string MetresText(const std::string& feet, bool usSurveyFoot) {
    return FormatFixed(ParseLenientNumber(feet) * MetresPerFoot(usSurveyFoot), 3);
}

bool IsUsSurveyFoot(CoordUnit unit) {
    return unit == CoordUnit::UsSurveyFoot;
}

std::string InMetres(const std::string& line, CoordUnit unit) {
    return unit != CoordUnit::Metre ? LineFeetToMetres(line, IsUsSurveyFoot(unit)) : line;
}

// PT, CODE, N, E, Z in fixed columns of 8, 8 and three times valueWidth.
std::string EncodeTextBlock(const std::string& line, CoordUnit unit, std::size_t valueWidth) {
    const std::string metres = InMetres(line, unit);
    std::string block = PadRight(RecordLinePt(metres), kNameWidth);
    block += PadRight(RecordLineCode(metres), kNameWidth);
    for (const std::string& value :
         {RecordLineN(metres), RecordLineE(metres), RecordLineZ(metres)}) {
        if (value.size() > valueWidth)
            throw ConversionError(value);
        block += PadRight(value, valueWidth);
    }
    return block;
}

// The characters of a comma-text field, blanks left out, at most limit of them.
std::string CompactField(const std::string& text, std::size_t limit) {
    std::string field;
    for (char c : text) {
        if (field.size() >= limit)
            break;
        if (c != ' ')
            field += c;
    }
    return field;
}

// A coordinate field of comma text: "0" unless its value lies within the record
// line's range.
std::string RangedNumberField(const std::string& field) {
    return FitsRecordLine(ParseLenientNumber(field)) ? field : "0";
}

} // namespace

std::string DecodeKvrText(const std::uint8_t* bytes, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        const auto code = std::find(kKvrCharacterCodes.begin(), kKvrCharacterCodes.end(), bytes[i]);
        text += code == kKvrCharacterCodes.end()
                    ? '#'
                    : kKvrCharacterSet[static_cast<std::size_t>(code - kKvrCharacterCodes.begin())];
    }
    return text.substr(0, text.find_last_not_of(' ') + 1);
}

std::vector<std::uint8_t> EncodeKvrText(const std::string& text, std::size_t width) {
    std::vector<std::uint8_t> bytes(width, kKvrPadByte);
    for (std::size_t i = 0; i < width && i < text.size(); ++i) {
        const std::size_t position = kKvrCharacterSet.find(text[i]);
        bytes[i] = position == std::string_view::npos ? kUnknownCharacterCode
                                                      : kKvrCharacterCodes[position];
    }
    return bytes;
}

std::string DecodeKvrNumber(const std::uint8_t* bytes, std::size_t count) {
    std::string digits = PackedDigits(bytes, count);
    const std::size_t point = count >= 2 ? 2 * count - 3 : 0;
    digits.insert(point, ".");
    return StripLeadingZeros(digits);
}

std::string DecodeKvrAngle(const std::uint8_t* bytes) {
    std::string digits = PackedDigits(bytes, 4);
    digits.insert(digits.size() - 4, ".");
    return StripLeadingZeros(digits);
}

std::string NormalizeKvrNumber(const std::string& text) {
    const std::size_t found = text.find('.');
    const long length = static_cast<long>(text.size());
    std::string padded;
    if (found == std::string::npos) {
        padded = Zeros(8 - length) + text + ".000";
    } else {
        const long point = static_cast<long>(found) + 1; // 1-based
        if (length - point < 3) {
            padded = Zeros(9 - point) + text + Zeros(3 - (length - point));
        } else {
            // Round the fourth decimal away so that a binary near-miss keeps its mm.
            double value = ParseLenientNumber(text);
            if (value > 0)
                value += 0.0005;
            else if (value < 0)
                value -= 0.0005;
            char general[64];
            const auto written = std::to_chars(general, general + sizeof general, value,
                                               std::chars_format::general, 15);
            std::string rounded(general, written.ptr);
            rounded.resize(12, '0');
            padded = (Zeros(9 - point) + rounded).substr(0, 12);
        }
    }
    return padded.erase(8, 1);
}

std::array<std::uint8_t, 6> EncodeKvrNumber(const std::string& text) {
    const std::string digits = NormalizeKvrNumber(text);
    if (digits.size() != 11)
        throw ConversionError(text);
    std::array<std::uint8_t, 6> bytes{};
    for (std::size_t i = 0; i < 5; ++i)
        bytes[i] = PackPair(digits[2 * i], digits[2 * i + 1], text);
    bytes[5] = PackPair('0', digits[10], text);
    return bytes;
}

std::string DecodeCoordBlock(const std::uint8_t* block, CoordUnit unit) {
    const std::string pt = DecodeKvrText(block, 8);
    const std::string code = DecodeKvrText(block + 8, 8);
    std::string values[3];
    for (std::size_t i = 0; i < 3; ++i) {
        values[i] = ReadableNumberText(DecodeKvrNumber(block + 16 + 5 * i, 5));
        if (unit != CoordUnit::Metre)
            values[i] = MetresToFeetText(values[i], IsUsSurveyFoot(unit));
    }
    return MakeRecordLine(pt, code, values[0], values[1], values[2]);
}

CoordBlock EncodeCoordBlock(const std::string& line, CoordUnit unit) {
    const std::string metres = InMetres(line, unit);
    CoordBlock block{};
    const std::vector<std::uint8_t> pt = EncodeKvrText(RecordLinePt(metres), kNameWidth);
    const std::vector<std::uint8_t> code = EncodeKvrText(RecordLineCode(metres), kNameWidth);
    std::copy(pt.begin(), pt.end(), block.begin());
    std::copy(code.begin(), code.end(), block.begin() + 8);
    PutSlot(RecordLineN(metres), block.data() + 16);
    PutSlot(RecordLineE(metres), block.data() + 21);
    PutSlot(RecordLineZ(metres), block.data() + 26);
    return block;
}

std::string DecodeCsvBlock(const std::uint8_t* block, std::size_t length, CoordUnit unit) {
    const std::uint8_t* end = std::find(block, block + length, 0);
    const std::string line = ParseCsvRecord(std::string(block, end));
    return unit != CoordUnit::Metre ? LineMetresToFeet(line, IsUsSurveyFoot(unit)) : line;
}

std::string ParseCsvRecord(const std::string& text) {
    constexpr std::size_t kFieldCount = 5;
    constexpr std::size_t kLimits[kFieldCount] = {8, 8, 12, 12, 12};
    constexpr std::size_t kFirstNumber = 2;
    std::string fields[kFieldCount] = {"", "", "0", "0", "0"};
    std::size_t count = 0;
    std::string rest = text;
    for (std::size_t comma = rest.find(','); comma != std::string::npos && count < kFieldCount;
         comma = rest.find(',')) {
        fields[count] = CompactField(rest.substr(0, comma), kLimits[count]);
        if (count >= kFirstNumber)
            fields[count] = RangedNumberField(fields[count]);
        ++count;
        rest.erase(0, comma + 1);
    }
    if (count < kFieldCount && rest.size() <= kLimits[count])
        fields[count] = count >= kFirstNumber ? RangedNumberField(rest) : rest;
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        fields[i] = Trim(fields[i]);
        if (i >= kFirstNumber)
            fields[i] = ReadableNumberText(fields[i]);
    }
    return MakeRecordLine(fields[0], fields[1], fields[2], fields[3], fields[4]);
}

std::string EncodeTextBlock11(const std::string& line, CoordUnit unit) {
    return EncodeTextBlock(line, unit, 11);
}

std::string EncodeTextBlock12(const std::string& line, CoordUnit unit) {
    return EncodeTextBlock(line, unit, 12);
}

std::string FormatGtsValue(double value) {
    const bool negative = value < 0;
    const double rounded = std::fabs(value) + 0.0005;
    const double whole = std::trunc(rounded);
    const int thousandths = static_cast<int>((rounded - whole) * 1000);
    char text[64];
    std::snprintf(text, sizeof text, "+%08lu%03d", static_cast<unsigned long>(whole), thousandths);
    if (negative)
        text[0] = '-';
    return text;
}

std::string EncodeGtsCoordLine(const std::string& line, CoordUnit unit) {
    const std::string metres = InMetres(line, unit);
    return "_+" + PadRight(RecordLinePt(metres), 10) + "_ x" +
           FormatGtsValue(ParseStrictNumber(RecordLineN(metres))) + "_ y" +
           FormatGtsValue(ParseStrictNumber(RecordLineE(metres))) + "_ z" +
           FormatGtsValue(ParseStrictNumber(RecordLineZ(metres)));
}

std::string MetresToFeetText(const std::string& text, bool usSurveyFoot) {
    return FormatFixed(ParseLenientNumber(text) * FeetPerMetre(usSurveyFoot), 2);
}

std::string LineMetresToFeet(const std::string& line, bool usSurveyFoot) {
    return MakeRecordLine(
        RecordLinePt(line), RecordLineCode(line), FeetText(RecordLineN(line), usSurveyFoot),
        FeetText(RecordLineE(line), usSurveyFoot), FeetText(RecordLineZ(line), usSurveyFoot));
}

std::string LineFeetToMetres(const std::string& line, bool usSurveyFoot) {
    return MakeRecordLine(
        RecordLinePt(line), RecordLineCode(line), MetresText(RecordLineN(line), usSurveyFoot),
        MetresText(RecordLineE(line), usSurveyFoot), MetresText(RecordLineZ(line), usSurveyFoot));
}

} // namespace stadix
