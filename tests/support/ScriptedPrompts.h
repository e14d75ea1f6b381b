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
        QString kind;    // "ask", "tell", "error", "open", "save"
        QString caption; // a dialog's title, a print job's name
        QString text;
        FileDialogRequest dialog;
        QMessageBox::Icon icon = QMessageBox::NoIcon;                 // of a message
        QMessageBox::StandardButtons buttons = QMessageBox::NoButton; // of a question
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
    // The reference system dialog's answers: the choice left on OK, none for Cancel. Its
    // showing notes the choice preset as its text and whether none was allowed as its
    // caption.
    std::deque<std::optional<QString>> referenceSystems;
    // The Compute Coordinates options' answers: the options left on OK, none for Cancel.
    std::deque<std::optional<stadix::ReductionOptions>> reductionOptions;
    QList<Shown> shown;

    QMessageBox::StandardButton Ask(QWidget*, const QString& text,
                                    QMessageBox::StandardButtons buttons) override {
        shown.append({"ask", QString(), text, {}, QMessageBox::Question, buttons});
        if (answers.empty())
            return QMessageBox::Cancel;
        const auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void Tell(QWidget*, const QString& text, QMessageBox::Icon icon) override {
        shown.append({"tell", QString(), text, {}, icon});
    }
    void ShowError(QWidget*, const QString& text) override {
        shown.append({"error", QString(), text, {}, QMessageBox::Critical});
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
        const std::optional<QString> file = Next(printers);
        if (!file)
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(*file);
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
        const std::optional<stadix::ImportChoices> answer = Next(importOptions);
        if (answer)
            choices = *answer;
        return answer.has_value();
    }
    std::optional<int> SelectJob(QWidget*, stadix::JobStore& store, bool exportMode) override {
        shown.append({"jobs", exportMode ? "export" : "import", QString(), {}});
        const std::optional<int> item = Next(jobItems);
        return item ? std::optional<int>(store.JobOfListItem(*item)) : std::nullopt;
    }

    bool ChooseReferenceSystem(QWidget*, bool noneAllowed, QString& choice) override {
        shown.append({"crs", noneAllowed ? "none allowed" : "required", choice, {}});
        const std::optional<QString> answer = Next(referenceSystems);
        if (answer)
            choice = *answer;
        return answer.has_value();
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
    // The next answer of a script; none, as for Cancel, once the script has run out.
    template <typename T> static std::optional<T> Next(std::deque<std::optional<T>>& script) {
        if (script.empty())
            return std::nullopt;
        const std::optional<T> answer = script.front();
        script.pop_front();
        return answer;
    }
    std::optional<FileChoice> NextFile(const QString& kind, const FileDialogRequest& request) {
        shown.append({kind, request.title, request.filter, request});
        return Next(files);
    }
};
