#include "app/ui/PointPlot.h"

#include "base/TextFormat.h"
#include "widgets/TextCodec.h"

#include <QApplication>
#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QMouseEvent>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QStaticText>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

const QColor kPointColour(30, 60, 130);
const QColor kLabelColour(70, 70, 70);
const QColor kCurrentColour(220, 30, 30);
const QColor kEmptyTextColour(150, 150, 150);
const QColor kPanelColour(255, 255, 255, 210);

// How long the table must stay unchanged before the plot reads it again: loading a
// job changes it many times a second, and one reading after the last change is enough.
const int kRebuildDelayMs = 50;
const double kPointSize = 4;
const double kCurrentRadius = 5;
// How near a click must come to a point to pick it, in pixels.
const double kPickRadius = 6;
// The zoom of one notch of the wheel.
const double kWheelZoom = 1.25;
const double kScaleBarMaxPixels = 160;

// A name's width as the sum of its characters' advances, each character measured once:
// measuring thousands of names whole would take longer than a frame.
class TextWidths {
  public:
    explicit TextWidths(const QFont& font) : metrics_(font) { ascii_.fill(-1); }

    double Of(const QString& text) {
        double width = 0;
        for (const QChar c : text)
            width += Advance(c);
        return width;
    }

  private:
    double Advance(QChar c) {
        const char16_t code = c.unicode();
        if (code < ascii_.size()) {
            if (ascii_[code] < 0)
                ascii_[code] = metrics_.horizontalAdvance(c);
            return ascii_[code];
        }
        auto found = others_.constFind(code);
        if (found == others_.constEnd())
            found = others_.insert(code, metrics_.horizontalAdvance(c));
        return *found;
    }

    QFontMetricsF metrics_;
    std::array<double, 128> ascii_;
    QHash<char16_t, double> others_;
};

} // namespace

PointPlot::PointPlot(const stadix::RecordTable& table, QWidget* parent)
    : QWidget(parent), table_(table), labelFont_("Sans Serif") {
    setMinimumSize(120, 100);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::OpenHandCursor);
    labelFont_.setPixelSize(11);
    rebuildTimer_.setSingleShot(true);
    rebuildTimer_.setInterval(kRebuildDelayMs);
    connect(&rebuildTimer_, &QTimer::timeout, this, &PointPlot::RebuildIfStale);
    view_ = stadix::Resized(view_, width(), height());
}

void PointPlot::TableChanged() {
    stale_ = true;
    if (isVisible())
        rebuildTimer_.start();
}

void PointPlot::RebuildIfStale() {
    if (stale_)
        Rebuild();
}

void PointPlot::Rebuild() {
    rebuildTimer_.stop();
    stale_ = false;
    points_ = stadix::PlotPointsOfTable(table_);
    MakeLabels();
    if (followsPoints_ || !stadix::AnyPointInView(points_, view_)) {
        view_ = stadix::FitView(points_, width(), height());
        followsPoints_ = true;
    }
    update();
}

void PointPlot::MakeLabels() {
    TextWidths widths(labelFont_);
    labels_.clear();
    labelWidths_.clear();
    labels_.reserve(points_.size());
    labelWidths_.reserve(points_.size());
    for (const stadix::PlotPoint& point : points_) {
        std::string text = stadix::Trim(table_.Cell(point.row, stadix::ColPt));
        for (const auto& [shown, column] :
             {std::pair{showCodes_, stadix::ColCode}, std::pair{showHeights_, stadix::ColZ}}) {
            const std::string field = shown ? stadix::Trim(table_.Cell(point.row, column)) : "";
            if (!field.empty())
                text += " " + field;
        }
        const QString label = BytesToDisplay(text);
        labelWidths_.push_back(widths.Of(label));
        // Laid out once, when first written: names are written again at every frame.
        labels_.emplace_back(label);
        labels_.back().setTextFormat(Qt::PlainText);
    }
}

void PointPlot::SetCurrentRow(int row) {
    if (row == currentRow_)
        return;
    currentRow_ = row;
    update();
}

void PointPlot::Fit() {
    RebuildIfStale();
    view_ = stadix::FitView(points_, width(), height());
    followsPoints_ = true;
    update();
}

void PointPlot::SetShowCodes(bool show) {
    showCodes_ = show;
    MakeLabels();
    update();
}

void PointPlot::SetShowHeights(bool show) {
    showHeights_ = show;
    MakeLabels();
    update();
}

void PointPlot::MoveView(const stadix::PlotView& view) {
    view_ = view;
    followsPoints_ = false;
    update();
}

std::optional<std::size_t> PointPlot::IndexOfRow(int row) const {
    const auto found =
        std::lower_bound(points_.begin(), points_.end(), row,
                         [](const stadix::PlotPoint& point, int r) { return point.row < r; });
    if (found == points_.end() || found->row != row)
        return std::nullopt;
    return std::size_t(found - points_.begin());
}

std::string PointPlot::FileBytes(FileKind kind) {
    RebuildIfStale();
    const QSize imageSize = size().expandedTo(QSize(1, 1));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (kind == FileKind::Png) {
        QImage image(imageSize, QImage::Format_RGB32);
        QPainter painter(&image);
        Draw(painter, view_);
        painter.end();
        image.save(&buffer, "PNG");
    } else {
        // One page of the view's size, a point a pixel.
        QPdfWriter writer(&buffer);
        writer.setCreator("Stadix");
        writer.setResolution(72);
        writer.setPageSize(
            QPageSize(QSizeF(imageSize), QPageSize::Point, QString(), QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF());
        QPainter painter(&writer);
        Draw(painter, view_);
    }
    const QByteArray& bytes = buffer.data();
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

void PointPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Draw(painter, view_);
}

void PointPlot::resizeEvent(QResizeEvent*) {
    view_ = followsPoints_ ? stadix::FitView(points_, width(), height())
                           : stadix::Resized(view_, width(), height());
}

void PointPlot::showEvent(QShowEvent*) {
    RebuildIfStale();
}

void PointPlot::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0)
        return;
    const QPointF at = event->position();
    MoveView(stadix::ZoomAbout(view_, std::pow(kWheelZoom, notches), {at.x(), at.y()}));
    event->accept();
}

void PointPlot::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    pressedAt_ = event->position();
    lastDragPos_ = event->position();
    dragging_ = false;
}

void PointPlot::mouseMoveEvent(QMouseEvent* event) {
    if (!pressedAt_ || !(event->buttons() & Qt::LeftButton))
        return;
    const QPointF at = event->position();
    if (!dragging_ && (at - *pressedAt_).manhattanLength() >= QApplication::startDragDistance()) {
        dragging_ = true;
        setCursor(Qt::ClosedHandCursor);
    }
    if (!dragging_)
        return;
    const QPointF moved = at - lastDragPos_;
    lastDragPos_ = at;
    MoveView(stadix::PanBy(view_, moved.x(), moved.y()));
}

void PointPlot::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressedAt_)
        return;
    const bool clicked = !dragging_;
    pressedAt_.reset();
    dragging_ = false;
    setCursor(Qt::OpenHandCursor);
    if (!clicked)
        return;
    RebuildIfStale();
    const QPointF at = event->position();
    const std::optional<std::size_t> picked =
        stadix::PointNear(points_, view_, {at.x(), at.y()}, kPickRadius);
    if (picked)
        emit PointClicked(points_[*picked].row);
}

void PointPlot::Draw(QPainter& painter, const stadix::PlotView& view) const {
    const QRectF area(0, 0, view.width, view.height);
    painter.fillRect(area, Qt::white);
    painter.setFont(labelFont_);
    if (points_.empty()) {
        painter.setPen(kEmptyTextColour);
        painter.drawText(area, Qt::AlignCenter, "No points to plot");
        return;
    }
    const std::optional<std::size_t> current = IndexOfRow(currentRow_);
    DrawPoints(painter, view);
    DrawLabels(painter, view, current);
    if (current)
        DrawCurrentPoint(painter, view, *current);
    DrawScaleBar(painter, view);
    DrawNorthArrow(painter, view);
}

void PointPlot::DrawPoints(QPainter& painter, const stadix::PlotView& view) const {
    // Every point in sight as one batch of squares on whole pixels: the quickest way to
    // draw thousands of them.
    std::vector<QRect> squares;
    squares.reserve(points_.size());
    for (const stadix::PlotPoint& point : points_) {
        const stadix::ScreenPoint screen = stadix::ToScreen(view, point.east, point.north);
        if (screen.x < -kPointSize || screen.x > view.width + kPointSize ||
            screen.y < -kPointSize || screen.y > view.height + kPointSize)
            continue;
        squares.emplace_back(int(std::lround(screen.x - kPointSize / 2)),
                             int(std::lround(screen.y - kPointSize / 2)), int(kPointSize),
                             int(kPointSize));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(kPointColour);
    painter.drawRects(squares.data(), int(squares.size()));
}

void PointPlot::DrawLabels(QPainter& painter, const stadix::PlotView& view,
                           std::optional<std::size_t> current) const {
    const QFontMetricsF metrics(labelFont_);
    const double height = metrics.height();
    for (const std::size_t i :
         stadix::LabelsToShow(points_, labelWidths_, height, kPointSize, view, current)) {
        const stadix::ScreenPoint screen =
            stadix::ToScreen(view, points_[i].east, points_[i].north);
        const stadix::LabelBox box = stadix::LabelBoxAt(screen, labelWidths_[i], height);
        painter.setPen(i == current ? kCurrentColour : kLabelColour);
        painter.drawStaticText(QPointF(box.left, box.top), labels_[i]);
    }
}

void PointPlot::DrawCurrentPoint(QPainter& painter, const stadix::PlotView& view,
                                 std::size_t current) const {
    const stadix::ScreenPoint screen =
        stadix::ToScreen(view, points_[current].east, points_[current].north);
    const QPointF centre(screen.x, screen.y);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kCurrentColour, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, kCurrentRadius, kCurrentRadius);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kCurrentColour);
    painter.drawEllipse(centre, kPointSize / 2 + 1, kPointSize / 2 + 1);
    painter.restore();
}

void PointPlot::DrawScaleBar(QPainter& painter, const stadix::PlotView& view) const {
    const stadix::ScaleBar bar =
        stadix::ScaleBarFor(view.pixelsPerMetre, std::min(view.width / 3, kScaleBarMaxPixels));
    if (bar.pixels <= 0)
        return;
    const QFontMetricsF metrics(labelFont_);
    const QString label = QString::fromStdString(bar.label);
    const double left = 10;
    const double base = view.height - 10;
    const double textWidth = metrics.horizontalAdvance(label);
    painter.fillRect(QRectF(left - 4, base - metrics.height() - 10,
                            std::max(bar.pixels, textWidth) + 8, metrics.height() + 14),
                     kPanelColour);
    painter.setPen(QPen(Qt::black, 2));
    painter.drawLine(QPointF(left, base), QPointF(left + bar.pixels, base));
    painter.drawLine(QPointF(left, base), QPointF(left, base - 5));
    painter.drawLine(QPointF(left + bar.pixels, base), QPointF(left + bar.pixels, base - 5));
    painter.drawText(QPointF(left, base - 7 - metrics.descent()), label);
}

void PointPlot::DrawNorthArrow(QPainter& painter, const stadix::PlotView& view) const {
    const double x = view.width - 16;
    const QFontMetricsF metrics(labelFont_);
    painter.fillRect(QRectF(x - 9, 4, 18, 34 + metrics.height()), kPanelColour);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1.5));
    painter.drawLine(QPointF(x, 10), QPointF(x, 34));
    painter.setBrush(Qt::black);
    const QPointF head[] = {QPointF(x, 8), QPointF(x - 5, 18), QPointF(x + 5, 18)};
    painter.drawPolygon(head, 3);
    painter.drawText(QPointF(x - metrics.horizontalAdvance("N") / 2, 36 + metrics.ascent()), "N");
    painter.restore();
}
