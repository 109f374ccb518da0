#pragma once

// Runs of the installer as a player makes them, answered "Medium" and
// "Highest", and the checks that the tests of stopped and failed
// installations share.

#include "core/installer.h"
#include "tests/support/fake_registry_store.h"
#include "tests/support/memory_file_service.h"
#include "tests/support/scripted_window_system.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace quorvel::test {

inline const std::string kSuccess =
    "Custom Config has been created and the Quorvel Config has been installed";

// A custom.cfg before a first installation (with a line that another answer
// than "Medium" would install), and one with newconfig.cfg before a later one.
inline const std::string kFirstCustomCfg =
    "bind MOUSE1 \"+attack\"\r\n  setu cheats 0\r\nsetu r_picmip 1\r\nsetu r_lodcap .5\r\n";
inline const std::string kLaterCustomCfg =
    "bind MOUSE1 \"+attack\"\r\nsetu r_picmip 1\r\nbind h \"say hand added\"\r\n";
inline const std::string kLaterNewConfig =
    "\r\nbind MOUSE1 \"+attack\"\r\nseta name Player\r\n\r\n";

// What custom.cfg and newconfig.cfg hold.
struct Files {
    std::optional<std::string> custom;
    std::optional<std::string> other;
    bool operator==(const Files&) const = default;
};

// The usual game in memory: the settings store names C:\Games\MOHAA, whose
// mainta folder holds custom.cfg and newconfig.cfg where given.
inline const std::string kMainta = "C:\\Games\\MOHAA\\mainta";
inline const std::string kCustom = kMainta + "\\custom.cfg";
inline const std::string kOther = kMainta + "\\newconfig.cfg";
struct MemoryGame {
    explicit MemoryGame(const std::optional<std::string>& customCfg = {},
                        const std::optional<std::string>& newConfig = {});
    Files Now() const { return {files.File(kCustom), files.File(kOther)}; }

    FakeRegistryStore registry;
    MemoryFileService files;
};

// Runs `attempt(k, reached)` for k = 1, 2, ...: each attempt puts a fault at
// its k-th point and sets `reached` when it got that far. Stops at the first
// attempt that ends before its fault point, or at a fatal failure; returns
// how many attempts reached theirs.
std::size_t AtEveryFaultPoint(const std::function<void(std::size_t k, bool& reached)>& attempt);

// One run of the program: start-up, then an installation for each Install,
// its detail dialogs answered `texture` and `model`.
struct ProgramRun {
    ProgramRun(RegistryStore& registry, FileService& files);
    InstallationResult Install(const std::string& texture = "Medium",
                               const std::string& model = "Highest");

    ScriptedWindowSystem windows;
    ScriptedMainWindow window;
    Installer installer;
};

// Starts a run against `files`, installs, and keeps what the player saw.
struct Attempt : ProgramRun {
    Attempt(RegistryStore& registry, FileService& files);

    // Exactly one message: the success one, or a warning naming `file`.
    void ExpectToldAbout(const std::string& file) const;
    // The window is as start-up left it.
    void ExpectWindowUnchanged() const;

    std::vector<std::string> currentBefore;
    InstallationResult result{};
};

// The non-empty lines of a file, trimmed.
std::set<std::string> PlayerLines(const std::optional<std::string>& bytes);
std::set<std::string> LinesOfBoth(const std::optional<std::string>& custom,
                                  const std::optional<std::string>& other);

// Checks the files after a stop at any moment: each is either what it was
// or what the installation writes, and no line of either is lost.
void ExpectWholeAndNothingLost(const Files& now, const Files& before, const Files& after);
// Every line of `before` is in one of the files `now`.
void ExpectNothingLost(const Files& now, const Files& before);

// The files of a game folder on disk, and the same made there.
class GameFolder;
Files FilesOf(const GameFolder& game);
void Put(const GameFolder& game, const Files& files);
// What an installation, answered as Install's defaults, makes of `start`.
Files InstalledFrom(const Files& start);

// Puts what `make` makes in the place of custom.cfg, then of newconfig.cfg,
// the player's lines in the other: the installation refuses before it makes
// any new file, naming the file and each of `told`, and leaves everything in
// mainta as it was.
void ExpectRefusedOverAnOddEntry(const std::function<void(const std::filesystem::path&)>& make,
                                 const std::vector<std::string>& told = {});

} // namespace quorvel::test
