#include "sdcard/CardImport.h"

#include "base/FileIO.h"
#include "formats/CoordinateImport.h"
#include "job/ReceivedCoords.h"
#include "rawconv/Listing.h"

#include <utility>
#include <vector>

namespace stadix {

namespace {

// Converts the records that the data type takes, in a copy of the job's decoding state,
// and hands the result to the job only when every record went through.
class RecordImport {
  public:
    RecordImport(ImportDataType type, const DecodeState& state, bool bigEndian)
        : type_(type), state_(state), bigEndian_(bigEndian) {
        state_.bigEndian = bigEndian;
    }

    void Add(const RawRecord& record) {
        if (!ImportTakes(type_, record[0]))
            return;
        if (type_ == ImportDataType::RawData)
            AddRecordToListing(state_, lines_, record);
        else if (type_ == ImportDataType::KnownPoints)
            lines_.push_back(PtRecordToPointLine(state_, record, bigEndian_));
        else
            lines_.push_back(CoordRecordToPointLine(state_, record, bigEndian_));
    }

    void CommitTo(Job& job) {
        job.lines = std::move(lines_);
        job.decodeState = state_;
        if (type_ == ImportDataType::RawData) {
            job.content = JobContent::Text;
            job.rawLoaded = false;
        } else {
            job.content = JobContent::RecordLines;
            job.modified = true;
        }
    }

  private:
    ImportDataType type_;
    DecodeState state_;
    bool bigEndian_;
    std::vector<std::string> lines_;
};

} // namespace

CardFileKind CardFileKindOf(const std::string& path) {
    const std::pair<const char*, CardFileKind> kinds[] = {
        {".TSR", CardFileKind::RecordFile}, {".TSD", CardFileKind::JobStore},
        {".GT7", CardFileKind::SssText},    {".PTS", CardFileKind::PtsText},
        {".GTS", CardFileKind::GtsText},    {".XYZ", CardFileKind::XyzText}};
    for (const auto& [extension, kind] : kinds) {
        if (HasExtension(path, extension))
            return kind;
    }
    return CardFileKind::Other;
}

bool HoldsRawRecords(CardFileKind kind) {
    return kind == CardFileKind::RecordFile || kind == CardFileKind::JobStore;
}

void ApplyImportUnits(DecodeState& state, const ImportChoices& choices) {
    SetDistanceUnit(state, choices.distanceUnit);
    SetAngleUnit(state, choices.angleUnit);
}

bool ImportTakes(ImportDataType type, std::uint8_t recordType) {
    switch (type) {
    case ImportDataType::MeasuredCoordinates:
        return recordType == kTypeCrd || recordType == kTypeStn || recordType == kTypeBs;
    case ImportDataType::RawData:
        return recordType != kTypePt;
    case ImportDataType::KnownPoints:
        return recordType == kTypePt;
    }
    return false;
}

void ImportRecordFile(RecordFile& file, ImportDataType type, Job& job) {
    RecordImport import(type, job.decodeState, false);
    file.RewindRecordFile();
    RawRecord record;
    while (!file.AtEndOfRecords()) {
        if (file.ReadNextRecord(record) != CardStatus::Success)
            throw CardError(file.Problem().text);
        import.Add(record);
    }
    import.CommitTo(job);
}

void ImportJobRecords(JobStore& store, int jobNumber, ImportDataType type, Job& job) {
    RecordImport import(type, job.decodeState, store.Layout().bigEndian);
    RawRecord record;
    for (int index = 0; index < store.JobRecordCount(jobNumber); ++index) {
        if (store.ReadJobRecord(jobNumber, index, record) != CardStatus::Success)
            throw CardError(store.Problem().text);
        import.Add(record);
    }
    import.CommitTo(job);
}

bool CardTextHoldsRecords(CardFileKind kind) {
    return kind == CardFileKind::PtsText || kind == CardFileKind::XyzText;
}

void ReadCardText(CardFileKind kind, const std::string& path,
                  const std::function<void(std::string&)>& take) {
    if (kind == CardFileKind::XyzText) {
        // The stream's records may span lines: it is converted whole.
        std::vector<std::string> lines = ReadFileLines(path);
        ConvertReceivedCoordinates(lines, DataFormat::Gts);
        for (std::string& line : lines)
            take(line);
        return;
    }
    if (kind != CardFileKind::PtsText && kind != CardFileKind::SssText &&
        kind != CardFileKind::GtsText)
        throw CardError("Not a card text file: " + path);
    FileLineReader reader(path);
    for (std::string line; reader.Next(line);) {
        if (kind == CardFileKind::PtsText)
            line = PtsLineToRecordLine(line);
        take(line);
    }
}

void ImportCardText(CardFileKind kind, const std::string& path, Job& job) {
    // Read whole before the job changes: a line that does not convert leaves it.
    std::vector<std::string> lines;
    ReadCardText(kind, path, [&lines](std::string& line) { lines.push_back(std::move(line)); });
    job.lines = std::move(lines);
    job.content = CardTextHoldsRecords(kind) ? JobContent::RecordLines : JobContent::Text;
    job.dataFormat = kind == CardFileKind::SssText || kind == CardFileKind::PtsText
                         ? DataFormat::Sss
                         : DataFormat::Gts;
    job.modified = false;
}

} // namespace stadix
