#include "job/PlotLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

namespace stadix {
namespace {

std::vector<PlotPoint> Points(std::initializer_list<std::pair<double, double>> eastNorth) {
    std::vector<PlotPoint> points;
    for (const auto& [east, north] : eastNorth)
        points.push_back({east, north, int(points.size()) + 1});
    return points;
}

// Every point on the view, at least the fit margin from its edges (half a pixel of
// rounding allowed).
void ExpectAllInsideMargin(const std::vector<PlotPoint>& points, const PlotView& view) {
    for (const PlotPoint& point : points) {
        const ScreenPoint screen = ToScreen(view, point.east, point.north);
        EXPECT_GE(screen.x, kFitMargin - 0.5) << point.row;
        EXPECT_LE(screen.x, view.width - kFitMargin + 0.5) << point.row;
        EXPECT_GE(screen.y, kFitMargin - 0.5) << point.row;
        EXPECT_LE(screen.y, view.height - kFitMargin + 0.5) << point.row;
    }
}

void ExpectSaneView(const PlotView& view) {
    EXPECT_TRUE(std::isfinite(view.centreEast) && std::isfinite(view.centreNorth));
    EXPECT_TRUE(std::isfinite(view.pixelsPerMetre) && view.pixelsPerMetre > 0);
}

void ExpectAt(ScreenPoint point, double x, double y) {
    EXPECT_NEAR(point.x, x, 1e-9);
    EXPECT_NEAR(point.y, y, 1e-9);
}

TEST(PlotPoints, AreTheCompleteRecordsWithNumericCoordinatesInTableOrder) {
    RecordTable table;
    const auto row = [&](int r, const char* pt, const char* n, const char* e) {
        table.SetCell(r, ColPt, pt);
        table.SetCell(r, ColN, n);
        table.SetCell(r, ColE, e);
    };
    row(1, "A", "100.000", "200.000");
    row(2, "B", " 5 ", "-7.5"); // blanks around a number are fine
    row(3, "", "1", "2");       // no name: incomplete
    row(4, "D", "1", "");       // no easting: incomplete
    row(6, "F", "1a", "2");     // not a number
    row(7, "G", "1e13", "2");   // beyond any ground
    row(9, "I", "-3", "4");     // after a gap
    std::vector<std::tuple<int, double, double>> points;
    for (const PlotPoint& point : PlotPointsOfTable(table))
        points.emplace_back(point.row, point.east, point.north);
    EXPECT_EQ(points, (std::vector<std::tuple<int, double, double>>{
                          {1, 200, 100}, {2, -7.5, 5}, {9, 4, -3}}));
}

TEST(PlotView, ScreenAndGroundAreInversesWithNorthUp) {
    PlotView view{1000, 2000, 2, 400, 300};
    ExpectAt(ToScreen(view, 1000, 2000), 200, 150);
    // 10 m north and east: up and to the right.
    const ScreenPoint northEast = ToScreen(view, 1010, 2010);
    ExpectAt(northEast, 220, 130);
    const GroundPoint back = ToGround(view, northEast);
    EXPECT_EQ(std::make_pair(back.east, back.north), std::make_pair(1010.0, 2010.0));
}

// The longer span, measured against its side of the view, sets the one scale; lines
// fill the view, spans of hundreds of kilometres fit, and coordinates far from the origin
// keep their detail.
TEST(FitView, ShowsEveryPointAtOneScaleSetByTheLongerSpan) {
    const struct {
        std::vector<PlotPoint> points;
        double width, height, pixelsPerMetre;
    } cases[] = {{Points({{1000, 5000}, {1200, 5050}, {1100, 5020}}), 600, 300,
                  (600 - 2 * kFitMargin) / 200},
                 {Points({{0, 0}, {10, 100}}), 300, 600, (600 - 2 * kFitMargin) / 100},
                 {Points({{0, 7}, {40, 7}}), 400, 300, (400 - 2 * kFitMargin) / 40},
                 {Points({{7, 0}, {7, 40}}), 400, 300, (300 - 2 * kFitMargin) / 40},
                 {Points({{-5e7, -5e7}, {5e7, 5e7}, {0.001, 0.002}}), 800, 600,
                  (600 - 2 * kFitMargin) / 1e8},
                 {Points({{9.9e11, 9.9e11}, {9.9e11 + 10, 9.9e11 + 5}}), 400, 400,
                  (400 - 2 * kFitMargin) / 10}};
    for (const auto& c : cases) {
        const PlotView view = FitView(c.points, c.width, c.height);
        ExpectAllInsideMargin(c.points, view);
        EXPECT_NEAR(view.pixelsPerMetre, c.pixelsPerMetre, c.pixelsPerMetre * 1e-4) << c.width;
    }
    const PlotView wide = FitView(cases[0].points, 600, 300);
    EXPECT_EQ(std::make_pair(wide.centreEast, wide.centreNorth), std::make_pair(1100.0, 5025.0));
}

TEST(FitView, GivesASensibleViewOfPointsWithoutSpan) {
    // A single point, and points all at one place: centred, a default span across.
    for (const std::vector<PlotPoint>& points :
         {Points({{350, 420}}), Points({{350, 420}, {350, 420}, {350, 420}})}) {
        const PlotView view = FitView(points, 400, 300);
        EXPECT_EQ(std::make_pair(view.centreEast, view.centreNorth), std::make_pair(350.0, 420.0));
        EXPECT_DOUBLE_EQ(view.pixelsPerMetre, (300 - 2 * kFitMargin) / kDefaultPlotSpan);
    }
    // No points, or a view with no room: still a view.
    ExpectSaneView(FitView({}, 400, 300));
    ExpectSaneView(FitView(Points({{0, 7}, {40, 7}}), 0, 0));
    ExpectSaneView(FitView(Points({{0, 7}, {40, 7}}), -5, 3));
}

TEST(ZoomAndPan, KeepTheGroundUnderTheCursorAndFollowTheDrag) {
    const PlotView view{500, 500, 1, 400, 300};
    const ScreenPoint cursor{100, 250};
    const GroundPoint under = ToGround(view, cursor);
    const PlotView zoomed = ZoomAbout(view, 4, cursor);
    EXPECT_DOUBLE_EQ(zoomed.pixelsPerMetre, 4);
    // The scale stops at its limits, and the cursor's ground stays put there too.
    const PlotView closest = ZoomAbout(view, 1e9, cursor);
    EXPECT_DOUBLE_EQ(closest.pixelsPerMetre, kMaxPixelsPerMetre);
    EXPECT_DOUBLE_EQ(ZoomAbout(view, 1e-30, cursor).pixelsPerMetre, kMinPixelsPerMetre);
    for (const PlotView& after : {zoomed, closest}) {
        EXPECT_NEAR(ToGround(after, cursor).east, under.east, 1e-9);
        EXPECT_NEAR(ToGround(after, cursor).north, under.north, 1e-9);
    }
    // Dragging 30 px right and 20 px down moves a point with it.
    const ScreenPoint before = ToScreen(zoomed, 520, 480);
    ExpectAt(ToScreen(PanBy(zoomed, 30, 20), 520, 480), before.x + 30, before.y + 20);
    // A new size keeps the centre and the scale.
    const PlotView resized = Resized(zoomed, 800, 100);
    EXPECT_DOUBLE_EQ(resized.pixelsPerMetre, zoomed.pixelsPerMetre);
    ExpectAt(ToScreen(resized, zoomed.centreEast, zoomed.centreNorth), 400, 50);
}

TEST(ScaleBar, IsTheLongestRoundLengthThatFits) {
    const struct {
        double pixelsPerMetre, maxPixels, metres;
        const char* label;
    } cases[] = {
        {1, 120, 100, "100 m"},     {1, 99, 50, "50 m"},
        {1, 1000, 1000, "1000 m"}, // exactly a power of ten
        {2, 45, 20, "20 m"},        {1000, 150, 0.1, "0.1 m"},
        {1e4, 160, 0.01, "0.01 m"}, {800.0 / 1e8, 200, 2e7, "20000000 m"},
    };
    for (const auto& c : cases) {
        const ScaleBar bar = ScaleBarFor(c.pixelsPerMetre, c.maxPixels);
        EXPECT_NEAR(bar.metres, c.metres, c.metres * 1e-12) << c.label;
        EXPECT_LE(bar.pixels, c.maxPixels + 1e-9) << c.label;
        EXPECT_NEAR(bar.pixels, c.metres * c.pixelsPerMetre, 1e-6) << c.label;
        EXPECT_EQ(bar.label, c.label);
    }
    // No room: no bar.
    EXPECT_EQ(ScaleBarFor(1, 0).pixels, 0.0);
}

TEST(PointNear, PicksTheNearestPointWithinTheRadius) {
    const PlotView view{0, 0, 10, 200, 200}; // the origin at (100, 100), 10 px a metre
    const std::vector<PlotPoint> points = Points({{0, 0}, {1, 0}, {0.5, 0}, {0.5, 0}});
    // (105, 100) is the ground (0.5, 0): the first of the two points there.
    EXPECT_EQ(PointNear(points, view, {105, 100}, 6), std::optional<std::size_t>(2));
    EXPECT_EQ(PointNear(points, view, {109, 101}, 6), std::optional<std::size_t>(1));
    EXPECT_EQ(PointNear(points, view, {100, 106}, 6), std::optional<std::size_t>(0));
    EXPECT_EQ(PointNear(points, view, {100, 107}, 6), std::nullopt);
    EXPECT_EQ(PointNear({}, view, {100, 100}, 6), std::nullopt);
}

TEST(LabelsToShow, WritesNamesThatOverlapNothingTheCurrentFirst) {
    const PlotView view{0, 0, 1, 400, 300}; // the origin at (200, 150), a pixel a metre
    // Two names at one place, a third clear of them, a fourth off the view.
    const std::vector<PlotPoint> points = Points({{0, 0}, {0, 0}, {0, 50}, {500, 0}});
    const std::vector<double> widths(points.size(), 40);
    EXPECT_EQ(LabelsToShow(points, widths, 12, 4, view, std::nullopt),
              (std::vector<std::size_t>{0, 2}));
    EXPECT_EQ(LabelsToShow(points, widths, 12, 4, view, 1), (std::vector<std::size_t>{1, 2}));
    // Names one above the other: written when they just touch, every other one when they
    // overlap.
    const std::vector<PlotPoint> column = Points({{0, 0}, {0, -12}, {0, -24}});
    EXPECT_EQ(LabelsToShow(column, {40, 40, 40}, 12, 4, view, std::nullopt).size(), 3u);
    EXPECT_EQ(LabelsToShow(column, {40, 40, 40}, 13, 4, view, std::nullopt),
              (std::vector<std::size_t>{0, 2}));
    // A name that would cover another point is left out, but for the current one's; a
    // point just beyond its end leaves it.
    const std::vector<PlotPoint> covered = Points({{0, 0}, {20, 0}});
    EXPECT_EQ(LabelsToShow(covered, {40, 40}, 12, 4, view, std::nullopt),
              (std::vector<std::size_t>{1}));
    EXPECT_EQ(LabelsToShow(covered, {40, 40}, 12, 4, view, 0), (std::vector<std::size_t>{0}));
    const std::vector<PlotPoint> beyond = Points({{0, 0}, {50, 0}});
    EXPECT_EQ(LabelsToShow(beyond, {40, 40}, 12, 4, view, std::nullopt).size(), 2u);
}

TEST(LabelsToShow, ThinsThousandsOfNamesToOnesThatOverlapNothing) {
    // 15999 points scattered over a site, names 50 px wide, a full-screen view.
    std::vector<PlotPoint> points;
    std::uint32_t seed = 7;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return double(seed >> 8) / double(1u << 24);
    };
    for (int i = 0; i < 15999; ++i)
        points.push_back({next() * 2000, next() * 1500, i + 1});
    const PlotView view = ZoomAbout(FitView(points, 1920, 1080), 3, {960, 540});
    const std::vector<double> widths(points.size(), 50);
    const std::vector<std::size_t> shown = LabelsToShow(points, widths, 14, 4, view, std::nullopt);
    ASSERT_GT(shown.size(), 100u);
    const auto boxOf = [&](std::size_t i) {
        return LabelBoxAt(ToScreen(view, points[i].east, points[i].north), 50, 14);
    };
    for (std::size_t a = 0; a < shown.size(); ++a) {
        const LabelBox box = boxOf(shown[a]);
        for (std::size_t b = a + 1; b < shown.size(); ++b) {
            const LabelBox other = boxOf(shown[b]);
            ASSERT_FALSE(box.left < other.left + 50 && other.left < box.left + 50 &&
                         box.top < other.top + 14 && other.top < box.top + 14)
                << shown[a] << " and " << shown[b];
        }
        // No point whose square shows on the view is under a name.
        for (const PlotPoint& point : points) {
            const ScreenPoint at = ToScreen(view, point.east, point.north);
            if (at.x < -2 || at.x > view.width + 2 || at.y < -2 || at.y > view.height + 2)
                continue;
            ASSERT_FALSE(at.x + 2 > box.left && at.x - 2 < box.left + 50 && at.y + 2 > box.top &&
                         at.y - 2 < box.top + 14)
                << "the name of " << shown[a] << " covers " << point.row;
        }
    }
}

} // namespace
} // namespace stadix
