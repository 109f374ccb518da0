#include "tests/support/host_files.h"

#include <filesystem>

namespace quorvel::test {

namespace fs = std::filesystem;

bool HeldOpen(const std::string& path) {
    const fs::path file = fs::canonical(path);
    std::error_code error;
    for (const auto& fd : fs::directory_iterator("/proc/self/fd")) {
        if (fs::read_symlink(fd.path(), error) == file) {
            return true;
        }
    }
    return false;
}

std::string OtherSpelling(const std::string& folder) {
    return folder + "/";
}

void MakeSecondName(const std::string& name, const std::string& existing) {
    fs::create_symlink(existing, name);
}

} // namespace quorvel::test
