#include "formats/ExportFormats.h"

#include "base/FileIO.h"
#include "base/TextFormat.h"
#include "formats/CoordinateFormats.h"
#include "job/RecordLine.h"
#include "rawconv/PolarText.h"
#include "rawconv/SssText.h"

#include <algorithm>

namespace stadix {

namespace {

void PtsText(std::string& out, std::size_t, const std::string& recordLine, const UserFormat&) {
    out += RecordLineToCsv(recordLine);
}

void CsvText(std::string& out, std::size_t, const std::string& recordLine, const UserFormat&) {
    out += CsvLine(recordLine);
}

void DxfText(std::string& out, std::size_t, const std::string& recordLine, const UserFormat&) {
    AppendDxfEntityBlock(out, recordLine);
}

void SimaText(std::string& out, std::size_t serial, const std::string& recordLine,
              const UserFormat&) {
    out += SimaRecordLine(serial, recordLine);
}

void UserText(std::string& out, std::size_t serial, const std::string& recordLine,
              const UserFormat& layout) {
    out += UserDefinedLine(serial, recordLine, layout);
}

std::string SssFile(DecodeState& state, std::string_view store) {
    std::vector<std::string> items;
    WriteSssText(state, store, items);
    return JoinLinesCrLf(items);
}

std::string PolarFile(DecodeState& state, std::string_view store) {
    std::string text;
    WritePolarText(state, store, text);
    return text;
}

// The row of the table with that name; nullptr when there is none.
template <typename Table> auto FindByWord(const Table& table, std::string_view word) {
    const auto found = std::find_if(table.begin(), table.end(),
                                    [&](const auto& format) { return format.word == word; });
    return found == table.end() ? nullptr : &*found;
}

} // namespace

const std::array<CoordinateFormat, 5> kCoordinateFormats = {{
    {"pts", "Topcon GTS-700/600/800 Coords(*.pts)", "pts", false, "", PtsText, "",
     ImportFormat::Pts},
    {"csv", "CSV File(comma separated)(*.CSV)", "CSV", false, "", CsvText, "", ImportFormat::Csv},
    {"dxf", "AutoCAD DXF File(*.DXF)", "DXF", false, kDxfHeader, DxfText, kDxfTrailer,
     std::nullopt},
    {"sima", "SIMA Data File(*.sim)", "sim", false, kSimaHeader, SimaText, kSimaTrailer,
     ImportFormat::Sima},
    {"user", "", "", true, "", UserText, "", std::nullopt},
}};

const std::array<MeasurementFormat, 2> kMeasurementFormats = {{
    {"sss", "Topcon GTS-700/600/800 Meas.data(SSS format)", "txt", SssFile},
    {"polar", "Polar Format Dat(*.dat)", "dat", PolarFile},
}};

const CoordinateFormat* FindCoordinateFormat(std::string_view word) {
    return FindByWord(kCoordinateFormats, word);
}

const MeasurementFormat* FindMeasurementFormat(std::string_view word) {
    return FindByWord(kMeasurementFormats, word);
}

DialogEntry CoordinateDialogEntry(const CoordinateFormat& format, const UserFormat& layout) {
    if (!format.userLayout)
        return {std::string(format.description), Concat("*.", format.extension)};
    return {Concat(layout.name, "(User's)"),
            layout.extension.empty() ? "*.*" : Concat("*.", layout.extension)};
}

std::vector<const CoordinateFormat*> ImportableFormats() {
    std::vector<const CoordinateFormat*> formats;
    for (const CoordinateFormat& format : kCoordinateFormats) {
        if (format.importFormat)
            formats.push_back(&format);
    }
    return formats;
}

std::string CoordinateDialogDefaultExtension(const UserFormat& layout) {
    return layout.extension.empty() ? std::string() : std::string(kCoordinateFormats[0].extension);
}

std::string CoordinateExportBytes(const CoordinateFormat& format,
                                  const std::vector<std::string>& recordLines,
                                  const UserFormat& layout) {
    std::string bytes(format.header);
    for (std::size_t i = 0; i < recordLines.size(); ++i) {
        format.appendRecord(bytes, i + 1, recordLines[i], layout);
        bytes += "\r\n";
        // Sized once from the first record, with room for longer ones.
        if (i == 0)
            bytes.reserve(format.header.size() +
                          (bytes.size() - format.header.size() + 16) * recordLines.size() +
                          format.trailer.size());
    }
    bytes += format.trailer;
    return bytes;
}

DialogEntry MeasurementDialogEntry(const MeasurementFormat& format) {
    return {std::string(format.description), Concat("*.", format.extension)};
}

} // namespace stadix
