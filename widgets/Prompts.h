// Every question, message box, file dialog and print dialog that a window's command
// shows goes through this interface, so that tests can run whole commands with
// scripted answers.
#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>
#include <optional>

class QPrinter;
class QWidget;

struct FileChoice {
    QString path;
    int filterIndex = 1; // 1-based position of the chosen file type
};

// A file dialog's settings. filter is a sequence of description and pattern
// separated by vertical bars ("Text(*.TXT)|*.TXT|...").
struct FileDialogRequest {
    QString title;
    QString filter;
    int filterIndex = 1;
    QString defaultExt;
    QString folder;
    QString fileName;
    // Save dialogs ask before a file that exists is chosen; not where the command
    // itself decides what to do with it.
    bool confirmOverwrite = true;
};

// The chosen path with the extension of the chosen file type (else the request's
// default extension) when the typed name has none, so that a name typed bare is never
// saved under another type's extension.
QString WithTypeExtension(const FileChoice& choice, const FileDialogRequest& request);

class Prompts {
  public:
    virtual ~Prompts() = default;

    // A question under the program's name, with the desktop's standard buttons; returns
    // the button pressed.
    virtual QMessageBox::StandardButton Ask(QWidget* parent, const QString& text,
                                            QMessageBox::StandardButtons buttons) = 0;
    // A message with one OK button, under the program's name; the icon says what it is
    // (information, warning).
    virtual void Tell(QWidget* parent, const QString& text, QMessageBox::Icon icon) = 0;
    // The standard error box for a failure that ends a command.
    virtual void ShowError(QWidget* parent, const QString& text) = 0;
    virtual std::optional<FileChoice> ChooseOpenFile(QWidget* parent,
                                                     const FileDialogRequest& request) = 0;
    // Asks before overwriting an existing file.
    virtual std::optional<FileChoice> ChooseSaveFile(QWidget* parent,
                                                     const FileDialogRequest& request) = 0;
    // The print dialog: false when cancelled.
    virtual bool ChoosePrinter(QWidget* parent, QPrinter& printer) = 0;
    // Shows the pages that paint draws on the printer it is given.
    virtual void PreviewPrint(QWidget* parent, QPrinter& printer,
                              const std::function<void(QPrinter&)>& paint) = 0;
};

// The real dialogs. Virtual base, so that a window's own prompts interface can join it
// with prompts of other kinds.
class DialogPrompts : public virtual Prompts {
  public:
    QMessageBox::StandardButton Ask(QWidget* parent, const QString& text,
                                    QMessageBox::StandardButtons buttons) override;
    void Tell(QWidget* parent, const QString& text, QMessageBox::Icon icon) override;
    void ShowError(QWidget* parent, const QString& text) override;
    std::optional<FileChoice> ChooseOpenFile(QWidget* parent,
                                             const FileDialogRequest& request) override;
    std::optional<FileChoice> ChooseSaveFile(QWidget* parent,
                                             const FileDialogRequest& request) override;
    bool ChoosePrinter(QWidget* parent, QPrinter& printer) override;
    void PreviewPrint(QWidget* parent, QPrinter& printer,
                      const std::function<void(QPrinter&)>& paint) override;
};
