#include "comport/qt/SettingsPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace stadix {

namespace {

bool SameFolder(const QString& one, const QString& other) {
    const QString canonical = QFileInfo(one).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(other).canonicalFilePath();
}

} // namespace

QString SettingsFolder(const QString& programFolder, const QString& installedFolder) {
    if (QFileInfo(programFolder).isWritable() && !SameFolder(programFolder, installedFolder))
        return programFolder;
    // Named here, not by the running program's name: the window and stadix-cli share it.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("Stadix"));
}

QString SettingsFilePath() {
    const QString folder = SettingsFolder(QCoreApplication::applicationDirPath(),
                                          QStringLiteral(STADIX_INSTALLED_BINDIR));
    QDir().mkpath(folder);
    return QDir(folder).filePath(QStringLiteral("Commpara"));
}

} // namespace stadix
