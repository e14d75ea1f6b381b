// Sample raw records for the rendering tests: a DIST of P1, observations with three
// coordinates, UNIT and INST records, and stores made of them.
#pragma once

#include "tests/support/RawRecordBuilder.h"

#include <initializer_list>
#include <string>

namespace stadix::test {

// A record with a name and a code, and angles 12.3456 and 90.0000 where it has them.
inline RawRecordBuilder Named(std::uint8_t type, const std::string& name, const std::string& code,
                              bool bigEndian = true) {
    RawRecordBuilder record(type, bigEndian);
    record.Bytes(1, name).Bytes(10, code).UInt32(27, 324000).UInt32(31, 45296);
    return record;
}

// DIST of P1: height 1.5, slope distance 12.3456.
inline RawRecord Dist(bool bigEndian, const std::string& code) {
    return Named(kTypeDist, "P1", code, bigEndian).Float(19, 1.5f).Float(23, 12.3456f).Build();
}

// A7: height 2.0, north 100.001, east -5.020, elevation -0.300.
inline RawRecord Observation(std::uint8_t type, const std::string& code) {
    RawRecordBuilder record(type, true);
    record.Bytes(1, "A7").Bytes(10, code).Float(19, 2.0f).Coordinate(23, 100, 1);
    return record.Coordinate(29, -5, -20).Coordinate(35, 0, -300).Build();
}

// Temperature 68 F, pressure 29.92 inHg, atmospheric correction -12.
inline RawRecord Unit(std::uint8_t distance, std::uint8_t angle, std::uint8_t temperatureCode,
                      std::uint8_t pressureCode, std::int8_t prism, std::uint8_t mode, float scale,
                      bool bigEndian = true) {
    RawRecordBuilder record(kTypeUnit, bigEndian);
    record.Byte(1, distance).Byte(2, angle).Byte(3, temperatureCode).Byte(4, pressureCode);
    record.Int16(5, 68).Int16(7, 2992).Int16(9, -12).Byte(11, static_cast<std::uint8_t>(prism));
    return record.Byte(12, mode).Float(13, scale).Build();
}

// Version "2.1 ", serial S0012345.
inline RawRecord Inst(const std::string& model, const std::string& marker) {
    RawRecordBuilder record(kTypeInst, true);
    return record.Bytes(1, model).Bytes(11, "2.1 ").Bytes(15, "S0012345").Bytes(24, marker).Build();
}

inline std::string Store(std::initializer_list<RawRecord> records) {
    std::string store;
    for (const RawRecord& record : records)
        store.append(reinterpret_cast<const char*>(record.data()), record.size());
    return store;
}

} // namespace stadix::test
