// What the main window's commands ask: the common prompts and the card exchange's.
#pragma once

#include "sdcard/ui/CardPrompts.h"
#include "widgets/Prompts.h"

class WindowPrompts : public virtual Prompts, public CardPrompts {};

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

  private:
    CardDialogs cardDialogs_;
};
