#include "job/RecordLine.h"

#include "base/Errors.h"
#include "base/TextColumns.h"
#include "base/TextFormat.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string_view>

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
void PutText(char* line, std::size_t column, std::string_view text) {
    text.copy(line + column, text.size());
}

// Writes FitName(name, width) into line at column, over the blanks there.
void PutName(char* line, std::size_t column, const std::string& name, std::size_t width) {
    if (name.size() <= width) {
        PutText(line, column, name);
        return;
    }
    name.copy(line + column, width - 2);
    line[column + width - 2] = '-';
    line[column + width - 1] = name.back();
}

// A coordinate rounded to millimetres and formatted "0.000", made in place.
class CoordText {
  public:
    explicit CoordText(double value)
        : size_(static_cast<std::size_t>(FormatFixedInto(text_, RoundMm(value), 3) - text_)) {}
    std::string_view View() const { return {text_, size_}; }

  private:
    char text_[kMaxFixedText];
    std::size_t size_;
};

// The coordinate of a value, checked as FormatCoordValue checks it.
CoordText CoordOfValue(double value, std::size_t width) {
    if (!std::isfinite(value))
        throw ConversionError(std::to_string(value));
    const CoordText coord(value);
    if (coord.View().size() > width)
        throw ConversionError(std::string(coord.View()));
    return coord;
}

// The coordinate of a numeric text, checked as FormatCoordText checks it.
CoordText CoordOfText(const std::string& text, std::size_t width) {
    const CoordText coord(ParseStrictNumber(text));
    if (coord.View().size() > width)
        throw ConversionError(text);
    return coord;
}

// A record line from its name, code and coordinate texts, made as one string: this runs
// for every record of every gather, save and send, and for every computed point.
std::string RecordLineOf(const std::string& pt, const std::string& code, const CoordText& n,
                         const CoordText& e, const CoordText& z) {
    char line[kRecordLineLength];
    std::fill(std::begin(line), std::end(line), ' ');
    PutName(line, 0, pt, 8);
    PutName(line, 9, code, 8);
    PutText(line, 18, n.View());
    PutText(line, 31, e.View());
    PutText(line, 44, z.View());
    return std::string(line, kRecordLineLength);
}

} // namespace

std::string FormatCoordText(const std::string& text, std::size_t width) {
    return std::string(CoordOfText(text, width).View());
}

std::string FormatCoordValue(double value, std::size_t width) {
    return std::string(CoordOfValue(value, width).View());
}

std::string MakeRecordLine(const std::string& pt, const std::string& code, const std::string& n,
                           const std::string& e, const std::string& z) {
    const CoordText north = CoordOfText(n, 12);
    const CoordText east = CoordOfText(e, 12);
    const CoordText elevation = CoordOfText(z, 12);
    return RecordLineOf(pt, code, north, east, elevation);
}

std::string MakeRecordLineFromValues(const std::string& pt, const std::string& code, double n,
                                     double e, double z) {
    const CoordText north = CoordOfValue(n, 12);
    const CoordText east = CoordOfValue(e, 12);
    const CoordText elevation = CoordOfValue(z, 12);
    return RecordLineOf(pt, code, north, east, elevation);
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
