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

namespace quorvel::test {
namespace {

TEST(Installation, AFolderWithSpacesAndAccentsIsFoundThroughUserReg) {
    GameFolder game("Jeux/M\xC3\xA9"
                    "daille d'honneur/MOHAA");
    game.Write("custom.cfg", kPlayerCustomCfg);
    const auto userReg = game.Prefix() / "user.reg";
    WriteBytes(userReg, R"(WINE REGISTRY Version 2

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

// A folder that ends at MOHAA drops what follows; no folder can have the
// other name, and the player is told so with nothing written.
TEST(InstallationLarge, AHundredThousandCharacterStoredFolderIsReadWhole) {
    const std::string junk(100000, 'x');
    for (const auto& [stored, offered, installed] :
         std::vector<std::tuple<std::string, std::string, bool>>{
             {"C:\\\\Games\\\\MOHAA\\\\" + junk, "C:\\Games\\MOHAA", true},
             {"C:\\\\Games\\\\" + junk, "C:\\Games\\" + junk, false}}) {
        GameFolder game;
        game.Write("custom.cfg", "seta name Player\r\n");
        WineRegistryStore store(WineRegistryFile::Parse(
            "WINE REGISTRY Version 2\n[Software\\\\2015\\\\MOHAA]\n\"basepath\"=\"" + stored +
            "\"\n"));
        ProgramRun run(store, game.files);
        EXPECT_EQ(run.windows.promptsShown.at(0).defaultAnswer, offered);
        EXPECT_EQ(run.Install(),
                  installed ? InstallationResult::Installed : InstallationResult::Refused);
        EXPECT_EQ(run.windows.messagesShown.at(0).icon,
                  installed ? MessageIcon::None : MessageIcon::Warning);
        if (installed) {
            EXPECT_EQ(FilesOf(game), (Files{ExpectedFile("custom_medium_highest.cfg"),
                                            "\r\nseta name Player\r\n\r\n"}));
        } else {
            EXPECT_EQ(FilesOf(game), (Files{"seta name Player\r\n", {}}));
        }
    }
}

} // namespace
} // namespace quorvel::test
