#include "widgets/WindowPlacement.h"

#include <QApplication>
#include <QEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace {

// The frame around the window; before the window manager has framed it, room for a
// title bar and a border.
QMargins FrameMargins(const QWidget* window) {
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    if (frame != inner)
        return QMargins(inner.left() - frame.left(), inner.top() - frame.top(),
                        frame.right() - inner.right(), frame.bottom() - inner.bottom());
    if (window->windowFlags() & Qt::FramelessWindowHint)
        return QMargins();
    const int border = window->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    return QMargins(border, window->style()->pixelMetric(QStyle::PM_TitleBarHeight), border,
                    border);
}

// The frame's start on one axis: within the area, or at its start when it is too long.
int ClampedStart(int start, int length, int areaStart, int areaLength) {
    return std::max(areaStart, std::min(start, areaStart + areaLength - length));
}

// The window's frame, shrunk to fit the area as far as the window's minimum size
// allows.
QRect FittedFrame(const QWidget* window, const QRect& area, const QMargins& margins) {
    const QSize size =
        window->size().boundedTo(area.size().shrunkBy(margins)).expandedTo(window->minimumSize());
    return QRect(window->geometry().topLeft(), size).marginsAdded(margins);
}

// Gives the window the frame, moved as little as keeps it within the area. The
// geometry set is the window's own, without the frame, which places it alike before
// and after the window manager has framed it.
void SetFrameWithin(QWidget* window, QRect frame, const QRect& area, const QMargins& margins) {
    frame.moveTo(ClampedStart(frame.x(), frame.width(), area.x(), area.width()),
                 ClampedStart(frame.y(), frame.height(), area.y(), area.height()));
    window->setGeometry(frame.marginsRemoved(margins));
}

QRect AvailableArea(const QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

// Shrinks and moves a window as little as needed for it to lie within the available
// area of its screen. One that cannot shrink enough keeps its top left corner, and so
// its title bar, on the screen.
void KeepOnScreen(QWidget* window) {
    const QRect area = AvailableArea(window);
    if (!area.isValid())
        return;
    const QMargins margins = FrameMargins(window);
    SetFrameWithin(window, FittedFrame(window, area, margins), area, margins);
}

// Shrinks a window to fit the available area of its screen.
void ShrinkToScreen(QWidget* window) {
    const QRect area = AvailableArea(window);
    if (!area.isValid())
        return;
    const QMargins margins = FrameMargins(window);
    window->resize(FittedFrame(window, area, margins).marginsRemoved(margins).size());
}

// Whether a window that lay on the screen at its old size reaches beyond it now, as a
// dialog that shows more of itself does.
bool GrewOffScreen(const QWidget* window, const QSize& oldSize) {
    const QRect area = AvailableArea(window);
    const QMargins margins = FrameMargins(window);
    const QPoint at = window->geometry().topLeft();
    return oldSize.isValid() && area.contains(QRect(at, oldSize).marginsAdded(margins)) &&
           !area.contains(QRect(at, window->size()).marginsAdded(margins));
}

class WindowsOnScreen : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if ((event->type() != QEvent::Show && event->type() != QEvent::Resize) ||
            !watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        const Qt::WindowType type = widget->windowType();
        if (type != Qt::Window && type != Qt::Dialog)
            return false;
        if (event->type() == QEvent::Resize) {
            if (widget->isVisible() &&
                GrewOffScreen(widget, static_cast<QResizeEvent*>(event)->oldSize()))
                KeepOnScreen(widget);
        } else if (!event->spontaneous()) {
            // A window not placed yet is placed as it shows (a dialog over its parent and
            // on the screen): only its size is left to fit.
            if (widget->testAttribute(Qt::WA_Moved))
                KeepOnScreen(widget);
            else
                ShrinkToScreen(widget);
        }
        return false;
    }
};

} // namespace

void CentreOnScreen(QWidget* window) {
    const QRect area = AvailableArea(window);
    if (!area.isValid())
        return;
    const QMargins margins = FrameMargins(window);
    QRect frame = FittedFrame(window, area, margins);
    frame.moveCenter(area.center());
    SetFrameWithin(window, frame, area, margins);
}

void KeepWindowsOnScreen(QApplication& application) {
    application.installEventFilter(new WindowsOnScreen(&application));
}
