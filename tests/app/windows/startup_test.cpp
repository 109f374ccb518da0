// Start-up and installation as on a player's Windows machine: the game folder
// from the registry itself, read with the registry's own calls, and the files
// on drive-letter paths used as they stand.

#include "core/installer.h"
#include "platform/ascii.h"
#include "platform/host_file_service.h"
#include "platform/windows/windows_registry.h"
#include "tests/support/installation_runs.h"
#include "tests/support/line_lists.h"
#include "tests/support/scripted_window_system.h"
#include "tests/support/stream_io.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_data.h"
#include "tests/support/windows/registry_sandbox.h"
#include "tests/support/windows/test_roots.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <windows.h>

namespace quorvel {
namespace {

using test::kPlayerCustomCfg;
using test::ReadBytes;
using test::Root;
using test::TempDir;
using test::WriteBytes;

// HKEY_CURRENT_USER of this process is a throwaway key while the test runs,
// so that the program's own key, Software\2015\MOHAA, is the test's alone.
struct RedirectedCurrentUser : test::RegistrySandbox {
    RedirectedCurrentUser() {
        if (RegOverridePredefKey(HKEY_CURRENT_USER, Key()) != ERROR_SUCCESS) {
            throw std::runtime_error("cannot redirect HKEY_CURRENT_USER");
        }
    }
    ~RedirectedCurrentUser() { RegOverridePredefKey(HKEY_CURRENT_USER, nullptr); }
    void SetBasePath(const std::string& folder) const {
        SetString(kGameRegistryKey, kGameRegistryValue, folder);
    }
};

class WindowsStartupTest : public ::testing::TestWithParam<Root> {
protected:
    WindowsStartupTest()
        : dir_(test::RootFolder(GetParam())), game_((dir_.Path() / "Games\\MOHAA").string()) {
        std::filesystem::create_directories(game_ + "\\mainta");
    }

    std::string File(const std::string& name) const { return game_ + "\\mainta\\" + name; }

    TempDir dir_;
    std::string game_;
    RedirectedCurrentUser currentUser_;
    WindowsRegistryStore registry_;
    HostFileService files_;
};

// The folder comes from the registry, as the game's installer leaves it (with
// a closing backslash) or in other letter case, or is typed with slashes:
// Windows takes each for the same folder, whose files are read and replaced.
TEST_P(WindowsStartupTest, FindsTheFolderInTheRegistryAndInstallsThere) {
    ASSERT_EQ(BuildGameFolder(game_), game_) << "the test folder must not hold \"aa\"";
    std::string upper = game_;
    std::transform(upper.begin(), upper.end(), upper.begin(), AsciiUpper);
    std::string slashes = game_;
    std::replace(slashes.begin(), slashes.end(), '\\', '/');
    const struct {
        std::string stored, typed, used;
    } spellings[] = {{game_ + "\\", "", game_}, {upper, "", upper}, {upper, slashes, slashes}};
    for (const auto& spelling : spellings) {
        SCOPED_TRACE(spelling.used);
        WriteBytes(File("custom.cfg"), kPlayerCustomCfg);
        std::filesystem::remove(File("newconfig.cfg"));
        currentUser_.SetBasePath(spelling.stored);
        test::ScriptedWindowSystem windows;
        test::ScriptedMainWindow window;
        if (!spelling.typed.empty()) {
            windows.AnswerPrompt(spelling.typed);
        }
        Installer installer(windows, registry_, files_);
        installer.RunStartup(window);
        ASSERT_EQ(windows.promptsShown.size(), 1u);
        EXPECT_EQ(windows.promptsShown[0].defaultAnswer, spelling.stored == upper ? upper : game_);
        EXPECT_EQ(installer.State().GameFolder, spelling.used);
        EXPECT_EQ(test::LinesOf(window.current), test::kPlayerCustomCfgShown);
        windows.Then(test::DialogStep::Answer("Medium"));
        windows.Then(test::DialogStep::Answer("Highest"));
        EXPECT_EQ(installer.RunInstallation(window), InstallationResult::Installed);
        EXPECT_EQ(ReadBytes(File("custom.cfg")), test::ExpectedFile("custom_medium_highest.cfg"));
        EXPECT_EQ(ReadBytes(File("newconfig.cfg")), test::kPlayerFirstNewConfig);
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, WindowsStartupTest,
                         ::testing::Values(Root::TempFolder, Root::ProgramFolder),
                         [](const auto& root) {
                             return root.param == Root::TempFolder ? "TempFolder" : "ProgramFolder";
                         });

// Another copy installing into the folder through Wine's Z: spelling of it
// holds off this one, which uses its C: spelling, with the usual message.
TEST(WindowsStartup, AnotherCopyInstallingThroughAnotherSpellingIsToldSo) {
    TempDir dir;
    const std::string game = (dir.Path() / "MOHAA").string();
    const std::string mainta = game + "\\mainta";
    std::filesystem::create_directories(mainta);
    WriteBytes(mainta + "\\custom.cfg", kPlayerCustomCfg);
    const std::string other = test::DriveZSpelling(mainta);
    if (other.empty()) {
        GTEST_SKIP() << "no second drive letter for the folder outside Wine";
    }
    HostFileService files;
    auto held = test::LockThrough(files, other);
    ASSERT_TRUE(held) << held.Status().reason;

    RedirectedCurrentUser currentUser;
    currentUser.SetBasePath(game);
    WindowsRegistryStore registry;
    test::ProgramRun run(registry, files);
    EXPECT_EQ(run.Install(), InstallationResult::Refused);
    ASSERT_EQ(run.windows.messagesShown.size(), 1u);
    EXPECT_EQ(run.windows.messagesShown[0].text, "Another quorvel is installing into \"" + mainta +
                                                     "\". Try again when it has finished.");
    EXPECT_EQ(ReadBytes(mainta + "\\custom.cfg"), kPlayerCustomCfg);
    EXPECT_EQ(GetFileAttributesA((mainta + "\\newconfig.cfg").c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
} // namespace quorvel
