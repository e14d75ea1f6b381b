// Raw measurement records: the instrument's 42-byte binary records, the decoding
// state that says how their numbers are read and shown, the value formatters, and
// the conversions between raw records and record lines.
#pragma once

#include "job/DataKinds.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace stadix {

constexpr std::size_t kRawRecordSize = 42;

// One raw record; byte 0 is the type code and decides the layout of the rest.
using RawRecord = std::array<std::uint8_t, kRawRecordSize>;

// How many whole records a raw record store (records back to back) holds; a trailing
// partial record does not count.
inline std::size_t RawRecordCount(std::string_view store) {
    return store.size() / kRawRecordSize;
}
// A raw record store is offered for sending only when it holds at least this many
// records.
constexpr std::size_t kMinRawRecordsToSend = 4;

// Record number index (from 0) of the store; index is below RawRecordCount.
RawRecord RawRecordAt(std::string_view store, std::size_t index);

// The type codes of byte 0. Any other code is skipped by every rendering.
enum RawRecordType : std::uint8_t {
    kTypeCrd = 0,
    kTypeDist = 1,
    kTypeAng = 2,
    kTypeStn = 3,
    kTypePt = 4,
    kTypeBkb = 5,
    kTypeBs = 6,
    kTypeInst = 129,
    kTypeJob = 130,
    kTypeUnit = 131,
};

// Field offsets. Observation records (CRD, DIST, ANG, STN, BKB, BS) share their head.
namespace raw {
constexpr std::size_t kName = 1;    // Name text; station name for STN
constexpr std::size_t kCode = 10;   // Name text
constexpr std::size_t kHeight = 19; // Length; instrument height for STN
constexpr std::size_t kStationGroup = 41;
// DIST, ANG, BKB
constexpr std::size_t kSlopeDistance = 23;   // Length, DIST only
constexpr std::size_t kVerticalAngle = 27;   // first angle of BKB
constexpr std::size_t kHorizontalAngle = 31; // second angle of BKB
// CRD, STN, BS
constexpr std::size_t kNorth = 23;
constexpr std::size_t kEast = 29;
constexpr std::size_t kElevation = 35;
// PT
constexpr std::size_t kPtNorth = 19;
constexpr std::size_t kPtEast = 25;
constexpr std::size_t kPtElevation = 31;
// INST
constexpr std::size_t kInstModel = 1;
constexpr std::size_t kInstModelSize = 10;
constexpr std::size_t kInstVersion = 11;
constexpr std::size_t kInstVersionSize = 4;
constexpr std::size_t kInstSerial = 15;
constexpr std::size_t kInstSerialSize = 8;
constexpr std::size_t kInstByteOrderMarker = 24;
// JOB
constexpr std::size_t kJobName = 1;
constexpr std::size_t kJobNameSize = 8;
// UNIT
constexpr std::size_t kUnitDistance = 1;
constexpr std::size_t kUnitAngle = 2;
constexpr std::size_t kUnitTemperatureCode = 3;
constexpr std::size_t kUnitPressureCode = 4;
constexpr std::size_t kUnitTemperature = 5; // Int16, degrees Fahrenheit
constexpr std::size_t kUnitPressure = 7;    // Int16, hundredths of inHg
constexpr std::size_t kUnitPpm = 9;         // Int16
constexpr std::size_t kUnitPrism = 11;      // Int8
constexpr std::size_t kUnitMode = 12;
constexpr std::size_t kUnitScale = 13; // single float
} // namespace raw

// A Coordinate field: whole metres and thousandths, both carrying the value's sign.
struct RawCoordinate {
    std::int32_t whole = 0;
    std::int16_t thousandths = 0;
};

// Field readers, honouring the byte order of the decoding state. A field that does
// not lie inside the record throws std::out_of_range.
std::int16_t ReadInt16(const DecodeState& state, const RawRecord& record, std::size_t offset);
std::uint32_t ReadUInt32(const DecodeState& state, const RawRecord& record, std::size_t offset);
float ReadFloat32(const DecodeState& state, const RawRecord& record, std::size_t offset);
RawCoordinate ReadCoordinate(const DecodeState& state, const RawRecord& record, std::size_t offset);

// Up to the first NUL of the 9 bytes at offset, and never beyond them.
std::string ReadNameText(const RawRecord& record, std::size_t offset);
// The size bytes at offset with bytes of 0x20 or less removed from both ends.
std::string ReadFixedText(const RawRecord& record, std::size_t offset, std::size_t size);

// Metres with three decimals, or feet with two. Not-a-number and infinities show
// as "NAN", "INF" and "-INF".
std::string FormatLength(const DecodeState& state, float metres);
// Metres exactly as stored, or feet with two decimals.
std::string FormatCoordinate(const DecodeState& state, RawCoordinate value);
// Seconds of arc in the angle unit of the decoding state.
std::string FormatAngle(const DecodeState& state, std::uint32_t seconds);
// unitCode 0 Celsius, otherwise Fahrenheit.
std::string FormatTemperature(int fahrenheit, int unitCode);
// unitCode 0 hPa, 1 mmHg, otherwise inHg.
std::string FormatPressure(int hundredthsInHg, int unitCode);

// A field of the record read at offset and formatted in the decoding state, as the
// renderings show it.
std::string LengthField(const DecodeState& state, const RawRecord& record, std::size_t offset);
std::string CoordinateField(const DecodeState& state, const RawRecord& record, std::size_t offset);
std::string AngleField(const DecodeState& state, const RawRecord& record, std::size_t offset);
// A comma and the code as the last field of a text; nothing when the code is empty.
std::string OptionalCodeField(const RawRecord& record);

// Instruments of this table write big-endian records.
inline constexpr std::array<std::string_view, 9> ModelTable = {
    "RVA110", "RVA120", "RVA130Q", "NKL140", "KVR150", "PLW160", "HZD170", "TS", "ZQM185"};

// model is already trimmed; compared exactly.
bool IsKnownModel(std::string_view model);

// Byte order from the INST record: big-endian for a model of the table, little-endian
// otherwise or when the record carries the "LTE" marker.
void ApplyInstRecord(DecodeState& state, const RawRecord& record);
// Distance display and angle unit from a UNIT record; out-of-range codes keep them.
void ApplyUnitRecord(DecodeState& state, const RawRecord& record);
// 0 metres, 2 US survey feet, any other code international feet.
void SetDistanceUnit(DecodeState& state, int code);
// 0 degrees-minutes-seconds, 1 gon, 2 mil; any other code keeps the unit in force.
void SetAngleUnit(DecodeState& state, int code);

// Decimal text (leading number, rest ignored, none is 0) to whole metres and
// thousandths rounded half up. Values beyond the 32-bit range are held at its ends.
RawCoordinate ParseCoordinate(const std::string& text);

// The record line of a PT record, with its code. Sets the state's byte order to
// bigEndian for good. Throws ConversionError when a value does not fit the line.
std::string PtRecordToPointLine(DecodeState& state, const RawRecord& record, bool bigEndian);
// The record line of a CRD, STN or BS record, with its code. Sets the state's byte
// order to bigEndian for good. Throws ConversionError when a value does not fit the line.
std::string CoordRecordToPointLine(DecodeState& state, const RawRecord& record, bool bigEndian);

// Fills record as a PT record for the card: name, code and N, E, Z of the record line,
// numbers in the card byte order. Bytes after each NUL and from offset 37 on are left
// as they were.
void PointLineToPtRecord(const std::string& line, RawRecord& record, CardByteOrder order);

// The number converted between memory order and the card byte order (the same
// conversion serves for writing and for reading).
std::uint16_t CardWord16(std::uint16_t value, CardByteOrder order);
std::uint32_t CardWord32(std::uint32_t value, CardByteOrder order);

} // namespace stadix
