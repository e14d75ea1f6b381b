#include "app/ui/RememberedSettings.h"

#include "widgets/TextCodec.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {

const char* const kRecentFilesKey = "RecentFiles";

void StoreRecentFiles(const stadix::RecentFiles& recent) {
    QStringList paths;
    for (const std::string& path : recent.Paths())
        paths << QFile::decodeName(path.c_str());
    RememberedSettings().setValue(kRecentFilesKey, paths);
}

} // namespace

QSettings RememberedSettings() {
    return QSettings("Stadix", "Stadix");
}

stadix::RecentFiles LoadRecentFiles() {
    std::vector<std::string> paths;
    for (const QString& path : RememberedSettings().value(kRecentFilesKey).toStringList())
        paths.push_back(LocalPath(path));
    return stadix::RecentFiles(paths);
}

void RememberRecentFile(const std::string& path) {
    stadix::RecentFiles recent = LoadRecentFiles();
    recent.Add(LocalPath(QFileInfo(QFile::decodeName(path.c_str())).absoluteFilePath()));
    StoreRecentFiles(recent);
}

void ForgetRecentFile(const QString& path) {
    stadix::RecentFiles recent = LoadRecentFiles();
    recent.Remove(LocalPath(QFileInfo(path).absoluteFilePath()));
    StoreRecentFiles(recent);
}
