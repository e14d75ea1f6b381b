// Prints the record text list on a printer: the coordinate list as a table under a
// page heading (job name, date, page number) and column titles, numbers right-aligned;
// or the measurement text line by line in a fixed-pitch font.
#pragma once

#include <QString>

#include <functional>
#include <string>
#include <vector>

class QPrinter;

enum class PrintKind { CoordinateList, MeasurementText };

// Called after each page with its number (from 1) and the page count.
using PageProgress = std::function<void(int page, int pages)>;

// Prints lines; jobName heads the coordinate list's pages. Returns why printing failed,
// empty when it did not.
QString PrintLines(QPrinter& printer, const std::vector<std::string>& lines, PrintKind kind,
                   const QString& jobName, const PageProgress& progress = {});
