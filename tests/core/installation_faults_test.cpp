// Installation when things go wrong, on every system: checks that refuse
// before anything is written, and, on files in memory, a failure or a power
// cut at every single file operation of a whole installation.

#include "core/installer.h"
#include "tests/support/game_folder.h"
#include "tests/support/installation_runs.h"
#include "tests/support/line_lists.h"
#include "tests/support/test_data.h"

#include <gtest/gtest.h>
#include <iostream>
#include <set>

namespace quorvel::test {
namespace {

// A mainta folder that is missing, one below a folder typed with a slip or
// mainta itself typed for the game folder, and a file where it should be:
// nothing is created, and the player hears which folder to type or why the
// folder cannot be used.
TEST(InstallationFaults, AMaintaThatCannotBeUsedIsReportedAndNothingIsCreated) {
    const std::string ask =
        "\n\nStart quorvel again and, when it asks for the game folder, type the ";
    const struct {
        std::string typed;
        bool fileThere;
        std::string told;
    } cases[] = {
        {"", false, " does not exist."},
        {"x\\", false,
         ask + "game's own folder: the one that holds mainta (such as C:\\Games\\MOHAA)"},
        {"\\MAINTA", false,
         "MAINTA\" is the mainta folder itself." + ask + "folder that holds it: \""},
        {"", true, " cannot be used: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.told);
        GameFolder game("Games/Game");
        std::filesystem::remove_all(game.Mainta());
        if (c.fileThere) {
            WriteBytes(game.Mainta(), "not a folder");
        }
        game.registry.SetString(kGameRegistryKey, kGameRegistryValue, game.WindowsPath() + c.typed);
        const Attempt attempt(game.registry, game.files);
        EXPECT_EQ(attempt.result, InstallationResult::Refused);
        // The folder that holds mainta is named as the player typed it.
        attempt.ExpectToldAbout(c.typed == "\\MAINTA" ? c.told + game.WindowsPath() + "\"."
                                                      : c.told);
        attempt.ExpectWindowUnchanged();
        if (c.typed.empty()) {
            attempt.ExpectToldAbout(game.MaintaAsTold() + c.told);
        }
        EXPECT_EQ(std::filesystem::exists(game.Mainta()), c.fileThere);
    }
}

TEST(InstallationFaults, AFolderWhereAFileShouldBeStopsEverything) {
    ExpectRefusedOverAnOddEntry(
        [](const std::filesystem::path& place) { std::filesystem::create_directory(place); });
}

// Where the injected failure falls, and how: one operation fails, or from
// it on every one fails, as when the disk goes away, and then the power goes,
// losing what was not flushed.
enum class Phase { StartupRead, FirstInstallation, SecondInstallation };
const char* const kPhaseNames[] = {"start-up", "first installation", "second installation"};
enum class Fault { Once, ThenPowerCut };

// Fails the k-th file operation of one phase of a run, for every k. Each time
// the player is told the truth: that the files were left as they were, or
// which could not be put back, or after both were put in place at most that
// they may not have reached the disk. Every line that was in either file
// before that phase is still in one of them, no file is torn, and trying
// again (after a power cut, in a new run) installs as if nothing had
// happened. Returns the results seen; counts the files not put back.
std::set<InstallationResult> FailEveryOperation(Phase phase, Fault fault, const Files& start,
                                                std::size_t& notPutBack) {
    SCOPED_TRACE(kPhaseNames[static_cast<int>(phase)]);
    const bool lasting = fault == Fault::ThenPowerCut;
    MemoryGame reference(start.custom, start.other);
    EXPECT_EQ(ProgramRun(reference.registry, reference.files).Install(),
              InstallationResult::Installed);
    const Files after = reference.Now();
    std::set<InstallationResult> seen;
    const std::size_t tried = AtEveryFaultPoint([&](std::size_t k, bool& reached) {
        MemoryGame game(start.custom, start.other);
        MemoryFileService& files = game.files;
        std::size_t armedAt = 0;
        const auto arm = [&] {
            lasting ? files.FailFromOperation(k) : files.FailOperation(k);
            armedAt = files.Operations();
        };
        const auto hit = [&] { return files.Operations() - armedAt >= k; };
        if (phase == Phase::StartupRead) {
            arm();
        }
        ProgramRun run(game.registry, files);
        if (phase == Phase::StartupRead && !hit()) {
            return;
        }
        if (phase == Phase::SecondInstallation) {
            ASSERT_EQ(run.Install(), InstallationResult::Installed);
        }
        if (phase != Phase::StartupRead) {
            arm();
        }
        const Files before = game.Now();
        const std::size_t messagesBefore = run.windows.messagesShown.size();
        const std::size_t installBefore = run.window.install.Count();

        const InstallationResult result = run.Install();
        reached = hit();
        if (!reached) {
            // What the player was told is installed stays installed.
            EXPECT_EQ(result, InstallationResult::Installed);
            files.PowerCut();
            EXPECT_TRUE(!lasting || game.Now() == after);
            return;
        }
        SCOPED_TRACE("failed operation " + std::to_string(k) + ": " +
                     files.Log().at(armedAt + k - 1));
        seen.insert(result);
        ExpectNothingLost(game.Now(), before);
        ASSERT_EQ(run.windows.messagesShown.size(), messagesBefore + 1);
        const MessageRecord& told = run.windows.messagesShown.back();
        const auto says = [&](const std::string& text) {
            return told.text.find(text) != std::string::npos;
        };
        if (result == InstallationResult::Installed) {
            // Only flushing the folder after the last move, or reading the
            // new custom.cfg back, can fail after both files were put in
            // place; the window then shows what was written.
            EXPECT_EQ(told.icon, told.text == kSuccess ? MessageIcon::None : MessageIcon::Warning);
            EXPECT_TRUE(told.text == kSuccess || says("may not have reached the disk"));
            EXPECT_TRUE(lasting || LinesOf(run.window.current) ==
                                       LinesOf(ProgramRun(game.registry, files).window.current));
        } else {
            EXPECT_EQ(told.icon, MessageIcon::Warning);
            EXPECT_EQ(run.window.install.Count(), installBefore);
        }
        const bool leftAsTheyWere = says("Your configuration files were left as they were.");
        const bool notBack = says(
            "Putting your configuration files back as they were failed too:\n\"" + kOther + "\"");
        notPutBack += notBack ? 1 : 0;
        // Every new file that could not be removed is named, as the one that
        // failed or on its own.
        const std::size_t failedUntil = lasting ? files.Log().size() : armedAt + k;
        for (std::size_t i = armedAt + k - 1; i < failedUntil; ++i) {
            if (const std::string& what = files.Log()[i]; what.starts_with("remove new ")) {
                const std::string path = what.substr(11);
                EXPECT_TRUE(
                    says("The unfinished \"" + path + ".quorvel-new\" could not be removed") ||
                    (says("\"" + path + "\" failed: ") &&
                     says("(the unfinished new file could not be removed")))
                    << told.text;
            }
        }
        if (result != InstallationResult::Installed && (!lasting || leftAsTheyWere)) {
            // A file that was there goes back to exactly what it held; one
            // that was not is left empty at most, which reads as missing.
            EXPECT_EQ(files.File(kCustom), before.custom);
            EXPECT_EQ(files.File(kOther).value_or(""), before.other.value_or(""));
            EXPECT_TRUE(files.File(kOther) || !before.other);
        }
        if (!lasting) {
            EXPECT_EQ(run.Install(), InstallationResult::Installed);
            EXPECT_EQ(run.windows.messagesShown.back().text, kSuccess);
            ExpectNothingLost(game.Now(), before);
            return;
        }
        if (result == InstallationResult::Failed) {
            EXPECT_TRUE(leftAsTheyWere || notBack) << told.text;
            EXPECT_EQ(files.File(kCustom), before.custom);
        }
        files.PowerCut();
        ExpectWholeAndNothingLost(game.Now(), before, after);
        ProgramRun again(game.registry, files);
        EXPECT_EQ(again.Install(), InstallationResult::Installed);
        EXPECT_EQ(again.windows.messagesShown.back().text, kSuccess);
        // The same custom.cfg as an installation that was never cut short,
        // the same lines in newconfig.cfg (one that already held them keeps
        // its leading empty line as well), and no new file left behind.
        EXPECT_EQ(files.File(kCustom), after.custom);
        EXPECT_EQ(PlayerLines(files.File(kOther)), PlayerLines(after.other));
        EXPECT_EQ(files.Files().size(), 2u);
    });
    std::cout << "[ faults   ] " << kPhaseNames[static_cast<int>(phase)]
              << (lasting ? ", then a power cut: " : ": ") << tried << " fault points tried\n";
    EXPECT_GE(tried, phase == Phase::StartupRead ? 3u : 18u);
    return seen;
}

TEST(InstallationFaults, AFailureAtAnyFileOperationLosesNothing) {
    const Files first{kFirstCustomCfg, {}};
    const Files later{kLaterCustomCfg, kLaterNewConfig};
    std::size_t notPutBack = 0;
    FailEveryOperation(Phase::StartupRead, Fault::Once, first, notPutBack);
    FailEveryOperation(Phase::FirstInstallation, Fault::Once, first, notPutBack);
    FailEveryOperation(Phase::FirstInstallation, Fault::Once, later, notPutBack);
    FailEveryOperation(Phase::SecondInstallation, Fault::Once, first, notPutBack);
    std::set<InstallationResult> seen =
        FailEveryOperation(Phase::FirstInstallation, Fault::ThenPowerCut, first, notPutBack);
    seen.merge(
        FailEveryOperation(Phase::FirstInstallation, Fault::ThenPowerCut, later, notPutBack));
    EXPECT_EQ(seen, (std::set<InstallationResult>{InstallationResult::Installed,
                                                  InstallationResult::Refused,
                                                  InstallationResult::Failed}));
    EXPECT_GE(notPutBack, 1u);
}

// A new newconfig.cfg that a stopped run left beside a missing newconfig.cfg
// may be the only copy of the player's lines: a complete one is put in place
// and its lines kept, one cut short is kept as it is and the player told,
// and an empty one is replaced.
TEST(InstallationFaults, ALeftoverBesideAMissingNewconfigIsNeverTheOnlyCopyLost) {
    const std::string leftover = kOther + ".quorvel-new";
    for (const std::string bytes : {"\r\nseta name Player\r\n", "\r\nseta name Pla", ""}) {
        SCOPED_TRACE(bytes);
        MemoryGame game(kPlayerCustomCfg);
        game.files.SetFile(leftover, bytes);
        const Attempt attempt(game.registry, game.files);
        const std::optional<std::string> other = game.files.File(kOther);
        if (!bytes.empty() && !bytes.ends_with("\r\n")) {
            EXPECT_EQ(attempt.result, InstallationResult::Refused);
            attempt.ExpectToldAbout("\"" + leftover +
                                    "\" was left by an installation that stopped");
            EXPECT_EQ(game.files.File(leftover), bytes);
            EXPECT_EQ(other, std::nullopt);
            continue;
        }
        EXPECT_EQ(attempt.result, InstallationResult::Installed);
        EXPECT_EQ(game.files.File(leftover), std::nullopt);
        ASSERT_TRUE(other);
        EXPECT_EQ(other->find("seta name Player") != std::string::npos, !bytes.empty());
        EXPECT_NE(other->find("bind MOUSE1"), std::string::npos) << *other;
    }
}

// A check that refuses after a complete leftover was put in place as
// newconfig.cfg must not tell the player that no file was changed.
TEST(InstallationFaults, ARefusalAfterALeftoverWasPutInPlaceSaysSo) {
    const std::string leftover = kOther + ".quorvel-new";
    std::size_t refusedAfterRestoring = 0;
    AtEveryFaultPoint([&](std::size_t k, bool& reached) {
        MemoryGame game(kPlayerCustomCfg);
        game.files.SetFile(leftover, "\r\nseta name Player\r\n");
        ProgramRun run(game.registry, game.files);
        game.files.FailOperation(k);
        const std::size_t armedAt = game.files.Operations();
        const InstallationResult result = run.Install();
        reached = game.files.Operations() - armedAt >= k;
        if (!reached || result != InstallationResult::Refused) {
            return;
        }
        SCOPED_TRACE("failing operation " + std::to_string(k));
        ASSERT_EQ(run.windows.messagesShown.size(), 1u);
        const std::string& told = run.windows.messagesShown[0].text;
        const bool restored = game.files.File(leftover) == std::nullopt;
        EXPECT_EQ(told.ends_with("\n\nNothing was installed and no file was changed."), !restored);
        if (restored) {
            EXPECT_EQ(game.files.File(kOther), "\r\nseta name Player\r\n");
            EXPECT_TRUE(told.ends_with("\n\nNothing was installed. One file was changed: \"" +
                                       leftover +
                                       "\", left complete by an installation that stopped, "
                                       "was put in place as newconfig.cfg."))
                << told;
            ++refusedAfterRestoring;
        }
    });
    EXPECT_GE(refusedAfterRestoring, 1u);
}

} // namespace
} // namespace quorvel::test
