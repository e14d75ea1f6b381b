#include "app/ui/PlotController.h"

#include "app/ui/DocumentFiles.h"
#include "app/ui/DocumentView.h"
#include "app/ui/Icons.h"
#include "app/ui/PointPlot.h"
#include "app/ui/RecordGridView.h"
#include "app/ui/RecordTableModel.h"

#include <QAction>
#include <QDockWidget>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
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

// An entry named by its caption without the access key marker, as the window's are.
QAction* AddEntry(QMenu* menu, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString(caption).remove('&'));
    return action;
}

} // namespace

PlotController::PlotController(const stadix::Job& job, const stadix::RecordTable& table,
                               RecordTableModel& model, RecordGridView& grid, QMainWindow* window,
                               DocumentView& view, DocumentFiles& files)
    : job_(job), grid_(grid), view_(view), files_(files), plot_(new PointPlot(table)),
      dock_(new QDockWidget("Plot", window)) {
    plot_->setObjectName("pointPlot");
    dock_->setObjectName("plotDock");
    dock_->setWidget(plot_);
    window->addDockWidget(Qt::BottomDockWidgetArea, dock_);
    dock_->hide();

    QAction* show = ShowAction();
    show->setText("&Plot");
    show->setObjectName("Plot");
    show->setStatusTip("Show the job's points on a plan");

    connect(&model, &QAbstractItemModel::dataChanged, plot_, &PointPlot::TableChanged);
    connect(&model, &QAbstractItemModel::modelReset, plot_, &PointPlot::TableChanged);
    connect(grid_.selectionModel(), &QItemSelectionModel::currentChanged, plot_,
            [plot = plot_](const QModelIndex& current) { plot->SetCurrentRow(current.row()); });
    connect(plot_, &PointPlot::PointClicked, this, &PlotController::SelectPlottedRow);
}

QAction* PlotController::ShowAction() const {
    return dock_->toggleViewAction();
}

QAction* PlotController::AddViewEntries(QMenu* view) {
    QAction* show = ShowAction();
    view->addAction(show);
    QAction* fit = AddEntry(view, "&Fit");
    connect(fit, &QAction::triggered, plot_, &PointPlot::Fit);
    view->addSeparator();
    QAction* codes = AddEntry(view, "Show &Codes");
    codes->setCheckable(true);
    connect(codes, &QAction::toggled, plot_, &PointPlot::SetShowCodes);
    QAction* heights = AddEntry(view, "Show &Heights");
    heights->setCheckable(true);
    connect(heights, &QAction::toggled, plot_, &PointPlot::SetShowHeights);
    view->addSeparator();
    QAction* save = AddEntry(view, "Save Plot &as...");
    // Fitting and saving act on the plot on show.
    for (QAction* action : {fit, save}) {
        action->setEnabled(false);
        connect(show, &QAction::toggled, action, &QAction::setEnabled);
    }
    return save;
}

void PlotController::SetUpShowButton(QToolButton* button) {
    button->setIcon(ToolIcon("office-chart-scatter", ToolGlyph::Plot));
    button->setCheckable(true);
    connect(ShowAction(), &QAction::toggled, button, &QToolButton::setChecked);
}

void PlotController::SelectPlottedRow(int row) {
    if (!view_.CommitTableEdit())
        return;
    view_.SetCurrentCell(row, grid_.CurrentColumn());
}

void PlotController::SavePlotAs() {
    const std::optional<FileChoice> choice = files_.ChooseSaveFile(
        "Save Plot as", kPlotFilter, "png", QFileInfo(DocName(job_)).completeBaseName());
    if (!choice)
        return;
    files_.WriteDocumentFile(choice->path, plot_->FileBytes(PlotFileKind(*choice)));
}
