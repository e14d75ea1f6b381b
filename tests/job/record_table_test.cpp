#include "base/Errors.h"
#include "job/RecordLine.h"
#include "job/RecordTable.h"

#include <gtest/gtest.h>

using namespace stadix;

namespace {
void SetRow(RecordTable& table, int row, const char* pt, const char* n, const char* e) {
    table.SetCell(row, ColPt, pt);
    table.SetCell(row, ColN, n);
    table.SetCell(row, ColE, e);
}

std::vector<std::string> NumberedLines(int count) {
    std::vector<std::string> lines;
    for (int i = 1; i <= count; ++i)
        lines.push_back(MakeRecordLine("P" + std::to_string(i), "", std::to_string(i), "2", "3"));
    return lines;
}
} // namespace

TEST(RecordTable, GathersCompleteRowsOnlyInTableOrder) {
    RecordTable table;
    SetRow(table, 1, "P1", "1", "2");
    SetRow(table, 5, "P5", "1", "2");
    SetRow(table, 7, "NOE", "1", "");
    SetRow(table, 8, "  ", "1", "2");
    SetRow(table, 9, "P9", "1", "2");

    std::vector<std::string> lines;
    GatherRecords(table, lines);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "P5                1.000        2.000        0.000        ");
    EXPECT_EQ(table.CountComplete(), 3);

    // Left out and named: rows that hold anything, a code alone too, but not blanks.
    table.SetCell(4, ColZ, " ");
    table.SetCell(10, ColCode, "K");
    EXPECT_EQ(IncompleteRows(table), (std::vector<int>{7, 8, 10}));
    EXPECT_EQ(IncompleteRowsMessage({7}, "removed"), "1 incomplete row removed: row 7");
    EXPECT_EQ(IncompleteRowsMessage({1, 2, 3, 4, 5, 9}, "not saved"),
              "6 incomplete rows not saved: rows 1, 2, 3, 4, 5, ...");
}

TEST(RecordTable, GatherCutsLongCellsAndChangesNothingOnAConversionError) {
    RecordTable table;
    SetRow(table, 1, "A", "1.00000000000009", "2");
    SetRow(table, 2, "B", "1", "12,5");
    SetRow(table, 3, "C", "1", "2");
    std::vector<std::string> lines{"old"};
    try {
        GatherRecords(table, lines);
        ADD_FAILURE() << "gathered a row that is not a number";
    } catch (const ConversionError& failure) {
        EXPECT_STREQ(failure.what(), "Row 2, E/Y: '12,5' is not a valid floating point value");
    }
    EXPECT_EQ(lines, std::vector<std::string>{"old"});

    SetRow(table, 2, "B", "1", "12.5");
    GatherRecords(table, lines);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(RecordLineN(lines[0]), "1.000");
}

// Rows beyond 15999 are gathered too; Clear and a shorter list keep the rows.
TEST(RecordTable, FillGrowsForLongListsAndNeverShrinksBelowTheMinimum) {
    RecordTable table;
    FillTable(table, NumberedLines(16500));
    EXPECT_EQ(table.RowCount(), 16501);
    EXPECT_EQ(table.Cell(16500, ColPt), "P16500");
    std::vector<std::string> lines;
    GatherRecords(table, lines);
    EXPECT_EQ(lines.size(), 16500u);
    EXPECT_EQ(table.CountComplete(), 16500);

    table.ClearTable();
    EXPECT_EQ(table.RowCount(), 16501);
    EXPECT_EQ(table.CountComplete(), 0);
    EXPECT_EQ(table.Cell(99999, ColPt), "");
    FillTable(table, NumberedLines(2000));
    EXPECT_EQ(table.RowCount(), 16501);
    EXPECT_EQ(table.Cell(2000, ColN), "2000.000");
    EXPECT_EQ(table.Cell(2001, ColPt), "");

    table.SetRowCount(10);
    EXPECT_EQ(table.RowCount(), RecordTable::kMinRows);
}

TEST(RecordTable, FillReadsAnyLineWithoutValidating) {
    RecordTable table;
    FillTable(table, {"", "short", std::string("\x00\xff\x01zz", 5)});
    EXPECT_EQ(table.Cell(1, ColPt), "");
    EXPECT_EQ(table.Cell(2, ColPt), "short");
    EXPECT_EQ(table.Cell(3, ColPt), std::string("\xff\x01zz", 4));
    EXPECT_FALSE(table.IsComplete(2));
}
