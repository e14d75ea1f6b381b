#include "app/CellRules.h"
#include "app/RecordTable.h"

#include <gtest/gtest.h>

using namespace stadix;

TEST(CellRules, KeyFiltersByColumn) {
    EXPECT_TRUE(IsAllowedCellKey(ColPt, 'a'));
    EXPECT_TRUE(IsAllowedCellKey(ColCode, 'Z'));
    EXPECT_FALSE(IsAllowedCellKey(ColCode, ' '));
    EXPECT_FALSE(IsAllowedCellKey(ColPt, '_'));
    EXPECT_FALSE(IsAllowedCellKey(ColN, 'x'));
    EXPECT_FALSE(IsAllowedCellKey(ColZ, 'e'));
    EXPECT_TRUE(IsAllowedCellKey(ColE, '-'));
    EXPECT_TRUE(IsAllowedCellKey(ColE, '\b'));
    EXPECT_FALSE(IsAllowedCellKey(ColPt, static_cast<char>(0xB5)));
}

TEST(CellRules, LeavingACellCutsNamesAndFormatsNumbersInRange) {
    std::string out;
    EXPECT_EQ(CheckLeftCell(ColPt, " ABCDEFGHIJ ", out), CellLeave::Replace);
    EXPECT_EQ(out, "ABCDEFGH");
    EXPECT_EQ(CheckLeftCell(ColCode, "  AB ", out), CellLeave::Keep);
    EXPECT_EQ(CheckLeftCell(ColN, "   ", out), CellLeave::Keep);
    EXPECT_EQ(CheckLeftCell(ColN, "12-3", out), CellLeave::Replace);
    EXPECT_EQ(out, "12.000");
    EXPECT_EQ(CheckLeftCell(ColZ, "abc", out), CellLeave::Replace);
    EXPECT_EQ(out, "0.000");
    EXPECT_EQ(CheckLeftCell(ColE, "99999999.9994", out), CellLeave::Replace);
    EXPECT_EQ(out, "99999999.999");
    EXPECT_EQ(CheckLeftCell(ColE, "100000000", out), CellLeave::OverRange);
    EXPECT_EQ(CheckLeftCell(ColE, "-10000000", out), CellLeave::OverRange);
    EXPECT_EQ(CheckLeftCell(ColE, "-9999999.9999", out), CellLeave::Replace);
    EXPECT_EQ(out, "-10000000.000");
}
