// What a transfer dialog says once a transfer is over.
#pragma once

#include <string>

namespace stadix {

enum class TransferOutcome { Finished, Cancelled, Failed };

// What happened and, for a receive cut short, what was kept: "12 records received.",
// "Transfer cancelled. 3 records received are kept.". count: the units received, or
// sent in a finished send; unit: what is counted ("record", "record block").
std::string TransferSummary(TransferOutcome outcome, bool sendMode, int count,
                            const std::string& unit);

} // namespace stadix
