#pragma once

// The installer: start-up and, later, the installation itself.
//
// The state that start-up and installation share lives in InstallerState, one
// object that the Installer owns. The installer reaches the settings store,
// the files and the screen only through the three interfaces it is given.

#include "core/identity.h"
#include "core/line_buffer.h"
#include "platform/file_service.h"
#include "platform/registry.h"
#include "platform/window_system.h"

#include <optional>
#include <string>
#include <utility>

namespace quorvel {

struct InstallerState {
    // The folder offered (from the settings store, or found on disk), then
    // the one the player confirmed.
    std::string GameFolder;
    // The two files, built from GameFolder at start-up.
    std::string CustomCfgPath;
    std::string NewConfigPath;
    // Which mainta folder start-up read custom.cfg in; nullopt where it
    // could not be found.
    std::optional<FileIdentity> readFolder;
    // The lines of the configuration file read last.
    quorvel::LineBuffer LineBuffer;
    // Set to 1 by a "Need to go Check" answer; never reset.
    AbortFlagValue AbortFlag;
};

// Where the game keeps its folder in the per-user settings store.
inline constexpr const char* kGameRegistryKey = "Software\\2015\\MOHAA";
inline constexpr const char* kGameRegistryValue = "basepath";

inline constexpr const char* kFolderPrompt = "Enter the path to your MOHAA Directory";
inline constexpr const char* kFolderPromptTitle = "MOHAA Path";
inline constexpr const char* kMainWindowCaption = "Quorvel Config Setup 3.2";

inline constexpr const char* kHeaderLine =
    "//Part of Quorvel Config for use with MOHAA Sentrovia / Umplex 1.4.3.0";
inline constexpr const char* kEndMarkerLine = "//End quorvel config settings";
inline constexpr const char* kInstalledMessage =
    "Custom Config has been created and the Quorvel Config has been installed";
inline constexpr const char* kNewSettingsCaption = "New Custom.cfg settings";

// How an installation ended.
enum class InstallationResult {
    Installed, // both files written; the player was told so
    Aborted,   // "Need to go Check": nothing written, the main window closed
    Refused,   // a check before writing failed: nothing written, the player told why
    Failed,    // a write failed: both files left as they were, the player told what happened
};

// The game folder as the settings store gives it: the text up to and
// including the first place where it ends in "aa" in any letter case, or the
// whole text when there is no such place. Anything after a folder named ...MOHAA
// (a trailing backslash, a NUL) is dropped.
std::string BuildGameFolder(const std::string& registryText);

// The configuration files inside the game folder, which is trimmed of spaces;
// no separator is added or removed.
std::string CustomCfgPathFor(const std::string& gameFolder);
std::string NewConfigPathFor(const std::string& gameFolder);
// The folder that holds both: the game folder's mainta folder.
std::string MaintaFolderFor(const std::string& gameFolder);

// Game folders found on disk rather than in the settings store, such as
// OpenMoHAA's user folder. The prompt offers either whole: a found folder's
// own name may hold an "aa" anywhere, so it is not cut.
struct FoundFolders {
    // Offered instead of reading the settings store, which would only lead
    // to an older folder.
    std::optional<std::string> preferred;
    // Offered where the settings store holds no folder.
    std::string fallback;
};

class Installer {
public:
    Installer(WindowSystem& windows, RegistryStore& registry, FileService& files,
              FoundFolders found = {})
        : windows_(windows), registry_(registry), files_(files), found_(std::move(found)) {}

    // Runs once, while the main window is created and before it is shown:
    // finds the game folder, lets the player confirm it, builds both paths,
    // shows custom.cfg in the current list and fills the install list with
    // the base settings. Writes nothing.
    void RunStartup(MainWindowPort& mainWindow);

    // Asks the two detail questions, then writes custom.cfg (the header, the
    // lines to install and the end marker) and newconfig.cfg (an empty line,
    // then the player's earlier lines less those now installed), and shows
    // the new custom.cfg. Nothing is written unless every check passes first,
    // and a write that fails leaves both files as they were.
    InstallationResult RunInstallation(MainWindowPort& mainWindow);

    InstallerState& State() { return state_; }
    const InstallerState& State() const { return state_; }

private:
    WindowSystem& windows_;
    RegistryStore& registry_;
    FileService& files_;
    FoundFolders found_;
    InstallerState state_;
};

} // namespace quorvel
