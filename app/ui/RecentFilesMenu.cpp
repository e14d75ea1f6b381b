#include "app/ui/RecentFilesMenu.h"

#include "app/ui/RememberedSettings.h"

#include <QFile>
#include <QFileInfo>

RecentFilesMenu::RecentFilesMenu(QMenu* file, std::function<void(const QString& path)> open)
    : QMenu("Recent &Files", file), open_(std::move(open)) {
    setObjectName("recentFilesMenu");
    file->addMenu(this);
    connect(file, &QMenu::aboutToShow, this, &RecentFilesMenu::ListRecentFiles);
}

void RecentFilesMenu::ListRecentFiles() {
    clear();
    const std::vector<std::string> paths = LoadRecentFiles().Paths();
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const QString path = QFile::decodeName(paths[i].c_str());
        const QString name = QFileInfo(path).fileName().replace('&', "&&");
        QAction* action = addAction(QString("&%1 %2").arg(i + 1).arg(name));
        action->setStatusTip(path);
        connect(action, &QAction::triggered, this, [this, path] { open_(path); });
    }
    setEnabled(!paths.empty());
}
