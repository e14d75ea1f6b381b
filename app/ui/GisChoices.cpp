#include "app/ui/GisChoices.h"

#include "app/ui/RememberedSettings.h"
#include "app/ui/WindowPrompts.h"
#include "gis/ui/ReferenceSystemDialog.h"
#include "widgets/TextCodec.h"

#include <stdexcept>

std::vector<stadix::GisFormat> GisFormatsOfDialog(bool importing) {
    std::vector<stadix::GisFormat> formats;
    for (const stadix::GisFormat format : stadix::kGisFormats) {
        if (!importing || stadix::CanImport(format))
            formats.push_back(format);
    }
    return formats;
}

QString GisFilterEntry(stadix::GisFormat format) {
    return QString::fromStdString(std::string(stadix::GisFileTypeName(format))) + "|*." +
           QString::fromStdString(std::string(stadix::GisFileExtension(format)));
}

std::optional<ChosenReferenceSystem> AskReferenceSystem(WindowPrompts& prompts, QWidget* parent,
                                                        bool noneAllowed) {
    QString choice = RememberedSettings().value(kReferenceSystemKey).toString();
    ChosenReferenceSystem chosen;
    // An unknown system, or the GIS module missing, which the list of systems needs too.
    try {
        if (!prompts.ChooseReferenceSystem(parent, noneAllowed, choice) || choice.isEmpty())
            return std::nullopt;
        if (choice != kNoReferenceSystem)
            chosen.system.emplace(choice.toStdString());
    } catch (const std::runtime_error& failure) {
        prompts.Tell(parent, MessageToDisplay(failure.what()), QMessageBox::Warning);
        return std::nullopt;
    }
    RememberedSettings().setValue(kReferenceSystemKey, choice);
    return chosen;
}
