// Where each printed line goes: the pages of the coordinate list (a banner on every
// page, then numbered record lines) and of the measurement text, laid out from the
// printer's page size and font metrics in printer device units.
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

// textHeight: the height of "Hi" in the printer's font; firstLineWidth: the printed
// width of the first record line, which the list is centred on.
PageGeometry CoordinateListGeometry(int pageWidth, int pageHeight, int textHeight,
                                    int firstLineWidth);
PageGeometry MeasurementTextGeometry(int pageHeight, int textHeight);

struct PrintedLine {
    int y = 0; // top of the line
    std::string text;
};
using PrintedPage = std::vector<PrintedLine>;

// The banner that heads every page of the coordinate list.
const std::vector<std::string>& CoordinateListBanner();

// The coordinate list: the banner, then "number padded to 5" + record line, a new page
// with its banner when a page is full and another line follows.
std::vector<PrintedPage> LayOutCoordinateList(const std::vector<std::string>& lines,
                                              const PageGeometry& geometry);

// The measurement text line by line, a new page when a page is full and another line
// follows.
std::vector<PrintedPage> LayOutMeasurementText(const std::vector<std::string>& lines,
                                               const PageGeometry& geometry);

} // namespace stadix
