#include "app/ui/Icons.h"

#include <QPainter>
#include <QPixmap>

namespace {

const QColor kInk(40, 60, 90);
const QColor kAccent(200, 60, 40);

QPixmap Canvas(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// The drawing of packaging/stadix.svg, the icon the desktop shows for Stadix.
void DrawTotalStation(QPainter& painter) {
    painter.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(32, 43), QPointF(12, 61));
    painter.drawLine(QPointF(32, 43), QPointF(32, 62));
    painter.drawLine(QPointF(32, 43), QPointF(52, 61));
    painter.setPen(Qt::NoPen);
    painter.setBrush(kInk);
    painter.drawRoundedRect(QRectF(19, 39, 26, 5), 1.5, 1.5);
    painter.drawRoundedRect(QRectF(17, 6, 7, 24), 2, 2);
    painter.drawRoundedRect(QRectF(40, 6, 7, 24), 2, 2);
    painter.drawRoundedRect(QRectF(17, 24, 30, 16), 3, 3);
    painter.setBrush(QColor(191, 224, 255));
    painter.drawRoundedRect(QRectF(22, 28, 20, 8), 1, 1);
    painter.setBrush(QColor(250, 200, 60));
    painter.drawRoundedRect(QRectF(24, 8, 16, 14), 3, 3);
    painter.setBrush(kAccent);
    painter.drawEllipse(QPointF(32, 15), 4.5, 4.5);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(30.5, 13.5), 1.2, 1.2);
}

void DrawPrinter(QPainter& painter) {
    painter.setPen(QPen(kInk, 1.5));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(8, 3, 16, 10));
    painter.setBrush(QColor(170, 180, 195));
    painter.drawRoundedRect(QRectF(3, 12, 26, 12), 2, 2);
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(8, 20, 16, 9));
    painter.drawLine(QPointF(11, 24), QPointF(21, 24));
}

void DrawEraseRow(QPainter& painter) {
    painter.setPen(QPen(kInk, 1.5));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(3, 11, 26, 10));
    painter.setPen(QPen(kAccent, 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(9, 6), QPointF(23, 26));
    painter.drawLine(QPointF(23, 6), QPointF(9, 26));
}

void DrawClearAll(QPainter& painter) {
    painter.setPen(QPen(kInk, 1.5));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(4, 4, 24, 24));
    for (int y = 10; y <= 22; y += 6)
        painter.drawLine(QPointF(4, y), QPointF(28, y));
    painter.setPen(QPen(kAccent, 3.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(14, 30), QPointF(30, 14));
}

// Points scattered on a plan, one of them picked, and a north arrow.
void DrawPlot(QPainter& painter) {
    painter.setPen(QPen(kInk, 1.5));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(3, 3, 26, 26));
    painter.setPen(Qt::NoPen);
    painter.setBrush(kInk);
    for (const QPointF& at : {QPointF(8, 22), QPointF(13, 14), QPointF(20, 24), QPointF(9, 9)})
        painter.drawRect(QRectF(at.x() - 1.5, at.y() - 1.5, 3, 3));
    painter.setBrush(kAccent);
    painter.drawEllipse(QPointF(19, 16), 2.5, 2.5);
    painter.setPen(QPen(kInk, 1.5));
    painter.drawLine(QPointF(25, 8), QPointF(25, 14));
    painter.setBrush(kInk);
    const QPointF head[] = {QPointF(25, 5), QPointF(22.5, 9), QPointF(27.5, 9)};
    painter.drawPolygon(head, 3);
}

} // namespace

QIcon ApplicationIcon() {
    QPixmap pixmap = Canvas(64);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawTotalStation(painter);
    painter.end();
    return QIcon(pixmap);
}

QIcon ToolIcon(const QString& themeName, ToolGlyph glyph) {
    if (QIcon::hasThemeIcon(themeName))
        return QIcon::fromTheme(themeName);
    QPixmap pixmap = Canvas(32);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (glyph) {
    case ToolGlyph::Print:
        DrawPrinter(painter);
        break;
    case ToolGlyph::Erase:
        DrawEraseRow(painter);
        break;
    case ToolGlyph::Clear:
        DrawClearAll(painter);
        break;
    case ToolGlyph::Plot:
        DrawPlot(painter);
        break;
    }
    painter.end();
    return QIcon(pixmap);
}
