#include "game_folder.h"

#include <algorithm>

namespace quorvel::testing {

GameFolder::GameFolder(const std::string& folder)
    : files([this](const std::string& path) {
          return WinePathMapper(prefix_.string()).ToHostPath(path);
      }),
      prefix_(dir_.Path() / "prefix"), mainta_(prefix_ / "drive_c" / folder / "mainta") {
    std::filesystem::create_directories(mainta_);
    std::filesystem::create_directories(prefix_ / "dosdevices");
    std::filesystem::create_directory_symlink("../drive_c", prefix_ / "dosdevices" / "c:");
    std::string windowsPath = "C:\\" + folder;
    std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
    registry.SetString("Software\\2015\\MOHAA", "basepath", windowsPath);
}

std::optional<std::string> GameFolder::Read(const std::string& name) const {
    const auto path = mainta_ / name;
    if (!std::filesystem::exists(path)) {
        return std::nullopt;
    }
    return ReadBytes(path);
}

void GameFolder::Write(const std::string& name, const std::string& bytes) const {
    WriteBytes(mainta_ / name, bytes);
}

} // namespace quorvel::testing
