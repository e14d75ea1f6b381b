// The card exchange's own questions, the import options and the choice of a job: an
// interface, so that tests can run the card commands with scripted answers.
#pragma once

#include "widgets/Prompts.h"

#include <optional>

class QWidget;
namespace stadix {
class JobStore;
struct ImportChoices;
} // namespace stadix

class CardPrompts {
  public:
    virtual ~CardPrompts() = default;

    // The card import options, preset with choices and changed to what the dialog shows
    // however it closes; true when OK closed it.
    virtual bool ChooseImportOptions(QWidget* parent, stadix::ImportChoices& choices) = 0;
    // A job of an open, loaded job store (the known-coordinates list included); in
    // export mode new jobs can be created in the store. None when cancelled.
    virtual std::optional<int> SelectJob(QWidget* parent, stadix::JobStore& store,
                                         bool exportMode) = 0;
};

// The real card dialogs; the job list tells its messages through prompts.
class CardDialogs : public CardPrompts {
  public:
    explicit CardDialogs(Prompts& prompts) : prompts_(prompts) {}
    bool ChooseImportOptions(QWidget* parent, stadix::ImportChoices& choices) override;
    std::optional<int> SelectJob(QWidget* parent, stadix::JobStore& store,
                                 bool exportMode) override;

  private:
    Prompts& prompts_;
};
