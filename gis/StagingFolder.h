// A folder beside a file to be written, where the file (a Shapefile: its files) is made
// whole before it is moved into place, so that the target is written whole or not at
// all. Only gis/ includes this header.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace stadix {

class StagingFolder {
  public:
    // Throws FileError when the folder cannot be made, or when the target is a folder
    // or another kind of file than a regular one.
    explicit StagingFolder(const std::string& target);
    // Removes the folder with whatever is left in it.
    ~StagingFolder();
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    // Where the file that is to become the target is made.
    std::string StagedPath() const;

    // Moves what was made into place, each file flushed first. A single file replaces
    // the target at once. The files of a set, whose extensions are given (the target's
    // among them), are renamed one by one after the older set's files were moved aside:
    // when a rename fails, the files already renamed are removed and the older set is
    // put back. Throws FileError.
    void MoveIntoPlace(const std::vector<std::string>& setExtensions = {});

  private:
    std::vector<std::filesystem::path> MadeFiles() const;
    std::vector<std::filesystem::path> OlderSet(const std::vector<std::string>& extensions) const;
    void MoveSetIntoPlace(const std::vector<std::filesystem::path>& made,
                          const std::vector<std::string>& extensions);

    std::filesystem::path target_;
    std::string name_; // the folder's name, for the signal handler
    std::filesystem::path folder_;
    std::string failure_;
};

} // namespace stadix
