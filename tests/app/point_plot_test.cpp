#include "app/ui/MainWindow.h"
#include "app/ui/PointPlot.h"
#include "app/ui/RecordGridView.h"
#include "base/FileIO.h"
#include "job/JobFile.h"
#include "job/RecordLine.h"
#include "tests/support/MainWindowFixture.h"

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QToolButton>
#include <QWheelEvent>

namespace {

// Four points well apart: rows 1 to 4, at (E, N).
const struct {
    const char* pt;
    double east, north;
} kPoints[] = {{"P1", 100, 100}, {"P2", 200, 100}, {"P3", 150, 200}, {"P4", 120, 150}};

bool IsHighlight(QRgb pixel) {
    return qRed(pixel) > 180 && qGreen(pixel) < 90 && qBlue(pixel) < 90;
}
bool IsPlainPoint(QRgb pixel) {
    return qBlue(pixel) > 100 && qRed(pixel) < 90;
}

} // namespace

class PointPlotTest : public MainWindowFixture {
    Q_OBJECT

  private:
    PointPlot* plot = nullptr;

    void OpenJob() {
        std::vector<std::string> lines;
        for (const auto& p : kPoints)
            lines.push_back(stadix::MakeRecordLine(p.pt, "CODE", std::to_string(p.north),
                                                   std::to_string(p.east), "1.5"));
        Write("site.JCD", stadix::JobFileBytes(lines));
        Open("site.JCD");
    }
    // The window shown with its plot open and laid out.
    void ShowPlot() {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->Action("Plot")->trigger();
        QTRY_VERIFY(plot->isVisible() && plot->height() >= 150);
    }
    QPointF ScreenPos(std::size_t point) const {
        const stadix::PlotPoint& p = plot->Points().at(point);
        const stadix::ScreenPoint screen = stadix::ToScreen(plot->View(), p.east, p.north);
        return {screen.x, screen.y};
    }
    bool AllPointsInSight() const {
        for (std::size_t i = 0; i < plot->Points().size(); ++i)
            if (!QRectF(plot->rect()).contains(ScreenPos(i)))
                return false;
        return true;
    }
    void Drag(QPointF from, QPointF to) {
        QTest::mousePress(plot, Qt::LeftButton, {}, from.toPoint());
        for (int step = 1; step <= 4; ++step) {
            const QPointF at = from + (to - from) * step / 4;
            QMouseEvent move(QEvent::MouseMove, at, plot->mapToGlobal(at), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(plot, &move);
        }
        QTest::mouseRelease(plot, Qt::LeftButton, {}, to.toPoint());
    }
    void Wheel(QPointF at, int notches) {
        QWheelEvent wheel(at, plot->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(plot, &wheel);
    }
    QRgb PixelAt(const QImage& image, QPointF at) const {
        return image.pixel(qRound(at.x()), qRound(at.y()));
    }

  private slots:
    void init() {
        MakeWindow();
        plot = window->pointPlot;
    }
    void cleanup() { window.reset(); }

    void thePlotOpensFromTheViewMenuAndTheToolBar() {
        QMenu* view = window->Menu("View");
        QVERIFY(view);
        QStringList captions;
        for (QAction* action : view->actions()) {
            if (!action->isSeparator())
                captions << action->text().remove('&');
        }
        QCOMPARE(captions,
                 QStringList({"Plot", "Fit", "Show Codes", "Show Heights", "Save Plot as..."}));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(!plot->isVisible());
        QVERIFY(!window->Action("Fit")->isEnabled() &&
                !window->Action("Save Plot as...")->isEnabled());

        QToolButton* button = window->ToolButton("Plot");
        QVERIFY(button);
        QCOMPARE(button->toolTip(), QString("Plot"));
        button->click();
        QTRY_VERIFY(plot->isVisible());
        QVERIFY(button->isChecked() && window->Action("Plot")->isChecked());
        QVERIFY(window->Action("Fit")->isEnabled() &&
                window->Action("Save Plot as...")->isEnabled());
        window->Action("Plot")->trigger();
        QTRY_VERIFY(!plot->isVisible());
        QVERIFY(!button->isChecked());
    }

    void fitBringsEveryPointBackAndAClickPicksThePointsRow() {
        OpenJob();
        ShowPlot();
        QCOMPARE(int(plot->Points().size()), 4);
        QVERIFY(AllPointsInSight());

        // How the view zooms and moves is the core's: the wheel and a drag reach it, and
        // change nothing of the job.
        Wheel(ScreenPos(0), 3);
        Drag(QPointF(60, 60), QPointF(100, 80));
        QVERIFY(!AllPointsInSight());
        QVERIFY(!window->CurrentJob().modified);

        window->Action("Fit")->trigger();
        QVERIFY(AllPointsInSight());

        // Clicking a point makes its row current; the current row is highlighted.
        window->recordGrid->SetCurrentCell(1, 2);
        QTest::mouseClick(plot, Qt::LeftButton, {}, ScreenPos(2).toPoint());
        QCOMPARE(window->recordGrid->CurrentRow(), 3);
        QCOMPARE(window->recordGrid->CurrentColumn(), 2);
        QCOMPARE(window->RowPanel()->text(), QString("row 3"));
        QImage image = plot->grab().toImage();
        QVERIFY(IsHighlight(PixelAt(image, ScreenPos(2))));
        QVERIFY(IsPlainPoint(PixelAt(image, ScreenPos(3))));
        // Which point is near is the core's; a drag that ends on a point is no click.
        Drag(ScreenPos(0), ScreenPos(0) + QPointF(30, 0));
        QCOMPARE(window->recordGrid->CurrentRow(), 3);
        QVERIFY(!window->CurrentJob().modified);

        window->recordGrid->SetCurrentCell(4, 0);
        image = plot->grab().toImage();
        QVERIFY(IsPlainPoint(PixelAt(image, ScreenPos(2))));
        QVERIFY(IsHighlight(PixelAt(image, ScreenPos(3))));
    }

    void savePlotAsWritesThePlotAndTheTableAsItStandsIsPlotted() {
        OpenJob();
        ShowPlot();
        prompts->files.push_back(FileChoice{Path("plan"), 1});
        window->Action("Save Plot as...")->trigger();
        QCOMPARE(prompts->shown.last().kind, QString("save"));
        QCOMPARE(prompts->shown.last().dialog.fileName, QString("site"));
        const QImage image(Path("plan.png"));
        QCOMPARE(image.size(), plot->size());
        QVERIFY(IsPlainPoint(PixelAt(image, ScreenPos(2))));

        // A name ending in .pdf is a PDF whatever type was chosen.
        prompts->files.push_back(FileChoice{Path("plan.pdf"), 1});
        window->SavePlotAs();
        QVERIFY(stadix::ReadFileBytes(Path("plan.pdf").toStdString()).rfind("%PDF-", 0) == 0);
        prompts->files.push_back(FileChoice{Path("sheet"), 2});
        window->SavePlotAs();
        QVERIFY(stadix::ReadFileBytes(Path("sheet.pdf").toStdString()).rfind("%PDF-", 0) == 0);

        // A file that cannot be written is reported; the job stays as it was.
        prompts->files.push_back(FileChoice{Path("missing/plan.png"), 1});
        window->SavePlotAs();
        QCOMPARE(prompts->Kinds().mid(prompts->shown.size() - 2), QStringList({"save", "error"}));
        QVERIFY(!window->CurrentJob().modified);

        // The table as it stands is plotted: a typed record too.
        QAbstractItemModel* model = window->recordGrid->model();
        model->setData(model->index(6, stadix::ColPt), "NEW", Qt::EditRole);
        model->setData(model->index(6, stadix::ColN), "300.000", Qt::EditRole);
        model->setData(model->index(6, stadix::ColE), "400.000", Qt::EditRole);
        QTRY_COMPARE(int(plot->Points().size()), 5);
        QCOMPARE(plot->Points().back().row, 6);
        // The view still followed the points: the new one is in sight too.
        QVERIFY(AllPointsInSight());
    }
};

QTEST_MAIN(PointPlotTest)
#include "point_plot_test.moc"
