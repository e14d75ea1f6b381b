// What the card file fuzz targets share: a sound card file changed by the input and
// written where the card modules open it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fuzz {

// base with the input's patches: each three bytes are an offset (16 bits, taken modulo
// the area patched) and the byte to put there, so that most of the file stays sound.
inline std::string Patched(std::string base, std::size_t area, const std::uint8_t* data,
                           std::size_t size) {
    for (std::size_t i = 0; i + 3 <= size; i += 3) {
        const std::size_t offset = (data[i] << 8 | data[i + 1]) % area;
        base[offset] = static_cast<char>(data[i + 2]);
    }
    return base;
}

// This process's card files, in memory where the system offers it (every run syncs the
// file it changed), removed when the process ends.
class CardFiles {
  public:
    CardFiles() {
        std::error_code error;
        folder_ = std::filesystem::is_directory("/dev/shm", error)
                      ? std::filesystem::path("/dev/shm")
                      : std::filesystem::temp_directory_path();
        folder_ /= "stadix-fuzz-" + std::to_string(::getpid());
        std::filesystem::create_directories(folder_);
    }
    ~CardFiles() { std::filesystem::remove_all(folder_); }

    std::string Path(const char* name) const { return (folder_ / name).string(); }

  private:
    std::filesystem::path folder_;
};

// Writes the bytes to this process's card file of that name and returns its path.
inline std::string WriteCardFile(const std::string& bytes, const char* name) {
    static const CardFiles files;
    const std::string path = files.Path(name);
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
    return path;
}

inline std::uintmax_t FileSize(const std::string& path) {
    return std::filesystem::file_size(path);
}

} // namespace fuzz
