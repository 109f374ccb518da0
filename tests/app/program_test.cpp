// The Linux program as a player starts it: no WINEPREFIX, the game in a
// launcher's prefix, found from the command line's reading on, and an
// installation that writes into that prefix.

#include "app/program.h"
#include "tests/support/posix/scoped_env.h"
#include "tests/support/scripted_window_system.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_data.h"
#include "tests/support/wine_prefixes.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace quorvel {
namespace {

namespace fs = std::filesystem;

using test::ScopedHome;

TEST(ProgramTest, InstallsIntoThePrefixALauncherKeepsTheGameIn) {
    test::TempDir home;
    const ScopedHome scoped(home.Path());
    const fs::path prefix = home.Path() / "Games/mohaa";
    test::WriteFile(home.Path() / ".config/lutris/games/mohaa-1700000000.yml",
                    "game:\n  exe: drive_c/Games/MOHAA/MOHAA.exe\n  prefix: " + prefix.string() +
                        "\nname: MOHAA\n");
    test::MakePrefix(prefix, true, 1700000000);
    // An older prefix with the game, in Wine's own place, loses.
    test::MakePrefix(home.Path() / ".wine", true, 1600000000);
    const fs::path mainta = prefix / "drive_c/Games/MOHAA/mainta";
    test::WriteFile(mainta / "custom.cfg", "bind F1 vote yes\r\n");

    ProgramOptions options;
    ASSERT_EQ(ReadCommandLine({}, options), std::nullopt);
    EXPECT_EQ(options.winePrefix, prefix.string());

    test::ScriptedWindowSystem windows;
    test::ScriptedMainWindow window;
    Program program(windows, options);
    program.GetInstaller().RunStartup(window);
    ASSERT_EQ(windows.promptsShown.size(), 1u);
    EXPECT_EQ(windows.promptsShown[0].defaultAnswer, "C:\\Games\\MOHAA");
    EXPECT_EQ(window.current.Count(), 2u);

    windows.Then(test::DialogStep::Answer("Medium"));
    windows.Then(test::DialogStep::Answer("Highest"));
    EXPECT_EQ(program.GetInstaller().RunInstallation(window), InstallationResult::Installed);
    EXPECT_EQ(test::ReadBytes(mainta / "custom.cfg"),
              test::ExpectedFile("custom_medium_highest.cfg"));
    EXPECT_EQ(test::ReadBytes(mainta / "newconfig.cfg"), "\r\nbind F1 vote yes\r\n\r\n");
    EXPECT_FALSE(fs::exists(home.Path() / ".wine/drive_c/Games/MOHAA/mainta"));
}

// An OpenMoHAA player has no prefix at all: the engine's user folder is
// offered whole, though the home folder's path holds an "aa", and the files
// are written there.
TEST(ProgramTest, InstallsIntoOpenMohaasFolderWhereItIsTheNewest) {
    test::TempDir dir;
    const fs::path home = dir.Path() / "Kaarina";
    const ScopedHome scoped(home);
    // An older prefix with the game in its settings store loses.
    test::MakePrefix(home / ".wine", true, 1600000000);
    const fs::path mainta = home / ".openmohaa/mainta";
    test::WriteFile(mainta / "custom.cfg", "bind F1 vote yes\r\n");

    ProgramOptions options;
    ASSERT_EQ(ReadCommandLine({}, options), std::nullopt);
    test::ScriptedWindowSystem windows;
    test::ScriptedMainWindow window;
    Program program(windows, options);
    program.GetInstaller().RunStartup(window);
    ASSERT_EQ(windows.promptsShown.size(), 1u);
    EXPECT_EQ(windows.promptsShown[0].defaultAnswer, (home / ".openmohaa").string());
    EXPECT_EQ(window.current.Count(), 2u);

    windows.Then(test::DialogStep::Answer("Medium"));
    windows.Then(test::DialogStep::Answer("Highest"));
    EXPECT_EQ(program.GetInstaller().RunInstallation(window), InstallationResult::Installed);
    EXPECT_EQ(test::ReadBytes(mainta / "custom.cfg"),
              test::ExpectedFile("custom_medium_highest.cfg"));
    EXPECT_EQ(test::ReadBytes(mainta / "newconfig.cfg"), "\r\nbind F1 vote yes\r\n\r\n");
}

// A newer prefix (Bottles, Proton) still holds the game's key, but the game
// is gone from it, or its folder holds no mainta: the stale ~/.wine, where
// the game lives, is chosen, and standard error says why the other was not.
class StalePrefixTest : public ::testing::TestWithParam<std::array<const char*, 3>> {};

TEST_P(StalePrefixTest, InstallsIntoThePrefixWhereTheGameIs) {
    const auto [newerPrefix, gameFolder, why] = GetParam();
    test::TempDir home;
    const ScopedHome scoped(home.Path());
    test::MakePrefix(home.Path() / ".wine", true, 1600000000);
    const fs::path mainta = home.Path() / ".wine/drive_c/Games/MOHAA/mainta";
    test::WriteFile(mainta / "custom.cfg", "bind F1 vote yes\r\n");
    const fs::path newer = home.Path() / newerPrefix;
    test::MakePrefix(newer, true, 1700000000);
    fs::create_directories(newer / "drive_c" / gameFolder);

    ProgramOptions options;
    ::testing::internal::CaptureStderr();
    ASSERT_EQ(ReadCommandLine({}, options), std::nullopt);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "quorvel: passed over the Wine prefix ~/" + std::string(newerPrefix) + why +
                  "\nquorvel: using the Wine prefix " + home.Path().string() + "/.wine (Wine)\n");
    test::ScriptedWindowSystem windows;
    test::ScriptedMainWindow window;
    Program program(windows, options);
    program.GetInstaller().RunStartup(window);
    windows.Then(test::DialogStep::Answer("Medium"));
    windows.Then(test::DialogStep::Answer("Highest"));
    EXPECT_EQ(program.GetInstaller().RunInstallation(window), InstallationResult::Installed);
    EXPECT_EQ(test::ReadBytes(mainta / "custom.cfg"),
              test::ExpectedFile("custom_medium_highest.cfg"));
    EXPECT_FALSE(fs::exists(newer / "drive_c/Games/MOHAA/mainta"));
}

INSTANTIATE_TEST_SUITE_P(
    Prefixes, StalePrefixTest,
    ::testing::Values(std::array<const char*, 3>{".local/share/bottles/bottles/Old", "",
                                                 " (Bottles): its game folder C:\\Games\\MOHAA "
                                                 "(~/.local/share/bottles/bottles/Old/drive_c/"
                                                 "Games/MOHAA) does not exist"},
                      std::array<const char*, 3>{
                          ".local/share/Steam/steamapps/compatdata/2200/pfx", "Games/MOHAA",
                          " (Steam): its game folder C:\\Games\\MOHAA (~/.local/share/Steam/"
                          "steamapps/compatdata/2200/pfx/drive_c/Games/MOHAA) holds no mainta"}));

TEST(ProgramTest, ThePrefixOptionComesFirstAndHelpNeedsNoWindow) {
    test::TempDir home;
    const ScopedHome scoped(home.Path());
    test::MakePrefix(home.Path() / ".wine", true, 1700000000);
    const std::string chosen = (home.Path() / "elsewhere").string();
    ProgramOptions options;
    EXPECT_EQ(ReadCommandLine({"--prefix", chosen}, options), std::nullopt);
    EXPECT_EQ(options.winePrefix, chosen);
    EXPECT_EQ(ReadCommandLine({"--version"}, options), 0);
    EXPECT_EQ(ReadCommandLine({"--no-such-option"}, options), 2);
}

} // namespace
} // namespace quorvel
