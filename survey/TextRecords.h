// What the readers of other makers' text files share: the lines of a file one at a
// time, and the numbers, angles and units of their records.
#pragma once

#include "base/FileIO.h"
#include "survey/Measurements.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace stadix {

// The UTF-8 byte order mark some Windows editors put before a text's first line.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Calls take(line, number) for each line of the text, lines ending in LF, CR LF or CR
// and numbered from 1; a last line without a line end counts. A byte order mark before
// the first line is no part of it.
template <typename Take> void ForEachLine(std::string_view text, Take&& take) {
    std::size_t number = 0;
    std::size_t at =
        text.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0 ? kByteOrderMark.size() : 0;
    // The next line end of each kind, searched once and kept until it is passed: a text
    // with one kind only is not searched to its end for the other at every line.
    std::size_t newline = text.find('\n');
    std::size_t carriageReturn = text.find('\r');
    while (at < text.size()) {
        if (newline < at)
            newline = text.find('\n', at);
        if (carriageReturn < at)
            carriageReturn = text.find('\r', at);
        const std::size_t end = std::min(newline, carriageReturn);
        take(text.substr(at, end == std::string_view::npos ? end : end - at), ++number);
        if (end == std::string_view::npos)
            break;
        at = text.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
    }
}

// Calls take(line, number) for each line of the file, split and numbered as ForEachLine
// does, reading it a piece at a time. Throws FileError.
template <typename Take> void ForEachFileLine(const std::string& path, Take&& take) {
    FileLineReader reader(path);
    std::string_view line;
    for (std::size_t number = 1; reader.Next(line); ++number) {
        if (number == 1 && line.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0)
            line.remove_prefix(kByteOrderMark.size());
        take(line, number);
    }
}

// Takes what a reader has read as its setups finish: the setups before `finished`, with
// every observation, given point and unread item read so far.
using FinishedSetups = std::function<void(const Measurements& read, std::size_t finished)>;

// Adds the setup that starts. With a taker, every earlier setup is finished: they and all
// else read so far are handed over and dropped, and the new setup is kept alone, so that
// a reader holds one setup at a time.
void StartSetup(Measurements& measurements, Setup setup, const FinishedSetups& take);

// The last setup of the measurements when it is on the station (a blank station: on any);
// kNoSetup when there is none or it is on another station.
std::size_t LastSetupOn(const Measurements& measurements, const std::string& station);

// A finite decimal number (blanks around it allowed), or none.
std::optional<double> ParseFiniteNumber(std::string_view text);

// An angle text in the unit as ParseAngleText reads it, blanks around it and a minus sign
// allowed; decimals beyond the finest an Angle holds are cut. None for any other text.
std::optional<Angle> ParseSignedAngle(std::string_view text, AngleUnit unit);

// The angle as a listing shows it: 12°34'56.7" or 123.45670 gon, 12.34560° or 1234.5670
// mil, with the decimals it was read with.
std::string AngleText(const Angle& angle);

// Whole steps of 10^-decimals as a decimal text: -1234.5670 for -12345670 and 4.
std::string DecimalText(std::int64_t steps, std::uint8_t decimals);

// " m", " ft" or " US ft".
const char* UnitSuffix(CoordUnit unit);

// The text quoted for a message.
std::string Quoted(std::string_view text);

} // namespace stadix
