// The bytes of the KVR handshake as the instrument sees them, and blocks built the way
// the instrument builds them.
#pragma once

#include "transfer/Codecs.h"

#include <string>

namespace stadix::test {

const std::string kGoAheadAccept("\xBB\x00", 2);
const std::string kGoAheadReject("\xBB\xFF", 2);
const std::string kAcceptPoll("\x00\xAA", 2);
const std::string kAcceptEnd("\x00\xEE", 2);

inline std::string CoordBlockBytes(const std::string& line) {
    const CoordBlock block = EncodeCoordBlock(line, CoordUnit::Metre);
    return std::string(block.begin(), block.end());
}

// A raw record of the given type whose bytes all differ from the poll and end bytes.
inline std::string RawRecordBytes(std::uint8_t type, char fill) {
    std::string record(42, fill);
    record[0] = static_cast<char>(type);
    return record;
}

} // namespace stadix::test
