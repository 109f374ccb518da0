#pragma once

// A game installation on real files, with the settings store pointing at it
// and the file service that the program would use on this system.
//
// Where the game runs under Wine, that is a throwaway Wine prefix whose drive
// C: holds Games\MOHAA\mainta, and the file service maps the program's paths
// into it. On Windows, paths are used as they stand: the game folder is
// Games\MOHAA in a throwaway folder below the temp folder, such as
// C:\Users\...\Temp\quorvel-test-...\Games\MOHAA.

#include "platform/host_file_service.h"
#include "tests/support/fake_registry_store.h"
#include "tests/support/temp_dir.h"

#include <filesystem>
#include <optional>
#include <set>
#include <string>

namespace quorvel::test {

class GameFolder {
public:
    // `folder` is the game folder's place on drive C:, with slashes; the
    // settings store gets its C:\ path.
    explicit GameFolder(const std::string& folder = "Games/MOHAA");

    // The program's own path of the game folder, as the settings store holds it.
    const std::string& WindowsPath() const { return windowsPath_; }

    // The throwaway folder that holds everything: the Wine prefix, or on
    // Windows the folder that Games\MOHAA is in.
    const std::filesystem::path& Prefix() const { return prefix_; }
    std::filesystem::path Mainta() const { return mainta_; }
    std::filesystem::path CustomCfg() const { return mainta_ / "custom.cfg"; }
    std::filesystem::path NewConfig() const { return mainta_ / "newconfig.cfg"; }

    // The mainta folder as a message to the player names it: its path, and
    // where the system shows it elsewhere, that place too.
    std::string MaintaAsTold() const;

    // The bytes of a file in mainta, or nullopt when it does not exist.
    std::optional<std::string> Read(const std::string& name) const;
    void Write(const std::string& name, const std::string& bytes) const;
    // The names in mainta.
    std::set<std::string> Names() const;

    FakeRegistryStore registry;
    HostFileService files;

private:
    TempDir dir_;
    std::filesystem::path prefix_;
    std::filesystem::path mainta_;
    std::string windowsPath_;
};

} // namespace quorvel::test
