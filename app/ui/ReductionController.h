// Compute Coordinates: the station setups and observations of the measurement view
// reduced to a new untitled coordinate job, with the report in a window of its own.
#pragma once

#include "survey/Reduction.h"

#include <string>
#include <vector>

class DocumentController;
class DocumentFiles;
class DocumentView;
class QWidget;
class ReportWindow;
class WindowPrompts;
namespace stadix {
struct Job;
} // namespace stadix

class ReductionController {
  public:
    ReductionController(stadix::Job& job, WindowPrompts& prompts, QWidget* parent,
                        DocumentView& view, DocumentController& documents, DocumentFiles& files);

    // Whether the job holds measurements to compute from: the listing of raw records or
    // of another maker's raw file, or SSS text opened or received.
    bool Available() const;
    // Asks for the options, computes, and replaces the document with the computed points
    // after the unsaved-changes question. A failure is told and changes nothing.
    void ComputeCoordinates();
    // The window of the last computation's report; null before the first.
    ReportWindow* Report() const { return report_; }

  private:
    stadix::Measurements ReadMeasurements() const;
    // The record lines become the document: an untitled, changed coordinate job.
    void ShowComputedJob(std::vector<std::string> lines);
    void ShowReport(const std::string& text);
    void SaveReport();

    stadix::Job& job_;
    WindowPrompts& prompts_;
    QWidget* parent_;
    DocumentView& view_;
    DocumentController& documents_;
    DocumentFiles& files_;
    // The options last chosen, which the next computation's dialog shows.
    stadix::ReductionOptions options_;
    std::string reportText_;
    ReportWindow* report_ = nullptr; // owned by parent_
};
