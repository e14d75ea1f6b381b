// Conversion of coordinate files of any size: each line read with an import parser and
// written at once with a writer of Export or Save As, so that memory stays flat.
#pragma once

#include "formats/CoordinateImport.h"
#include "formats/UserFormat.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace stadix {

// What a converted file is made of: a header, one text per record, a trailer.
struct RecordWriter {
    std::string_view header;
    void (*appendRecord)(std::string& out, std::size_t serial, const std::string& recordLine,
                         const UserFormat& layout);
    std::string_view trailer;
};

// The writer of that name: "jcd" (the job file), "txt" (its text copy) or a coordinate
// export format; none when there is no such name.
std::optional<RecordWriter> FindRecordWriter(std::string_view word);

// Reads inputPath line by line with the parser of from and hands the output to write in
// pieces of about a megabyte: the header, each record's text and CR LF, the trailer. Records
// without a point name are left out, as Export leaves out incomplete rows, and serial
// numbers count the records written. Returns how many were written. Throws FileError
// for an unreadable input and ImportError for a line that does not convert.
std::size_t ConvertCoordinateFile(const std::string& inputPath, ImportFormat from,
                                  const RecordWriter& to, const UserFormat& layout,
                                  const std::function<void(std::string_view)>& write);

} // namespace stadix
