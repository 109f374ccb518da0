#pragma once

// What every front end needs besides its windows: the command line, the
// settings store and the file service of the machine it runs on, and the
// installer over them. A front end reads the command line first, before any
// window exists, then makes one Program with its window system and hands the
// installer to its main window.

#include "core/installer.h"
#include "platform/file_service.h"
#include "platform/registry.h"
#include "platform/window_system.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quorvel {

// What the command line and the search for the game decided.
struct ProgramOptions {
    // Where the game runs under Wine: the prefix whose user.reg and drives
    // are used. Windows has no use for it.
    std::string winePrefix;
    // Game folders found outside the settings store: OpenMoHAA's user
    // folder, preferred to the store where it is newer than every Wine
    // prefix that holds the game, else offered where the store holds none.
    FoundFolders gameFolders;
};

// The file service the program works through on this system.
std::unique_ptr<FileService> MakeProgramFileService(const ProgramOptions& options);

// Reads the arguments that follow the program's name and, where the game
// runs under Wine, finds the prefix that holds it, saying on standard error
// which one it uses. Returns nullopt when the program goes on to its
// windows, or the exit status to end with at once (after --help, --version
// or a command line it cannot read, with what it printed). Needs no display.
std::optional<int> ReadCommandLine(const std::vector<std::string>& args, ProgramOptions& options);

class Program {
public:
    Program(WindowSystem& windows, const ProgramOptions& options);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    Installer& GetInstaller() { return installer_; }

private:
    std::unique_ptr<RegistryStore> registry_;
    std::unique_ptr<FileService> files_;
    Installer installer_;
};

} // namespace quorvel
