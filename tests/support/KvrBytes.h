// The bytes of the KVR handshake as the instrument sees them, and blocks built the way
// the instrument builds them.
#pragma once

#include "job/RecordLine.h"
#include "tests/support/HexBytes.h"

#include <map>
#include <string>

namespace stadix::test {

const std::string kGoAheadAccept("\xBB\x00", 2);
const std::string kGoAheadReject("\xBB\xFF", 2);
const std::string kAcceptPoll("\x00\xAA", 2);
const std::string kAcceptEnd("\x00\xEE", 2);

// The coordinate block, written out by hand, of each record line that the tests send or
// receive in one: PT, CODE, N, E, Z and the unused last byte.
inline std::string CoordBlockBytes(const std::string& line) {
    static const std::map<std::string, std::string> blocks = {
        {MakeRecordLine("P1", "", "1234.567", "2345.678", "12.3"),
         Hex("1A01FFFFFFFFFFFF FFFFFFFFFFFFFFFF 0001234567 0002345678 0000012300 00")},
        {MakeRecordLine("P2", "", "-1.5", "2", "3"),
         Hex("1A02FFFFFFFFFFFF FFFFFFFFFFFFFFFF 00000F1500 0000002000 0000003000 00")}};
    return blocks.at(line);
}

// A raw record of the given type whose bytes all differ from the poll and end bytes.
inline std::string RawRecordBytes(std::uint8_t type, char fill) {
    std::string record(42, fill);
    record[0] = static_cast<char>(type);
    return record;
}

} // namespace stadix::test
