#include "comport/qt/SettingsPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace stadix {

QString SettingsFilePath() {
    const QString fileName = QStringLiteral("Commpara");
    const QString programFolder = QCoreApplication::applicationDirPath();
    if (QFileInfo(programFolder).isWritable())
        return QDir(programFolder).filePath(fileName);
    const QString configFolder =
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(configFolder);
    return QDir(configFolder).filePath(fileName);
}

} // namespace stadix
