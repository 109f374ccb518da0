// The Linux program as a player starts it: no WINEPREFIX, the game found
// from the command line's reading on, and an installation that writes into
// the folder found.

#include "app/program.h"
#include "tests/support/posix/scoped_env.h"
#include "tests/support/scripted_window_system.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_data.h"
#include "tests/support/wine_prefixes.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace quorvel {
namespace {

namespace fs = std::filesystem;

// Starts the program as a player does and installs, the game's folder offered
// being `offered` and its files in `mainta`; gives what standard error said.
std::string InstallAsAPlayer(const fs::path& mainta, const std::string& offered) {
    test::WriteFile(mainta / "custom.cfg", "bind F1 vote yes\r\n");
    ProgramOptions options;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(ReadCommandLine({}, options), std::nullopt);
    const std::string said = ::testing::internal::GetCapturedStderr();
    test::ScriptedWindowSystem windows;
    test::ScriptedMainWindow window;
    Program program(windows, options);
    program.GetInstaller().RunStartup(window);
    EXPECT_EQ(windows.promptsShown.at(0).defaultAnswer, offered);
    EXPECT_EQ(window.current.Count(), 2u);
    windows.Then(test::DialogStep::Answer("Medium"));
    windows.Then(test::DialogStep::Answer("Highest"));
    EXPECT_EQ(program.GetInstaller().RunInstallation(window), InstallationResult::Installed);
    EXPECT_EQ(test::ReadBytes(mainta / "custom.cfg"),
              test::ExpectedFile("custom_medium_highest.cfg"));
    EXPECT_EQ(test::ReadBytes(mainta / "newconfig.cfg"), "\r\nbind F1 vote yes\r\n\r\n");
    return said;
}

// ~/.wine is newer and still holds the game's key, but the game is gone from
// it: a launcher's prefix, where the game is, is used, and standard error
// says why the other was not.
TEST(ProgramTest, InstallsIntoThePrefixWhereTheGameIs) {
    test::TempDir home;
    const test::ScopedHome scoped(home.Path());
    test::MakePrefix(home.Path() / ".wine", true, 1700000000);
    const fs::path prefix = home.Path() / "Games/mohaa";
    test::MakePrefix(prefix, true, 1600000000);
    EXPECT_EQ(InstallAsAPlayer(prefix / "drive_c/Games/MOHAA/mainta", "C:\\Games\\MOHAA"),
              "quorvel: passed over the Wine prefix ~/.wine (Wine): its game folder "
              "C:\\Games\\MOHAA (~/.wine/drive_c/Games/MOHAA) does not exist\n"
              "quorvel: using the Wine prefix " +
                  prefix.string() + " (Lutris)\n");
    EXPECT_FALSE(fs::exists(home.Path() / ".wine/drive_c/Games/MOHAA/mainta"));
}

// An OpenMoHAA player has no prefix at all: the engine's user folder is
// offered whole, though the home folder's path holds an "aa".
TEST(ProgramTest, InstallsIntoOpenMohaasFolderWhereItIsTheNewest) {
    test::TempDir dir;
    const fs::path home = dir.Path() / "Kaarina";
    const test::ScopedHome scoped(home);
    test::MakePrefix(home / ".wine", true, 1600000000);
    InstallAsAPlayer(home / ".openmohaa/mainta", (home / ".openmohaa").string());
}

// --prefix reaches the search (which puts it first), and the exit status of
// an option that needs no window comes back.
TEST(ProgramTest, ThePrefixOptionIsPassedOnAndHelpNeedsNoWindow) {
    test::TempDir home;
    const test::ScopedHome scoped(home.Path());
    const std::string chosen = (home.Path() / "elsewhere").string();
    ProgramOptions options;
    EXPECT_EQ(ReadCommandLine({"--prefix", chosen}, options), std::nullopt);
    EXPECT_EQ(options.winePrefix, chosen);
    EXPECT_EQ(ReadCommandLine({"--version"}, options), 0);
    EXPECT_EQ(ReadCommandLine({"--no-such-option"}, options), 2);
}

} // namespace
} // namespace quorvel
