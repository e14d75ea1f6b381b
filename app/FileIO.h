// Whole-file reads and all-or-nothing writes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace stadix {

// The file's bytes; throws FileError when it cannot be read.
std::string ReadFileBytes(const std::string& path);

// The lines of a text: split at LF, CR LF or CR; a last line without a line end counts.
std::vector<std::string> SplitLines(std::string_view bytes);

// The file's lines, split as SplitLines does. Throws FileError.
std::vector<std::string> ReadFileLines(const std::string& path);

// Writes the file whole or not at all: a temporary file beside the target, flushed,
// then renamed over it. Throws FileError; the previous file is then left intact.
void WriteFileAtomically(const std::string& path, const std::string& bytes);

// Whether the file name ends in the extension (e.g. ".JCD") in its upper-case or its
// lower-case form, compared case-sensitively: "site.Jcd" is neither.
bool HasExtension(const std::string& path, const std::string& upperExtension);

// Every line followed by CR LF.
std::string JoinLinesCrLf(const std::vector<std::string>& lines);

} // namespace stadix
