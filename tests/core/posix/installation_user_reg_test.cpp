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

// A stored folder of a hundred thousand characters is offered whole; the
// player is told that it holds no mainta, and nothing is written.
TEST(InstallationLarge, AHundredThousandCharacterStoredFolderIsReadWhole) {
    const std::string folder = "C:\\Games\\" + std::string(100000, 'x');
    GameFolder game;
    game.Write("custom.cfg", kPlayerCustomCfg);
    WineRegistryStore store(WineRegistryFile::Parse(
        "WINE REGISTRY Version 2\n[Software\\\\2015\\\\MOHAA]\n\"basepath\"=\"C:\\\\Games\\\\" +
        folder.substr(9) + "\"\n"));
    const Attempt attempt(store, game.files);
    EXPECT_EQ(attempt.windows.promptsShown.at(0).defaultAnswer, folder);
    EXPECT_EQ(attempt.result, InstallationResult::Refused);
    attempt.ExpectToldAbout(folder + "\\mainta");
    EXPECT_EQ(FilesOf(game), (Files{kPlayerCustomCfg, {}}));
}

} // namespace
} // namespace quorvel::test
