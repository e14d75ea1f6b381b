// Another maker's raw file as a document: opened read-only as its listing, the
// measurements and stored points read from it, and what its refusal says.
#pragma once

#include "job/Job.h"
#include "survey/MakersFormats.h"
#include "survey/StoredPoints.h"

#include <string>

namespace stadix {

// The format of the file's extension (".GSI", ".SDR", ".RW5" in upper or lower case);
// nullptr for any other.
const MakersFormat* MakersFormatOfFile(const std::string& path);

// "FILE is not a Leica GSI file: Line 3: why", for a file its reader refused.
std::string NotOfKindMessage(const MakersFormat& format, const std::string& file,
                             const FormatError& failure);

// Opens the file of a format as its listing in the measurement view; the job keeps the
// file's text to compute from. Throws FileError, and FormatError for a file that is not
// of its kind; the job is then as it was.
void OpenMakersFile(Job& job, const std::string& path, const MakersFormat& format);

// The measurements of the maker's file the job lists.
Measurements MakersFileMeasurements(const Job& job);

// The points the file stores, as record lines. Throws FileError, FormatError and
// ConversionError.
StoredPointLines ReadStoredPoints(const std::string& path, const MakersFormat& format);

// The points the maker's file the job lists stores, from the text it shows. Throws
// ConversionError.
StoredPointLines ListedFileStoredPoints(const Job& job);

// One message naming every name that was cut, and to what.
std::string CutNamesMessage(const std::vector<CutName>& cuts);

} // namespace stadix
