// Coordinate import: the line parsers of the PTS, CSV and SIMA files that other survey
// software writes, each turning one text line into a record line, and the conversion of
// a whole file's lines.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace stadix {

enum class ImportFormat { Pts, Csv, Sima };

// What a failed import tells the user, in the window and on stadix-cli's standard error.
inline constexpr char kImportingError[] = "Importing Error\xEF\xBC\x81";

// The most lines of a PTS or CSV file that the window's table takes.
constexpr std::size_t kMaxImportLines = 15999;

// What one line of an import file gives.
enum class LineOutcome {
    Record,  // a record line
    Dropped, // a line that holds no record (SIMA header and other lines)
    End      // the end of the data: this line and every later one are ignored
};

// PT,E,N,Z,CODE with their field limits; spaces inside a field are removed and a
// coordinate out of range becomes 0. Throws ConversionError.
std::string PtsLineToRecordLine(const std::string& line);
// PT,N,E,Z,CODE items (quotes allowed; a blank outside quotes separates items); empty
// coordinates are 0.000. Throws ConversionError.
std::string CsvLineToRecordLine(const std::string& line);
// A01,serial,PT,N,E,Z gives a record ("BLANK" for an empty name), A99 ends the data,
// any other line is dropped. Throws ConversionError.
LineOutcome SimaLineToRecordLine(const std::string& line, std::string& recordLine);

LineOutcome ParseImportLine(ImportFormat format, const std::string& line, std::string& recordLine);

// A line that does not convert; lineNumber counts from 1.
class ImportError : public std::runtime_error {
  public:
    ImportError(std::size_t lineNumber, const std::string& why)
        : std::runtime_error("Line " + std::to_string(lineNumber) + ": " + why),
          lineNumber_(lineNumber) {}
    std::size_t LineNumber() const { return lineNumber_; }

  private:
    std::size_t lineNumber_;
};

struct ImportedRecords {
    std::vector<std::string> lines;
    // Lines of a PTS or CSV file beyond kMaxImportLines, left out.
    std::size_t linesLeftOut = 0;
};

// What to tell the user about an import that left out the tail of a long file.
std::string ImportCutMessage(const ImportedRecords& imported);

// ParseImportLine of the file's line lineNumber (from 1). Throws ImportError.
LineOutcome ParseNumberedImportLine(ImportFormat format, const std::string& line,
                                    std::size_t lineNumber, std::string& recordLine);

// Converts the lines of an import file: PTS and CSV files up to kMaxImportLines (the
// rest left out), SIMA files up to their end marker. Throws ImportError; nothing is
// returned half converted.
ImportedRecords ConvertImportLines(std::vector<std::string> lines, ImportFormat format);

// The same for the file, read a line at a time: only the lines that are converted are
// held, and those of a PTS or CSV file beyond kMaxImportLines are counted. Throws
// FileError and ImportError.
ImportedRecords ImportCoordinateFile(const std::string& path, ImportFormat format);

} // namespace stadix
