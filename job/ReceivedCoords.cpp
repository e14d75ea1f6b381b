#include "job/ReceivedCoords.h"

#include "base/TextFormat.h"
#include "job/RecordLine.h"

namespace stadix {

namespace {

const char kStx = '\x02';
const char kEtx = '\x03';

// The received lines as one text without transmission framing: every STX, and each
// block's number digit, check, ETX, CR and LF. Built in one pass, so that long streams
// are not copied once per block.
std::string UnframedText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        for (char c : line + "\r\n") {
            if (c == kStx)
                continue;
            text += c;
            const std::size_t n = text.size();
            if (n >= 3 && text[n - 3] == kEtx && text[n - 2] == '\r' && text[n - 1] == '\n')
                text.resize(n >= 7 ? n - 7 : 0);
        }
    }
    return text;
}

// A coordinate without decimal point whose last three of width digits are millimetres.
std::string GtsCoordinate(const std::string& digits, std::size_t width) {
    std::string text = digits;
    const std::size_t point = width >= 3 ? std::min(width - 3, text.size()) : 0;
    text.insert(point, ".");
    return FormatFixed(ParseStrictNumber(text), 3);
}

std::string Between(const std::string& text, std::size_t marker, std::size_t end) {
    const std::size_t start = marker + 3;
    return start >= end ? std::string() : Trim(text.substr(start, end - start));
}

void ConvertGts(std::vector<std::string>& lines) {
    const std::string text = UnframedText(lines);
    lines.clear();
    std::size_t at = text.find("_+");
    std::size_t width = 0;
    bool first = true;
    while (at != std::string::npos) {
        const std::size_t x = text.find("_ x", at);
        if (x == std::string::npos)
            return;
        std::string name = text.substr(at + 2, std::min<std::size_t>(8, text.size() - at - 2));
        // A short name cut by a line end: what follows the line end is not part of it, and
        // a line end in a record line would split the job file's line.
        name.resize(std::min(name.size(), name.find_first_of("\r\n")));
        const std::string pt = Trim(name);
        const std::size_t y = text.find("_ y", x);
        if (y == std::string::npos)
            return;
        const std::string nDigits = Between(text, x, y);
        if (first) {
            width = nDigits.size();
            first = false;
        }
        const std::string n = GtsCoordinate(nDigits, width);
        const std::size_t z = text.find("_ z", y);
        if (z == std::string::npos)
            return;
        const std::string e = GtsCoordinate(Between(text, y, z), width);
        std::size_t end = text.find("_+", z);
        if (end == std::string::npos) {
            // The last height runs to the end of the text: it needs all its digits, but
            // no character after them (a block's framing may end right there).
            if (text.size() - z < width + 3)
                return;
            end = z + width + 3;
        }
        const std::string height = GtsCoordinate(Between(text, z, end), width);
        lines.push_back(MakeRecordLine(pt, "", n, e, height));
        at = text.find("_+", end);
    }
}

void ConvertSss(std::vector<std::string>& lines) {
    std::size_t kept = 0;
    std::size_t next = 0;
    try {
        for (; next < lines.size(); ++next) {
            std::string line;
            if (CsvToRecordLine(lines[next], line))
                lines[kept++] = std::move(line);
        }
    } catch (...) {
        // The lines not yet examined stay, as they would had the failing one been reached
        // by deleting line after line.
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(kept),
                    lines.begin() + static_cast<std::ptrdiff_t>(next));
        throw;
    }
    lines.resize(kept);
}

} // namespace

void ConvertReceivedCoordinates(std::vector<std::string>& lines, DataFormat dataFormat) {
    switch (dataFormat) {
    case DataFormat::Gts:
        ConvertGts(lines);
        break;
    case DataFormat::Sss:
        ConvertSss(lines);
        break;
    case DataFormat::Kvr:
        break;
    }
}

} // namespace stadix
