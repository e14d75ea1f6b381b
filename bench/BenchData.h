// The large inputs the benchmarks share: a job of record lines and raw record stores.
#pragma once

#include "job/RecordLine.h"
#include "rawconv/RawRecords.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace bench {

// count record lines P0, P1, ... with the code CODE.
inline std::vector<std::string> JobLines(int count) {
    std::vector<std::string> lines;
    lines.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i)
        lines.push_back(stadix::MakeRecordLine("P" + std::to_string(i), "CODE",
                                               std::to_string(1000 + i) + ".123",
                                               std::to_string(5000 + i) + ".456", "12.3"));
    return lines;
}

// An INST and a UNIT record, then stations and observations of every kind with codes,
// in big-endian order.
inline std::string MixedStore(std::size_t records) {
    std::string store(records * stadix::kRawRecordSize, '\0');
    const std::uint8_t kinds[] = {stadix::kTypeStn, stadix::kTypeDist, stadix::kTypeAng,
                                  stadix::kTypeCrd, stadix::kTypeBkb,  stadix::kTypeBs,
                                  stadix::kTypePt};
    for (std::size_t i = 0; i < records; ++i) {
        char* record = &store[i * stadix::kRawRecordSize];
        record[0] = static_cast<char>(kinds[i % 7]);
        std::snprintf(record + 1, 9, "P%zu", i % 10000000);
        std::memcpy(record + 10, "CODE", 4);
        for (std::size_t b = 19; b < 41; ++b)
            record[b] = static_cast<char>(i * 7 + b);
        record[19] = 0x3F; // heights near 1.5 m
    }
    store[0] = static_cast<char>(stadix::kTypeInst);
    std::memcpy(&store[1], "RVA110    ", 10);
    store[42] = static_cast<char>(stadix::kTypeUnit);
    std::memset(&store[43], 0, 41);
    return store;
}

// Puts the number's bytes at offset, most significant first.
inline void PutBigEndian(char* record, std::size_t offset, std::uint32_t value, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i)
        record[offset + i] = static_cast<char>(value >> (8 * (size - 1 - i)));
}

inline void PutFloat(char* record, std::size_t offset, float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    PutBigEndian(record, offset, bits, 4);
}

// A survey of stations, big-endian: each station followed by two backsights, six
// distances and an angle of its station group, the groups counting up from 0 and
// wrapping at 256 as the instrument numbers them. Heights, distances, angles and
// coordinates of a site a few kilometres across.
inline std::string SurveyStore(std::size_t stations) {
    const std::uint8_t kinds[] = {stadix::kTypeStn,  stadix::kTypeBs,   stadix::kTypeBs,
                                  stadix::kTypeDist, stadix::kTypeDist, stadix::kTypeDist,
                                  stadix::kTypeDist, stadix::kTypeDist, stadix::kTypeDist,
                                  stadix::kTypeAng};
    constexpr std::size_t kBlock = sizeof kinds;
    std::string store(stations * kBlock * stadix::kRawRecordSize, '\0');
    for (std::size_t i = 0; i < stations * kBlock; ++i) {
        char* record = &store[i * stadix::kRawRecordSize];
        const std::uint8_t kind = kinds[i % kBlock];
        record[0] = static_cast<char>(kind);
        std::snprintf(record + 1, 9, "P%zu", i % 10000000);
        if (i % 2 == 0)
            std::memcpy(record + 10, "CODE", 4);
        PutFloat(record, stadix::raw::kHeight, 1.5f + static_cast<float>(i % 7) * 0.1f);
        if (kind == stadix::kTypeStn || kind == stadix::kTypeBs) {
            for (std::size_t c = 0; c < 3; ++c) {
                const std::size_t offset = stadix::raw::kNorth + 6 * c;
                PutBigEndian(record, offset, static_cast<std::uint32_t>(1000 + i * 3 % 5000), 4);
                PutBigEndian(record, offset + 4, static_cast<std::uint32_t>(i * 37 % 1000), 2);
            }
        } else {
            PutFloat(record, stadix::raw::kSlopeDistance, 10.0f + static_cast<float>(i % 490));
            PutBigEndian(record, stadix::raw::kVerticalAngle, 324000 + i % 3600, 4);
            PutBigEndian(record, stadix::raw::kHorizontalAngle, i * 4099 % 1296000, 4);
        }
        record[stadix::raw::kStationGroup] = static_cast<char>(i / kBlock % 256);
    }
    return store;
}

// setups stations of a traverse, each with its station group (wrapping at 256), a
// backsight observed once and shotsPerSetup - 1 points; big-endian, metres.
inline std::string TraverseStore(std::size_t setups, std::size_t shotsPerSetup) {
    std::string store(2 * stadix::kRawRecordSize, '\0');
    store[0] = static_cast<char>(stadix::kTypeInst);
    std::memcpy(&store[1], "RVA110    ", 10);
    store[stadix::kRawRecordSize] = static_cast<char>(stadix::kTypeUnit);
    char record[stadix::kRawRecordSize];
    const auto add = [&](std::uint8_t type, const std::string& name, std::size_t group) {
        std::memset(record, 0, sizeof record);
        record[0] = static_cast<char>(type);
        std::snprintf(record + 1, 9, "%s", name.c_str());
        bench::PutFloat(record, stadix::raw::kHeight, 1.5f);
        record[stadix::raw::kStationGroup] = static_cast<char>(group % 256);
    };
    const auto coordinates = [&](std::uint32_t north, std::uint32_t east) {
        bench::PutBigEndian(record, stadix::raw::kNorth, north, 4);
        bench::PutBigEndian(record, stadix::raw::kEast, east, 4);
        bench::PutBigEndian(record, stadix::raw::kElevation, 100, 4);
        store.append(record, sizeof record);
    };
    for (std::size_t s = 0; s < setups; ++s) {
        add(stadix::kTypeStn, "S" + std::to_string(s), s);
        coordinates(static_cast<std::uint32_t>(1000 + s * 50), 5000);
        add(stadix::kTypeBs, "S" + std::to_string(s + 1), s);
        coordinates(static_cast<std::uint32_t>(1050 + s * 50), 5000);
        for (std::size_t i = 0; i < shotsPerSetup; ++i) {
            add(stadix::kTypeDist,
                i == 0 ? "S" + std::to_string(s + 1) : "P" + std::to_string(s * shotsPerSetup + i),
                s);
            bench::PutFloat(record, stadix::raw::kSlopeDistance, 10.0f + static_cast<float>(i));
            bench::PutBigEndian(record, stadix::raw::kVerticalAngle, 320000 + i * 97, 4);
            bench::PutBigEndian(record, stadix::raw::kHorizontalAngle, i * 12907 % 1296000, 4);
            store.append(record, sizeof record);
        }
    }
    return store;
}

} // namespace bench
