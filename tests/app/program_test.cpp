// The Linux program as a player starts it: no WINEPREFIX, the game in a
// launcher's prefix, found from the command line's reading on, and an
// installation that writes into that prefix.

#include "app/program.h"
#include "tests/support/scripted_window_system.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_data.h"
#include "tests/support/wine_prefixes.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace quorvel {
namespace {

namespace fs = std::filesystem;

// Sets the environment variables discovery reads for the test's lifetime.
class ScopedHome {
public:
    explicit ScopedHome(const fs::path& home) {
        for (const char* name : kNames) {
            const char* value = std::getenv(name);
            saved_.push_back(value ? std::optional<std::string>(value) : std::nullopt);
            ::unsetenv(name);
        }
        ::setenv("HOME", home.c_str(), 1);
    }
    ~ScopedHome() {
        for (std::size_t i = 0; i < saved_.size(); ++i) {
            saved_[i] ? ::setenv(kNames[i], saved_[i]->c_str(), 1) : ::unsetenv(kNames[i]);
        }
    }

private:
    static constexpr const char* kNames[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                                             "WINEPREFIX"};
    std::vector<std::optional<std::string>> saved_;
};

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

// A newer prefix still holds the game's key, but the game is no longer in
// it: the stale ~/.wine, where the game lives, is chosen, and the standard
// error says why the newer one was passed over.
struct StalePrefixCase {
    const char* name;
    const char* newer;      // the newer prefix, below the home folder
    const char* gameFolder; // made in it, below drive_c; empty for none
    const char* passedOver; // the line on standard error
};

const StalePrefixCase kStalePrefixCases[] = {
    {"BottlesWithoutTheGameFolder", ".local/share/bottles/bottles/Old", "",
     "quorvel: passed over the Wine prefix ~/.local/share/bottles/bottles/Old (Bottles): its game "
     "folder C:\\Games\\MOHAA (~/.local/share/bottles/bottles/Old/drive_c/Games/MOHAA) does not "
     "exist\n"},
    {"ProtonWithoutMainta", ".local/share/Steam/steamapps/compatdata/2200/pfx", "Games/MOHAA",
     "quorvel: passed over the Wine prefix ~/.local/share/Steam/steamapps/compatdata/2200/pfx "
     "(Steam): its game folder C:\\Games\\MOHAA "
     "(~/.local/share/Steam/steamapps/compatdata/2200/pfx/drive_c/Games/MOHAA) holds no mainta\n"},
};

class StalePrefixTest : public ::testing::TestWithParam<StalePrefixCase> {};

TEST_P(StalePrefixTest, InstallsIntoThePrefixWhereTheGameIs) {
    const StalePrefixCase& row = GetParam();
    test::TempDir home;
    const ScopedHome scoped(home.Path());
    test::MakePrefix(home.Path() / ".wine", true, 1600000000);
    const fs::path mainta = home.Path() / ".wine/drive_c/Games/MOHAA/mainta";
    test::WriteFile(mainta / "custom.cfg", "bind F1 vote yes\r\n");
    const fs::path newer = home.Path() / row.newer;
    test::MakePrefix(newer, true, 1700000000);
    if (*row.gameFolder != '\0') {
        fs::create_directories(newer / "drive_c" / row.gameFolder);
    }

    ProgramOptions options;
    ::testing::internal::CaptureStderr();
    ASSERT_EQ(ReadCommandLine({}, options), std::nullopt);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              row.passedOver + std::string("quorvel: using the Wine prefix ") +
                  (home.Path() / ".wine").string() + " (Wine)\n");
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

INSTANTIATE_TEST_SUITE_P(Prefixes, StalePrefixTest, ::testing::ValuesIn(kStalePrefixCases),
                         [](const auto& row) { return std::string(row.param.name); });

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
