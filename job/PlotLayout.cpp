#include "job/PlotLayout.h"

#include "base/Errors.h"
#include "base/TextFormat.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace stadix {

namespace {

// A coordinate cell's value, when it is a number a plot can place.
std::optional<double> PlotCoordinate(const std::string& cell) {
    try {
        const double value = ParseStrictNumber(cell);
        if (std::fabs(value) > kMaxPlotCoordinate)
            return std::nullopt;
        return value;
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

double ClampScale(double pixelsPerMetre) {
    return std::clamp(pixelsPerMetre, kMinPixelsPerMetre, kMaxPixelsPerMetre);
}

// The view's extent for fitting, never less than a pixel.
double Usable(double pixels) {
    return std::max(1.0, pixels - 2 * kFitMargin);
}

bool Overlap(const LabelBox& a, const LabelBox& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

// The names already written, found by the grid cells their boxes cover, so that a new
// name is checked against its neighbours only.
class LabelGrid {
  public:
    LabelGrid(const PlotView& view, double cellHeight)
        : cellHeight_(std::max(1.0, cellHeight)), columns_(CellCount(view.width, kCellWidth)),
          rows_(CellCount(view.height, cellHeight_)),
          cells_(std::size_t(columns_) * std::size_t(rows_)) {}

    // Writes the box when it overlaps no box written before; true when written.
    bool Place(const LabelBox& box) {
        const int c0 = Column(box.left), c1 = Column(box.left + box.width);
        const int r0 = Row(box.top), r1 = Row(box.top + box.height);
        for (int r = r0; r <= r1; ++r) {
            for (int c = c0; c <= c1; ++c) {
                for (const LabelBox& placed : Cell(r, c)) {
                    if (Overlap(placed, box))
                        return false;
                }
            }
        }
        for (int r = r0; r <= r1; ++r) {
            for (int c = c0; c <= c1; ++c)
                Cell(r, c).push_back(box);
        }
        return true;
    }

  private:
    static constexpr double kCellWidth = 64;

    static int CellCount(double pixels, double cell) {
        return int(std::ceil(std::max(1.0, pixels) / cell));
    }
    // Boxes reaching beyond the view share its edge cells.
    int Column(double x) const {
        return std::clamp(int(std::floor(x / kCellWidth)), 0, columns_ - 1);
    }
    int Row(double y) const { return std::clamp(int(std::floor(y / cellHeight_)), 0, rows_ - 1); }
    std::vector<LabelBox>& Cell(int row, int column) {
        return cells_[std::size_t(row) * std::size_t(columns_) + std::size_t(column)];
    }

    double cellHeight_;
    int columns_;
    int rows_;
    std::vector<std::vector<LabelBox>> cells_;
};

// How many points lie in a screen rectangle, answered at once for any rectangle: a
// running sum over the pixels of the points' positions, on the view and a margin
// around it.
class PointCounts {
  public:
    PointCounts(const std::vector<PlotPoint>& points, const PlotView& view, double margin)
        : margin_(std::ceil(std::max(0.0, margin))), columns_(PixelCount(view.width) + 1),
          rows_(PixelCount(view.height) + 1),
          sums_(std::size_t(columns_ + 1) * std::size_t(rows_ + 1), 0) {
        for (const PlotPoint& point : points) {
            const ScreenPoint screen = ToScreen(view, point.east, point.north);
            const double x = screen.x + margin_;
            const double y = screen.y + margin_;
            if (x >= 0 && x < columns_ && y >= 0 && y < rows_)
                ++At(int(x) + 1, int(y) + 1);
        }
        for (int y = 1; y <= rows_; ++y) {
            for (int x = 1; x <= columns_; ++x)
                At(x, y) += At(x - 1, y) + At(x, y - 1) - At(x - 1, y - 1);
        }
    }

    // Points whose pixel lies in [left, right) x [top, bottom), the edges widened to
    // whole pixels.
    int Count(double left, double top, double right, double bottom) const {
        const int x0 = Clamp(std::floor(left + margin_), columns_);
        const int x1 = Clamp(std::ceil(right + margin_), columns_);
        const int y0 = Clamp(std::floor(top + margin_), rows_);
        const int y1 = Clamp(std::ceil(bottom + margin_), rows_);
        if (x1 <= x0 || y1 <= y0)
            return 0;
        return At(x1, y1) - At(x0, y1) - At(x1, y0) + At(x0, y0);
    }

  private:
    int PixelCount(double pixels) const {
        return int(std::ceil(std::max(1.0, pixels) + 2 * margin_));
    }
    static int Clamp(double pixel, int last) { return int(std::clamp(pixel, 0.0, double(last))); }
    int& At(int x, int y) {
        return sums_[std::size_t(y) * std::size_t(columns_ + 1) + std::size_t(x)];
    }
    int At(int x, int y) const {
        return sums_[std::size_t(y) * std::size_t(columns_ + 1) + std::size_t(x)];
    }

    double margin_;
    int columns_;
    int rows_;
    std::vector<int> sums_;
};

} // namespace

std::vector<PlotPoint> PlotPointsOfTable(const RecordTable& table) {
    std::vector<PlotPoint> points;
    for (int row = 1; row < table.RowCount(); ++row) {
        if (!table.IsComplete(row))
            continue;
        const std::optional<double> east = PlotCoordinate(table.Cell(row, ColE));
        const std::optional<double> north = PlotCoordinate(table.Cell(row, ColN));
        if (east && north)
            points.push_back({*east, *north, row});
    }
    return points;
}

ScreenPoint ToScreen(const PlotView& view, double east, double north) {
    return {view.width / 2 + (east - view.centreEast) * view.pixelsPerMetre,
            view.height / 2 - (north - view.centreNorth) * view.pixelsPerMetre};
}

GroundPoint ToGround(const PlotView& view, const ScreenPoint& point) {
    return {view.centreEast + (point.x - view.width / 2) / view.pixelsPerMetre,
            view.centreNorth - (point.y - view.height / 2) / view.pixelsPerMetre};
}

PlotView FitView(const std::vector<PlotPoint>& points, double width, double height) {
    PlotView view;
    view.width = width;
    view.height = height;
    const double usableWidth = Usable(width);
    const double usableHeight = Usable(height);
    view.pixelsPerMetre = ClampScale(std::min(usableWidth, usableHeight) / kDefaultPlotSpan);
    if (points.empty())
        return view;
    double minEast = points.front().east, maxEast = minEast;
    double minNorth = points.front().north, maxNorth = minNorth;
    for (const PlotPoint& point : points) {
        minEast = std::min(minEast, point.east);
        maxEast = std::max(maxEast, point.east);
        minNorth = std::min(minNorth, point.north);
        maxNorth = std::max(maxNorth, point.north);
    }
    const double spanEast = maxEast - minEast;
    const double spanNorth = maxNorth - minNorth;
    view.centreEast = minEast + spanEast / 2;
    view.centreNorth = minNorth + spanNorth / 2;
    if (spanEast > 0 || spanNorth > 0) {
        const double infinite = std::numeric_limits<double>::infinity();
        view.pixelsPerMetre =
            ClampScale(std::min(spanEast > 0 ? usableWidth / spanEast : infinite,
                                spanNorth > 0 ? usableHeight / spanNorth : infinite));
    }
    return view;
}

PlotView ZoomAbout(const PlotView& view, double factor, const ScreenPoint& about) {
    const GroundPoint fixed = ToGround(view, about);
    PlotView zoomed = view;
    zoomed.pixelsPerMetre = ClampScale(view.pixelsPerMetre * factor);
    zoomed.centreEast = fixed.east - (about.x - view.width / 2) / zoomed.pixelsPerMetre;
    zoomed.centreNorth = fixed.north + (about.y - view.height / 2) / zoomed.pixelsPerMetre;
    return zoomed;
}

PlotView PanBy(const PlotView& view, double dx, double dy) {
    PlotView panned = view;
    panned.centreEast -= dx / view.pixelsPerMetre;
    panned.centreNorth += dy / view.pixelsPerMetre;
    return panned;
}

PlotView Resized(const PlotView& view, double width, double height) {
    PlotView resized = view;
    resized.width = width;
    resized.height = height;
    return resized;
}

bool InView(const PlotView& view, const ScreenPoint& point) {
    return point.x >= 0 && point.x <= view.width && point.y >= 0 && point.y <= view.height;
}

bool AnyPointInView(const std::vector<PlotPoint>& points, const PlotView& view) {
    return std::any_of(points.begin(), points.end(), [&](const PlotPoint& point) {
        return InView(view, ToScreen(view, point.east, point.north));
    });
}

ScaleBar ScaleBarFor(double pixelsPerMetre, double maxPixels) {
    ScaleBar bar;
    const double maxMetres = maxPixels / pixelsPerMetre;
    if (!(maxMetres > 0) || !std::isfinite(maxMetres))
        return bar;
    int exponent = int(std::floor(std::log10(maxMetres)));
    double power = std::pow(10.0, exponent);
    // log10 may land a hair off a power of ten.
    if (power * 10 <= maxMetres) {
        power *= 10;
        ++exponent;
    } else if (power > maxMetres) {
        power /= 10;
        --exponent;
    }
    for (const double multiple : {5.0, 2.0, 1.0}) {
        if (multiple * power <= maxMetres) {
            bar.metres = multiple * power;
            break;
        }
    }
    bar.pixels = bar.metres * pixelsPerMetre;
    bar.label = FormatFixed(bar.metres, std::max(0, -exponent)) + " m";
    return bar;
}

std::optional<std::size_t> PointNear(const std::vector<PlotPoint>& points, const PlotView& view,
                                     const ScreenPoint& at, double radius) {
    std::optional<std::size_t> nearest;
    double nearestSquared = radius * radius;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const ScreenPoint screen = ToScreen(view, points[i].east, points[i].north);
        const double dx = screen.x - at.x;
        const double dy = screen.y - at.y;
        const double squared = dx * dx + dy * dy;
        if (squared < nearestSquared || (!nearest && squared <= nearestSquared)) {
            nearest = i;
            nearestSquared = squared;
        }
    }
    return nearest;
}

LabelBox LabelBoxAt(const ScreenPoint& point, double width, double height) {
    return {point.x + kLabelGap, point.y - height / 2, width, height};
}

std::vector<std::size_t> LabelsToShow(const std::vector<PlotPoint>& points,
                                      const std::vector<double>& labelWidths, double labelHeight,
                                      double pointSize, const PlotView& view,
                                      std::optional<std::size_t> first) {
    std::vector<std::size_t> shown;
    LabelGrid grid(view, labelHeight);
    // Points drawn partly beyond the edges count too.
    const PointCounts counts(points, view, pointSize);
    const double half = pointSize / 2;
    const auto boxOnView = [&](std::size_t i) -> std::optional<LabelBox> {
        const ScreenPoint screen = ToScreen(view, points[i].east, points[i].north);
        if (!InView(view, screen))
            return std::nullopt;
        return LabelBoxAt(screen, labelWidths[i], labelHeight);
    };
    // The current record's name is written whatever points it covers.
    if (first && *first < points.size()) {
        const std::optional<LabelBox> box = boxOnView(*first);
        if (box && grid.Place(*box))
            shown.push_back(*first);
    }
    for (std::size_t i = 0; i < points.size(); ++i) {
        const std::optional<LabelBox> box = i != first ? boxOnView(i) : std::nullopt;
        if (box &&
            counts.Count(box->left - half, box->top - half, box->left + box->width + half,
                         box->top + box->height + half) == 0 &&
            grid.Place(*box))
            shown.push_back(i);
    }
    return shown;
}

} // namespace stadix
