// Import from the card: what is taken from a record file, a job of a job store or a
// card text file, and how it is converted into the job.
#pragma once

#include "job/Job.h"
#include "sdcard/JobStore.h"
#include "sdcard/RecordFile.h"

#include <cstdint>
#include <functional>
#include <string>

namespace stadix {

// The card's files, told apart by the extension in upper or lower case.
enum class CardFileKind { RecordFile, JobStore, SssText, PtsText, GtsText, XyzText, Other };

CardFileKind CardFileKindOf(const std::string& path);

// Whether a card file of that kind holds raw records (a record file, a job store) rather
// than text.
bool HoldsRawRecords(CardFileKind kind);

// The data types of the import options.
enum class ImportDataType {
    MeasuredCoordinates = 0, // CRD, STN and BS records as record lines
    RawData = 1,             // every record but PT records as the readable listing
    KnownPoints = 2          // PT records as record lines
};

struct ImportChoices {
    ImportDataType dataType = ImportDataType::MeasuredCoordinates;
    int distanceUnit = 0; // 0 metres, 1 international feet, 2 US survey feet
    int angleUnit = 0;    // 0 degrees-minutes-seconds, 1 gon, 2 mil
};

// The units of the import options, set in the decoding state whatever the data type.
void ApplyImportUnits(DecodeState& state, const ImportChoices& choices);

// Whether the data type takes a record of that type.
bool ImportTakes(ImportDataType type, std::uint8_t recordType);

// Reads every record of the open record file from its first and puts what the data
// type takes into the job: record lines in the coordinate view (the job marked
// changed), or the listing as measurement text. Throws CardError when a record cannot
// be read and ConversionError when a coordinate does not fit a record line; the job is
// then as it was.
void ImportRecordFile(RecordFile& file, ImportDataType type, Job& job);

// The same for every record of a job of an open, recognised and loaded job store, read
// in the store's byte order.
void ImportJobRecords(JobStore& store, int jobNumber, ImportDataType type, Job& job);

// Whether a card text file of that kind gives record lines (PTS, XYZ) rather than text.
bool CardTextHoldsRecords(CardFileKind kind);

// Hands the lines that a card text file loads into the job to take, in order: the
// record lines of a PTS file (no line limit), converted as each line is read so that the
// file is never held; the record lines of a GTS coordinate stream (".XYZ"); the lines of
// SSS or GTS text, as they are read. Throws FileError, ConversionError, or CardError for
// any other kind.
void ReadCardText(CardFileKind kind, const std::string& path,
                  const std::function<void(std::string&)>& take);

// Loads a card text file into the job: SSS text (".GT7") or GTS text (".GTS") as
// measurement text, a PTS file (".PTS", no line limit) or a GTS coordinate stream
// (".XYZ") as record lines. Throws FileError, ConversionError, or CardError for any
// other kind; the job is then as it was.
void ImportCardText(CardFileKind kind, const std::string& path, Job& job);

} // namespace stadix
