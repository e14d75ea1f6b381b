// Where each printed line goes: the pages of the coordinate list (a page heading and
// the column titles on every page, then the record lines) and of the measurement text,
// laid out from the printer's page size and font metrics in printer device units.
#pragma once

#include <string>
#include <vector>

namespace stadix {

struct PageGeometry {
    int lineHeight = 0;
    int top = 50;
    int left = 100;
    int linesPerPage = 1;
};

// textHeight: the height of "Hi" in the printer's font. The table spans the page
// width; its rows are a little taller than the text for legibility.
PageGeometry CoordinateListGeometry(int pageHeight, int textHeight);
PageGeometry MeasurementTextGeometry(int pageHeight, int textHeight);

struct PrintedLine {
    int y = 0; // top of the line
    std::string text;
};
using PrintedPage = std::vector<PrintedLine>;

// The lines at the top of every page of the coordinate list that are no record: the
// page heading, a gap and the column titles.
constexpr int kCoordinateListHeadLines = 3;
// The column titles of the coordinate list, in record line order.
const std::vector<std::string>& CoordinateListTitles();

// The coordinate list: the record lines below the head lines, a new page when a page
// is full and another line follows.
std::vector<PrintedPage> LayOutCoordinateList(const std::vector<std::string>& lines,
                                              const PageGeometry& geometry);

// The measurement text line by line, a new page when a page is full and another line
// follows.
std::vector<PrintedPage> LayOutMeasurementText(const std::vector<std::string>& lines,
                                               const PageGeometry& geometry);

} // namespace stadix
