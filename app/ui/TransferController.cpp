#include "app/ui/TransferController.h"

#include "app/ui/DocumentController.h"
#include "app/ui/DocumentFiles.h"
#include "app/ui/DocumentView.h"
#include "base/Errors.h"
#include "comport/qt/ComPort.h"
#include "job/Job.h"
#include "rawconv/RawRecords.h"
#include "transfer/ui/KvrTransferDialog.h"
#include "transfer/ui/SettingsDialog.h"
#include "transfer/ui/TextTransferDialog.h"
#include "widgets/Prompts.h"
#include "widgets/TextCodec.h"

TransferController::TransferController(stadix::Job& job, Prompts& prompts, QWidget* parent,
                                       DocumentView& view, DocumentController& documents,
                                       DocumentFiles& files, const std::string& settingsPath)
    : job_(job), prompts_(prompts), parent_(parent), view_(view), documents_(documents),
      files_(files), settingsPath_(settingsPath) {}

bool TransferController::RunSettingsDialog(stadix::Job& job) {
    SettingsDialog dialog(stadix::LoadTransferSettings(settingsPath_, settings_), sendMode_,
                          stadix::ComPort::EnumComPorts(), prompts_, parent_);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    settings_ = dialog.Settings();
    job.dataFormat = settings_.dataFormat;
    job.coordUnit = settings_.coordUnit;
    try {
        stadix::StoreTransferSettings(settingsPath_, settings_);
    } catch (const stadix::FileError& failure) {
        prompts_.Tell(parent_,
                      "The communication settings could not be saved.\n" +
                          MessageToDisplay(failure.what()) +
                          "\nThey are used for this transfer only.",
                      QMessageBox::Warning);
    }
    return true;
}

void TransferController::RunTransferDialog(stadix::Job& job) {
    if (settings_.dataFormat != stadix::DataFormat::Kvr) {
        TextTransferDialog dialog(job, settings_, sendMode_, prompts_, parent_);
        dialog.exec();
        return;
    }
    KvrTransferDialog dialog(job, settings_, sendMode_, prompts_, parent_);
    dialog.exec();
}

void TransferController::Receive() {
    // What arrives replaces the document as New would, after New's question; until
    // something arrives the document stays as it is, whatever ends the transfer.
    if (!view_.CommitTableEdit())
        return;
    const bool startsNewJob = !documents_.NewKeepsDocument();
    if (startsNewJob && !documents_.ConfirmSaveChanges())
        return;
    sendMode_ = false;
    stadix::Job received = job_;
    if (startsNewJob)
        stadix::StartNewJob(received);
    if (!RunSettingsDialog(received))
        return;
    const stadix::Job beforeTransfer = received;
    RunTransferDialog(received);
    if (!stadix::ReceivedAnything(beforeTransfer, received))
        return;
    if (startsNewJob) {
        view_.ClearTable();
        files_.SetImportedFrom(std::string());
    }
    job_ = std::move(received);
    stadix::ConvertReceivedCoordinates(job_);
    ShowReceivedDocument();
}

void TransferController::ShowReceivedDocument() {
    if (job_.InCoordinateView()) {
        view_.SetCoordTitle();
        view_.FillTable();
        view_.ShowCoordinateView();
        view_.SetTotal(job_.lines.size());
        view_.SetCurrentCell(1, 0);
        // Received coordinates exist nowhere else yet: closing must ask about them.
        if (!job_.lines.empty())
            job_.modified = true;
        view_.ForgetEdits();
        return;
    }
    view_.ShowMeasurementView();
    job_.modified = true;
    view_.ForgetEdits();
    view_.SetTitle(DocName(job_) + kMeasurementCaption);
}

void TransferController::Send() {
    if (!view_.CommitTableEdit())
        return;
    if (job_.InCoordinateView()) {
        view_.GatherRecords();
        if (job_.lines.empty())
            return;
    } else if (stadix::RawRecordCount(job_.rawRecords) < stadix::kMinRawRecordsToSend) {
        return;
    }
    sendMode_ = true;
    if (!RunSettingsDialog(job_))
        return;
    RunTransferDialog(job_);
}
