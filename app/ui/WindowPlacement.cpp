#include "app/ui/WindowPlacement.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace {

// The frame around the window; before the window manager has framed it, room for a
// title bar.
QMargins FrameMargins(const QWidget* window) {
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    if (frame != inner)
        return QMargins(inner.left() - frame.left(), inner.top() - frame.top(),
                        frame.right() - inner.right(), frame.bottom() - inner.bottom());
    if (window->windowFlags() & Qt::FramelessWindowHint)
        return QMargins();
    return QMargins(0, window->style()->pixelMetric(QStyle::PM_TitleBarHeight), 0, 0);
}

// The frame's start on one axis: within the area, or at its start when it is too long.
int ClampedStart(int start, int length, int areaStart, int areaLength) {
    return std::max(areaStart, std::min(start, areaStart + areaLength - length));
}

// Shrinks the window to fit the area, frame included, as far as its minimum size
// allows; the size of its frame.
QSize ShrinkToFit(QWidget* window, const QRect& area) {
    const QMargins margins = FrameMargins(window);
    window->resize(
        window->size().boundedTo(area.size().shrunkBy(margins)).expandedTo(window->minimumSize()));
    return window->size().grownBy(margins);
}

// Moves the window's frame to framePos, or as near to it as keeps it within the area.
void MoveWithin(QWidget* window, const QRect& area, const QPoint& framePos, const QSize& frame) {
    window->move(ClampedStart(framePos.x(), frame.width(), area.x(), area.width()),
                 ClampedStart(framePos.y(), frame.height(), area.y(), area.height()));
}

QRect AvailableArea(const QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

class WindowsOnScreen : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show || event->spontaneous() || !watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        const Qt::WindowType type = widget->windowType();
        if (type == Qt::Window || type == Qt::Dialog)
            KeepOnScreen(widget);
        return false;
    }
};

} // namespace

void CentreOnScreen(QWidget* window) {
    const QRect area = AvailableArea(window);
    if (!area.isValid())
        return;
    QRect frame(QPoint(), ShrinkToFit(window, area));
    frame.moveCenter(area.center());
    MoveWithin(window, area, frame.topLeft(), frame.size());
}

void KeepOnScreen(QWidget* window) {
    const QRect area = AvailableArea(window);
    if (area.isValid())
        MoveWithin(window, area, window->pos(), ShrinkToFit(window, area));
}

void KeepWindowsOnScreen(QApplication& application) {
    application.installEventFilter(new WindowsOnScreen(&application));
}
