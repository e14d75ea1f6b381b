// Small text helpers on which the record lines and the formats are built.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace stadix {

// Whether c is an ASCII digit, whatever the locale.
constexpr bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The text itself if it fits width; else its first width-2 characters, "-" and its
// last character.
std::string FitName(const std::string& text, std::size_t width);

// Rounds to millimetres, half away from zero (with a tiny bias against binary
// representation error).
double RoundMm(double value);

// Parses a decimal number strictly: blanks around it are allowed, nothing else.
// Throws ConversionError.
double ParseStrictNumber(std::string_view text);

// Reads the longest leading part of the text that forms a number; 0 when none.
double ParseLenientNumber(const std::string& text);

// value formatted with exactly `decimals` decimals, rounded half away from zero,
// "." as decimal point, no thousands separators.
std::string FormatFixed(double value, int decimals);
// The longest text FormatFixed makes, with a few decimals.
constexpr std::size_t kMaxFixedText = 408;
// FormatFixed's text written from out, which holds kMaxFixedText characters; returns
// its end. For texts made by the hundred thousand, without a string each.
char* FormatFixedInto(char* out, double value, int decimals);

// The texts one after the other, built with a single allocation.
template <typename... Texts> std::string Concat(const Texts&... texts) {
    std::string text;
    text.reserve((std::string_view(texts).size() + ...));
    (text.append(texts), ...);
    return text;
}

// Blanks (and other control characters) removed from both ends.
std::string Trim(const std::string& text);
std::string_view TrimView(std::string_view text);

// Splits comma text as a string list does: commas and blanks separate fields, a
// field may be enclosed in double quotes ("" inside stands for one quote).
std::vector<std::string> SplitCommaText(const std::string& text);

} // namespace stadix
