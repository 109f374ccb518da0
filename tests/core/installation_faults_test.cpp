// Installation when things go wrong: checks that refuse before anything is
// written, real-file faults, and a failure injected at every single file
// operation of a whole installation.

#include "core/installer.h"
#include "tests/support/game_folder.h"
#include "tests/support/installation_runs.h"
#include "tests/support/line_lists.h"
#include "tests/support/memory_file_service.h"
#include "tests/support/scripted_window_system.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_data.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

namespace quorvel {
namespace {

using test::Attempt;
using test::DialogStep;
using test::FakeRegistryStore;
using test::GameFolder;
using test::kCustom;
using test::kFirstCustomCfg;
using test::kLaterCustomCfg;
using test::kLaterNewConfig;
using test::kOther;
using test::kPlayerCustomCfg;
using test::kSuccess;
using test::LinesOf;
using test::LinesOfBoth;
using test::MessageRecord;
using test::ProgramRun;
using test::ScriptedMainWindow;
using test::ScriptedWindowSystem;

TEST(InstallationFaults, AMissingMaintaFolderIsReportedAndNothingIsCreated) {
    GameFolder game;
    std::filesystem::remove_all(game.Mainta());
    Attempt attempt(game.registry, game.files);
    EXPECT_EQ(attempt.result, InstallationResult::Refused);
    attempt.ExpectToldAbout(game.WindowsPath() + "\\mainta");
    attempt.ExpectToldAbout(" does not exist.");
    // Where the system shows the folder elsewhere, that place is named too.
    attempt.ExpectToldAbout(game.MaintaAsTold());
    attempt.ExpectWindowUnchanged();
    EXPECT_FALSE(std::filesystem::exists(game.Mainta()));
}

// A folder typed with a slip, or mainta itself typed for the game folder:
// the player hears which folder to type when quorvel next asks.
TEST(InstallationFaults, AMissingMaintaSaysWhichFolderToType) {
    GameFolder game("Games/Game");
    const std::string ask =
        "\n\nStart quorvel again and, when it asks for the game folder, type the ";
    for (const auto& [typed, told] : std::map<std::string, std::string>{
             {"x\\",
              ask + "game's own folder: the one that holds mainta (such as C:\\Games\\MOHAA)"},
             {"\\MAINTA", "MAINTA\" is the mainta folder itself." + ask +
                              "folder that holds it: \"" + game.WindowsPath() + "\"."}}) {
        game.registry.SetString(kGameRegistryKey, kGameRegistryValue, game.WindowsPath() + typed);
        const Attempt attempt(game.registry, game.files);
        attempt.ExpectToldAbout(told);
    }
}

// A file where the folder should be is there, so it is not called missing:
// the player hears why the folder cannot be used (the lock's reason).
TEST(InstallationFaults, AFileWhereMaintaShouldBeIsNotCalledMissing) {
    GameFolder game;
    std::filesystem::remove_all(game.Mainta());
    test::WriteBytes(game.Mainta(), "not a folder");
    Attempt attempt(game.registry, game.files);
    EXPECT_EQ(attempt.result, InstallationResult::Refused);
    attempt.ExpectToldAbout(game.WindowsPath() + "\\mainta");
    attempt.ExpectToldAbout(" cannot be used: ");
    attempt.ExpectWindowUnchanged();
    EXPECT_EQ(test::ReadBytes(game.Mainta()), "not a folder");
}

TEST(InstallationFaults, AFolderWhereAFileShouldBeStopsEverything) {
    for (const std::string blocked : {"custom.cfg", "newconfig.cfg"}) {
        GameFolder game;
        const std::string other = blocked == "custom.cfg" ? "newconfig.cfg" : "custom.cfg";
        game.Write(other, kPlayerCustomCfg);
        std::filesystem::create_directory(game.Mainta() / blocked);

        Attempt attempt(game.registry, game.files);
        EXPECT_EQ(attempt.result, InstallationResult::Refused) << blocked;
        attempt.ExpectToldAbout(blocked);
        attempt.ExpectWindowUnchanged();
        EXPECT_EQ(game.Read(other), kPlayerCustomCfg);
        EXPECT_TRUE(std::filesystem::is_directory(game.Mainta() / blocked));
    }
}

// The lines of a file, trimmed, in order.
std::vector<std::string> TrimmedLines(const std::optional<std::string>& bytes) {
    LineBuffer buffer;
    buffer.AssignText(bytes.value_or(""));
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < buffer.Count(); ++i) {
        lines.emplace_back(TrimSpaces(buffer[i]));
    }
    return lines;
}

// After both files were put in place, only flushing the folder may have
// failed, and then the player hears that instead of the success.
void ExpectTheLastFlushAtMost(const MessageRecord& told) {
    if (told.text != kSuccess) {
        EXPECT_EQ(told.icon, MessageIcon::Warning);
        EXPECT_NE(told.text.find("may not have reached the disk"), std::string::npos);
    }
}

// Where the injected failure falls.
enum class Phase { StartupRead, FirstInstallation, SecondInstallation };

std::string PhaseName(Phase phase) {
    switch (phase) {
    case Phase::StartupRead:
        return "start-up";
    case Phase::FirstInstallation:
        return "first installation";
    case Phase::SecondInstallation:
        return "second installation";
    }
    return {};
}

// Fails the k-th file operation of one phase of a run, for every k, and
// checks each time that the player is told the truth, that every line that
// was in either file before that phase is still in one of them, and that
// trying again installs without losing any of those lines either.
void FailEveryOperation(Phase phase, const std::string& customCfg,
                        const std::optional<std::string>& newConfig) {
    SCOPED_TRACE(PhaseName(phase));
    FakeRegistryStore registry = test::UsualRegistry();
    const std::size_t tried = test::AtEveryFaultPoint([&](std::size_t k, bool& reached) {
        auto files = test::UsualFiles(customCfg, newConfig);
        ScriptedWindowSystem windows;
        ScriptedMainWindow window;
        Installer installer(windows, registry, *files);
        const auto install = [&] {
            windows.Then(DialogStep::Answer("Medium"));
            windows.Then(DialogStep::Answer("Highest"));
            return installer.RunInstallation(window);
        };
        std::size_t armedAt = 0;
        const auto arm = [&] {
            files->FailOperation(k);
            armedAt = files->Operations();
        };
        const auto hit = [&] { return files->Operations() - armedAt >= k; };

        if (phase == Phase::StartupRead) {
            arm();
        }
        installer.RunStartup(window);
        if (phase == Phase::StartupRead && !hit()) {
            return;
        }
        if (phase == Phase::FirstInstallation) {
            arm();
        }
        if (phase == Phase::SecondInstallation) {
            ASSERT_EQ(install(), InstallationResult::Installed);
            arm();
        }
        const auto customBefore = files->File(kCustom);
        const auto otherBefore = files->File(kOther);
        const std::set<std::string> before = LinesOfBoth(customBefore, otherBefore);
        const std::size_t messagesBefore = windows.messagesShown.size();
        const std::size_t installBefore = window.install.Count();

        const InstallationResult result = install();
        reached = hit();
        if (!reached) {
            EXPECT_EQ(result, InstallationResult::Installed);
            return;
        }
        SCOPED_TRACE("failed operation " + std::to_string(k) + ": " +
                     files->Log().at(armedAt + k - 1));

        const auto expectNothingLost = [&] {
            const std::set<std::string> after =
                LinesOfBoth(files->File(kCustom), files->File(kOther));
            for (const auto& line : before) {
                EXPECT_TRUE(after.count(line)) << "lost: " << line;
            }
        };
        expectNothingLost();
        ASSERT_EQ(windows.messagesShown.size(), messagesBefore + 1);
        const MessageRecord& told = windows.messagesShown.back();
        if (result == InstallationResult::Installed) {
            // Only flushing the folder after the last move, or reading the
            // new custom.cfg back, can fail after both files were put in
            // place; the window then shows what was written.
            ExpectTheLastFlushAtMost(told);
            EXPECT_EQ(LinesOf(window.current), TrimmedLines(files->File(kCustom)));
        } else {
            EXPECT_EQ(told.icon, MessageIcon::Warning);
            EXPECT_NE(told.text, kSuccess);
            EXPECT_EQ(window.install.Count(), installBefore);
            // A file that was there goes back to exactly what it held; one
            // that was not is left empty at most, which reads as missing.
            EXPECT_EQ(files->File(kCustom), customBefore);
            EXPECT_EQ(files->File(kOther).value_or(""), otherBefore.value_or(""));
            EXPECT_TRUE(files->File(kOther) || !otherBefore);
        }

        // Trying again, with nothing failing now, loses none of them either.
        EXPECT_EQ(install(), InstallationResult::Installed);
        EXPECT_EQ(windows.messagesShown.back().text, kSuccess);
        expectNothingLost();
    });
    std::cout << "[ faults   ] " << PhaseName(phase) << ": " << tried << " fault points tried\n";
    // Lines are written in blocks now, so an installation of a few lines
    // has fewer operations than when each line had an open of its own.
    EXPECT_GE(tried, phase == Phase::StartupRead ? 3u : 18u);
}

TEST(InstallationFaults, AFailureAtAnyFileOperationOfAFirstInstallationLosesNothing) {
    FailEveryOperation(Phase::FirstInstallation, kFirstCustomCfg, std::nullopt);
}

TEST(InstallationFaults, AFailureAtAnyFileOperationOfALaterInstallationLosesNothing) {
    FailEveryOperation(Phase::FirstInstallation, kLaterCustomCfg, kLaterNewConfig);
}

TEST(InstallationFaults, AFailureWhileStartupReadsLosesNothing) {
    FailEveryOperation(Phase::StartupRead, kFirstCustomCfg, std::nullopt);
}

TEST(InstallationFaults, AFailureInASecondInstallationOfTheSameRunLosesNothing) {
    FailEveryOperation(Phase::SecondInstallation, kFirstCustomCfg, std::nullopt);
}

// A new newconfig.cfg that a stopped run left beside a missing newconfig.cfg
// may be the only copy of the player's lines: a complete one is put in place
// and its lines kept, one cut short is kept as it is and the player told,
// and an empty one is replaced.
TEST(InstallationFaults, ALeftoverBesideAMissingNewconfigIsNeverTheOnlyCopyLost) {
    const std::string leftover = kOther + ".quorvel-new";
    struct Case {
        std::string bytes;
        InstallationResult result;
    };
    const Case cases[] = {
        {"\r\nseta name Player\r\n", InstallationResult::Installed},
        {"\r\nseta name Pla", InstallationResult::Refused},
        {"", InstallationResult::Installed},
    };
    FakeRegistryStore registry = test::UsualRegistry();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        auto files = test::UsualFiles(kPlayerCustomCfg);
        files->SetFile(leftover, c.bytes);
        Attempt attempt(registry, *files);
        EXPECT_EQ(attempt.result, c.result);
        const std::optional<std::string> other = files->File(kOther);
        if (c.result == InstallationResult::Refused) {
            attempt.ExpectToldAbout("\"" + leftover +
                                    "\" was left by an installation that stopped");
            EXPECT_EQ(files->File(leftover), c.bytes);
            EXPECT_EQ(other, std::nullopt);
            continue;
        }
        EXPECT_EQ(files->File(leftover), std::nullopt);
        ASSERT_TRUE(other);
        EXPECT_EQ(other->find("seta name Player") != std::string::npos, !c.bytes.empty());
        EXPECT_NE(other->find("bind MOUSE1"), std::string::npos) << *other;
    }
}

// A check that refuses after a complete leftover was put in place as
// newconfig.cfg must not tell the player that no file was changed.
TEST(InstallationFaults, ARefusalAfterALeftoverWasPutInPlaceSaysSo) {
    const std::string leftover = kOther + ".quorvel-new";
    FakeRegistryStore registry = test::UsualRegistry();
    std::size_t refusedAfterRestoring = 0;
    test::AtEveryFaultPoint([&](std::size_t k, bool& reached) {
        auto files = test::UsualFiles(kPlayerCustomCfg);
        files->SetFile(leftover, "\r\nseta name Player\r\n");
        ProgramRun run(registry, *files);
        files->FailOperation(k);
        const std::size_t armedAt = files->Operations();
        const InstallationResult result = run.Install();
        reached = files->Operations() - armedAt >= k;
        if (!reached || result != InstallationResult::Refused) {
            return;
        }
        SCOPED_TRACE("failing operation " + std::to_string(k));
        ASSERT_EQ(run.windows.messagesShown.size(), 1u);
        const std::string& told = run.windows.messagesShown[0].text;
        const bool restored = files->File(leftover) == std::nullopt;
        EXPECT_EQ(told.ends_with("\n\nNothing was installed and no file was changed."), !restored)
            << told;
        if (restored) {
            EXPECT_EQ(files->File(kOther), "\r\nseta name Player\r\n");
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

// From the k-th operation on nothing works any more, for every k: putting
// the files back fails too, and the player must hear that.
TEST(InstallationFaults, AFailureThatLastsIsReportedWithWhatCouldNotBePutBack) {
    FakeRegistryStore registry = test::UsualRegistry();
    std::set<InstallationResult> seen;
    std::size_t failedBoth = 0;
    test::AtEveryFaultPoint([&](std::size_t k, bool& reached) {
        auto files = test::UsualFiles(kPlayerCustomCfg);
        ProgramRun run(registry, *files);
        files->FailFromOperation(k);
        const std::size_t armedAt = files->Operations();
        const InstallationResult result = run.Install();
        reached = files->Operations() - armedAt >= k;
        if (!reached) {
            return;
        }
        SCOPED_TRACE("failing from operation " + std::to_string(k));
        seen.insert(result);
        ASSERT_EQ(run.windows.messagesShown.size(), 1u);
        const MessageRecord& told = run.windows.messagesShown[0];
        if (result == InstallationResult::Installed) {
            // Both files are in place; only the last folder flush may have
            // failed, and then the player hears that instead.
            ExpectTheLastFlushAtMost(told);
            return;
        }
        EXPECT_EQ(told.icon, MessageIcon::Warning);
        if (result == InstallationResult::Failed) {
            // Either nothing was replaced yet, and both files are as they
            // were, or newconfig.cfg was, and putting it back failed too.
            const bool leftAsTheyWere =
                told.text.find("Your configuration files were left as they were.") !=
                std::string::npos;
            const bool notPutBack =
                told.text.find("Putting your configuration files back as they were failed "
                               "too:\n\"" +
                               kOther + "\"") != std::string::npos;
            EXPECT_TRUE(leftAsTheyWere || notPutBack) << told.text;
            EXPECT_EQ(files->File(kCustom), kPlayerCustomCfg);
            if (leftAsTheyWere) {
                EXPECT_EQ(files->File(kOther), std::nullopt);
            }
            failedBoth += notPutBack ? 1 : 0;
        }
    });
    EXPECT_EQ(seen, (std::set<InstallationResult>{InstallationResult::Installed,
                                                  InstallationResult::Refused,
                                                  InstallationResult::Failed}));
    EXPECT_GE(failedBoth, 1u);
}

} // namespace
} // namespace quorvel
