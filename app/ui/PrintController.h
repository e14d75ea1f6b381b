// Print and Print Preview of the record text list: the coordinate list gathered from
// the table, or the measurement text.
#pragma once

#include <QString>

class DocumentFiles;
class DocumentView;
class Prompts;
class QPrinter;
class QWidget;
namespace stadix {
struct Job;
}

class PrintController {
  public:
    PrintController(const stadix::Job& job, Prompts& prompts, QWidget* parent, DocumentView& view,
                    const DocumentFiles& files);

    void Print();
    void PrintPreview();

  private:
    // Makes the record text list what is printed, gathered from the table in the
    // coordinate view as it shows it. False when there is nothing to print.
    bool GatherForPrinting();
    // The print job's title: what is printed and the window title.
    QString PrintJobTitle() const;
    // Gives the print job its title, and a print to file the job's name ("SITE.pdf") in
    // the file dialogs' folder.
    void NamePrintJob(QPrinter& printer) const;
    // Prints the record text list on printer; a failure is shown in the error box.
    void PrintRecordText(QPrinter& printer);

    const stadix::Job& job_;
    Prompts& prompts_;
    QWidget* parent_;
    DocumentView& view_;
    const DocumentFiles& files_;
};
