// The job: the document that the main window shows, that a transfer fills and that
// stadix-cli builds. Plain data with the few rules that read its content.
#pragma once

#include "job/DataKinds.h"

#include <optional>
#include <string>
#include <vector>

namespace stadix {

// What the lines of the record text list are.
enum class JobContent {
    // Record lines of point records: the coordinate view.
    RecordLines,
    // Coordinates as received text, still to be turned into record lines.
    ReceivedCoordinates,
    // The readable listing of the raw record store, with any display lines received
    // beside it: the measurement view.
    Listing,
    // Text as received or read (measurement data, display lines): the measurement view.
    Text,
    // The readable listing of another maker's raw file (makersText): the measurement
    // view. The listing is not the file: Save writes nothing.
    MakersListing
};

struct Job {
    std::vector<std::string> lines;
    JobContent content = JobContent::RecordLines;
    // The raw record store: 42-byte records back to back, bytes as read or received.
    std::string rawRecords;
    // Set once raw records were received or read, until a receive starts again.
    bool rawLoaded = false;
    // Another maker's raw file as read, and the word of its format ("gsi", "sdr", "rw5"),
    // while the job is its listing.
    std::string makersWord;
    std::string makersText;

    std::string filePath;
    std::string docName = "Job1";
    bool untitled = true;
    bool modified = false;
    int jobCounter = 1;

    // The format the data came in, and the unit of its coordinates.
    DataFormat dataFormat = DataFormat::Kvr;
    CoordUnit coordUnit = CoordUnit::Metre;
    // How raw records are read and shown; INST and UNIT records change it as they are
    // rendered, and it holds for the rest of the job.
    DecodeState decodeState;
    CardByteOrder cardByteOrder = CardByteOrder::BigEndian;

    bool InCoordinateView() const {
        return content == JobContent::RecordLines || content == JobContent::ReceivedCoordinates;
    }
    // The measurement view shows the listing of the raw record store.
    bool ListsRawRecords() const { return content == JobContent::Listing; }
};

// Starts the next default job ("Job" and the advanced counter): untitled, unchanged,
// coordinate content, the record text list emptied. The raw record store stays.
void StartNewJob(Job& job);

// Attaches the job to the file it was opened from or saved to: path, name, not untitled.
void AttachToFile(Job& job, const std::string& path);

// The job keeps its content but no file holds it: it takes the next default name
// ("Job" and the advanced counter) and is untitled, so that Save asks for a file.
void DetachFromFile(Job& job);

// Opens a coordinate job file (its first kMaxJobLines lines) and returns how many lines
// the file holds. A file cut on opening leaves the job untitled: saved over the file,
// it would lose the lines left out. Throws FileError; the job is then as it was.
std::size_t OpenJobFile(Job& job, const std::string& path);

// How a file given without the Open dialog (a recent file, a dropped file, a file the
// desktop hands over) is opened, by its extension in upper or lower case as Open decides.
enum class DocumentKind { JobFile, MeasurementFile, GtsText, Text, MakersRawData };

// The kind of a file that Open can show, or none: ".JCD", ".TSM", ".GTS" or ".GT7",
// ".TXT", another maker's raw data ".GSI", ".SDR" or ".RW5", each in upper or lower case.
std::optional<DocumentKind> DocumentKindOf(const std::string& path);

// What Save writes to the job's file: the gathered record lines as a job file, the text
// of a measurement text file, or nothing for raw records or another maker's raw file
// (only Save As writes those, or their listing).
std::optional<std::string> SaveFileBytes(const Job& job);

// Whether Save As of a measurement writes the raw records: they are held and the first
// file type was chosen.
bool SavesRawRecords(const Job& job, bool firstTypeChosen);

// Whether Save As of a measurement with that type writes the kind of file the job was
// read from, and so may replace it: never the listing of another maker's raw file.
bool SavesOwnFileKind(const Job& job, bool firstTypeChosen);

// What Save As of a measurement writes: the raw records when SavesRawRecords, else the
// text.
std::string MeasurementFileBytes(const Job& job, bool firstTypeChosen);

// A file's bytes and what kind of file they make.
struct SavedFile {
    DocumentKind kind;
    std::string bytes;
};

// The file a received job is kept in when no file type is asked for: in the coordinate
// view its record lines as a job file, as Save writes them once they are gathered; else
// what Save As of a measurement writes with the first file type: its raw records as a
// measurement file, or its lines as a text file.
SavedFile ReceivedJobFile(const Job& job);

// The content that the coordinate and raw-record flags of a transfer stand for.
JobContent ContentOf(bool coordinates, bool rawLoaded);

// Whether a reception added anything to the job as it was before: lines of records or
// text, or raw records. A reception empties the raw record store as it starts; that alone
// is no arrival.
bool ReceivedAnything(const Job& before, const Job& after);

// Turns received coordinate text into record lines (the GTS stream or the SSS comma
// lines, by the job's data format). Throws ConversionError; the record lines made
// before the failing one stay.
void ConvertReceivedCoordinates(Job& job);

// The record lines as the table leaves them for Save: complete records only, normalised.
// Throws ConversionError.
std::vector<std::string> GatheredRecords(const std::vector<std::string>& lines);

} // namespace stadix
