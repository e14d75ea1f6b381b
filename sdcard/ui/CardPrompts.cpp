#include "sdcard/ui/CardPrompts.h"

#include "sdcard/ui/ImportOptionsDialog.h"
#include "sdcard/ui/JobListDialog.h"

bool CardDialogs::ChooseImportOptions(QWidget* parent, stadix::ImportChoices& choices) {
    ImportOptionsDialog dialog(choices, parent);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    choices = dialog.Choices();
    return accepted;
}

std::optional<int> CardDialogs::SelectJob(QWidget* parent, stadix::JobStore& store,
                                          bool exportMode) {
    JobListDialog dialog(store, exportMode, prompts_, parent);
    dialog.exec();
    return dialog.ChosenJob();
}
