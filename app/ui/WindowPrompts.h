// What the main window's commands ask: the common prompts, the card exchange's, the
// reference system of the GIS formats, and the options of Compute Coordinates.
#pragma once

#include "app/ui/ReductionDialogs.h"
#include "gis/ui/ReferenceSystemDialog.h"
#include "sdcard/ui/CardPrompts.h"
#include "widgets/Prompts.h"

class WindowPrompts : public virtual Prompts, public CardPrompts, public ReferenceSystemPrompts {
  public:
    // The scale factor and the curvature and refraction of Compute Coordinates, preset
    // with options and changed to what the dialog shows; true when OK closed it.
    virtual bool ChooseReductionOptions(QWidget* parent, stadix::ReductionOptions& options) = 0;
};

// The real dialogs.
class WindowDialogs : public WindowPrompts, public DialogPrompts {
  public:
    WindowDialogs() : cardDialogs_(*this) {}
    bool ChooseImportOptions(QWidget* parent, stadix::ImportChoices& choices) override {
        return cardDialogs_.ChooseImportOptions(parent, choices);
    }
    std::optional<int> SelectJob(QWidget* parent, stadix::JobStore& store,
                                 bool exportMode) override {
        return cardDialogs_.SelectJob(parent, store, exportMode);
    }
    bool ChooseReferenceSystem(QWidget* parent, bool noneAllowed, QString& choice) override {
        return RunReferenceSystemDialog(parent, noneAllowed, choice);
    }
    bool ChooseReductionOptions(QWidget* parent, stadix::ReductionOptions& options) override {
        return RunReductionOptionsDialog(parent, options);
    }

  private:
    CardDialogs cardDialogs_;
};
