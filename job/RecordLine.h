// Record lines: the one text form of a point record (57 characters, fixed columns),
// which is also the line of a coordinate job file.
#pragma once

#include <string>

namespace stadix {

constexpr std::size_t kRecordLineLength = 57;

// The numeric text rounded to millimetres and formatted "0.000". Throws
// ConversionError for a text that is not a number or whose formatted text does not
// fit width (it would otherwise become a different coordinate).
std::string FormatCoordText(const std::string& text, std::size_t width);

// The value rounded to millimetres and formatted "0.000". Throws ConversionError for a
// value that is not finite or whose formatted text does not fit width.
std::string FormatCoordValue(double value, std::size_t width);

// The 57-character record line of a point record; throws ConversionError.
std::string MakeRecordLine(const std::string& pt, const std::string& code, const std::string& n,
                           const std::string& e, const std::string& z);
// The same line for coordinates that are numbers, without writing and reading their text
// first: computed points are written by the hundred thousand.
std::string MakeRecordLineFromValues(const std::string& pt, const std::string& code, double n,
                                     double e, double z);

std::string RecordLinePt(const std::string& line);
std::string RecordLineCode(const std::string& line);
std::string RecordLineN(const std::string& line);
std::string RecordLineE(const std::string& line);
std::string RecordLineZ(const std::string& line);

// PT,E,N,Z,CODE (the PTS line).
std::string RecordLineToCsv(const std::string& line);
// PT,N,E,Z,CODE (the job text copy).
std::string RecordLineToText(const std::string& line);

// A comma line of PT, E, N, Z and an optional CODE as a record line; false when the
// text is not such a line. Throws ConversionError for a field that passes the
// character check but is not a number.
bool CsvToRecordLine(const std::string& text, std::string& line);

} // namespace stadix
