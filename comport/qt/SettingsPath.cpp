#include "comport/qt/SettingsPath.h"

#include <QDir>
#include <QStandardPaths>

namespace stadix {

QString SettingsFilePath() {
    // Named here, not by the running program's name: the window and stadix-cli share it.
    const QString folder =
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
            .filePath(QStringLiteral("Stadix"));
    QDir().mkpath(folder);
    return QDir(folder).filePath(QStringLiteral("Commpara"));
}

} // namespace stadix
