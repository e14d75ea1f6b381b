#include "job/PrintLayout.h"

#include <algorithm>

namespace stadix {

namespace {

constexpr int kTopMargin = 50;
constexpr int kTextLeft = 100;

int LinesPerPage(int pageHeight, int lineHeight) {
    return (pageHeight - 2 * kTopMargin) / lineHeight;
}

// Lays out the body lines below headerLines kept free at the top of every page, at
// least one body line on a page however small the page.
std::vector<PrintedPage> LayOutPages(int headerLines, const std::vector<std::string>& body,
                                     const PageGeometry& geometry) {
    const int perPage = std::max(geometry.linesPerPage, headerLines + 1);
    std::vector<PrintedPage> pages;
    int next = perPage;
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (next == perPage) {
            pages.emplace_back();
            pages.back().reserve(static_cast<std::size_t>(perPage));
            next = headerLines;
        }
        pages.back().push_back({geometry.top + next * geometry.lineHeight, body[i]});
        ++next;
    }
    return pages;
}

} // namespace

PageGeometry CoordinateListGeometry(int pageHeight, int textHeight) {
    PageGeometry geometry;
    geometry.lineHeight = std::max(textHeight, 0) * 5 / 4 + 5;
    geometry.top = kTopMargin;
    geometry.left = 0;
    geometry.linesPerPage = LinesPerPage(pageHeight, geometry.lineHeight);
    return geometry;
}

PageGeometry MeasurementTextGeometry(int pageHeight, int textHeight) {
    PageGeometry geometry;
    geometry.lineHeight = std::max(textHeight, 0) + 5;
    geometry.top = kTopMargin;
    geometry.left = kTextLeft;
    geometry.linesPerPage = LinesPerPage(pageHeight, geometry.lineHeight);
    return geometry;
}

const std::vector<std::string>& CoordinateListTitles() {
    static const std::vector<std::string> titles = {"PT", "CODE", "N/X", "E/Y", "Z"};
    return titles;
}

std::vector<PrintedPage> LayOutCoordinateList(const std::vector<std::string>& lines,
                                              const PageGeometry& geometry) {
    return LayOutPages(kCoordinateListHeadLines, lines, geometry);
}

std::vector<PrintedPage> LayOutMeasurementText(const std::vector<std::string>& lines,
                                               const PageGeometry& geometry) {
    return LayOutPages(0, lines, geometry);
}

} // namespace stadix
