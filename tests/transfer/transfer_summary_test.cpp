#include "transfer/TransferSummary.h"

#include <gtest/gtest.h>

using stadix::TransferOutcome;

TEST(TransferSummary, SaysWhatHappenedAndWhatWasKept) {
    struct Case {
        TransferOutcome outcome;
        bool sendMode;
        int count;
        const char* unit;
        const char* expected;
    };
    const Case cases[] = {
        {TransferOutcome::Finished, false, 12, "record", "12 records received."},
        {TransferOutcome::Finished, false, 1, "record block", "1 record block received."},
        {TransferOutcome::Finished, false, 0, "record", "No records received."},
        {TransferOutcome::Finished, true, 40, "record", "40 records sent."},
        {TransferOutcome::Cancelled, false, 3, "record",
         "Transfer cancelled. 3 records received are kept."},
        {TransferOutcome::Failed, false, 1, "record block",
         "Transfer failed. 1 record block received is kept."},
        {TransferOutcome::Failed, false, 0, "record", "Transfer failed. Nothing was received."},
        {TransferOutcome::Cancelled, true, 3, "record",
         "Transfer cancelled. Not all records were sent."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(stadix::TransferSummary(c.outcome, c.sendMode, c.count, c.unit), c.expected);
}
