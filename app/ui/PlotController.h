// The plot of the job's points: its dock, its View menu entries and tool button, Save
// Plot as, and the ties between the plot and the record grid.
#pragma once

#include <QObject>

class DocumentFiles;
class DocumentView;
class PointPlot;
class QAction;
class QDockWidget;
class QMainWindow;
class QMenu;
class QToolButton;
class RecordGridView;
class RecordTableModel;
namespace stadix {
struct Job;
class RecordTable;
} // namespace stadix

// A QObject so that its ties to the grid's and the plot's signals end with it.
class PlotController : public QObject {
  public:
    // The plot's dock joins window, hidden.
    PlotController(const stadix::Job& job, const stadix::RecordTable& table,
                   RecordTableModel& model, RecordGridView& grid, QMainWindow* window,
                   DocumentView& view, DocumentFiles& files);

    PointPlot* Plot() const { return plot_; }
    // Shows and hides the plot's dock.
    QAction* ShowAction() const;
    // Adds Plot, Fit, Show Codes, Show Heights and Save Plot as to the View menu;
    // returns Save Plot as, which the window runs as a command.
    QAction* AddViewEntries(QMenu* view);
    // The tool button that shows the plot, checked while it is shown.
    void SetUpShowButton(QToolButton* button);
    // The plot as a PNG or PDF file.
    void SavePlotAs();

  private:
    // A point clicked in the plot: its row becomes the table's current row.
    void SelectPlottedRow(int row);

    const stadix::Job& job_;
    RecordGridView& grid_;
    DocumentView& view_;
    DocumentFiles& files_;
    PointPlot* plot_;
    QDockWidget* dock_;
};
