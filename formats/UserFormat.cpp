#include "formats/UserFormat.h"

#include "base/IniFile.h"
#include "base/TextFormat.h"
#include "job/RecordLine.h"

namespace stadix {

namespace {

const std::string kSectionLine = "[UserDefFormat1]";
const std::string kNameKey = "DefName=";
const std::string kExtensionKey = "DefFileExt=";
const std::string kOrderKey = "DefOrderWord=";
constexpr std::size_t kExtensionLimit = 3;

// The text after the key's length on a line that contains the key, trimmed; nothing
// when the line lacks the key.
std::optional<std::string> ValueAfterKey(const std::string& line, const std::string& key) {
    if (line.find(key) == std::string::npos)
        return std::nullopt;
    return Trim(line.substr(key.size()));
}

// Six digits: the five columns (0 to 4) and the numbering (0 or 1).
bool ParseOrderWord(const std::string& word, UserFormat& format) {
    if (word.size() != 6)
        return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char largest = i < 5 ? '4' : '1';
        if (word[i] < '0' || word[i] > largest)
            return false;
    }
    for (std::size_t i = 0; i < 5; ++i)
        format.columns[i] = static_cast<TableColumn>(word[i] - '0');
    format.numbered = word[5] == '1';
    return true;
}

std::string OrderWord(const UserFormat& format) {
    std::string word;
    for (const TableColumn column : format.columns)
        word += static_cast<char>('0' + column);
    word += format.numbered ? '1' : '0';
    return word;
}

} // namespace

UserFormat DefaultUserFormat() {
    UserFormat format;
    format.name = "Format defined by user";
    format.extension = "dat";
    return format;
}

std::optional<UserFormat> ParseUserFormat(const std::vector<std::string>& settingsLines) {
    const auto section = LinesAfterSection(settingsLines, kSectionLine, 3);
    if (!section)
        return std::nullopt;
    const auto name = ValueAfterKey((*section)[0], kNameKey);
    const auto extension = ValueAfterKey((*section)[1], kExtensionKey);
    const auto order = ValueAfterKey((*section)[2], kOrderKey);
    UserFormat format;
    if (!name || name->empty() || !extension || !order || !ParseOrderWord(*order, format))
        return std::nullopt;
    format.name = *name;
    format.extension = extension->substr(0, kExtensionLimit);
    return format;
}

std::optional<UserFormat> ReadUserFormat(const std::string& settingsPath) {
    return ParseUserFormat(ReadSettingsLines(settingsPath));
}

void WriteUserFormat(const std::string& settingsPath, const UserFormat& format) {
    WriteSectionAtEnd(settingsPath, kSectionLine,
                      {{kNameKey, format.name},
                       {kExtensionKey, format.extension},
                       {kOrderKey, OrderWord(format)}});
}

std::string UserDefinedLine(std::size_t serial, const std::string& recordLine,
                            const UserFormat& format) {
    const std::array<std::string, RecordTable::kColumns> fields = {
        RecordLinePt(recordLine), RecordLineN(recordLine), RecordLineE(recordLine),
        RecordLineZ(recordLine), RecordLineCode(recordLine)};
    const auto field = [&](std::size_t column) -> const std::string& {
        return fields[static_cast<std::size_t>(format.columns[column])];
    };
    return Concat(format.numbered ? Concat(std::to_string(serial), ",") : std::string(), field(0),
                  ",", field(1), ",", field(2), ",", field(3),
                  field(4).empty() ? std::string() : Concat(",", field(4)));
}

} // namespace stadix
