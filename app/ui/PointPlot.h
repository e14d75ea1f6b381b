// The plot of the job's points: every complete record of the record table at its
// easting and northing, north up, with its name (and, when chosen, its code and
// height). The wheel zooms about the cursor, a drag pans, a click picks a point. It
// only reads the table.
#pragma once

#include "job/PlotLayout.h"
#include "job/RecordTable.h"

#include <QFont>
#include <QStaticText>
#include <QTimer>
#include <QWidget>

#include <optional>
#include <string>
#include <vector>

class PointPlot : public QWidget {
    Q_OBJECT
  public:
    explicit PointPlot(const stadix::RecordTable& table, QWidget* parent = nullptr);

    // The table changed: it is read again once the changes stop coming, or when the
    // plot is next shown.
    void TableChanged();
    // Reads the table now. The view follows the points while the user has not moved
    // it, and fits them when none of them would be in sight.
    void Rebuild();

    // The record the table's current row holds is drawn highlighted.
    void SetCurrentRow(int row);
    void Fit();
    void SetShowCodes(bool show);
    void SetShowHeights(bool show);

    enum class FileKind { Png, Pdf };
    // The plot as the view shows it, as the bytes of a PNG or a PDF file.
    std::string FileBytes(FileKind kind);

    const std::vector<stadix::PlotPoint>& Points() const { return points_; }
    const stadix::PlotView& View() const { return view_; }

    QSize sizeHint() const override { return QSize(520, 320); }

  signals:
    // A click on a point: the row of its record.
    void PointClicked(int row);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void RebuildIfStale();
    // The name, code and height texts written beside the points, and their widths.
    void MakeLabels();
    // The view changed by the user: it no longer follows the points.
    void MoveView(const stadix::PlotView& view);
    std::optional<std::size_t> IndexOfRow(int row) const;

    void Draw(QPainter& painter, const stadix::PlotView& view) const;
    void DrawPoints(QPainter& painter, const stadix::PlotView& view) const;
    void DrawLabels(QPainter& painter, const stadix::PlotView& view,
                    std::optional<std::size_t> current) const;
    void DrawCurrentPoint(QPainter& painter, const stadix::PlotView& view,
                          std::size_t current) const;
    void DrawScaleBar(QPainter& painter, const stadix::PlotView& view) const;
    void DrawNorthArrow(QPainter& painter, const stadix::PlotView& view) const;

    const stadix::RecordTable& table_;
    std::vector<stadix::PlotPoint> points_;
    std::vector<QStaticText> labels_;
    std::vector<double> labelWidths_;
    stadix::PlotView view_;
    // The view fits the points until the user zooms or pans.
    bool followsPoints_ = true;
    bool stale_ = true;
    QTimer rebuildTimer_;
    int currentRow_ = 0;
    bool showCodes_ = false;
    bool showHeights_ = false;
    // A family of its own, not the window's: names measure and look the same on the
    // screen, in a PNG and in a PDF.
    QFont labelFont_;

    // A press of the left button, until it ends as a click or a drag.
    std::optional<QPointF> pressedAt_;
    QPointF lastDragPos_;
    bool dragging_ = false;
};
