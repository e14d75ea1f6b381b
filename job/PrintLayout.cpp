#include "job/PrintLayout.h"

#include "base/TextColumns.h"

#include <algorithm>

namespace stadix {

namespace {

constexpr int kTopMargin = 50;
constexpr int kTextLeft = 100;

int LinesPerPage(int pageHeight, int lineHeight) {
    return (pageHeight - 2 * kTopMargin) / lineHeight;
}

// Lays out header lines at the top of every page and the body lines below them, at
// least one body line on a page however small the page.
std::vector<PrintedPage> LayOutPages(const std::vector<std::string>& header,
                                     const std::vector<std::string>& body,
                                     const PageGeometry& geometry,
                                     std::string (*bodyText)(const std::string&, std::size_t)) {
    const int headerLines = static_cast<int>(header.size());
    const int perPage = std::max(geometry.linesPerPage, headerLines + 1);
    std::vector<PrintedPage> pages;
    int next = perPage;
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (next == perPage) {
            pages.emplace_back();
            pages.back().reserve(static_cast<std::size_t>(perPage));
            for (int k = 0; k < headerLines; ++k)
                pages.back().push_back(
                    {geometry.top + k * geometry.lineHeight, header[static_cast<std::size_t>(k)]});
            next = headerLines;
        }
        pages.back().push_back({geometry.top + next * geometry.lineHeight, bodyText(body[i], i)});
        ++next;
    }
    return pages;
}

std::string NumberedLine(const std::string& line, std::size_t index) {
    return PadRight(std::to_string(index + 1), 5) + line;
}

std::string PlainLine(const std::string& line, std::size_t) {
    return line;
}

} // namespace

PageGeometry CoordinateListGeometry(int pageWidth, int pageHeight, int textHeight,
                                    int firstLineWidth) {
    PageGeometry geometry;
    geometry.lineHeight = std::max(textHeight, 0) + 5;
    geometry.top = kTopMargin;
    geometry.left = (pageWidth - firstLineWidth) / 2 - 5;
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

const std::vector<std::string>& CoordinateListBanner() {
    static const std::vector<std::string> banner = {
        "**********************************************************",
        "                  Coordinates      List                   ",
        "**********************************************************",
        "NO.  PT       CODE     N/X         E/Y         Z", ""};
    return banner;
}

std::vector<PrintedPage> LayOutCoordinateList(const std::vector<std::string>& lines,
                                              const PageGeometry& geometry) {
    return LayOutPages(CoordinateListBanner(), lines, geometry, NumberedLine);
}

std::vector<PrintedPage> LayOutMeasurementText(const std::vector<std::string>& lines,
                                               const PageGeometry& geometry) {
    return LayOutPages({}, lines, geometry, PlainLine);
}

} // namespace stadix
