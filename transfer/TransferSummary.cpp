#include "transfer/TransferSummary.h"

namespace stadix {

namespace {

// "No records", "1 record", "12 records".
std::string Counted(int count, const std::string& unit) {
    if (count == 0)
        return "No " + unit + "s";
    return std::to_string(count) + " " + unit + (count == 1 ? "" : "s");
}

} // namespace

std::string TransferSummary(TransferOutcome outcome, bool sendMode, int count,
                            const std::string& unit) {
    if (outcome == TransferOutcome::Finished)
        return Counted(count, unit) + (sendMode ? " sent." : " received.");
    const std::string what =
        outcome == TransferOutcome::Cancelled ? "Transfer cancelled. " : "Transfer failed. ";
    if (sendMode)
        return what + "Not all " + unit + "s were sent.";
    if (count == 0)
        return what + "Nothing was received.";
    return what + Counted(count, unit) + " received " + (count == 1 ? "is" : "are") + " kept.";
}

} // namespace stadix
