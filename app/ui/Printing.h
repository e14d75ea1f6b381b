// Prints the record text list on a printer: the coordinate list or the measurement
// text, laid out by the core and drawn line by line in a fixed-pitch font so that the
// record columns stand under the banner's titles.
#pragma once

#include <QString>

#include <functional>
#include <string>
#include <vector>

class QPrinter;

enum class PrintKind { CoordinateList, MeasurementText };

// Called after each page with its number (from 1) and the page count.
using PageProgress = std::function<void(int page, int pages)>;

// Prints lines; returns why printing failed, empty when it did not.
QString PrintLines(QPrinter& printer, const std::vector<std::string>& lines, PrintKind kind,
                   const PageProgress& progress = {});
