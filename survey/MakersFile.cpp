#include "survey/MakersFile.h"

#include "base/FileIO.h"

namespace stadix {

const MakersFormat* MakersFormatOfFile(const std::string& path) {
    for (const MakersFormat& format : MakersFormats()) {
        if (HasExtension(path, format.extension))
            return &format;
    }
    return nullptr;
}

std::string NotOfKindMessage(const MakersFormat& format, const std::string& file,
                             const FormatError& failure) {
    return file + " is not a " + format.name + " file: " + failure.what();
}

void OpenMakersFile(Job& job, const std::string& path, const MakersFormat& format) {
    std::string text = ReadFileBytes(path);
    // The listing is made by the same reading as Compute Coordinates makes, so that a file
    // shown always computes.
    std::vector<std::string> lines = SplitLines(format.listing(text));
    AttachToFile(job, path);
    job.lines = std::move(lines);
    job.content = JobContent::MakersListing;
    job.makersWord = format.word;
    job.makersText = std::move(text);
    job.rawRecords.clear();
    job.rawLoaded = false;
    job.dataFormat = DataFormat::Kvr;
    job.modified = false;
}

Measurements MakersFileMeasurements(const Job& job) {
    return FindMakersFormat(job.makersWord)->read(job.makersText);
}

StoredPointLines ReadStoredPoints(const std::string& path, const MakersFormat& format) {
    return StoredPointRecordLines(format.read(ReadFileBytes(path)));
}

StoredPointLines ListedFileStoredPoints(const Job& job) {
    return StoredPointRecordLines(MakersFileMeasurements(job));
}

std::string CutNamesMessage(const std::vector<CutName>& cuts) {
    std::string message =
        cuts.size() == 1 ? "1 point name was" : std::to_string(cuts.size()) + " point names were";
    message += " cut to 8 characters:";
    for (const CutName& cut : cuts)
        message += "\n" + cut.name + " -> " + cut.cut;
    return message;
}

} // namespace stadix
