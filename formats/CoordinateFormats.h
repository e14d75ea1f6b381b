// The fixed coordinate export formats that other survey and drawing software reads:
// Topcon PTS, CSV, AutoCAD DXF and SIMA. Each record line (app/RecordLine.h) becomes one
// text; a file is its format's header, every text followed by CR LF, and its trailer.
// Texts are written as the bytes the record lines hold.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace stadix {

// "PT","N","E","Z","CODE" with every field in double quotes, nothing escaped; the code
// field only when the code is not empty.
std::string CsvLine(const std::string& recordLine);

// A point on layer "Point" at E, N, Z and, 0.001 beside it, texts of height 0.2 with the
// point name (layer "PointNumber"), "Z" and the height (layer "Level") and the code
// (layer "Code", only when there is one). Lines joined by CR LF, none after the last;
// appended to out, as a whole file is built.
void AppendDxfEntityBlock(std::string& out, const std::string& recordLine);

// A01,serial,PT,N,E,Z, (the code is not written).
std::string SimaRecordLine(std::size_t serial, const std::string& recordLine);

// The DXF file around the entity blocks: point display mode and size, the four layers,
// then the entities section, which the trailer closes (no line end after "EOF").
extern const std::string_view kDxfHeader;
extern const std::string_view kDxfTrailer;

extern const std::string_view kSimaHeader;
extern const std::string_view kSimaTrailer;

} // namespace stadix
