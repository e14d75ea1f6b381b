// Conversions between record lines and what travels on the serial line: the
// instrument's character code, its packed-decimal numbers and angles, the coordinate
// block, the comma and fixed-column text blocks, the GTS coordinate text, and the
// metre/foot conversion asked for by the coordinate unit setting.
//
// unit: the coordinate unit that the instrument's side is in; usSurveyFoot chooses the
// US survey foot over the international foot.
#pragma once

#include "job/DataKinds.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace stadix {

// The characters that names and codes may carry, in lookup order, and the code of
// each (same positions). A character outside the set travels as "#" (0x4A); a code
// outside the set arrives as "#".
constexpr std::string_view kKvrCharacterSet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789.-+*#$&@!_/% ";
extern const std::array<std::uint8_t, 75> kKvrCharacterCodes;

constexpr std::uint8_t kKvrPadByte = 0xFF;
constexpr std::size_t kCoordBlockLength = 32;
using CoordBlock = std::array<std::uint8_t, kCoordBlockLength>;

// count bytes as text, one character per byte, trailing blanks removed.
std::string DecodeKvrText(const std::uint8_t* bytes, std::size_t count);

// The codes of the text's first width characters, padded with 0xFF to width bytes.
std::vector<std::uint8_t> EncodeKvrText(const std::string& text, std::size_t width);

// A packed-decimal number of count (at least 2) bytes as text with three decimals,
// e.g. 00 12 34 50 -> "123.450". Never fails: odd bytes give odd digit groups.
std::string DecodeKvrNumber(const std::uint8_t* bytes, std::size_t count);

// A 4-byte packed-decimal angle DDDD.MMSS as text, e.g. 01 23 45 30 -> "123.4530".
std::string DecodeKvrAngle(const std::uint8_t* bytes);

// A number text with three decimals as eleven characters without the point: eight
// integer positions (a minus sign takes one) and three decimals, e.g. "-12.345" ->
// "00000-12345".
std::string NormalizeKvrNumber(const std::string& text);

// The six packed-decimal bytes of the normalized text, e.g. "-12.345" -> 00 00 0F 12
// 34 05. Throws ConversionError for a text that does not normalize to digits.
std::array<std::uint8_t, 6> EncodeKvrNumber(const std::string& text);

// The record line of a received coordinate block (bytes 0-30 read), converted to feet
// when the unit asks for it. Never fails.
std::string DecodeCoordBlock(const std::uint8_t* block, CoordUnit unit);

// The coordinate block of a record line, converted from feet first when the unit
// asks for it. N, E and Z each fill their own 5-byte slot (bytes 16, 21, 26) with
// seven integer positions and three decimals, exactly as DecodeCoordBlock reads them;
// byte 31 is 0. Throws ConversionError for a value that does not fit a slot (from
// 10000000 up, or -1000000 and below) or a line whose numbers do not read.
CoordBlock EncodeCoordBlock(const std::string& line, CoordUnit unit);

// The record line of a received comma-text block (types 0x06 and 0xA9): the text
// ends at the first 0 byte or after length bytes. Converted to feet when the unit
// asks for it. Never fails.
std::string DecodeCsvBlock(const std::uint8_t* block, std::size_t length, CoordUnit unit);

// Comma text of up to five fields PT, CODE, N, E, Z as a record line. Missing names
// are empty; missing, unreadable or out-of-range numbers are 0. Never fails.
std::string ParseCsvRecord(const std::string& text);

// "%-8s%-8s%-11s%-11s%-11s" of PT, CODE, N, E, Z (49 characters), converted from feet
// first when the unit asks for it. Throws ConversionError for a value longer than 11
// characters rather than send a shifted, cut block.
std::string EncodeTextBlock11(const std::string& line, CoordUnit unit);

// "%-8s%-8s%-12s%-12s%-12s" of PT, CODE, N, E, Z (52 characters), converted from feet
// first when the unit asks for it.
std::string EncodeTextBlock12(const std::string& line, CoordUnit unit);

// A value as the GTS formats write it: sign, 8 integer digits, 3 decimals, no point,
// e.g. 1234.5678 -> "+00001234568".
std::string FormatGtsValue(double value);

// The 57-character GTS coordinate text "_+name _ xN _ yE _ zZ" of a record line (the
// code is not carried), converted from feet first when the unit asks for it. Throws
// ConversionError for a line whose numbers do not read.
std::string EncodeGtsCoordLine(const std::string& line, CoordUnit unit);

// A metre value (read leniently) in feet, formatted "0.00".
std::string MetresToFeetText(const std::string& text, bool usSurveyFoot);

// The record line with N, E and Z converted from metres to feet ("0.00", written with
// three decimals). A value whose feet no longer fit a record line becomes 0.
std::string LineMetresToFeet(const std::string& line, bool usSurveyFoot);

// The record line with N, E and Z converted from feet to metres ("0.000").
std::string LineFeetToMetres(const std::string& line, bool usSurveyFoot);

} // namespace stadix
