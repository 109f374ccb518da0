// Installation when things go wrong: checks that refuse before anything is
// written, real-file faults, and a failure injected at every single file
// operation of a whole installation.

#include "core/installer.h"
#include "tests/support/game_folder.h"
#include "tests/support/line_lists.h"
#include "tests/support/memory_file_service.h"
#include "tests/support/scripted_window_system.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_data.h"

#include <gtest/gtest.h>
#include <set>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace quorvel {
namespace {

using test::DialogStep;
using test::FakeRegistryStore;
using test::GameFolder;
using test::kPlayerCustomCfg;
using test::LinesOf;
using test::MemoryFileService;
using test::MessageRecord;
using test::ScriptedMainWindow;
using test::ScriptedWindowSystem;

const std::string kSuccess =
    "Custom Config has been created and the Quorvel Config has been installed";

// Starts a run against `files`, installs, and returns what the player saw.
struct Attempt {
    Attempt(RegistryStore& registry, FileService& files) : installer(windows, registry, files) {
        installer.RunStartup(window);
        currentBefore = LinesOf(window.current);
        windows.Then(DialogStep::Answer("Medium"));
        windows.Then(DialogStep::Answer("Highest"));
        result = installer.RunInstallation(window);
    }

    // Exactly one message: the success one, or a warning naming `file`.
    void ExpectToldAbout(const std::string& file) const {
        ASSERT_EQ(windows.messagesShown.size(), 1u);
        const auto& message = windows.messagesShown[0];
        EXPECT_EQ(message.title, "quorvel");
        if (result == InstallationResult::Installed) {
            EXPECT_EQ(message.text, kSuccess);
            return;
        }
        EXPECT_EQ(message.icon, MessageIcon::Warning);
        EXPECT_NE(message.text, kSuccess);
        EXPECT_NE(message.text.find(file), std::string::npos) << message.text;
    }

    // The window is as start-up left it.
    void ExpectWindowUnchanged() const {
        EXPECT_EQ(LinesOf(window.current), currentBefore);
        EXPECT_EQ(window.label1, "Current Custom.cfg settings");
        EXPECT_EQ(window.install.Count(), 26u);
    }

    ScriptedWindowSystem windows;
    ScriptedMainWindow window;
    Installer installer;
    std::vector<std::string> currentBefore;
    InstallationResult result{};
};

TEST(InstallationFaults, AMissingMaintaFolderIsReportedAndNothingIsCreated) {
    GameFolder game;
    std::filesystem::remove_all(game.Mainta());
    Attempt attempt(game.registry, game.files);
    EXPECT_EQ(attempt.result, InstallationResult::Refused);
    attempt.ExpectToldAbout(game.WindowsPath() + "\\mainta");
    attempt.ExpectToldAbout(" does not exist.");
#ifndef _WIN32
    // The folder on disk is named too, where the player can look for it.
    const auto onDisk = std::filesystem::canonical(game.Prefix()) / "drive_c/Games/MOHAA/mainta";
    attempt.ExpectToldAbout("\"" + game.WindowsPath() + "\\mainta\" (" + onDisk.string() + ")");
#endif
    attempt.ExpectWindowUnchanged();
    EXPECT_FALSE(std::filesystem::exists(game.Mainta()));
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

#ifndef _WIN32
const std::string kVictim = "export TOKEN=secret\r\n";

// Links, pipes and a full disk (a file size limit in a child process) are
// POSIX matters; the failures injected further below reach the same paths on
// every system.

// Neither a link to nothing nor a pipe is taken for a file: the installation
// stops before writing anything, nothing is created where the link points,
// and start-up does not wait on the pipe.
TEST(InstallationFaults, WhatIsNotAPlainFileStopsEverything) {
    namespace fs = std::filesystem;
    for (const std::string blocked : {"custom.cfg", "newconfig.cfg"}) {
        for (const bool pipe : {false, true}) {
            SCOPED_TRACE(blocked + (pipe ? " is a pipe" : " is a link to nothing"));
            GameFolder game;
            const std::string other = blocked == "custom.cfg" ? "newconfig.cfg" : "custom.cfg";
            game.Write(other, kPlayerCustomCfg);
            const fs::path place = game.Mainta() / blocked;
            if (pipe) {
                ASSERT_EQ(::mkfifo(place.c_str(), 0600), 0);
            } else {
                fs::create_symlink(game.Mainta() / "elsewhere.cfg", place);
            }

            Attempt attempt(game.registry, game.files);
            EXPECT_EQ(attempt.result, InstallationResult::Refused);
            attempt.ExpectToldAbout(blocked);
            attempt.ExpectWindowUnchanged();
            EXPECT_EQ(game.Read(other), kPlayerCustomCfg);
            EXPECT_EQ(fs::symlink_status(place).type(),
                      pipe ? fs::file_type::fifo : fs::file_type::symlink);
            EXPECT_FALSE(fs::exists(fs::symlink_status(game.Mainta() / "elsewhere.cfg")));
        }
    }
}

// A custom.cfg that never ends (a /proc file that says it holds nothing) is
// read only up to the limit, at start-up and before installing, and the
// installation stops with that reason. newconfig.cfg is read the same way.
TEST(InstallationFaults, AFileThatNeverEndsStopsEverything) {
    const std::filesystem::path endless = "/proc/self/pagemap";
    if (::access(endless.c_str(), R_OK) != 0) {
        GTEST_SKIP() << endless << " cannot be read here";
    }
    GameFolder game;
    game.Write("newconfig.cfg", kPlayerCustomCfg);
    std::filesystem::create_symlink(endless, game.CustomCfg());
    Attempt attempt(game.registry, game.files);
    EXPECT_EQ(attempt.result, InstallationResult::Refused);
    attempt.ExpectToldAbout("custom.cfg\" (/proc/");
    attempt.ExpectToldAbout(std::string("cannot be read: ") + host_failure::kTooLarge + ".");
    EXPECT_EQ(game.Read("newconfig.cfg"), kPlayerCustomCfg);
    EXPECT_TRUE(std::filesystem::is_symlink(game.CustomCfg()));
}

// Each file keeps its permission bits; a new newconfig.cfg, which holds
// custom.cfg's lines, takes custom.cfg's, and a new custom.cfg is the
// player's alone. Nothing is ever more open than before, whatever the umask.
TEST(InstallationFaults, PermissionsNeverWiden) {
    struct Case {
        mode_t custom;
        std::optional<mode_t> other; // newconfig.cfg before, if any
        mode_t otherAfter;
    };
    const Case cases[] = {
        {0600, std::nullopt, 0600},
        {0660, std::nullopt, 0660},
        {0600, 0644, 0644},
        {0644, 0600, 0600},
    };
    const mode_t umaskBefore = ::umask(0);
    for (const Case& c : cases) {
        SCOPED_TRACE("custom.cfg " + std::to_string(c.custom));
        GameFolder game;
        game.Write("custom.cfg", kPlayerCustomCfg);
        ASSERT_EQ(::chmod(game.CustomCfg().c_str(), c.custom), 0);
        if (c.other) {
            game.Write("newconfig.cfg", "seta name Player\r\n");
            ASSERT_EQ(::chmod(game.NewConfig().c_str(), *c.other), 0);
        }
        Attempt attempt(game.registry, game.files);
        EXPECT_EQ(attempt.result, InstallationResult::Installed);
        struct stat info {};
        ASSERT_EQ(::stat(game.NewConfig().c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, c.otherAfter);
        ASSERT_EQ(::stat(game.CustomCfg().c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, c.custom);
    }
    {
        GameFolder game; // neither file there: both are the player's alone
        Attempt attempt(game.registry, game.files);
        EXPECT_EQ(attempt.result, InstallationResult::Installed);
        for (const auto& path : {game.CustomCfg(), game.NewConfig()}) {
            struct stat info {};
            ASSERT_EQ(::stat(path.c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & 07777, 0600u) << path;
        }
    }
    ::umask(umaskBefore);
}

// A link that another user planted where either file should be is never
// followed: nothing is written where it leads, and the player is told whose
// link it is. Links of the player's own and of root's are followed.
TEST(InstallationFaults, ALinkOfAnotherUserIsNotFollowed) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "giving a link to another user needs root";
    }
    constexpr uid_t kStranger = 54321;
    for (const std::string planted : {"custom.cfg", "newconfig.cfg"}) {
        SCOPED_TRACE(planted);
        GameFolder game;
        const std::string other = planted == "custom.cfg" ? "newconfig.cfg" : "custom.cfg";
        game.Write(other, kPlayerCustomCfg);
        const auto victim = game.Prefix() / "victim";
        test::WriteBytes(victim, kVictim);
        const auto link = game.Mainta() / planted;
        std::filesystem::create_symlink(victim, link);
        ASSERT_EQ(::lchown(link.c_str(), kStranger, kStranger), 0);

        Attempt attempt(game.registry, game.files);
        EXPECT_EQ(attempt.result, InstallationResult::Refused);
        attempt.ExpectToldAbout("cannot be written: it is a symbolic link owned by another user, "
                                "uid 54321, and is not followed: ");
        attempt.ExpectToldAbout("mainta/" + planted + ".");
        EXPECT_EQ(game.Read(other), kPlayerCustomCfg);
        EXPECT_EQ(test::ReadBytes(victim), kVictim);

        ASSERT_EQ(::lchown(link.c_str(), 0, 0), 0);
        EXPECT_EQ(Attempt(game.registry, game.files).result, InstallationResult::Installed);
        EXPECT_NE(test::ReadBytes(victim), kVictim);
    }
}

// Runs an installation in a child process whose files may not grow past
// `limit` bytes, as on a full disk. Returns the child's exit status: the
// InstallationResult, or 99 when the success message was shown for a failure.
int InstallWithFileSizeLimit(GameFolder& game, rlim_t limit) {
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails with EFBIG instead
        const rlimit fsize{limit, limit};
        setrlimit(RLIMIT_FSIZE, &fsize);
        Attempt attempt(game.registry, game.files);
        const bool toldSuccess = !attempt.windows.messagesShown.empty() &&
                                 attempt.windows.messagesShown.back().text == kSuccess;
        if (toldSuccess && attempt.result != InstallationResult::Installed) {
            _exit(99);
        }
        _exit(static_cast<int>(attempt.result));
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(InstallationFaults, AFullDiskLosesNoLine) {
    // custom.cfg fails part way: both files go back as they were.
    {
        GameFolder game;
        game.Write("custom.cfg", kPlayerCustomCfg);
        EXPECT_EQ(InstallWithFileSizeLimit(game, 300),
                  static_cast<int>(InstallationResult::Failed));
        EXPECT_EQ(game.Read("custom.cfg"), kPlayerCustomCfg);
    }
    // newconfig.cfg fails at a later installation, when the lines added to
    // custom.cfg by hand make it grow past the limit: custom.cfg is put back.
    {
        GameFolder game;
        const std::string earlier(1400, 'x');
        const std::string handAdded = "bind h \"say " + std::string(150, 'h') + "\"\r\n";
        game.Write("newconfig.cfg", "\r\n" + earlier + "\r\n");
        game.Write("custom.cfg", kPlayerCustomCfg + handAdded);
        EXPECT_EQ(InstallWithFileSizeLimit(game, 1500),
                  static_cast<int>(InstallationResult::Failed));
        EXPECT_EQ(game.Read("custom.cfg"), kPlayerCustomCfg + handAdded);
        EXPECT_EQ(game.Read("newconfig.cfg"), "\r\n" + earlier + "\r\n");
    }
    // newconfig.cfg fails part way at a first installation: it is left empty,
    // so that trying again in a later run still takes all of custom.cfg for
    // the player's lines.
    {
        GameFolder game;
        const std::string player =
            "seta name " + std::string(1400, 'x') + "\r\nsetu r_lodcap .5\r\n";
        game.Write("custom.cfg", player);
        EXPECT_EQ(InstallWithFileSizeLimit(game, player.size() + 1),
                  static_cast<int>(InstallationResult::Failed));
        EXPECT_EQ(game.Read("custom.cfg"), player);
        EXPECT_EQ(game.Read("newconfig.cfg").value_or(""), "");
        EXPECT_EQ(Attempt(game.registry, game.files).result, InstallationResult::Installed);
        EXPECT_EQ(game.Read("newconfig.cfg"), "\r\n" + player + "\r\n");
    }
}
#endif

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

// The lines of a file, trimmed, without the empty ones.
std::set<std::string> NonEmptyLines(const std::optional<std::string>& bytes) {
    std::set<std::string> lines;
    for (std::string& line : TrimmedLines(bytes)) {
        if (!line.empty()) {
            lines.insert(std::move(line));
        }
    }
    return lines;
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
    const std::string folder = "C:\\Games\\MOHAA\\mainta";
    const std::string custom = folder + "\\custom.cfg";
    const std::string other = folder + "\\newconfig.cfg";
    FakeRegistryStore registry;
    registry.SetString("Software\\2015\\MOHAA", "basepath", "C:\\Games\\MOHAA");

    std::size_t tried = 0;
    for (std::size_t k = 1;; ++k) {
        MemoryFileService files;
        files.AddFolder(folder);
        files.SetFile(custom, customCfg);
        if (newConfig) {
            files.SetFile(other, *newConfig);
        }
        ScriptedWindowSystem windows;
        ScriptedMainWindow window;
        Installer installer(windows, registry, files);
        const auto install = [&] {
            windows.Then(DialogStep::Answer("Medium"));
            windows.Then(DialogStep::Answer("Highest"));
            return installer.RunInstallation(window);
        };
        std::size_t armedAt = 0;
        const auto arm = [&] {
            files.FailOperation(k);
            armedAt = files.Operations();
        };
        const auto hit = [&] { return files.Operations() - armedAt >= k; };

        if (phase == Phase::StartupRead) {
            arm();
        }
        installer.RunStartup(window);
        if (phase == Phase::StartupRead && !hit()) {
            break;
        }
        if (phase == Phase::FirstInstallation) {
            arm();
        }
        if (phase == Phase::SecondInstallation) {
            ASSERT_EQ(install(), InstallationResult::Installed);
            arm();
        }
        const auto customBefore = files.File(custom);
        const auto otherBefore = files.File(other);
        std::set<std::string> before = NonEmptyLines(customBefore);
        before.merge(NonEmptyLines(otherBefore));
        const std::size_t messagesBefore = windows.messagesShown.size();
        const std::size_t installBefore = window.install.Count();

        const InstallationResult result = install();
        if (!hit()) {
            EXPECT_EQ(result, InstallationResult::Installed);
            break;
        }
        ++tried;
        SCOPED_TRACE("failed operation " + std::to_string(k) + ": " +
                     files.Log().at(armedAt + k - 1));

        const auto expectNothingLost = [&] {
            std::set<std::string> after = NonEmptyLines(files.File(custom));
            after.merge(NonEmptyLines(files.File(other)));
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
            if (told.text != kSuccess) {
                EXPECT_EQ(told.icon, MessageIcon::Warning);
                EXPECT_NE(told.text.find("may not have reached the disk"), std::string::npos);
            }
            EXPECT_EQ(LinesOf(window.current), TrimmedLines(files.File(custom)));
        } else {
            EXPECT_EQ(told.icon, MessageIcon::Warning);
            EXPECT_NE(told.text, kSuccess);
            EXPECT_EQ(window.install.Count(), installBefore);
            // A file that was there goes back to exactly what it held; one
            // that was not is left empty at most, which reads as missing.
            EXPECT_EQ(files.File(custom), customBefore);
            if (otherBefore) {
                EXPECT_EQ(files.File(other), otherBefore);
            } else {
                EXPECT_EQ(files.File(other).value_or(""), "");
            }
        }

        // Trying again, with nothing failing now, loses none of them either.
        EXPECT_EQ(install(), InstallationResult::Installed);
        EXPECT_EQ(windows.messagesShown.back().text, kSuccess);
        expectNothingLost();
    }
    std::cout << "[ faults   ] " << PhaseName(phase) << ": " << tried << " fault points tried\n";
    // Lines are written in blocks now, so an installation of a few lines
    // has fewer operations than when each line had an open of its own.
    EXPECT_GE(tried, phase == Phase::StartupRead ? 3u : 18u);
}

// The player's own file, holding a line that another answer than the one
// given would install.
const std::string kFirstCustomCfg = kPlayerCustomCfg + "setu r_lodcap .5\r\n";

TEST(InstallationFaults, AFailureAtAnyFileOperationOfAFirstInstallationLosesNothing) {
    FailEveryOperation(Phase::FirstInstallation, kFirstCustomCfg, std::nullopt);
}

TEST(InstallationFaults, AFailureAtAnyFileOperationOfALaterInstallationLosesNothing) {
    FailEveryOperation(Phase::FirstInstallation, kPlayerCustomCfg + "bind h \"say hand added\"\r\n",
                       "\r\nbind MOUSE1 \"+attack\"\r\nseta name Player\r\n\r\n");
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
    const std::string folder = "C:\\Games\\MOHAA\\mainta";
    const std::string leftover = folder + "\\newconfig.cfg.quorvel-new";
    struct Case {
        std::string bytes;
        InstallationResult result;
    };
    const Case cases[] = {
        {"\r\nseta name Player\r\n", InstallationResult::Installed},
        {"\r\nseta name Pla", InstallationResult::Refused},
        {"", InstallationResult::Installed},
    };
    FakeRegistryStore registry;
    registry.SetString("Software\\2015\\MOHAA", "basepath", "C:\\Games\\MOHAA");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        MemoryFileService files;
        files.AddFolder(folder);
        files.SetFile(folder + "\\custom.cfg", kPlayerCustomCfg);
        files.SetFile(leftover, c.bytes);
        Attempt attempt(registry, files);
        EXPECT_EQ(attempt.result, c.result);
        const std::optional<std::string> other = files.File(folder + "\\newconfig.cfg");
        if (c.result == InstallationResult::Refused) {
            attempt.ExpectToldAbout("\"" + leftover +
                                    "\" was left by an installation that stopped");
            EXPECT_EQ(files.File(leftover), c.bytes);
            EXPECT_EQ(other, std::nullopt);
            continue;
        }
        EXPECT_EQ(files.File(leftover), std::nullopt);
        ASSERT_TRUE(other);
        EXPECT_EQ(other->find("seta name Player") != std::string::npos, !c.bytes.empty());
        EXPECT_NE(other->find("bind MOUSE1"), std::string::npos) << *other;
    }
}

// A check that refuses after a complete leftover was put in place as
// newconfig.cfg must not tell the player that no file was changed.
TEST(InstallationFaults, ARefusalAfterALeftoverWasPutInPlaceSaysSo) {
    const std::string folder = "C:\\Games\\MOHAA\\mainta";
    const std::string leftover = folder + "\\newconfig.cfg.quorvel-new";
    FakeRegistryStore registry;
    registry.SetString("Software\\2015\\MOHAA", "basepath", "C:\\Games\\MOHAA");
    std::size_t refusedAfterRestoring = 0;
    for (std::size_t k = 1;; ++k) {
        MemoryFileService files;
        files.AddFolder(folder);
        files.SetFile(folder + "\\custom.cfg", kPlayerCustomCfg);
        files.SetFile(leftover, "\r\nseta name Player\r\n");
        ScriptedWindowSystem windows;
        ScriptedMainWindow window;
        Installer installer(windows, registry, files);
        installer.RunStartup(window);
        files.FailOperation(k);
        const std::size_t armedAt = files.Operations();
        windows.Then(DialogStep::Answer("Medium"));
        windows.Then(DialogStep::Answer("Highest"));
        const InstallationResult result = installer.RunInstallation(window);
        if (files.Operations() - armedAt < k) {
            break;
        }
        if (result != InstallationResult::Refused) {
            continue;
        }
        SCOPED_TRACE("failing operation " + std::to_string(k));
        ASSERT_EQ(windows.messagesShown.size(), 1u);
        const std::string& told = windows.messagesShown[0].text;
        const bool restored = files.File(leftover) == std::nullopt;
        EXPECT_EQ(told.ends_with("\n\nNothing was installed and no file was changed."), !restored)
            << told;
        if (restored) {
            EXPECT_EQ(files.File(folder + "\\newconfig.cfg"), "\r\nseta name Player\r\n");
            EXPECT_TRUE(told.ends_with("\n\nNothing was installed. One file was changed: \"" +
                                       leftover +
                                       "\", left complete by an installation that stopped, "
                                       "was put in place as newconfig.cfg."))
                << told;
            ++refusedAfterRestoring;
        }
    }
    EXPECT_GE(refusedAfterRestoring, 1u);
}

// From the k-th operation on nothing works any more, for every k: putting
// the files back fails too, and the player must hear that.
TEST(InstallationFaults, AFailureThatLastsIsReportedWithWhatCouldNotBePutBack) {
    const std::string folder = "C:\\Games\\MOHAA\\mainta";
    FakeRegistryStore registry;
    registry.SetString("Software\\2015\\MOHAA", "basepath", "C:\\Games\\MOHAA");
    std::set<InstallationResult> seen;
    std::size_t failedBoth = 0;
    for (std::size_t k = 1;; ++k) {
        MemoryFileService files;
        files.AddFolder(folder);
        files.SetFile(folder + "\\custom.cfg", kPlayerCustomCfg);
        ScriptedWindowSystem windows;
        ScriptedMainWindow window;
        Installer installer(windows, registry, files);
        installer.RunStartup(window);
        files.FailFromOperation(k);
        const std::size_t armedAt = files.Operations();
        windows.Then(DialogStep::Answer("Medium"));
        windows.Then(DialogStep::Answer("Highest"));
        const InstallationResult result = installer.RunInstallation(window);
        if (files.Operations() - armedAt < k) {
            break;
        }
        SCOPED_TRACE("failing from operation " + std::to_string(k));
        seen.insert(result);
        ASSERT_EQ(windows.messagesShown.size(), 1u);
        const MessageRecord& told = windows.messagesShown[0];
        if (result == InstallationResult::Installed) {
            // Both files are in place; only the last folder flush may have
            // failed, and then the player hears that instead.
            if (told.text != kSuccess) {
                EXPECT_EQ(told.icon, MessageIcon::Warning);
                EXPECT_NE(told.text.find("may not have reached the disk"), std::string::npos);
            }
            continue;
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
                               folder + "\\newconfig.cfg\"") != std::string::npos;
            EXPECT_TRUE(leftAsTheyWere || notPutBack) << told.text;
            EXPECT_EQ(files.File(folder + "\\custom.cfg"), kPlayerCustomCfg);
            if (leftAsTheyWere) {
                EXPECT_EQ(files.File(folder + "\\newconfig.cfg"), std::nullopt);
            }
            failedBoth += notPutBack ? 1 : 0;
        }
    }
    EXPECT_EQ(seen, (std::set<InstallationResult>{InstallationResult::Installed,
                                                  InstallationResult::Refused,
                                                  InstallationResult::Failed}));
    EXPECT_GE(failedBoth, 1u);
}

} // namespace
} // namespace quorvel
