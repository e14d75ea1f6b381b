// The job: the document that the main window shows, that a transfer fills and that
// stadix-cli builds. Plain data with the few rules that read its content.
#pragma once

#include "app/DataKinds.h"
#include "rawconv/RawRecords.h"

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
    Text
};

struct Job {
    std::vector<std::string> lines;
    JobContent content = JobContent::RecordLines;
    // The raw record store: 42-byte records back to back.
    std::string rawRecords;
    // Set once raw records were received or read, until a receive starts again.
    bool rawLoaded = false;

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
};

// The content that the coordinate and raw-record flags of a transfer stand for.
JobContent ContentOf(bool coordinates, bool rawLoaded);

// Turns received coordinate text into record lines (the GTS stream or the SSS comma
// lines, by the job's data format). Throws ConversionError; the record lines made
// before the failing one stay.
void ConvertReceivedCoordinates(Job& job);

// The record lines as the table leaves them for Save: complete records only, normalised.
// Throws ConversionError.
std::vector<std::string> GatheredRecords(const std::vector<std::string>& lines);

} // namespace stadix
