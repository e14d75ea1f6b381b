#include "job/RecordLine.h"

#include "base/Errors.h"
#include "base/TextColumns.h"
#include "base/TextFormat.h"

#include <cmath>

namespace stadix {

namespace {

bool IsCoordCharacters(const std::string& field) {
    for (char c : field) {
        if (!((c >= '0' && c <= '9') || c == '-' || c == '.' || c == ' '))
            return false;
    }
    return true;
}

// Writes text into line at column, over the blanks there; the text fits the line.
void PutText(std::string& line, std::size_t column, const std::string& text) {
    text.copy(&line[column], text.size());
}

// Writes FitName(name, width) into line at column, over the blanks there.
void PutName(std::string& line, std::size_t column, const std::string& name, std::size_t width) {
    if (name.size() <= width) {
        PutText(line, column, name);
        return;
    }
    name.copy(&line[column], width - 2);
    line[column + width - 2] = '-';
    line[column + width - 1] = name.back();
}

// A line of blanks holding the point name and the code.
std::string NamedLine(const std::string& pt, const std::string& code) {
    std::string line(kRecordLineLength, ' ');
    PutName(line, 0, pt, 8);
    PutName(line, 9, code, 8);
    return line;
}

} // namespace

std::string FormatCoordText(const std::string& text, std::size_t width) {
    const std::string formatted = FormatFixed(RoundMm(ParseStrictNumber(text)), 3);
    if (formatted.size() > width)
        throw ConversionError(text);
    return formatted;
}

std::string FormatCoordValue(double value, std::size_t width) {
    if (!std::isfinite(value))
        throw ConversionError(std::to_string(value));
    const std::string formatted = FormatFixed(RoundMm(value), 3);
    if (formatted.size() > width)
        throw ConversionError(formatted);
    return formatted;
}

std::string MakeRecordLine(const std::string& pt, const std::string& code, const std::string& n,
                           const std::string& e, const std::string& z) {
    // Filled in place: this runs for every record of every gather, save and send.
    std::string line = NamedLine(pt, code);
    PutText(line, 18, FormatCoordText(n, 12));
    PutText(line, 31, FormatCoordText(e, 12));
    PutText(line, 44, FormatCoordText(z, 12));
    return line;
}

std::string MakeRecordLineFromValues(const std::string& pt, const std::string& code, double n,
                                     double e, double z) {
    std::string line = NamedLine(pt, code);
    PutText(line, 18, FormatCoordValue(n, 12));
    PutText(line, 31, FormatCoordValue(e, 12));
    PutText(line, 44, FormatCoordValue(z, 12));
    return line;
}

std::string RecordLinePt(const std::string& line) {
    return Columns(line, 0, 8);
}
std::string RecordLineCode(const std::string& line) {
    return Columns(line, 9, 8);
}
std::string RecordLineN(const std::string& line) {
    return Columns(line, 18, 12);
}
std::string RecordLineE(const std::string& line) {
    return Columns(line, 31, 12);
}
std::string RecordLineZ(const std::string& line) {
    return Columns(line, 44, 12);
}

std::string RecordLineToCsv(const std::string& line) {
    return RecordLinePt(line) + "," + RecordLineE(line) + "," + RecordLineN(line) + "," +
           RecordLineZ(line) + "," + RecordLineCode(line);
}

std::string RecordLineToText(const std::string& line) {
    return RecordLinePt(line) + "," + RecordLineN(line) + "," + RecordLineE(line) + "," +
           RecordLineZ(line) + "," + RecordLineCode(line);
}

bool CsvToRecordLine(const std::string& text, std::string& line) {
    const std::vector<std::string> fields = SplitCommaText(text);
    if (fields.size() < 4)
        return false;
    const std::string code = fields.size() > 4 ? Trim(fields[4]).substr(0, 8) : std::string();
    const std::string e = Trim(fields[1]);
    const std::string n = Trim(fields[2]);
    const std::string z = Trim(fields[3]);
    if (!IsCoordCharacters(e) || !IsCoordCharacters(n) || !IsCoordCharacters(z))
        return false;
    line = MakeRecordLine(Trim(fields[0]).substr(0, 8), code, n, e, z);
    return true;
}

} // namespace stadix
