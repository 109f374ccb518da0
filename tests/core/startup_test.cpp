// Start-up end to end: settings store, prompt, paths and the first read of
// custom.cfg, through the scripted window system.

#include "core/base_settings.h"
#include "core/installer.h"
#include "tests/support/installation_runs.h"
#include "tests/support/line_lists.h"

#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

using Lines = std::vector<std::string>;

constexpr const char* kKey = "Software\\2015\\MOHAA";

class StartupTest : public ::testing::Test {
protected:
    // Runs start-up and returns the default answer the prompt offered.
    std::string Start(const FoundFolders& found = {}) {
        windows.promptsShown.clear();
        Installer installer(windows, game.registry, game.files, found);
        installer.RunStartup(window);
        state = installer.State();
        EXPECT_EQ(windows.promptsShown.size(), 1u);
        return windows.promptsShown.at(0).defaultAnswer;
    }
    // Start-up with the store's value as `type` and `bytes`, or with none.
    std::string Offered(std::uint32_t type, const std::optional<std::string>& bytes,
                        const FoundFolders& found = {}) {
        game.registry = {};
        if (bytes) {
            game.registry.SetRaw(kKey, "basepath", type, {bytes->begin(), bytes->end()});
        }
        return Start(found);
    }

    MemoryGame game{"bind a +attack\r\n  setu cheats 0 \r\n"};
    ScriptedWindowSystem windows;
    ScriptedMainWindow window;
    InstallerState state;
};

TEST_F(StartupTest, FolderFromTheStoreIsOfferedAndTheFilesAreFoundInIt) {
    EXPECT_EQ(Offered(reg::kTypeString, std::string("C:\\Games\\MOHAA\0", 15)), "C:\\Games\\MOHAA");

    const auto& prompt = windows.promptsShown.at(0);
    EXPECT_EQ(prompt.text, "Enter the path to your MOHAA Directory");
    EXPECT_EQ(prompt.title, "MOHAA Path");
    EXPECT_EQ(window.caption, "Quorvel Config Setup 3.2");
    EXPECT_EQ(state.GameFolder, "C:\\Games\\MOHAA");
    EXPECT_EQ(state.CustomCfgPath, kCustom);
    EXPECT_EQ(state.NewConfigPath, kOther);
    // The final CR LF leaves an empty last line.
    EXPECT_EQ(LinesOf(window.current), (Lines{"bind a +attack", "setu cheats 0", ""}));
    ASSERT_EQ(state.LineBuffer.Count(), 3u);
    EXPECT_EQ(state.LineBuffer[1], "  setu cheats 0 ");

    // The store is only read, and its key is closed again; nothing is written.
    EXPECT_EQ(game.registry.lastAccess, 0x3Fu);
    EXPECT_EQ(game.registry.OpenKeys(), 0u);
    EXPECT_EQ(game.Now(), (Files{"bind a +attack\r\n  setu cheats 0 \r\n", {}}));
}

// The stored folder ends at its first "aa" in any letter case; what the
// store holds in no usable form offers an empty folder.
TEST_F(StartupTest, TheStoredFolderIsOfferedUpToItsFirstDoubleA) {
    for (const auto& [stored, offered] : std::vector<std::pair<std::string, std::string>>{
             {std::string("C:\\Games\\MOHAA\0", 15), "C:\\Games\\MOHAA"},
             {"C:\\Games\\MOHAA\\", "C:\\Games\\MOHAA"},
             {"D:\\spiele\\mohaa\\main", "D:\\spiele\\mohaa"},
             {"C:\\Kaart\\Games\\MOHAA", "C:\\Kaa"},
             {"C:\\Games\\Mohaa", "C:\\Games\\Mohaa"},
             {"C:\\Games\\MOHaA\\x", "C:\\Games\\MOHaA"},
             {"C:\\Games\\Medal", "C:\\Games\\Medal"},
             {"aa\\b", "aa"},
             {"a", "a"},
             {"", ""},
             {std::string(40000, 'b') + "aa" + std::string(40000, 'c'),
              std::string(40000, 'b') + "aa"},
         }) {
        EXPECT_EQ(BuildGameFolder(stored), offered) << stored;
    }
    const std::string longText(100000, 'x');
    const struct {
        std::uint32_t type;
        std::optional<std::string> bytes;
        std::string offered;
    } cases[] = {
        {reg::kTypeString, std::nullopt, ""},
        {reg::kTypeString, std::string("C:\\Games\\MOHAA\\\0junk\0", 21), "C:\\Games\\MOHAA"},
        {reg::kTypeExpandString, std::string("%GAMES%\\MOHAA\0", 14), ""},
        {reg::kTypeDword, std::string("\5\0\0\0", 4), "5"},
        {reg::kTypeString, longText + '\0', longText},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Offered(c.type, c.bytes), c.offered);
        EXPECT_EQ(state.CustomCfgPath, c.offered + "\\mainta\\custom.cfg");
        EXPECT_EQ(game.registry.OpenKeys(), 0u);
    }
}

// A folder found on disk (OpenMoHAA's user folder) is offered whole, "aa"
// in its path and all: where the store holds none, or, where it is the one
// preferred, without the store being read.
TEST_F(StartupTest, AFoundFolderIsOfferedWholeWhenTheStoreHoldsNoneOrItIsPreferred) {
    const std::string found = "C:\\Users\\Kaarina\\AppData\\Roaming\\openmohaa";
    const std::string stored("C:\\Games\\MOHAA\\\0", 16);
    EXPECT_EQ(Offered(reg::kTypeString, std::nullopt, {std::nullopt, found}), found);
    EXPECT_EQ(Offered(reg::kTypeString, std::string(1, '\0'), {std::nullopt, found}), found);
    EXPECT_EQ(Offered(reg::kTypeString, stored, {std::nullopt, found}), "C:\\Games\\MOHAA");
    EXPECT_NE(game.registry.lastAccess, 0u);
    EXPECT_EQ(Offered(reg::kTypeString, stored, {found, {}}), found);
    EXPECT_EQ(game.registry.lastAccess, 0u);
}

// The answer is kept as it stands and trimmed for the paths, with no
// separator added or removed; a cancelled prompt uses the root of the
// current drive.
TEST_F(StartupTest, TheAnswerIsTakenAsItStandsAndTrimmedForThePaths) {
    game.files.AddFolder("\\mainta");
    game.files.SetFile("\\mainta\\custom.cfg", "from the root\r\n");
    for (const auto& [answer, folder] :
         std::vector<std::pair<std::optional<std::string>, std::string>>{
             {"  E:\\MOHAA\\  ", "E:\\MOHAA\\"}, {std::nullopt, ""}}) {
        windows.AnswerPrompt(answer);
        Start();
        EXPECT_EQ(state.GameFolder, answer.value_or(""));
        EXPECT_EQ(state.CustomCfgPath, folder + "\\mainta\\custom.cfg");
        EXPECT_EQ(state.NewConfigPath, folder + "\\mainta\\newconfig.cfg");
    }
    EXPECT_EQ(LinesOf(window.current), (Lines{"from the root", ""}));
}

TEST_F(StartupTest, AnEmptyCustomCfgLeavesTheListEmpty) {
    game.files.SetFile(kCustom, "");
    Start();
    EXPECT_TRUE(LinesOf(window.current).empty());
    EXPECT_FALSE(state.LineBuffer.IsEmpty());
    EXPECT_EQ(state.LineBuffer.Count(), 0u);
    EXPECT_EQ(window.install.Count(), BaseSettings.size());
}

} // namespace
} // namespace quorvel::test
