#pragma once

// A folder of its own for each test, removed with everything in it afterwards.
// It is made in the system's temp folder unless another `base` is given.

#include <filesystem>
#include <optional>
#include <string>

namespace quorvel::test {

class TempDir {
public:
    TempDir() : TempDir(std::filesystem::temp_directory_path()) {}
    explicit TempDir(const std::filesystem::path& base);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// The exact bytes of a file. A missing file throws, so that a test cannot take
// it for an empty one.
std::string ReadBytes(const std::filesystem::path& path);
// The bytes of a file, or nullopt where no file is at `path` (nothing, or a
// folder, a pipe or a link to nothing).
std::optional<std::string> ReadIfThere(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

} // namespace quorvel::test
