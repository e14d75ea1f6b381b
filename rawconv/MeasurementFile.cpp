#include "rawconv/MeasurementFile.h"

#include "base/FileIO.h"
#include "rawconv/Listing.h"
#include "rawconv/RawRecords.h"

namespace stadix {

std::string CheckMeasurementFile(std::string_view bytes) {
    if (bytes.empty())
        return "The measurement file is empty.";
    if (bytes.size() % kRawRecordSize != 0)
        return "The measurement file has " + std::to_string(bytes.size()) +
               " bytes, which is not a whole number of 42-byte records.";
    if (static_cast<unsigned char>(bytes[0]) != kTypeInst)
        return "The measurement file does not begin with an INST record.";
    return std::string();
}

std::string OpenMeasurementFile(Job& job, const std::string& path, bool gtsTypeChosen) {
    const bool rawRecords = HasExtension(path, ".TSM");
    std::string bytes;
    std::vector<std::string> lines;
    if (rawRecords) {
        bytes = ReadFileBytes(path);
        const std::string problem = CheckMeasurementFile(bytes);
        if (!problem.empty())
            return problem;
    } else {
        lines = ReadFileLines(path);
    }
    AttachToFile(job, path);
    job.rawRecords = std::move(bytes);
    job.lines = std::move(lines);
    job.rawLoaded = rawRecords;
    job.content = rawRecords ? JobContent::Listing : JobContent::Text;
    if (rawRecords)
        RenderListing(job.decodeState, job.rawRecords, job.lines);
    if (gtsTypeChosen && !rawRecords)
        job.dataFormat = HasExtension(path, ".GTS") ? DataFormat::Gts : DataFormat::Sss;
    else
        job.dataFormat = DataFormat::Kvr;
    job.modified = false;
    return std::string();
}

} // namespace stadix
