// The game folder where the game runs under Wine: drive C: of a throwaway
// prefix, its paths mapped into the prefix.

#include "tests/support/game_folder.h"

#include "core/installer.h"
#include "platform/posix/path_mapping.h"

#include <algorithm>

namespace quorvel::test {

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

std::string GameFolder::MaintaAsTold() const {
    const auto onDisk = std::filesystem::canonical(prefix_) / mainta_.lexically_relative(prefix_);
    return "\"" + windowsPath_ + "\\mainta\" (" + onDisk.string() + ")";
}

} // namespace quorvel::test
