// Hand-built raw records for the tests, written in a chosen byte order.
#pragma once

#include "rawconv/RawRecords.h"

#include <cstring>
#include <string>

namespace stadix::test {

class RawRecordBuilder {
  public:
    RawRecordBuilder(std::uint8_t type, bool bigEndian) : bigEndian_(bigEndian) {
        record_.fill(0);
        record_[0] = type;
    }

    RawRecordBuilder& Bytes(std::size_t offset, const std::string& bytes) {
        std::memcpy(&record_[offset], bytes.data(), bytes.size());
        return *this;
    }
    RawRecordBuilder& Byte(std::size_t offset, std::uint8_t value) {
        record_[offset] = value;
        return *this;
    }
    RawRecordBuilder& Int16(std::size_t offset, std::int16_t value) {
        return Number(offset, static_cast<std::uint16_t>(value), 2);
    }
    RawRecordBuilder& UInt32(std::size_t offset, std::uint32_t value) {
        return Number(offset, value, 4);
    }
    RawRecordBuilder& Float(std::size_t offset, float value) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &value, 4);
        return Number(offset, bits, 4);
    }
    RawRecordBuilder& Coordinate(std::size_t offset, std::int32_t whole, std::int16_t thousandths) {
        Number(offset, static_cast<std::uint32_t>(whole), 4);
        return Number(offset + 4, static_cast<std::uint16_t>(thousandths), 2);
    }
    RawRecord Build() const { return record_; }

  private:
    RawRecordBuilder& Number(std::size_t offset, std::uint32_t value, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) {
            const std::size_t shift = 8 * (bigEndian_ ? size - 1 - i : i);
            record_[offset + i] = static_cast<std::uint8_t>(value >> shift);
        }
        return *this;
    }

    RawRecord record_;
    bool bigEndian_;
};

} // namespace stadix::test
