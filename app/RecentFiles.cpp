#include "app/RecentFiles.h"

#include <algorithm>

namespace stadix {

RecentFiles::RecentFiles(const std::vector<std::string>& paths) {
    for (auto it = paths.rbegin(); it != paths.rend(); ++it)
        Add(*it);
}

void RecentFiles::Add(const std::string& path) {
    if (path.empty())
        return;
    Remove(path);
    paths_.insert(paths_.begin(), path);
    if (paths_.size() > kMaxFiles)
        paths_.resize(kMaxFiles);
}

void RecentFiles::Remove(const std::string& path) {
    paths_.erase(std::remove(paths_.begin(), paths_.end(), path), paths_.end());
}

} // namespace stadix
