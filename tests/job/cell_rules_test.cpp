#include "job/CellRules.h"
#include "job/RecordTable.h"

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

TEST(CellRules, APastedBlockFollowsTheCellRulesOrIsRefusedWhole) {
    RecordTable table;
    EXPECT_EQ(PasteCells(table, 2, ColPt, " p1\t1,5\t2\r\nLONGNAME99\t-3\t4\t\tK\r\n"), "");
    EXPECT_EQ(CopyCells(table, {2, ColPt, 3, ColCode}),
              "p1\t1.500\t2.000\t\t\nLONGNAME\t-3.000\t4.000\t\tK");
    const std::string before = CopyCells(table, {1, ColPt, 3, ColCode});
    const std::pair<const char*, const char*> refused[] = {
        {"P 1", "Row 2, PT: \"P 1\" cannot be pasted: this cell takes only letters, digits, "
                "\".\" and \"-\".\nNothing was pasted."},
        {"A\t1\nB\tx", "Row 3, N/X: \"x\" cannot be pasted: this cell takes only digits, \".\", "
                       "\"-\" and a decimal comma.\nNothing was pasted."},
        {"A\t1-2", "Row 2, N/X: '1-2' is not a valid floating point value.\nNothing was pasted."},
        {"A\t1\t100000000", "Row 2, E/Y: '100000000' is over range.\nNothing was pasted."},
        {"A\t1\t2\t3\tK\tX", "The pasted cells reach beyond the table's last row or its CODE "
                             "column.\nNothing was pasted."}};
    for (const auto& [text, why] : refused)
        EXPECT_EQ(PasteCells(table, 2, ColPt, text), why) << text;
    EXPECT_EQ(CopyCells(table, {1, ColPt, 3, ColCode}), before);
}
