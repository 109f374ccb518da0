#include "tests/support/game_folder.h"

#include "core/installer.h"

#include <algorithm>
#include <stdexcept>

namespace quorvel::test {

#ifdef _WIN32

GameFolder::GameFolder(const std::string& folder)
    : prefix_(dir_.Path()), mainta_(prefix_ / folder / "mainta"),
      windowsPath_((prefix_ / folder).make_preferred().string()) {
    // The program ends the folder at its first "aa"; a temp folder with one
    // in its path would give the program another folder than this one.
    if (BuildGameFolder(windowsPath_) != windowsPath_) {
        throw std::runtime_error("the temp folder " + prefix_.string() +
                                 " has \"aa\" in its path; set TMP to another folder");
    }
    std::filesystem::create_directories(mainta_);
    registry.SetString(kGameRegistryKey, kGameRegistryValue, windowsPath_);
}

#else

GameFolder::GameFolder(const std::string& folder)
    : files([this](const std::string& path) {
          return WinePathMapper(prefix_.string()).ToHostPath(path);
      }),
      prefix_(dir_.Path() / "prefix"), mainta_(prefix_ / "drive_c" / folder / "mainta"),
      windowsPath_("C:\\" + folder) {
    std::replace(windowsPath_.begin(), windowsPath_.end(), '/', '\\');
    std::filesystem::create_directories(mainta_);
    std::filesystem::create_directories(prefix_ / "dosdevices");
    std::filesystem::create_directory_symlink("../drive_c", prefix_ / "dosdevices" / "c:");
    registry.SetString(kGameRegistryKey, kGameRegistryValue, windowsPath_);
}

#endif

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

} // namespace quorvel::test
