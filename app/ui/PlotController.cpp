// The main window's plot of the job's points: its dock, the View menu, the tool
// button, "Save Plot as..." and the ties between the plot and the record grid.
#include "app/ui/Icons.h"
#include "app/ui/MainWindow.h"
#include "app/ui/PointPlot.h"
#include "app/ui/RecordGridView.h"

#include <QAction>
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace {

const char* const kPlotFilter = "PNG Image(*.png)|*.png|PDF Document(*.pdf)|*.pdf";

// The file's own extension decides, else the file type chosen in the dialog.
PointPlot::FileKind PlotFileKind(const FileChoice& choice) {
    const QString suffix = QFileInfo(choice.path).suffix().toLower();
    if (suffix == "pdf")
        return PointPlot::FileKind::Pdf;
    if (suffix == "png")
        return PointPlot::FileKind::Png;
    return choice.filterIndex == 2 ? PointPlot::FileKind::Pdf : PointPlot::FileKind::Png;
}

} // namespace

void MainWindow::BuildPlotView() {
    pointPlot = new PointPlot(table_);
    pointPlot->setObjectName("pointPlot");
    plotDock_ = new QDockWidget("Plot", this);
    plotDock_->setObjectName("plotDock");
    plotDock_->setWidget(pointPlot);
    addDockWidget(Qt::BottomDockWidgetArea, plotDock_);
    plotDock_->hide();

    QAction* showPlot = plotDock_->toggleViewAction();
    showPlot->setText("&Plot");
    showPlot->setObjectName("Plot");
    showPlot->setStatusTip("Show the job's points on a plan");
    QMenu* view = new QMenu("&View", this);
    menuBar()->insertMenu(Menu("Communction")->menuAction(), view);
    view->addAction(showPlot);
    QAction* fit = AddAction(view, "&Fit", QKeySequence(), nullptr);
    connect(fit, &QAction::triggered, pointPlot, &PointPlot::Fit);
    view->addSeparator();
    QAction* codes = AddAction(view, "Show &Codes", QKeySequence(), nullptr);
    codes->setCheckable(true);
    connect(codes, &QAction::toggled, pointPlot, &PointPlot::SetShowCodes);
    QAction* heights = AddAction(view, "Show &Heights", QKeySequence(), nullptr);
    heights->setCheckable(true);
    connect(heights, &QAction::toggled, pointPlot, &PointPlot::SetShowHeights);
    view->addSeparator();
    QAction* save = AddAction(view, "Save Plot &as...", QKeySequence(), &MainWindow::SavePlotAs);
    // Fitting and saving act on the plot on show.
    for (QAction* action : {fit, save}) {
        action->setEnabled(false);
        connect(showPlot, &QAction::toggled, action, &QAction::setEnabled);
    }

    toolBar_->addSeparator();
    QToolButton* button = AddToolButton("Plot", "Plot|Show the job's points on a plan", showPlot);
    button->setIcon(ToolIcon("office-chart-scatter", ToolGlyph::Plot));
    button->setCheckable(true);
    connect(showPlot, &QAction::toggled, button, &QToolButton::setChecked);

    connect(model_, &QAbstractItemModel::dataChanged, pointPlot, &PointPlot::TableChanged);
    connect(model_, &QAbstractItemModel::modelReset, pointPlot, &PointPlot::TableChanged);
    connect(recordGrid->selectionModel(), &QItemSelectionModel::currentChanged, pointPlot,
            [this](const QModelIndex& current) { pointPlot->SetCurrentRow(current.row()); });
    connect(pointPlot, &PointPlot::PointClicked, this, &MainWindow::SelectPlottedRow);
}

void MainWindow::SelectPlottedRow(int row) {
    if (!CommitTableEdit())
        return;
    SetCurrentCell(row, recordGrid->CurrentColumn());
}

void MainWindow::SavePlotAs() {
    const std::optional<FileChoice> choice =
        ChooseFile(FileDialogKind::Save, "Save Plot as", kPlotFilter, "png",
                   QFileInfo(DocName()).completeBaseName());
    if (!choice)
        return;
    WriteDocumentFile(choice->path, pointPlot->FileBytes(PlotFileKind(*choice)));
}
