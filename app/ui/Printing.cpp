#include "app/ui/Printing.h"

#include "job/PrintLayout.h"
#include "job/RecordLine.h"
#include "widgets/TextCodec.h"

#include <QApplication>
#include <QDate>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include <array>

namespace {

// The coordinate list's columns: where each starts and ends, as shares of the page
// width, and how its cells align (names to the left, numbers to the right).
struct Column {
    double from;
    double to;
    Qt::Alignment alignment;
};
constexpr std::array<Column, 5> kColumns = {{{0.00, 0.20, Qt::AlignLeft},
                                             {0.22, 0.40, Qt::AlignLeft},
                                             {0.40, 0.60, Qt::AlignRight},
                                             {0.60, 0.80, Qt::AlignRight},
                                             {0.80, 1.00, Qt::AlignRight}}};

QFont TextFont() {
    QFont font = QApplication::font();
    font.setPointSize(10);
    return font;
}

// Numbers in the fixed-pitch font: every digit is equally wide, so that right-aligned
// numbers line up digit under digit.
QFont NumberFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(10);
    return font;
}

QString FailureText(const QPrinter& printer) {
    if (!printer.outputFileName().isEmpty())
        return "Cannot print to the file " + printer.outputFileName() + ".";
    return "The printer " + printer.printerName() + " could not print the document.";
}

stadix::PageGeometry Geometry(const QPrinter& printer, const QFontMetrics& metrics,
                              PrintKind kind) {
    const int textHeight = metrics.size(0, "Hi").height();
    if (kind == PrintKind::MeasurementText)
        return stadix::MeasurementTextGeometry(printer.height(), textHeight);
    return stadix::CoordinateListGeometry(printer.height(), textHeight);
}

QRect CellRect(const QPrinter& printer, const Column& column, int y, int height) {
    const int left = int(column.from * printer.width());
    return QRect(left, y, int(column.to * printer.width()) - left, height);
}

// The head of a coordinate list page: the job name, the date and the page number
// over a rule, then the column titles over a rule.
void DrawPageHead(QPainter& painter, const QPrinter& printer, const stadix::PageGeometry& geometry,
                  const QString& jobName, int page, int pages) {
    const QRect line(0, geometry.top, printer.width(), geometry.lineHeight);
    QFont bold = TextFont();
    bold.setBold(true);
    painter.setFont(bold);
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, jobName);
    painter.setFont(TextFont());
    painter.drawText(line, Qt::AlignHCenter | Qt::AlignVCenter,
                     QDate::currentDate().toString(Qt::ISODate));
    painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter,
                     QString("Page %1 of %2").arg(page).arg(pages));
    painter.drawLine(line.bottomLeft(), line.bottomRight());

    const int titlesTop =
        geometry.top + (stadix::kCoordinateListHeadLines - 1) * geometry.lineHeight;
    painter.setFont(bold);
    for (std::size_t i = 0; i < kColumns.size(); ++i)
        painter.drawText(CellRect(printer, kColumns[i], titlesTop, geometry.lineHeight),
                         kColumns[i].alignment | Qt::AlignVCenter,
                         QString::fromStdString(stadix::CoordinateListTitles()[i]));
    const int rule = titlesTop + geometry.lineHeight;
    painter.drawLine(0, rule, printer.width(), rule);
}

void DrawRecordRow(QPainter& painter, const QPrinter& printer, const stadix::PageGeometry& geometry,
                   const stadix::PrintedLine& line) {
    const std::array<std::string, 5> cells = {
        stadix::RecordLinePt(line.text), stadix::RecordLineCode(line.text),
        stadix::RecordLineN(line.text), stadix::RecordLineE(line.text),
        stadix::RecordLineZ(line.text)};
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        painter.setFont(kColumns[i].alignment & Qt::AlignRight ? NumberFont() : TextFont());
        painter.drawText(CellRect(printer, kColumns[i], line.y, geometry.lineHeight),
                         kColumns[i].alignment | Qt::AlignVCenter,
                         BytesToDisplay(cells[i]).trimmed());
    }
}

void DrawPage(QPainter& painter, const QPrinter& printer, const stadix::PageGeometry& geometry,
              const stadix::PrintedPage& page, PrintKind kind) {
    if (kind == PrintKind::MeasurementText) {
        const QFontMetrics metrics(NumberFont(), &printer);
        painter.setFont(NumberFont());
        for (const stadix::PrintedLine& line : page)
            painter.drawText(geometry.left, line.y + metrics.ascent(), BytesToDisplay(line.text));
        return;
    }
    for (const stadix::PrintedLine& line : page)
        DrawRecordRow(painter, printer, geometry, line);
}

} // namespace

QString PrintLines(QPrinter& printer, const std::vector<std::string>& lines, PrintKind kind,
                   const QString& jobName, const PageProgress& progress) {
    if (lines.empty())
        return QString();
    QPainter painter;
    if (!painter.begin(&printer))
        return FailureText(printer);
    const QFontMetrics metrics(kind == PrintKind::MeasurementText ? NumberFont() : TextFont(),
                               &printer);
    const stadix::PageGeometry geometry = Geometry(printer, metrics, kind);
    const std::vector<stadix::PrintedPage> pages =
        kind == PrintKind::CoordinateList ? stadix::LayOutCoordinateList(lines, geometry)
                                          : stadix::LayOutMeasurementText(lines, geometry);
    const int pageCount = int(pages.size());
    for (int p = 0; p < pageCount; ++p) {
        if (p > 0 && !printer.newPage()) {
            painter.end();
            return FailureText(printer);
        }
        if (kind == PrintKind::CoordinateList)
            DrawPageHead(painter, printer, geometry, jobName, p + 1, pageCount);
        DrawPage(painter, printer, geometry, pages[std::size_t(p)], kind);
        if (progress)
            progress(p + 1, pageCount);
    }
    if (!painter.end())
        return FailureText(printer);
    return QString();
}
