// The documents opened or saved last, for File > Recent Files.
#pragma once

#include <string>
#include <vector>

namespace stadix {

class RecentFiles {
  public:
    static constexpr std::size_t kMaxFiles = 8;

    // A remembered list, newest first; empty paths and repeats are dropped and only the
    // newest kMaxFiles are kept, whatever the settings file held.
    explicit RecentFiles(const std::vector<std::string>& paths = {});

    // Puts path first, once, dropping the oldest beyond kMaxFiles.
    void Add(const std::string& path);
    void Remove(const std::string& path);

    const std::vector<std::string>& Paths() const { return paths_; }

  private:
    std::vector<std::string> paths_;
};

} // namespace stadix
