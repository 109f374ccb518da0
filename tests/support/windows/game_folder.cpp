// The game folder on Windows: Games\\MOHAA below a throwaway folder, its
// paths used as they stand.

#include "tests/support/game_folder.h"

#include "core/installer.h"

#include <stdexcept>

namespace quorvel::test {

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

std::string GameFolder::MaintaAsTold() const {
    return "\"" + windowsPath_ + "\\mainta\"";
}

} // namespace quorvel::test
