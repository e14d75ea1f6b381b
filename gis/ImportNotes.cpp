// What an import of GIS points tells the user.
#include "gis/PointImport.h"

namespace stadix {

std::vector<std::string> ImportNotes(const GisImport& imported,
                                     const std::optional<ReferenceSystem>& system) {
    std::vector<std::string> notes;
    for (const CutText& name : imported.cutNames)
        notes.push_back("Name cut to 8 characters: " + name.text + " -> " + name.cut);
    for (const CutText& code : imported.cutCodes)
        notes.push_back("Code cut to 8 characters: " + code.text + " -> " + code.cut);
    if (imported.featuresLeftOut > 0)
        notes.push_back(std::to_string(imported.featuresLeftOut) +
                        " features that are not points were left out.");
    if (imported.takenAsTheyAre && system)
        notes.push_back("The file names no reference system: its coordinates were taken as "
                        "they are, as coordinates in " +
                        system->Code() + ".");
    return notes;
}

} // namespace stadix
