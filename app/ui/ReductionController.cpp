#include "app/ui/ReductionController.h"

#include "app/ui/DocumentController.h"
#include "app/ui/DocumentFiles.h"
#include "app/ui/DocumentView.h"
#include "app/ui/ReductionDialogs.h"
#include "app/ui/WindowPrompts.h"
#include "job/Job.h"
#include "job/JobFile.h"
#include "survey/MakersFile.h"
#include "survey/RawMeasurements.h"
#include "survey/ReductionReport.h"
#include "survey/SssMeasurements.h"

ReductionController::ReductionController(stadix::Job& job, WindowPrompts& prompts, QWidget* parent,
                                         DocumentView& view, DocumentController& documents,
                                         DocumentFiles& files)
    : job_(job), prompts_(prompts), parent_(parent), view_(view), documents_(documents),
      files_(files) {}

bool ReductionController::Available() const {
    return job_.ListsRawRecords() || job_.content == stadix::JobContent::MakersListing ||
           (job_.content == stadix::JobContent::Text && job_.dataFormat == stadix::DataFormat::Sss);
}

stadix::Measurements ReductionController::ReadMeasurements() const {
    if (job_.ListsRawRecords())
        return stadix::ReadRawMeasurements(job_.rawRecords);
    if (job_.content == stadix::JobContent::MakersListing)
        return stadix::MakersFileMeasurements(job_);
    std::string text;
    for (const std::string& line : job_.lines)
        text.append(line).append("\n");
    return stadix::ReadSssMeasurements(text);
}

void ReductionController::ComputeCoordinates() {
    if (!Available() || !view_.CommitTableEdit())
        return;
    const stadix::Measurements measurements = ReadMeasurements();
    if (measurements.setups.empty()) {
        prompts_.Tell(parent_, "There is no station setup in the measurements: nothing to compute.",
                      QMessageBox::Warning);
        return;
    }
    stadix::ReductionOptions options = options_;
    if (!prompts_.ChooseReductionOptions(parent_, options))
        return;
    options_ = options;
    stadix::Reduction reduction;
    std::string report;
    {
        const ProgressShown progress(view_, "Computing coordinates...");
        reduction = stadix::Reduce(measurements, options);
        report = stadix::ReductionReport(measurements, options, reduction);
    }
    if (reduction.recordLines.empty()) {
        prompts_.Tell(parent_,
                      "Nothing to compute: no station has known coordinates.\n"
                      "A station needs its coordinates, or those of a point of the same name.",
                      QMessageBox::Warning);
        return;
    }
    if (!documents_.ConfirmSaveChanges())
        return;
    ShowComputedJob(std::move(reduction.recordLines));
    ShowReport(report);
}

void ReductionController::ShowComputedJob(std::vector<std::string> lines) {
    // The window holds as many records as Open reads of a job file.
    const std::size_t computed = lines.size();
    if (computed > stadix::kMaxJobLines)
        lines.resize(stadix::kMaxJobLines);
    documents_.ShowAsNewJob(std::move(lines));
    if (computed > job_.lines.size()) {
        prompts_.Tell(parent_,
                      QString("The computation gives %1 records; only the first %2 are shown.\n"
                              "stadix-cli reduce computes files of any length.")
                          .arg(qulonglong(computed))
                          .arg(qulonglong(job_.lines.size())),
                      QMessageBox::Warning);
    }
}

void ReductionController::ShowReport(const std::string& text) {
    reportText_ = text;
    if (!report_)
        report_ = new ReportWindow(parent_, [this] { SaveReport(); });
    report_->SetReport(reportText_);
    report_->show();
    report_->raise();
    report_->activateWindow();
}

void ReductionController::SaveReport() {
    const std::optional<FileChoice> choice = files_.ChooseSaveFile(
        "Save Report", "Text(*.TXT)|*.TXT", "TXT", DocName(job_) + " report.txt");
    if (choice)
        files_.WriteDocumentFile(choice->path, reportText_);
}
