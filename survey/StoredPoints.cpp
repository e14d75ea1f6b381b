#include "survey/StoredPoints.h"

#include "job/RecordLine.h"

namespace stadix {

StoredPointLines StoredPointRecordLines(const Measurements& measurements) {
    StoredPointLines stored;
    stored.lines.reserve(measurements.givenPoints.size());
    for (const GivenPoint& point : measurements.givenPoints) {
        const double perMetre = 1 / MetresPer(point.unit);
        const std::string name = point.name.substr(0, kRecordNameLength);
        stored.lines.push_back(MakeRecordLineFromValues(
            name, point.code.substr(0, kRecordNameLength), point.position.north * perMetre,
            point.position.east * perMetre, point.position.elevation * perMetre));
        if (name.size() < point.name.size())
            stored.cutNames.push_back({point.name, name});
    }
    return stored;
}

} // namespace stadix
