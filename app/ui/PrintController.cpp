#include "app/ui/PrintController.h"

#include "app/ui/DocumentFiles.h"
#include "app/ui/DocumentView.h"
#include "app/ui/Printing.h"
#include "job/Job.h"
#include "widgets/Prompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPrinter>
#include <QWidget>

PrintController::PrintController(const stadix::Job& job, Prompts& prompts, QWidget* parent,
                                 DocumentView& view, const DocumentFiles& files)
    : job_(job), prompts_(prompts), parent_(parent), view_(view), files_(files) {}

QString PrintController::PrintJobTitle() const {
    return (job_.InCoordinateView() ? "Printing coord. file" : "Printing meas. file") +
           parent_->windowTitle().remove("[*]");
}

bool PrintController::GatherForPrinting() {
    if (job_.InCoordinateView()) {
        if (!view_.CommitTableEdit())
            return false;
        view_.GatherRecords();
    }
    return !job_.lines.empty();
}

void PrintController::NamePrintJob(QPrinter& printer) const {
    printer.setDocName(PrintJobTitle());
    // A PDF file name makes PDF the output: the printer chosen by default stays chosen.
    const QPrinter::OutputFormat format = printer.outputFormat();
    printer.setOutputFileName(
        QDir(files_.DialogFolder()).filePath(QFileInfo(DocName(job_)).completeBaseName() + ".pdf"));
    printer.setOutputFormat(format);
}

void PrintController::Print() {
    if (!GatherForPrinting())
        return;
    QPrinter printer(QPrinter::HighResolution);
    NamePrintJob(printer);
    if (!prompts_.ChoosePrinter(parent_, printer))
        return;
    PrintRecordText(printer);
}

void PrintController::PrintPreview() {
    if (!GatherForPrinting())
        return;
    QPrinter printer(QPrinter::HighResolution);
    NamePrintJob(printer);
    prompts_.PreviewPrint(parent_, printer, [this](QPrinter& shown) { PrintRecordText(shown); });
}

void PrintController::PrintRecordText(QPrinter& printer) {
    const PrintKind kind =
        job_.InCoordinateView() ? PrintKind::CoordinateList : PrintKind::MeasurementText;
    // A long job shows its progress after half a second, repainting at most once a
    // frame; the user's input waits until the pages are done.
    QElapsedTimer elapsed;
    elapsed.start();
    qint64 lastShown = 0;
    bool progressShown = false;
    const QString failure =
        PrintLines(printer, job_.lines, kind, DocName(job_), [&](int page, int pages) {
            if (elapsed.elapsed() < 500 || elapsed.elapsed() - lastShown < kFrameMs)
                return;
            lastShown = elapsed.elapsed();
            progressShown = true;
            view_.ShowProgress(QString("Printing page %1 of %2...").arg(page).arg(pages));
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    if (progressShown)
        view_.ShowProgress(QString());
    if (!failure.isEmpty())
        prompts_.ShowError(parent_, failure);
}
