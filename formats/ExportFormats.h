// The choices of the Export command, one table for the window's save dialogs and for
// stadix-cli: in the coordinate view the coordinate formats, in the measurement view
// the measurement texts. Each choice makes the whole file, for the caller to write
// with WriteFileAtomically.
#pragma once

#include "formats/CoordinateImport.h"
#include "formats/UserFormat.h"
#include "rawconv/RawRecords.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace stadix {

// The first line of the message of an export that could not be written.
inline constexpr char kCannotExportError[] = "Cannot export data to this file";

// One entry of a save dialog's file types.
struct DialogEntry {
    std::string description; // e.g. "Topcon GTS-700/600/800 Coords(*.pts)"
    std::string pattern;     // e.g. "*.pts"
};

struct CoordinateFormat {
    std::string_view word;        // stadix-cli's name, e.g. "pts"
    std::string_view description; // dialog entry; the user layout's comes from the layout
    std::string_view extension;   // without dot; the user layout's comes from the layout
    bool userLayout;              // the entry of the user-defined layout
    std::string_view header;
    // Appends the text of one record, given its serial number (from 1) and the layout.
    void (*appendRecord)(std::string& out, std::size_t serial, const std::string& recordLine,
                         const UserFormat& layout);
    std::string_view trailer;
    // How Import reads the format; none for a format that is only written.
    std::optional<ImportFormat> importFormat;
};

// The entries of the coordinate export dialog, in its order: PTS, CSV, DXF, SIMA and
// the user-defined layout. Those with an import format are the entries of the import
// dialog, in the same order.
extern const std::array<CoordinateFormat, 5> kCoordinateFormats;

// The format of that stadix-cli name; nullptr when there is none.
const CoordinateFormat* FindCoordinateFormat(std::string_view word);

// The dialog entry of a format: the user layout's is its name followed by "(User's)" and
// "*." and its extension, or "*.*" when it has none.
DialogEntry CoordinateDialogEntry(const CoordinateFormat& format, const UserFormat& layout);

// The default extension of the coordinate export dialog: "pts", or none when the user
// layout has no extension.
std::string CoordinateDialogDefaultExtension(const UserFormat& layout);

// The formats that Import reads, in the order of its dialog.
std::vector<const CoordinateFormat*> ImportableFormats();

// The file of the gathered record lines: the header, each record's text followed by
// CR LF, the trailer.
std::string CoordinateExportBytes(const CoordinateFormat& format,
                                  const std::vector<std::string>& recordLines,
                                  const UserFormat& layout);

struct MeasurementFormat {
    std::string_view word; // stadix-cli's name: "sss" or "polar"
    std::string_view description;
    std::string_view extension;
    // The file of the raw record store in the decoding state, every line followed by
    // CR LF; the SSS text changes the state as it meets INST and UNIT records.
    std::string (*fileBytes)(DecodeState& state, std::string_view store);
};

// The entries of the measurement export dialog, in its order: the SSS text and the polar
// text. The dialog's default extension is kMeasurementDialogDefaultExtension.
extern const std::array<MeasurementFormat, 2> kMeasurementFormats;
constexpr std::string_view kMeasurementDialogDefaultExtension = "dat";

// The format of that stadix-cli name; nullptr when there is none.
const MeasurementFormat* FindMeasurementFormat(std::string_view word);

DialogEntry MeasurementDialogEntry(const MeasurementFormat& format);

} // namespace stadix
