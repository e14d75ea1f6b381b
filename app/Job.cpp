#include "app/Job.h"

#include "app/ReceivedCoords.h"
#include "app/RecordTable.h"

namespace stadix {

JobContent ContentOf(bool coordinates, bool rawLoaded) {
    if (coordinates)
        return JobContent::RecordLines;
    return rawLoaded ? JobContent::Listing : JobContent::Text;
}

void ConvertReceivedCoordinates(Job& job) {
    if (job.content != JobContent::ReceivedCoordinates)
        return;
    ConvertReceivedCoordinates(job.lines, static_cast<int>(job.dataFormat));
    job.content = JobContent::RecordLines;
}

std::vector<std::string> GatheredRecords(const std::vector<std::string>& lines) {
    RecordTable table;
    FillTable(table, lines);
    std::vector<std::string> records;
    GatherRecords(table, records);
    return records;
}

} // namespace stadix
