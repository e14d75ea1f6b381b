// Prompts with answers given in advance, recording every question, message and file
// dialog so that window tests can run whole commands.
#pragma once

#include "app/ui/WindowPrompts.h"
#include "sdcard/CardImport.h"
#include "sdcard/JobStore.h"

#include <QList>
#include <QPrinter>
#include <QStringList>

#include <deque>

class ScriptedPrompts : public WindowPrompts {
  public:
    struct Shown {
        QString kind; // "ask", "tell", "error", "open", "save"
        QString caption;
        QString text;
        FileDialogRequest dialog;
    };

    std::deque<QMessageBox::StandardButton> answers;
    std::deque<std::optional<FileChoice>> files;
    // The print dialog's answers: the PDF file to print to, or none for Cancel. The
    // preview draws its pages into previewPdf.
    std::deque<std::optional<QString>> printers;
    QString previewPdf;
    // The import options dialog's answers: the choices left on OK, none for Cancel.
    std::deque<std::optional<stadix::ImportChoices>> importOptions;
    // The job list's answers: the item chosen (0 the known-coordinates list), none for
    // closing it.
    std::deque<std::optional<int>> jobItems;
    // The Compute Coordinates options' answers: the options left on OK, none for Cancel.
    std::deque<std::optional<stadix::ReductionOptions>> reductionOptions;
    QList<Shown> shown;

    QMessageBox::StandardButton Ask(QWidget*, const QString& caption, const QString& text,
                                    QMessageBox::StandardButtons) override {
        shown.append({"ask", caption, text, {}});
        if (answers.empty())
            return QMessageBox::Cancel;
        const auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void Tell(QWidget*, const QString& caption, const QString& text, QMessageBox::Icon) override {
        shown.append({"tell", caption, text, {}});
    }
    void ShowError(QWidget*, const QString& text) override {
        shown.append({"error", QString(), text, {}});
    }
    std::optional<FileChoice> ChooseOpenFile(QWidget*, const FileDialogRequest& request) override {
        return NextFile("open", request);
    }
    std::optional<FileChoice> ChooseSaveFile(QWidget*, const FileDialogRequest& request) override {
        return NextFile("save", request);
    }

    // Notes the print job's title and the file a print to file would write by default.
    bool ChoosePrinter(QWidget*, QPrinter& printer) override {
        shown.append({"print", printer.docName(), printer.outputFileName(), {}});
        if (printers.empty() || !printers.front()) {
            if (!printers.empty())
                printers.pop_front();
            return false;
        }
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(*printers.front());
        printers.pop_front();
        return true;
    }
    void PreviewPrint(QWidget*, QPrinter& printer,
                      const std::function<void(QPrinter&)>& paint) override {
        shown.append({"preview", printer.docName(), QString(), {}});
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(previewPdf);
        paint(printer);
    }

    bool ChooseImportOptions(QWidget*, stadix::ImportChoices& choices) override {
        shown.append({"options", QString(), QString(), {}});
        if (importOptions.empty())
            return false;
        const std::optional<stadix::ImportChoices> answer = importOptions.front();
        importOptions.pop_front();
        if (answer)
            choices = *answer;
        return answer.has_value();
    }
    std::optional<int> SelectJob(QWidget*, stadix::JobStore& store, bool exportMode) override {
        shown.append({"jobs", exportMode ? "export" : "import", QString(), {}});
        if (jobItems.empty())
            return std::nullopt;
        const std::optional<int> item = jobItems.front();
        jobItems.pop_front();
        if (!item)
            return std::nullopt;
        return store.JobOfListItem(*item);
    }

    bool ChooseReductionOptions(QWidget*, stadix::ReductionOptions& options) override {
        shown.append({"reduction", QString(), QString(), {}});
        const std::optional<stadix::ReductionOptions> answer =
            reductionOptions.empty() ? std::nullopt : reductionOptions.front();
        if (!reductionOptions.empty())
            reductionOptions.pop_front();
        if (answer)
            options = *answer;
        return answer.has_value();
    }

    // Kinds of everything shown so far, in order.
    QStringList Kinds() const {
        QStringList kinds;
        for (const Shown& s : shown)
            kinds << s.kind;
        return kinds;
    }

  private:
    std::optional<FileChoice> NextFile(const QString& kind, const FileDialogRequest& request) {
        shown.append({kind, request.title, request.filter, request});
        if (files.empty())
            return std::nullopt;
        const bool cancelled = !files.front().has_value();
        const FileChoice choice = cancelled ? FileChoice{} : *files.front();
        files.pop_front();
        if (cancelled)
            return std::nullopt;
        return choice;
    }
};
