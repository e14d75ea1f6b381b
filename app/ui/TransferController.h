// Transfers with the total station: the settings dialog, then the transfer dialog of the
// chosen data format, receiving a job or sending the one on show.
#pragma once

#include "transfer/TransferSettings.h"

#include <string>

class DocumentController;
class DocumentFiles;
class DocumentView;
class Prompts;
class QWidget;
namespace stadix {
struct Job;
}

class TransferController {
  public:
    // settingsPath: the settings file the transfers read and write.
    TransferController(stadix::Job& job, Prompts& prompts, QWidget* parent, DocumentView& view,
                       DocumentController& documents, DocumentFiles& files,
                       const std::string& settingsPath);

    void Receive();
    void Send();

    bool SendMode() const { return sendMode_; }
    // The choices of the settings dialog that every transfer runs with.
    const stadix::TransferSettings& Settings() const { return settings_; }

  private:
    // Applies the choices to job, the one a transfer is to run on; false when the user
    // backed out (Cancel, Escape) or closed it without a port: nothing is stored or changed.
    bool RunSettingsDialog(stadix::Job& job);
    void RunTransferDialog(stadix::Job& job);
    void ShowReceivedDocument();

    stadix::Job& job_;
    Prompts& prompts_;
    QWidget* parent_;
    DocumentView& view_;
    DocumentController& documents_;
    DocumentFiles& files_;
    const std::string& settingsPath_;
    bool sendMode_ = false;
    stadix::TransferSettings settings_;
};
