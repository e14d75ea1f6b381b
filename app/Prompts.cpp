#include "app/Prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>

namespace {

struct FileType {
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
        type.nameFilter = parts[i] + " (" + patterns.join(' ') + ")";
        if (!patterns.isEmpty())
            type.extension = QFileInfo(patterns.first()).suffix();
        types << type;
    }
    return types;
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
    dialog.setNameFilters(nameFilters);
    const int index = qBound(1, request.filterIndex, qMax(1, int(types.size())));
    if (!types.isEmpty())
        dialog.selectNameFilter(types[index - 1].nameFilter);
    dialog.setDefaultSuffix(request.defaultExt);
    // A name typed without extension gets the extension of the chosen type, so that a
    // text copy is never saved under the job file's extension.
    if (mode == QFileDialog::AcceptSave) {
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog, types](const QString& chosen) {
                             for (const FileType& type : types) {
                                 if (type.nameFilter == chosen && !type.extension.contains('*'))
                                     dialog.setDefaultSuffix(type.extension);
                             }
                         });
        if (!request.fileName.isEmpty())
            dialog.selectFile(request.fileName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    FileChoice choice;
    choice.path = dialog.selectedFiles().first();
    choice.filterIndex = int(nameFilters.indexOf(dialog.selectedNameFilter())) + 1;
    if (choice.filterIndex < 1)
        choice.filterIndex = 1;
    return choice;
}

} // namespace

QMessageBox::StandardButton DialogPrompts::Ask(QWidget* parent, const QString& caption,
                                               const QString& text,
                                               QMessageBox::StandardButtons buttons) {
    return QMessageBox::question(parent, caption, text, buttons);
}

void DialogPrompts::Tell(QWidget* parent, const QString& caption, const QString& text,
                         QMessageBox::Icon icon) {
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

void DialogPrompts::ShowError(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, QApplication::applicationName(), text);
}

std::optional<FileChoice> DialogPrompts::ChooseOpenFile(QWidget* parent,
                                                        const FileDialogRequest& request) {
    return RunFileDialog(parent, request, QFileDialog::AcceptOpen);
}

std::optional<FileChoice> DialogPrompts::ChooseSaveFile(QWidget* parent,
                                                        const FileDialogRequest& request) {
    return RunFileDialog(parent, request, QFileDialog::AcceptSave);
}
