#include "formats/CoordinateImport.h"

#include "base/Errors.h"
#include "base/FileIO.h"
#include "base/TextFormat.h"
#include "job/RecordLine.h"

#include <array>

namespace stadix {

namespace {

enum PtsField { PtsPt, PtsE, PtsN, PtsZ, PtsCode, kPtsFields };
constexpr std::array<std::size_t, kPtsFields> kPtsLimits = {8, 12, 12, 12, 8};

bool IsPtsCoordinate(int field) {
    return field == PtsE || field == PtsN || field == PtsZ;
}

// A coordinate that could not be a survey coordinate reads as 0.
std::string RangeChecked(int field, std::string text) {
    if (!IsPtsCoordinate(field))
        return text;
    const double value = ParseLenientNumber(text);
    return value >= 100000000.0 || value <= -10000000.0 ? std::string("0") : text;
}

// The field's characters up to the comma, spaces left out, cut at the field's limit.
std::string CopyPtsField(const std::string& line, std::size_t begin, std::size_t comma,
                         std::size_t limit) {
    std::string field;
    for (std::size_t i = begin; i < comma && field.size() < limit; ++i) {
        if (line[i] != ' ')
            field += line[i];
    }
    return field;
}

std::string Item(const std::vector<std::string>& items, std::size_t index) {
    return index < items.size() ? Trim(items[index]) : std::string();
}

std::string CoordinateItem(const std::vector<std::string>& items, std::size_t index) {
    const std::string item = Item(items, index);
    return item.empty() ? std::string("0.000") : item;
}

} // namespace

std::string PtsLineToRecordLine(const std::string& line) {
    std::array<std::string, kPtsFields> fields = {"", "0", "0", "0", ""};
    int taken = 0;
    std::size_t begin = 0;
    for (std::size_t comma = line.find(',', begin);
         comma != std::string::npos && taken < kPtsFields; comma = line.find(',', begin)) {
        fields[std::size_t(taken)] =
            RangeChecked(taken, CopyPtsField(line, begin, comma, kPtsLimits[std::size_t(taken)]));
        ++taken;
        begin = comma + 1;
    }
    if (taken < kPtsFields) {
        const std::string rest = line.substr(begin);
        if (rest.size() <= kPtsLimits[std::size_t(taken)])
            fields[std::size_t(taken)] = RangeChecked(taken, rest);
    }
    return MakeRecordLine(Trim(fields[PtsPt]), Trim(fields[PtsCode]), Trim(fields[PtsN]),
                          Trim(fields[PtsE]), Trim(fields[PtsZ]));
}

std::string CsvLineToRecordLine(const std::string& line) {
    const std::vector<std::string> items = SplitCommaText(line);
    return MakeRecordLine(Item(items, 0), Item(items, 4), CoordinateItem(items, 1),
                          CoordinateItem(items, 2), CoordinateItem(items, 3));
}

LineOutcome SimaLineToRecordLine(const std::string& line, std::string& recordLine) {
    const std::vector<std::string> items = SplitCommaText(line);
    const std::string kind = Item(items, 0);
    if (kind == "A99")
        return LineOutcome::End;
    if (kind != "A01")
        return LineOutcome::Dropped;
    const std::string name = Item(items, 2);
    recordLine =
        MakeRecordLine(name.empty() ? std::string("BLANK") : name, "", CoordinateItem(items, 3),
                       CoordinateItem(items, 4), CoordinateItem(items, 5));
    return LineOutcome::Record;
}

LineOutcome ParseImportLine(ImportFormat format, const std::string& line, std::string& recordLine) {
    switch (format) {
    case ImportFormat::Pts:
        recordLine = PtsLineToRecordLine(line);
        return LineOutcome::Record;
    case ImportFormat::Csv:
        recordLine = CsvLineToRecordLine(line);
        return LineOutcome::Record;
    case ImportFormat::Sima:
        return SimaLineToRecordLine(line, recordLine);
    }
    return LineOutcome::Dropped;
}

std::string ImportCutMessage(const ImportedRecords& imported) {
    const std::string kept = std::to_string(kMaxImportLines);
    return "The file holds " + std::to_string(imported.lines.size() + imported.linesLeftOut) +
           " lines; only the first " + kept + " were imported.\nstadix-cli convert converts " +
           "files of any length.";
}

LineOutcome ParseNumberedImportLine(ImportFormat format, const std::string& line,
                                    std::size_t lineNumber, std::string& recordLine) {
    try {
        return ParseImportLine(format, line, recordLine);
    } catch (const ConversionError& failure) {
        throw ImportError(lineNumber, failure.what());
    }
}

namespace {

// Converts the lines that next gives (false at their end) into records, up to the end
// marker of a SIMA file.
template <typename NextLine>
void ConvertLines(NextLine next, ImportFormat format, std::vector<std::string>& records) {
    std::size_t lineNumber = 0;
    std::string line;
    std::string recordLine;
    while (next(line)) {
        const LineOutcome outcome = ParseNumberedImportLine(format, line, ++lineNumber, recordLine);
        if (outcome == LineOutcome::End)
            break;
        if (outcome == LineOutcome::Record)
            records.push_back(std::move(recordLine));
    }
}

} // namespace

ImportedRecords ConvertImportLines(std::vector<std::string> lines, ImportFormat format) {
    ImportedRecords imported;
    if (format != ImportFormat::Sima && lines.size() > kMaxImportLines) {
        imported.linesLeftOut = lines.size() - kMaxImportLines;
        lines.resize(kMaxImportLines);
    }
    imported.lines.reserve(lines.size());
    std::size_t taken = 0;
    ConvertLines(
        [&](std::string& line) {
            if (taken == lines.size())
                return false;
            line = std::move(lines[taken++]);
            return true;
        },
        format, imported.lines);
    return imported;
}

ImportedRecords ImportCoordinateFile(const std::string& path, ImportFormat format) {
    if (format != ImportFormat::Sima) {
        FileHead head = ReadFirstLines(path, kMaxImportLines);
        const std::size_t leftOut = head.fileLines - head.lines.size();
        ImportedRecords imported = ConvertImportLines(std::move(head.lines), format);
        imported.linesLeftOut = leftOut;
        return imported;
    }
    // The whole file is used: its records are kept, its lines are not.
    FileLineReader reader(path);
    ImportedRecords imported;
    ConvertLines([&reader](std::string& line) { return reader.Next(line); }, format,
                 imported.lines);
    return imported;
}

} // namespace stadix
