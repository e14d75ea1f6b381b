// File > Recent Files: the files opened or saved last, newest first, listed afresh
// whenever the File menu opens.
#pragma once

#include <QMenu>

#include <functional>

class RecentFilesMenu : public QMenu {
  public:
    // open: opens a chosen file.
    RecentFilesMenu(QMenu* file, std::function<void(const QString& path)> open);

  private:
    void ListRecentFiles();

    std::function<void(const QString& path)> open_;
};
