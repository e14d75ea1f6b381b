#include "job/PrintLayout.h"
#include "job/RecordEditing.h"
#include "job/RecordLine.h"

#include <gtest/gtest.h>

using namespace stadix;

namespace {

std::vector<std::string> Records(int count) {
    std::vector<std::string> lines;
    for (int i = 1; i <= count; ++i)
        lines.push_back(MakeRecordLine("P" + std::to_string(i), "", "1", "2", "3"));
    return lines;
}

// The texts of a page's lines.
std::vector<std::string> Body(const PrintedPage& page) {
    std::vector<std::string> texts;
    for (const PrintedLine& line : page)
        texts.push_back(line.text);
    return texts;
}

PageGeometry PerPage(int lines) {
    PageGeometry geometry;
    geometry.lineHeight = 10;
    geometry.linesPerPage = lines;
    return geometry;
}

} // namespace

TEST(FindRecord, StepsThroughMatchesIgnoringCaseAndWrapsAround) {
    RecordTable table;
    table.SetCell(1, ColPt, "A");
    table.SetCell(2, ColPt, "B");
    table.SetCell(3, ColPt, "a");
    EXPECT_EQ(FindRecord(table, 1, " a "), 3);
    EXPECT_EQ(FindRecord(table, 3, "a"), 1);
    EXPECT_EQ(FindRecord(table, 1, "a"), 3);
    // The only match stays current; nothing is found for an empty name or an absent one.
    EXPECT_EQ(FindRecord(table, 2, "b"), 2);
    EXPECT_EQ(FindRecord(table, 1, "  "), std::nullopt);
    EXPECT_EQ(FindRecord(table, 1, "C"), std::nullopt);
    // Cells are compared untrimmed: a blank inside the cell is part of the name.
    table.SetCell(5, ColPt, "C ");
    EXPECT_EQ(FindRecord(table, 1, "C"), std::nullopt);
}

TEST(FindRecord, LeavesNamesBeyondAsciiToTheEncoding) {
    RecordTable table;
    // Two different double-byte characters whose second bytes differ only as 'A' and 'a'.
    table.SetCell(4, ColPt, "\xB0\x41");
    EXPECT_EQ(FindRecord(table, 1, "\xB0\x61"), std::nullopt);
    const NameEquality sameText = [](std::string_view cell, std::string_view name) {
        return cell == name;
    };
    EXPECT_EQ(FindRecord(table, 1, "\xB0\x41", sameText), 4);
    EXPECT_EQ(FindRecord(table, 1, "\xB0\x61", sameText), std::nullopt);
}

TEST(PrintLayout, GeometryLeavesATopMarginAndRoomBetweenRows) {
    const PageGeometry list = CoordinateListGeometry(3300, 40);
    EXPECT_EQ(list.lineHeight, 55);
    EXPECT_EQ(list.top, 50);
    EXPECT_EQ(list.linesPerPage, 58);
    const PageGeometry text = MeasurementTextGeometry(3300, 40);
    EXPECT_EQ(text.left, 100);
    EXPECT_EQ(text.linesPerPage, 71);
}

TEST(PrintLayout, CoordinateListPagesKeepTheirHeadFreeAndCarryEveryRecord) {
    const std::vector<PrintedPage> one = LayOutCoordinateList(Records(3), PerPage(20));
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(Body(one[0]), Records(3));
    EXPECT_EQ(one[0][0].y, 50 + 3 * 10);

    const std::vector<PrintedPage> two = LayOutCoordinateList(Records(25), PerPage(20));
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(Body(two[0]).size(), 17u);
    EXPECT_EQ(Body(two[1]).size(), 8u);
    EXPECT_EQ(Body(two[1]).front().substr(0, 3), "P18");
    EXPECT_EQ(two[1][0].y, 80);

    // A list that fills its last page exactly ends there: no page of titles alone.
    EXPECT_EQ(LayOutCoordinateList(Records(34), PerPage(20)).size(), 2u);
    EXPECT_EQ(LayOutCoordinateList({}, PerPage(20)).size(), 0u);
}

TEST(PrintLayout, MeasurementTextFillsWholePagesAndPagesTooSmallStillMoveOn) {
    const std::vector<std::string> lines(20, "line");
    const std::vector<PrintedPage> pages = LayOutMeasurementText(lines, PerPage(20));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].back().y, 50 + 19 * 10);
    EXPECT_EQ(LayOutMeasurementText(std::vector<std::string>(21, "x"), PerPage(20)).size(), 2u);

    // A page that holds no more than its head still takes one record each.
    EXPECT_EQ(LayOutCoordinateList(Records(3), PerPage(-4)).size(), 3u);
    EXPECT_EQ(LayOutMeasurementText(lines, PerPage(0)).size(), 20u);
}

TEST(RecordsChange, KeepsOnlyTheRowsThatDifferAndRestoresRowCountAndList) {
    RecordTable table;
    std::vector<std::string> lines = Records(2);
    FillTable(table, lines);
    EXPECT_TRUE(RecordsChange(CaptureAllRecords(table, lines), table, &lines).Empty());

    RecordsState before = CaptureAllRecords(table, lines);
    lines = Records(4000);
    FillTable(table, lines);
    const RecordsChange grown(std::move(before), table, &lines);
    EXPECT_EQ(grown.FirstRow(), 3);
    EXPECT_EQ(grown.LastRow(), 4000);
    grown.Undo(table, lines);
    EXPECT_EQ(table.RowCount(), 3001);
    EXPECT_EQ(table.Cell(3, ColPt), "");
    EXPECT_EQ(lines, Records(2));
    grown.Redo(table, lines);
    EXPECT_EQ(table.Cell(4000, ColPt), "P4000");
    EXPECT_EQ(lines.size(), 4000u);

    // A cell's edit takes in only the change that starts where it ended.
    RecordsState cell = CaptureRecords(table, 5, 5);
    table.SetCell(5, ColN, "7");
    RecordsChange typed(std::move(cell), table);
    EXPECT_FALSE(typed.Absorb(grown));
    RecordsState left = CaptureRecords(table, 5, 5);
    table.SetCell(5, ColN, "7.000");
    EXPECT_TRUE(typed.Absorb(RecordsChange(std::move(left), table)));
    typed.Undo(table, lines);
    EXPECT_EQ(table.Cell(5, ColN), "1.000");
    typed.Redo(table, lines);
    EXPECT_EQ(table.Cell(5, ColN), "7.000");
}
