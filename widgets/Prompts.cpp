#include "widgets/Prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>

namespace {

struct FileType {
    QString description;
    QString nameFilter; // as Qt's dialog wants it: "description (patterns)"
    QString extension;  // of the first pattern, without the dot
};

// "desc|*.A;*.B|desc2|*.C" as Qt name filters, keeping the descriptions as written.
QList<FileType> ParseFileTypes(const QString& filter) {
    QList<FileType> types;
    const QStringList parts = filter.split('|');
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
        FileType type;
        type.description = parts[i];
        type.nameFilter = parts[i] + " (" + patterns.join(' ') + ")";
        if (!patterns.isEmpty())
            type.extension = QFileInfo(patterns.first()).suffix();
        types << type;
    }
    return types;
}

// The 1-based position of the type that the dialog reports as chosen, 0 when none. With
// the details hidden, Qt reports the name filter without its patterns.
int ChosenTypeIndex(const QList<FileType>& types, const QString& chosen) {
    for (int i = 0; i < types.size(); ++i) {
        if (chosen == types[i].nameFilter || chosen == types[i].description)
            return i + 1;
    }
    return 0;
}

// The extension a bare file name gets when type index (1-based) is chosen.
QString TypeExtension(const QList<FileType>& types, int index, const QString& fallback) {
    if (index < 1 || index > types.size())
        return fallback;
    const QString extension = types[index - 1].extension;
    return extension.isEmpty() || extension.contains('*') ? fallback : extension;
}

std::optional<FileChoice> RunFileDialog(QWidget* parent, const FileDialogRequest& request,
                                        QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, request.title, request.folder);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    const QList<FileType> types = ParseFileTypes(request.filter);
    QStringList nameFilters;
    for (const FileType& type : types)
        nameFilters << type.nameFilter;
    // Our descriptions already show their patterns: show each type once.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(nameFilters);
    const int index = qBound(1, request.filterIndex, qMax(1, int(types.size())));
    if (!types.isEmpty())
        dialog.selectNameFilter(types[index - 1].nameFilter);
    dialog.setDefaultSuffix(request.defaultExt);
    // A name typed without extension gets the extension of the chosen type, so that a
    // text copy is never saved under the job file's extension.
    if (mode == QFileDialog::AcceptSave) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
        dialog.setDefaultSuffix(TypeExtension(types, index, request.defaultExt));
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog, types, request](const QString& chosen) {
                             dialog.setDefaultSuffix(TypeExtension(
                                 types, ChosenTypeIndex(types, chosen), request.defaultExt));
                         });
        if (!request.fileName.isEmpty())
            dialog.selectFile(request.fileName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    FileChoice choice;
    choice.path = dialog.selectedFiles().first();
    choice.filterIndex = qMax(1, ChosenTypeIndex(types, dialog.selectedNameFilter()));
    return choice;
}

QMessageBox::StandardButton ShowMessageBox(QWidget* parent, QMessageBox::Icon icon,
                                           const QString& text,
                                           QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, QApplication::applicationName(), text, buttons, parent);
    return QMessageBox::StandardButton(box.exec());
}

} // namespace

QString WithTypeExtension(const FileChoice& choice, const FileDialogRequest& request) {
    if (!QFileInfo(choice.path).suffix().isEmpty())
        return choice.path;
    const QString extension =
        TypeExtension(ParseFileTypes(request.filter), choice.filterIndex, request.defaultExt);
    return extension.isEmpty() ? choice.path : choice.path + '.' + extension;
}

QMessageBox::StandardButton DialogPrompts::Ask(QWidget* parent, const QString& text,
                                               QMessageBox::StandardButtons buttons) {
    return ShowMessageBox(parent, QMessageBox::Question, text, buttons);
}

void DialogPrompts::Tell(QWidget* parent, const QString& text, QMessageBox::Icon icon) {
    ShowMessageBox(parent, icon, text, QMessageBox::Ok);
}

void DialogPrompts::ShowError(QWidget* parent, const QString& text) {
    ShowMessageBox(parent, QMessageBox::Critical, text, QMessageBox::Ok);
}

std::optional<FileChoice> DialogPrompts::ChooseOpenFile(QWidget* parent,
                                                        const FileDialogRequest& request) {
    return RunFileDialog(parent, request, QFileDialog::AcceptOpen);
}

std::optional<FileChoice> DialogPrompts::ChooseSaveFile(QWidget* parent,
                                                        const FileDialogRequest& request) {
    return RunFileDialog(parent, request, QFileDialog::AcceptSave);
}

bool DialogPrompts::ChoosePrinter(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void DialogPrompts::PreviewPrint(QWidget* parent, QPrinter& printer,
                                 const std::function<void(QPrinter&)>& paint) {
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle("Print Preview");
    // Large enough to read a page: most of the screen the window stands on.
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        dialog.resize(screen->availableSize() * 4 / 5);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&paint](QPrinter* previewPrinter) { paint(*previewPrinter); });
    dialog.exec();
}
