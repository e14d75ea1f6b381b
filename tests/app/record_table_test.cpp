#include "app/Errors.h"
#include "app/RecordLine.h"
#include "app/RecordTable.h"

#include <gtest/gtest.h>

using namespace stadix;

namespace {
std::vector<std::string> NumberedLines(int count) {
    std::vector<std::string> lines;
    for (int i = 1; i <= count; ++i)
        lines.push_back(MakeRecordLine("P" + std::to_string(i), "", std::to_string(i), "2", "3"));
    return lines;
}
} // namespace

TEST(RecordTable, GathersCompleteRowsOnlyInTableOrder) {
    RecordTable table;
    const int rows[] = {1, 5, 9};
    for (int r : rows) {
        table.SetCell(r, ColPt, "P" + std::to_string(r));
        table.SetCell(r, ColN, "1");
        table.SetCell(r, ColE, "2");
    }
    table.SetCell(7, ColPt, "NOE");
    table.SetCell(7, ColN, "1");
    table.SetCell(8, ColPt, "  ");
    table.SetCell(8, ColN, "1");
    table.SetCell(8, ColE, "2");

    std::vector<std::string> lines;
    GatherRecords(table, lines);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(RecordLinePt(lines[1]), "P5");
    EXPECT_EQ(RecordLineZ(lines[1]), "0.000");
    EXPECT_EQ(table.CountComplete(), 3);
}

TEST(RecordTable, GatherCutsLongCellsAndStopsAtAConversionError) {
    RecordTable table;
    table.SetCell(1, ColPt, "A");
    table.SetCell(1, ColN, "1.00000000000009");
    table.SetCell(1, ColE, "2");
    table.SetCell(2, ColPt, "B");
    table.SetCell(2, ColN, "1");
    table.SetCell(2, ColE, "12,5");
    table.SetCell(3, ColPt, "C");
    table.SetCell(3, ColN, "1");
    table.SetCell(3, ColE, "2");
    std::vector<std::string> lines{"old"};
    try {
        GatherRecords(table, lines);
        ADD_FAILURE() << "gathered a row that is not a number";
    } catch (const ConversionError& failure) {
        EXPECT_STREQ(failure.what(), "Row 2, E/Y: '12,5' is not a valid floating point value");
    }
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(RecordLineN(lines[0]), "1.000");
}

TEST(RecordTable, FillGrowsForLongListsAndNeverShrinksBelowTheMinimum) {
    RecordTable table;
    FillTable(table, NumberedLines(4000));
    EXPECT_EQ(table.RowCount(), 4001);
    EXPECT_EQ(table.Cell(4000, ColPt), "P4000");

    table.ClearTable();
    FillTable(table, NumberedLines(2000));
    EXPECT_EQ(table.RowCount(), 4001);
    EXPECT_EQ(table.Cell(2000, ColN), "2000.000");
    EXPECT_EQ(table.Cell(2001, ColPt), "");

    table.SetRowCount(10);
    EXPECT_EQ(table.RowCount(), RecordTable::kMinRows);
}

TEST(RecordTable, GatherCoversRowsBeyond15999) {
    RecordTable table;
    FillTable(table, NumberedLines(16500));
    std::vector<std::string> lines;
    GatherRecords(table, lines);
    EXPECT_EQ(lines.size(), 16500u);
    EXPECT_EQ(table.CountComplete(), 16500);
}

TEST(RecordTable, FillReadsAnyLineWithoutValidating) {
    RecordTable table;
    FillTable(table, {"", "short", std::string("\x00\xff\x01zz", 5)});
    EXPECT_EQ(table.Cell(1, ColPt), "");
    EXPECT_EQ(table.Cell(2, ColPt), "short");
    EXPECT_EQ(table.Cell(3, ColPt), std::string("\xff\x01zz", 4));
    EXPECT_FALSE(table.IsComplete(2));
}

TEST(RecordTable, ClearEmptiesRowsButKeepsTheCount) {
    RecordTable table;
    FillTable(table, NumberedLines(3500));
    table.ClearTable();
    EXPECT_EQ(table.RowCount(), 3501);
    EXPECT_EQ(table.CountComplete(), 0);
    EXPECT_EQ(table.Cell(99999, ColPt), "");
}
