// Installation end to end on real files in a throwaway Wine prefix, through
// the scripted window system: the exact bytes of both files and what the
// window shows afterwards.

#include "core/installer.h"
#include "tests/support/game_folder.h"
#include "tests/support/installation_runs.h"
#include "tests/support/line_lists.h"
#include "tests/support/scripted_window_system.h"
#include "tests/support/test_data.h"

#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

using Lines = std::vector<std::string>;

const std::string kHeader =
    "//Part of Quorvel Config for use with MOHAA Sentrovia / Umplex 1.4.3.0";
const std::string kEnd = "//End quorvel config settings";

std::string CrLfLines(const Lines& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

// A first installation moves the player's lines to newconfig.cfg after an
// empty line. With no files at start both are created; an empty custom.cfg
// is replaced as a missing one would be, and the lines of newconfig.cfg are
// kept trimmed.
TEST(Installation, FirstInstallationMovesThePlayersLinesToNewconfig) {
    const std::string installed = ExpectedFile("custom_medium_highest.cfg");
    const struct {
        Files start;
        std::string newConfig;
    } cases[] = {
        {{kPlayerCustomCfg, {}}, kPlayerFirstNewConfig},
        {{}, "\r\n"},
        {{"", " seta name Player \r\n"}, "\r\nseta name Player\r\n\r\n"},
        {{"seta name Player", {}}, "\r\nseta name Player\r\n"},
    };
    for (const auto& c : cases) {
        GameFolder game;
        Put(game, c.start);
        const Attempt run(game.registry, game.files);
        EXPECT_EQ(run.result, InstallationResult::Installed);
        EXPECT_EQ(FilesOf(game), (Files{installed, c.newConfig}));
        run.ExpectToldAbout("");
        EXPECT_EQ(run.window.label1, "New Custom.cfg settings");
        const Lines shown = LinesOf(run.window.current);
        ASSERT_EQ(shown.size(), 33u);
        EXPECT_EQ(CrLfLines(Lines(shown.begin(), shown.end() - 1)), installed);
        EXPECT_EQ(shown.back(), "");
        EXPECT_EQ(run.window.install.Count(), 31u);
        EXPECT_FALSE(run.window.closed);
    }
}

TEST(Installation, AnEarlierInstallationsCustomCfgKeepsOnlyWhatDiffers) {
    GameFolder game;
    game.Write("custom.cfg", "bind F1 vote yes\r\n");
    ProgramRun(game.registry, game.files).Install("Low", "Med");
    // Lose newconfig.cfg, so that the next first installation takes the
    // lines of the custom.cfg that an installation wrote.
    std::filesystem::remove(game.NewConfig());

    ProgramRun run(game.registry, game.files);
    run.Install("High", "Med");
    // The header stays, the end marker, the base settings and the repeated
    // answer go, and the texture line with its other value stays.
    EXPECT_EQ(game.Read("newconfig.cfg"), CrLfLines({"", kHeader, "setu r_picmip 2", ""}));
}

TEST(Installation, NeedToGoCheckEndsTheProgramWithoutWriting) {
    for (const bool inModelDialog : {false, true}) {
        GameFolder game;
        game.Write("custom.cfg", kPlayerCustomCfg);
        ProgramRun run(game.registry, game.files);
        if (inModelDialog) {
            run.windows.Then(DialogStep::Answer("Low"));
        }
        run.windows.Then(DialogStep::NeedToCheck());

        EXPECT_EQ(run.installer.RunInstallation(run.window), InstallationResult::Aborted);
        EXPECT_TRUE(run.window.closed);
        EXPECT_EQ(run.windows.dialogsShown.size(), inModelDialog ? 2u : 1u);
        EXPECT_EQ(run.installer.State().AbortFlag, std::int16_t{1});
        EXPECT_EQ(run.window.install.Count(), inModelDialog ? 27u : 26u);
        EXPECT_TRUE(run.windows.messagesShown.empty());
        EXPECT_EQ(game.Read("custom.cfg"), kPlayerCustomCfg);
        EXPECT_FALSE(game.Read("newconfig.cfg").has_value());
    }
}

TEST(Installation, ADialogClosedWithoutAnAnswerAddsNothing) {
    GameFolder game;
    ProgramRun run(game.registry, game.files);
    run.windows.Then(DialogStep::CloseWindow());
    run.windows.Then(DialogStep::Answer("Highest"));
    EXPECT_EQ(run.installer.RunInstallation(run.window), InstallationResult::Installed);

    const auto custom = game.Read("custom.cfg").value_or("");
    EXPECT_EQ(custom.find("r_picmip"), std::string::npos);
    EXPECT_EQ(std::count(custom.begin(), custom.end(), '\n'), 31);
    EXPECT_FALSE(run.installer.State().AbortFlag.has_value());
}

TEST(Installation, ASecondInstallationInTheSameRunAppendsAfterTheFirst) {
    GameFolder game;
    game.Write("custom.cfg", kPlayerCustomCfg);
    ProgramRun run(game.registry, game.files);
    run.Install("Medium", "Highest");
    EXPECT_EQ(run.Install("Low", "Lowest"), InstallationResult::Installed);

    std::string expected = ExpectedFile("custom_medium_highest.cfg");
    expected += CrLfLines({"setu r_picmip 2", "setu r_lodcap .35", "setu r_lodscale .359",
                           "setu r_lodviewmodelcap .25", kEnd});
    EXPECT_EQ(game.Read("custom.cfg"), expected);
    // The earlier lines now come from the newconfig.cfg of the first press.
    EXPECT_EQ(game.Read("newconfig.cfg"), "\r\n\r\nbind MOUSE1 \"+attack\"\r\n\r\n\r\n");
    EXPECT_EQ(run.window.current.Count(), 38u);
}

TEST(Installation, LinesAddedToCustomCfgByHandAreKept) {
    GameFolder game;
    game.Write("custom.cfg", kPlayerCustomCfg);
    ProgramRun(game.registry, game.files).Install("Medium", "Highest");

    // The player edits the installed custom.cfg between runs.
    game.Write("custom.cfg",
               game.Read("custom.cfg").value_or("") +
                   "bind h \"say hello\"\r\n  bind MOUSE1 \"+attack\"\r\nsetu r_picmip 1\r\n"
                   "bind h \"say hello\"\r\n");
    ProgramRun run(game.registry, game.files);
    run.Install("Medium", "Highest");

    // The new binding is kept once; one already among the earlier lines and
    // the installer's own lines are not added again.
    EXPECT_EQ(game.Read("newconfig.cfg"),
              "\r\n\r\nbind MOUSE1 \"+attack\"\r\n\r\n\r\nbind h \"say hello\"\r\n");
    EXPECT_EQ(game.Read("custom.cfg"), ExpectedFile("custom_medium_highest.cfg"));
}

} // namespace
} // namespace quorvel::test
