// The windows of Compute Coordinates: the dialog of its options, and the window that
// shows the report of a computation.
#pragma once

#include "survey/Reduction.h"

#include <QDialog>
#include <QWidget>

#include <functional>

class QCheckBox;
class QKeyEvent;
class QDoubleSpinBox;
class QPushButton;
class TextLinesView;

// The scale factor of the horizontal distances, and whether to apply curvature and
// refraction with which coefficient.
class ReductionOptionsDialog : public QDialog {
  public:
    ReductionOptionsDialog(const stadix::ReductionOptions& options, QWidget* parent);
    stadix::ReductionOptions Options() const;

    QDoubleSpinBox* scaleBox = nullptr;
    QCheckBox* refractionBox = nullptr;
    QDoubleSpinBox* coefficientBox = nullptr;
};

// Runs the dialog preset with options, which take what it shows when OK closes it.
bool RunReductionOptionsDialog(QWidget* parent, stadix::ReductionOptions& options);

// The report as read-only text in the system's fixed font, with Copy and Save...; a
// window of its own beside the main window, which owns it. Only the lines in sight are
// drawn, so that the report of a large file shows at once.
class ReportWindow : public QWidget {
  public:
    // save: what Save... does with the report.
    ReportWindow(QWidget* owner, std::function<void()> save);
    // UTF-8 text, lines ending in LF.
    void SetReport(const std::string& text);

    TextLinesView* reportText = nullptr;
    QPushButton* copyButton = nullptr;
    QPushButton* saveButton = nullptr;

  protected:
    // Escape closes it, as it closes a dialog.
    void keyPressEvent(QKeyEvent* event) override;
};
