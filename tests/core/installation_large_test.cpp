// Installation with inputs far larger than any player's: files of several
// megabytes, a line of a megabyte, a hundred thousand lines and a stored
// folder of a hundred thousand characters. Nothing is cut and nothing is
// lost: the files come out byte for byte as they should.

#include "core/installer.h"
#include "platform/wine_registry.h"
#include "tests/support/game_folder.h"
#include "tests/support/scripted_window_system.h"
#include "tests/support/test_data.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

using test::DialogStep;
using test::GameFolder;
using test::ScriptedMainWindow;
using test::ScriptedWindowSystem;

std::string InstalledCustomCfg() {
    return test::ExpectedFile("custom_medium_highest.cfg");
}

// One run of the program against `registry`: start-up, then an installation.
InstallationResult Install(GameFolder& game, RegistryStore& registry,
                           ScriptedWindowSystem& windows) {
    ScriptedMainWindow window;
    Installer installer(windows, registry, game.files);
    installer.RunStartup(window);
    windows.Then(DialogStep::Answer("Medium"));
    windows.Then(DialogStep::Answer("Highest"));
    return installer.RunInstallation(window);
}

InstallationResult Install(GameFolder& game) {
    ScriptedWindowSystem windows;
    return Install(game, game.registry, windows);
}

// n numbered lines of about `width` characters, each ended by CR LF.
std::string NumberedLines(std::size_t n, std::size_t width) {
    std::string text;
    text.reserve(n * (width + 2));
    for (std::size_t i = 0; i < n; ++i) {
        std::string line = "seta line" + std::to_string(i) + " \"";
        line.resize(width - 1, static_cast<char>('a' + i % 26));
        text += line + "\"\r\n";
    }
    return text;
}

TEST(InstallationLarge, SeveralMegabytesWithAMegabyteLineMoveToNewconfigExactly) {
    GameFolder game;
    const std::string longLine = "bind F1 \"say " + std::string(std::size_t{1} << 20, 'w') + "\"";
    const std::string player =
        NumberedLines(2000, 1000) + longLine + "\r\n" + NumberedLines(2000, 1000);
    ASSERT_GT(player.size(), std::size_t{4} << 20);
    game.Write("custom.cfg", player);

    EXPECT_EQ(Install(game), InstallationResult::Installed);
    EXPECT_EQ(game.Read("custom.cfg"), InstalledCustomCfg());
    // An empty line, the player's lines, and the empty line after the last
    // line end.
    EXPECT_EQ(game.Read("newconfig.cfg"), "\r\n" + player + "\r\n");
}

TEST(InstallationLarge, AHundredThousandLineNewconfigIsKeptExactly) {
    GameFolder game;
    const std::string earlier = "\r\n" + NumberedLines(100000, 30);
    const std::string handAdded = "bind h \"say hand added\"";
    game.Write("newconfig.cfg", earlier);
    game.Write("custom.cfg", InstalledCustomCfg() + handAdded + "\r\n");

    EXPECT_EQ(Install(game), InstallationResult::Installed);
    EXPECT_EQ(game.Read("custom.cfg"), InstalledCustomCfg());
    EXPECT_EQ(game.Read("newconfig.cfg"), "\r\n" + earlier + "\r\n" + handAdded + "\r\n");
}

#ifndef _WIN32
// The settings store here is a Wine prefix's user.reg, and C: its drive_c.
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
        ScriptedWindowSystem windows;
        EXPECT_EQ(Install(game, store, windows), InstallationResult::Installed);
        EXPECT_EQ(windows.promptsShown.at(0).defaultAnswer, "C:\\Games\\MOHAA");
        EXPECT_EQ(game.Read("newconfig.cfg"), "\r\nseta name Player\r\n\r\n");
    }
    // No folder can have such a name: the player is told, nothing is written.
    {
        GameFolder game;
        game.Write("custom.cfg", "seta name Player\r\n");
        WineRegistryStore store = userReg("C:\\\\Games\\\\" + junk);
        ScriptedWindowSystem windows;
        EXPECT_EQ(Install(game, store, windows), InstallationResult::Refused);
        EXPECT_EQ(windows.promptsShown.at(0).defaultAnswer, "C:\\Games\\" + junk);
        ASSERT_EQ(windows.messagesShown.size(), 1u);
        EXPECT_EQ(windows.messagesShown[0].icon, MessageIcon::Warning);
        EXPECT_EQ(game.Read("custom.cfg"), "seta name Player\r\n");
        EXPECT_FALSE(game.Read("newconfig.cfg"));
    }
}
#endif

} // namespace
} // namespace quorvel
