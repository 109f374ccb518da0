// The game folder found through a Wine prefix's user.reg, where C: is the
// prefix's drive_c: a folder with spaces and accents in another letter case,
// and a stored folder of a hundred thousand characters.

#include "core/installer.h"
#include "platform/wine_registry.h"
#include "tests/support/game_folder.h"
#include "tests/support/installation_runs.h"
#include "tests/support/line_lists.h"
#include "tests/support/test_data.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace quorvel {
namespace {

using test::ExpectedFile;
using test::GameFolder;
using test::kPlayerCustomCfg;
using test::kPlayerCustomCfgShown;
using test::kPlayerFirstNewConfig;
using test::LinesOf;
using test::ProgramRun;

TEST(Installation, AFolderWithSpacesAndAccentsIsFoundThroughUserReg) {
    GameFolder game("Jeux/M\xC3\xA9"
                    "daille d'honneur/MOHAA");
    game.Write("custom.cfg", kPlayerCustomCfg);
    const auto userReg = game.Prefix() / "user.reg";
    test::WriteBytes(userReg, R"(WINE REGISTRY Version 2

[Software\\2015\\MOHAA] 1700000000
"basepath"="C:\\JEUX\\M\x00c9DAILLE D'HONNEUR\\mohaa\\"
)");
    WineRegistryStore store(WineRegistryFile::Load(userReg.string()));

    ProgramRun run(store, game.files);
    EXPECT_EQ(run.windows.promptsShown.at(0).defaultAnswer, "C:\\JEUX\\M\xC3\x89"
                                                            "DAILLE D'HONNEUR\\mohaa");
    EXPECT_EQ(LinesOf(run.window.current), kPlayerCustomCfgShown);
    EXPECT_EQ(run.Install(), InstallationResult::Installed);
    EXPECT_EQ(game.Read("custom.cfg"), ExpectedFile("custom_medium_highest.cfg"));
    EXPECT_EQ(game.Read("newconfig.cfg"), kPlayerFirstNewConfig);
    // Nothing was made beside the folders in the letter case of the store.
    const auto entries = [](const std::filesystem::path& folder) {
        return std::distance(std::filesystem::directory_iterator(folder),
                             std::filesystem::directory_iterator());
    };
    EXPECT_EQ(entries(game.Prefix() / "drive_c"), 1);
    EXPECT_EQ(entries(game.Mainta().parent_path().parent_path()), 1);
    EXPECT_EQ(entries(game.Mainta()), 2);
}

TEST(InstallationLarge, AHundredThousandCharacterStoredFolderIsReadWhole) {
    const std::string junk(100000, 'x');
    const auto userReg = [](const std::string& value) {
        return WineRegistryStore(WineRegistryFile::Parse(
            "WINE REGISTRY Version 2\n[Software\\\\2015\\\\MOHAA]\n\"basepath\"=\"" + value +
            "\"\n"));
    };
    // The folder ends at MOHAA, so what follows it is dropped.
    {
        GameFolder game;
        game.Write("custom.cfg", "seta name Player\r\n");
        WineRegistryStore store = userReg("C:\\\\Games\\\\MOHAA\\\\" + junk);
        ProgramRun run(store, game.files);
        EXPECT_EQ(run.Install(), InstallationResult::Installed);
        EXPECT_EQ(run.windows.promptsShown.at(0).defaultAnswer, "C:\\Games\\MOHAA");
        EXPECT_EQ(game.Read("newconfig.cfg"), "\r\nseta name Player\r\n\r\n");
    }
    // No folder can have such a name: the player is told, nothing is written.
    {
        GameFolder game;
        game.Write("custom.cfg", "seta name Player\r\n");
        WineRegistryStore store = userReg("C:\\\\Games\\\\" + junk);
        ProgramRun run(store, game.files);
        EXPECT_EQ(run.Install(), InstallationResult::Refused);
        EXPECT_EQ(run.windows.promptsShown.at(0).defaultAnswer, "C:\\Games\\" + junk);
        ASSERT_EQ(run.windows.messagesShown.size(), 1u);
        EXPECT_EQ(run.windows.messagesShown[0].icon, MessageIcon::Warning);
        EXPECT_EQ(game.Read("custom.cfg"), "seta name Player\r\n");
        EXPECT_FALSE(game.Read("newconfig.cfg"));
    }
}

} // namespace
} // namespace quorvel
