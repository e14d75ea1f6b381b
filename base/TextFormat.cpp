#include "base/TextFormat.h"

#include "base/Errors.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace stadix {

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ' && c != '\0';
}

// Moves i past a run of digits; returns how many there were.
std::size_t SkipDigits(std::string_view text, std::size_t& i) {
    const std::size_t start = i;
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    return i - start;
}

bool IsSignAt(std::string_view text, std::size_t i) {
    return i < text.size() && (text[i] == '+' || text[i] == '-');
}

// Length of the longest prefix of text that reads as a decimal number
// ([+-]digits[.digits][(e|E)[+-]digits]); 0 when none.
std::size_t NumberPrefixLength(std::string_view text) {
    std::size_t i = IsSignAt(text, 0) ? 1 : 0;
    std::size_t digits = SkipDigits(text, i);
    if (i < text.size() && text[i] == '.') {
        ++i;
        digits += SkipDigits(text, i);
    }
    if (digits == 0)
        return 0;
    const std::size_t mantissaEnd = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = IsSignAt(text, i + 1) ? i + 2 : i + 1;
        if (SkipDigits(text, j) > 0)
            return j;
    }
    return mantissaEnd;
}

// Converts a text already checked by NumberPrefixLength, independent of the locale.
// A plain decimal ([-]digits[.digits], at most 15 digits) converted exactly as
// from_chars converts it, much faster: the digits and the power of ten are both exact
// doubles, so their quotient is the correctly rounded value. False for any other text.
bool ConvertPlainDecimal(std::string_view number, double& value) {
    static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::size_t i = !number.empty() && number[0] == '-' ? 1 : 0;
    std::int64_t digits = 0;
    int digitCount = 0;
    int decimals = -1;
    for (; i < number.size(); ++i) {
        const char c = number[i];
        if (c == '.' && decimals < 0) {
            decimals = 0;
            continue;
        }
        if (!IsDigit(c) || ++digitCount > 15)
            return false;
        digits = digits * 10 + (c - '0');
        if (decimals >= 0)
            ++decimals;
    }
    if (digitCount == 0)
        return false;
    value = double(digits) / kPowersOfTen[decimals < 0 ? 0 : decimals];
    if (number[0] == '-')
        value = -value;
    return true;
}

double ConvertNumber(std::string_view number) {
    double value = 0;
    if (ConvertPlainDecimal(number, value))
        return value;
    const char* first = number.data();
    const char* last = number.data() + number.size();
    if (*first == '+')
        ++first;
    auto result = std::from_chars(first, last, value);
    if (result.ec != std::errc() || result.ptr != last || !std::isfinite(value))
        throw ConversionError(std::string(number));
    return value;
}

} // namespace

std::string FitName(const std::string& text, std::size_t width) {
    if (text.size() <= width)
        return text;
    if (width < 2)
        return text.substr(0, width);
    return text.substr(0, width - 2) + "-" + text.back();
}

double RoundMm(double value) {
    const double scaled =
        value > 0 ? std::trunc(value * 1000 + 0.500000001) : std::trunc(value * 1000 - 0.500000001);
    return scaled * 0.001;
}

std::string_view TrimView(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ')
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ')
        --end;
    return text.substr(begin, end - begin);
}

std::string Trim(const std::string& text) {
    return std::string(TrimView(text));
}

double ParseStrictNumber(std::string_view text) {
    const std::string_view trimmed = TrimView(text);
    if (trimmed.empty() || NumberPrefixLength(trimmed) != trimmed.size())
        throw ConversionError(std::string(text));
    return ConvertNumber(trimmed);
}

double ParseLenientNumber(const std::string& text) {
    const std::string_view trimmed = TrimView(text);
    const std::size_t length = NumberPrefixLength(trimmed);
    if (length == 0)
        return 0;
    try {
        return ConvertNumber(trimmed.substr(0, length));
    } catch (const ConversionError&) {
        return 0;
    }
}

char* FormatFixedInto(char* out, double value, int decimals) {
    double scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    const double scaled = std::round(std::fabs(value) * scale);
    if (value < 0 && scaled != 0)
        *out++ = '-';
    // Whole numbers that fit 64 bits are written digit by digit from the end, the decimal
    // point in its place: coordinates are formatted by the million.
    if (scaled < 1e18) {
        char text[kMaxFixedText];
        char* const end = text + sizeof text;
        char* first = end;
        auto digits = static_cast<std::uint64_t>(scaled);
        for (int i = 0; i < decimals; ++i, digits /= 10)
            *--first = static_cast<char>('0' + digits % 10);
        if (decimals > 0)
            *--first = '.';
        do {
            *--first = static_cast<char>('0' + digits % 10);
            digits /= 10;
        } while (digits != 0);
        return std::copy(first, end, out);
    }
    char digits[kMaxFixedText - 8];
    const char* const end =
        std::to_chars(digits, digits + sizeof digits, scaled, std::chars_format::fixed, 0).ptr;
    const char* const first = digits;
    const auto count = static_cast<std::size_t>(end - first);
    const auto decimalCount = static_cast<std::size_t>(decimals);
    if (count <= decimalCount) {
        *out++ = '0';
        *out++ = '.';
        out = std::fill_n(out, decimalCount - count, '0');
        return std::copy(first, end, out);
    }
    out = std::copy(first, end - decimalCount, out);
    if (decimalCount > 0) {
        *out++ = '.';
        out = std::copy(end - decimalCount, end, out);
    }
    return out;
}

std::string FormatFixed(double value, int decimals) {
    char text[kMaxFixedText];
    return std::string(text, FormatFixedInto(text, value, decimals));
}

std::vector<std::string> SplitCommaText(const std::string& text) {
    std::vector<std::string> fields;
    fields.reserve(8);
    std::size_t p = 0;
    const std::size_t n = text.size();
    auto skipBlanks = [&] {
        while (p < n && IsBlank(text[p]))
            ++p;
    };
    skipBlanks();
    while (p < n && text[p] != '\0') {
        std::string field;
        if (text[p] == '"') {
            ++p;
            while (p < n) {
                const std::size_t quote = std::min(text.find('"', p), n);
                field.append(text, p, quote - p);
                p = quote;
                if (p + 1 < n && text[p + 1] == '"') {
                    field += '"';
                    p += 2;
                    continue;
                }
                p = std::min(p + 1, n);
                break;
            }
        } else {
            const std::size_t start = p;
            while (p<n&& static_cast<unsigned char>(text[p])> ' ' && text[p] != ',')
                ++p;
            field = text.substr(start, p - start);
        }
        fields.push_back(std::move(field));
        skipBlanks();
        if (p < n && text[p] == ',') {
            if (p + 1 >= n)
                fields.emplace_back();
            do {
                ++p;
            } while (p < n && IsBlank(text[p]));
        }
    }
    return fields;
}

} // namespace stadix
