#include "app/CellRules.h"
#include "app/RecordTable.h"

#include <gtest/gtest.h>

using namespace stadix;

TEST(CellRules, KeyFiltersByColumnAndTakesACommaAsTheDecimalPoint) {
    EXPECT_EQ(TypedCellChar(ColPt, 'a'), 'a');
    EXPECT_EQ(TypedCellChar(ColCode, ' '), 0);
    EXPECT_EQ(TypedCellChar(ColPt, '_'), 0);
    EXPECT_EQ(TypedCellChar(ColPt, ','), 0);
    EXPECT_EQ(TypedCellChar(ColN, 'x'), 0);
    EXPECT_EQ(TypedCellChar(ColZ, 'e'), 0);
    EXPECT_EQ(TypedCellChar(ColE, '-'), '-');
    EXPECT_EQ(TypedCellChar(ColE, ','), '.');
    EXPECT_EQ(TypedCellChar(ColE, '\b'), '\b');
    EXPECT_EQ(TypedCellChar(ColPt, static_cast<char>(0xB5)), 0);
}

TEST(CellRules, LeavingACellCutsNamesAndFormatsNumbersInRange) {
    std::string out;
    EXPECT_EQ(CheckLeftCell(ColPt, " ABCDEFGHIJ ", out), CellLeave::Replace);
    EXPECT_EQ(out, "ABCDEFGH");
    EXPECT_EQ(CheckLeftCell(ColCode, "  AB ", out), CellLeave::Keep);
    EXPECT_EQ(CheckLeftCell(ColN, "   ", out), CellLeave::Keep);
    EXPECT_EQ(CheckLeftCell(ColN, " 12,5 ", out), CellLeave::Replace);
    EXPECT_EQ(out, "12.500");
    EXPECT_EQ(CheckLeftCell(ColE, "99999999.9994", out), CellLeave::Replace);
    EXPECT_EQ(out, "99999999.999");
    EXPECT_EQ(CheckLeftCell(ColE, "100000000", out), CellLeave::OverRange);
    EXPECT_EQ(CheckLeftCell(ColE, "-10000000", out), CellLeave::OverRange);
    EXPECT_EQ(CheckLeftCell(ColE, "-9999999.9999", out), CellLeave::Replace);
    EXPECT_EQ(out, "-10000000.000");
}

TEST(CellRules, ATextThatIsNotANumberIsRefusedRatherThanCutOrZeroed) {
    std::string out = "untouched";
    for (const char* text : {"12-3", "abc", "abc 1,5", "1,5,0", "1 5"})
        EXPECT_EQ(CheckLeftCell(ColN, text, out), CellLeave::NotANumber) << text;
    EXPECT_EQ(out, "untouched");
}
