#include "app/ui/Printing.h"

#include "job/PrintLayout.h"
#include "widgets/TextCodec.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

namespace {

QFont PrintFont() {
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
                              const std::vector<std::string>& lines, PrintKind kind) {
    const int textHeight = metrics.size(0, "Hi").height();
    if (kind == PrintKind::MeasurementText)
        return stadix::MeasurementTextGeometry(printer.height(), textHeight);
    const int firstLineWidth = metrics.horizontalAdvance(BytesToDisplay(lines.front()));
    return stadix::CoordinateListGeometry(printer.width(), printer.height(), textHeight,
                                          firstLineWidth);
}

} // namespace

QString PrintLines(QPrinter& printer, const std::vector<std::string>& lines, PrintKind kind,
                   const PageProgress& progress) {
    if (lines.empty())
        return QString();
    QPainter painter;
    if (!painter.begin(&printer))
        return FailureText(printer);
    const QFont font = PrintFont();
    painter.setFont(font);
    const QFontMetrics metrics(font, &printer);
    const stadix::PageGeometry geometry = Geometry(printer, metrics, lines, kind);
    const std::vector<stadix::PrintedPage> pages =
        kind == PrintKind::CoordinateList ? stadix::LayOutCoordinateList(lines, geometry)
                                          : stadix::LayOutMeasurementText(lines, geometry);
    const int pageCount = int(pages.size());
    for (int p = 0; p < pageCount; ++p) {
        if (p > 0 && !printer.newPage()) {
            painter.end();
            return FailureText(printer);
        }
        for (const stadix::PrintedLine& line : pages[std::size_t(p)])
            painter.drawText(geometry.left, line.y + metrics.ascent(), BytesToDisplay(line.text));
        if (progress)
            progress(p + 1, pageCount);
    }
    if (!painter.end())
        return FailureText(printer);
    return QString();
}
