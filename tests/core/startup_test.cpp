// Start-up end to end: settings store, prompt, paths and the first read of
// custom.cfg, through the scripted window system.

#include "core/base_settings.h"
#include "core/installer.h"
#include "tests/support/fake_registry_store.h"
#include "tests/support/line_lists.h"
#include "tests/support/memory_file_service.h"
#include "tests/support/scripted_window_system.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

using test::FakeRegistryStore;
using test::LinesOf;
using test::MemoryFileService;
using test::ScriptedMainWindow;
using test::ScriptedWindowSystem;
using Lines = std::vector<std::string>;

constexpr const char* kKey = "Software\\2015\\MOHAA";

class StartupTest : public ::testing::Test {
protected:
    // Runs start-up and returns the default answer the prompt offered.
    std::string Start() {
        Installer installer(windows, registry, files);
        installer.RunStartup(window);
        state = installer.State();
        EXPECT_EQ(windows.promptsShown.size(), 1u);
        return windows.promptsShown.empty() ? std::string() : windows.promptsShown[0].defaultAnswer;
    }

    FakeRegistryStore registry;
    MemoryFileService files;
    ScriptedWindowSystem windows;
    ScriptedMainWindow window;
    InstallerState state;
};

TEST_F(StartupTest, FolderFromTheStoreIsOfferedAndTheFilesAreFoundInIt) {
    registry.SetString(kKey, "basepath", "C:\\Games\\MOHAA");
    files.AddFolder("C:\\Games\\MOHAA\\mainta");
    files.SetFile("C:\\Games\\MOHAA\\mainta\\custom.cfg", "bind a +attack\r\n  setu cheats 0 \r\n");

    EXPECT_EQ(Start(), "C:\\Games\\MOHAA");

    const auto& prompt = windows.promptsShown.at(0);
    EXPECT_EQ(prompt.text, "Enter the path to your MOHAA Directory");
    EXPECT_EQ(prompt.title, "MOHAA Path");
    EXPECT_EQ(window.caption, "Quorvel Config Setup 3.2");
    EXPECT_EQ(state.GameFolder, "C:\\Games\\MOHAA");
    EXPECT_EQ(state.CustomCfgPath, "C:\\Games\\MOHAA\\mainta\\custom.cfg");
    EXPECT_EQ(state.NewConfigPath, "C:\\Games\\MOHAA\\mainta\\newconfig.cfg");
    // The final CR LF leaves an empty last line.
    EXPECT_EQ(LinesOf(window.current), (Lines{"bind a +attack", "setu cheats 0", ""}));
    ASSERT_EQ(state.LineBuffer.Count(), 3u);
    EXPECT_EQ(state.LineBuffer[1], "  setu cheats 0 ");

    // The store is only read, and its key is closed again.
    EXPECT_EQ(registry.lastAccess, 0x3Fu);
    EXPECT_EQ(registry.OpenKeys(), 0u);
    // Start-up writes nothing.
    EXPECT_EQ(files.Files().size(), 1u);
    EXPECT_EQ(files.File("C:\\Games\\MOHAA\\mainta\\custom.cfg"),
              "bind a +attack\r\n  setu cheats 0 \r\n");
}

TEST_F(StartupTest, TheFolderEndsAtTheFirstDoubleA) {
    const std::vector<std::pair<std::string, std::string>> cases = {
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
    };
    for (const auto& [stored, offered] : cases) {
        EXPECT_EQ(BuildGameFolder(stored), offered) << stored;
    }

    registry.SetString(kKey, "basepath", std::string("C:\\Games\\MOHAA\\\0junk", 20));
    EXPECT_EQ(Start(), "C:\\Games\\MOHAA");
}

TEST_F(StartupTest, NothingUsableInTheStoreOffersAnEmptyFolder) {
    // Missing key.
    EXPECT_EQ(Start(), "");
    EXPECT_EQ(state.CustomCfgPath, "\\mainta\\custom.cfg");

    // Unsupported type.
    ScriptedWindowSystem again;
    registry.SetString(kKey, "basepath", "%GAMES%\\MOHAA", reg::kTypeExpandString);
    Installer installer(again, registry, files);
    ScriptedMainWindow otherWindow;
    installer.RunStartup(otherWindow);
    EXPECT_EQ(again.promptsShown.at(0).defaultAnswer, "");
    EXPECT_EQ(registry.OpenKeys(), 0u);
}

// A folder found on disk (OpenMoHAA's user folder) is offered whole, "aa"
// in its path and all: where the store holds none, or, where it is the one
// preferred, without the store being read.
TEST_F(StartupTest, AFoundFolderIsOfferedWholeWhenTheStoreHoldsNoneOrItIsPreferred) {
    const std::string found = "C:\\Users\\Kaarina\\AppData\\Roaming\\openmohaa";
    const auto offered = [&](const char* stored, const FoundFolders& folders) {
        FakeRegistryStore store;
        if (stored != nullptr) {
            store.SetString(kKey, "basepath", stored);
        }
        ScriptedWindowSystem prompts;
        ScriptedMainWindow mainWindow;
        Installer installer(prompts, store, files, folders);
        installer.RunStartup(mainWindow);
        EXPECT_EQ(store.lastAccess != 0, !folders.preferred);
        return prompts.promptsShown.at(0).defaultAnswer;
    };
    EXPECT_EQ(offered(nullptr, {std::nullopt, found}), found);
    EXPECT_EQ(offered("", {std::nullopt, found}), found);
    EXPECT_EQ(offered("C:\\Games\\MOHAA\\", {std::nullopt, found}), "C:\\Games\\MOHAA");
    EXPECT_EQ(offered("C:\\Games\\MOHAA\\", {found, {}}), found);
}

TEST_F(StartupTest, ADoubleWordIsOfferedAsItsDecimalText) {
    registry.SetDword(kKey, "basepath", 5);
    EXPECT_EQ(Start(), "5");
}

TEST_F(StartupTest, TheAnswerIsTakenAsItStandsAndTrimmedForThePaths) {
    registry.SetString(kKey, "basepath", "C:\\Games\\MOHAA");
    windows.AnswerPrompt("  E:\\MOHAA\\  ");
    Start();
    EXPECT_EQ(state.GameFolder, "  E:\\MOHAA\\  ");
    // No separator is added or removed.
    EXPECT_EQ(state.CustomCfgPath, "E:\\MOHAA\\\\mainta\\custom.cfg");
    EXPECT_EQ(state.NewConfigPath, "E:\\MOHAA\\\\mainta\\newconfig.cfg");
}

TEST_F(StartupTest, CancellingThePromptUsesTheRootOfTheCurrentDrive) {
    registry.SetString(kKey, "basepath", "C:\\Games\\MOHAA");
    files.AddFolder("\\mainta");
    files.SetFile("\\mainta\\custom.cfg", "from the root\r\n");
    windows.AnswerPrompt(std::nullopt);
    Start();
    EXPECT_EQ(state.GameFolder, "");
    EXPECT_EQ(state.CustomCfgPath, "\\mainta\\custom.cfg");
    EXPECT_EQ(state.NewConfigPath, "\\mainta\\newconfig.cfg");
    EXPECT_EQ(LinesOf(window.current), (Lines{"from the root", ""}));
}

TEST_F(StartupTest, MissingOrEmptyCustomCfgLeavesTheListEmpty) {
    registry.SetString(kKey, "basepath", "C:\\Games\\MOHAA");
    files.AddFolder("C:\\Games\\MOHAA\\mainta");
    files.SetFile("C:\\Games\\MOHAA\\mainta\\custom.cfg", "");
    Start();
    EXPECT_TRUE(LinesOf(window.current).empty());
    EXPECT_FALSE(state.LineBuffer.IsEmpty());
    EXPECT_EQ(state.LineBuffer.Count(), 0u);
    EXPECT_EQ(window.install.Count(), BaseSettings.size());
}

TEST_F(StartupTest, AVeryLongStoredFolderNeitherCrashesNorIsCut) {
    std::string longText(100000, 'x');
    registry.SetString(kKey, "basepath", longText);
    EXPECT_EQ(Start(), longText);

    std::string withStop = std::string(40000, 'b') + "aa" + std::string(40000, 'c');
    EXPECT_EQ(BuildGameFolder(withStop), std::string(40000, 'b') + "aa");
}

} // namespace
} // namespace quorvel
