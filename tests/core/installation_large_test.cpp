// Installation with inputs far larger than any player's: files of several
// megabytes, a line of a megabyte and a hundred thousand lines. Nothing is
// cut and nothing is lost: the files come out byte for byte as they should.

#include "core/installer.h"
#include "tests/support/game_folder.h"
#include "tests/support/installation_runs.h"
#include "tests/support/scripted_window_system.h"
#include "tests/support/test_data.h"

#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

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

    EXPECT_EQ(ProgramRun(game.registry, game.files).Install(), InstallationResult::Installed);
    EXPECT_EQ(game.Read("custom.cfg"), ExpectedFile("custom_medium_highest.cfg"));
    // An empty line, the player's lines, and the empty line after the last
    // line end.
    EXPECT_EQ(game.Read("newconfig.cfg"), "\r\n" + player + "\r\n");
}

TEST(InstallationLarge, AHundredThousandLineNewconfigIsKeptExactly) {
    GameFolder game;
    const std::string earlier = "\r\n" + NumberedLines(100000, 30);
    const std::string handAdded = "bind h \"say hand added\"";
    game.Write("newconfig.cfg", earlier);
    game.Write("custom.cfg", ExpectedFile("custom_medium_highest.cfg") + handAdded + "\r\n");

    EXPECT_EQ(ProgramRun(game.registry, game.files).Install(), InstallationResult::Installed);
    EXPECT_EQ(game.Read("custom.cfg"), ExpectedFile("custom_medium_highest.cfg"));
    EXPECT_EQ(game.Read("newconfig.cfg"), "\r\n" + earlier + "\r\n" + handAdded + "\r\n");
}

} // namespace
} // namespace quorvel::test
