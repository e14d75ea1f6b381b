// The geometry of the plot of a job's points: which records are points, which part of
// the ground a plot shows (north up, one scale for both axes), fitting, zooming and
// panning, the scale bar, the point under a click and the names that fit without
// overlapping. Screen coordinates are pixels, x to the right and y down.
#pragma once

#include "job/RecordTable.h"

#include <optional>
#include <string>
#include <vector>

namespace stadix {

// A complete record of the table at its easting and northing.
struct PlotPoint {
    double east = 0;
    double north = 0;
    int row = 0; // the record table's row
};

// The complete records whose N and E are numbers, in table order. A coordinate beyond
// kMaxPlotCoordinate is no place on the ground: that record is left out.
std::vector<PlotPoint> PlotPointsOfTable(const RecordTable& table);
constexpr double kMaxPlotCoordinate = 1e12;

// The smallest and largest scales a plot takes, in pixels per metre: a tenth of a
// millimetre a pixel, and a view wider than any coordinate a plot holds.
constexpr double kMinPixelsPerMetre = 1e-12;
constexpr double kMaxPixelsPerMetre = 1e4;

struct ScreenPoint {
    double x = 0;
    double y = 0;
};

struct GroundPoint {
    double east = 0;
    double north = 0;
};

// The part of the ground a plot of width x height pixels shows: the ground point at its
// centre and its scale.
struct PlotView {
    double centreEast = 0;
    double centreNorth = 0;
    double pixelsPerMetre = 1;
    double width = 1;
    double height = 1;
};

ScreenPoint ToScreen(const PlotView& view, double east, double north);
GroundPoint ToGround(const PlotView& view, const ScreenPoint& point);

// The view of width x height pixels that shows every point with a margin around them.
// A single point, points all at one place or points on one line get the scale at
// which the larger of their spans fills the view, or a view kDefaultPlotSpan metres
// across when they have no span at all; no points: the same view about the origin.
PlotView FitView(const std::vector<PlotPoint>& points, double width, double height);
constexpr double kDefaultPlotSpan = 10;
constexpr double kFitMargin = 48;

// The view zoomed by factor (above 1: closer) about a screen point, which keeps the
// ground under it; the scale stays between kMinPixelsPerMetre and kMaxPixelsPerMetre.
PlotView ZoomAbout(const PlotView& view, double factor, const ScreenPoint& about);
// The view with the ground moved by dx, dy pixels, as a drag moves it.
PlotView PanBy(const PlotView& view, double dx, double dy);
// The view at a new size with the same centre and scale.
PlotView Resized(const PlotView& view, double width, double height);

// Whether a point lies on the view.
bool InView(const PlotView& view, const ScreenPoint& point);
bool AnyPointInView(const std::vector<PlotPoint>& points, const PlotView& view);

// A scale bar of a round length (1, 2 or 5 times a power of ten metres) no longer than
// maxPixels, and its label ("50 m", "0.2 m").
struct ScaleBar {
    double metres = 0;
    double pixels = 0;
    std::string label;
};
ScaleBar ScaleBarFor(double pixelsPerMetre, double maxPixels);

// The index of the point nearest to a screen point within radius pixels; the first of
// equally near points.
std::optional<std::size_t> PointNear(const std::vector<PlotPoint>& points, const PlotView& view,
                                     const ScreenPoint& at, double radius);

// Where a point's name is written: right of the point, centred on it vertically.
constexpr double kLabelGap = 7;
struct LabelBox {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};
LabelBox LabelBoxAt(const ScreenPoint& point, double width, double height);

// The points whose names are written: those on the view whose name boxes (labelWidths
// per point, one height) cover no point (squares of pointSize) and overlap no name
// already written, in their order. The point first (the current record) comes before
// the others, and its name may cover points.
std::vector<std::size_t> LabelsToShow(const std::vector<PlotPoint>& points,
                                      const std::vector<double>& labelWidths, double labelHeight,
                                      double pointSize, const PlotView& view,
                                      std::optional<std::size_t> first);

} // namespace stadix
