// Installation when the program stops half way or others change its files
// meanwhile, on real files: a process killed at every file operation, a
// folder swapped, files made under its names, two copies at once, and a pipe
// where user.reg should be.

#include "core/installer.h"
#include "platform/wine_registry.h"
#include "tests/support/game_folder.h"
#include "tests/support/hooked_file_service.h"
#include "tests/support/installation_runs.h"
#include "tests/support/temp_dir.h"

#include <csignal>
#include <dlfcn.h>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvel::test {
namespace {

// A process killed at each file operation from start-up to the end of the
// installation, on real files; then a new process installs. `plant`, where
// given, adds to the game folder what the test is about. Returns the number
// of points killed at.
std::size_t KillAtEveryOperation(const Files& before,
                                 const std::function<void(const GameFolder&)>& plant = {}) {
    const auto setUp = [&](GameFolder& game) {
        Put(game, before);
        if (plant) {
            plant(game);
        }
    };
    const Files after = InstalledFrom(before);
    return AtEveryFaultPoint([&](std::size_t k, bool& reached) {
        SCOPED_TRACE("killed at operation " + std::to_string(k));
        GameFolder game;
        setUp(game);
        if (fork() == 0) {
            HookedFileService files(game.files, [k](std::size_t operation, const std::string&) {
                if (operation == k) {
                    raise(SIGKILL);
                }
            });
            _exit(static_cast<int>(ProgramRun(game.registry, files).Install()));
        }
        int status = 0;
        ::wait(&status);
        reached = !WIFEXITED(status);
        if (reached) {
            ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
            ExpectWholeAndNothingLost(FilesOf(game), before, after);
            EXPECT_EQ(ProgramRun(game.registry, game.files).Install(),
                      InstallationResult::Installed);
        } else {
            EXPECT_EQ(WEXITSTATUS(status), static_cast<int>(InstallationResult::Installed));
        }
        EXPECT_EQ(FilesOf(game).custom, after.custom);
        EXPECT_EQ(PlayerLines(FilesOf(game).other), PlayerLines(after.other));
        EXPECT_EQ(game.Names(), (std::set<std::string>{"custom.cfg", "newconfig.cfg"}));
    });
}

TEST(InstallationCrash, AProcessKilledAtAnyFileOperationLosesNothing) {
    const std::size_t tried = KillAtEveryOperation({kFirstCustomCfg, {}}) +
                              KillAtEveryOperation({kLaterCustomCfg, kLaterNewConfig});
    std::cout << "[ crash    ] SIGKILL: " << tried << " points\n";
    EXPECT_GE(tried, 30u);
}

// A newconfig.cfg.quorvel-new that is a link to custom.cfg reads as a
// complete new file that a stopped run left. It is no file of quorvel's: it
// is never put in place as newconfig.cfg, and a kill at any operation, each
// rename included, loses no line.
TEST(InstallationCrash, ALinkLeftAsTheNewNewconfigIsNeverPutInPlace) {
    const std::size_t tried =
        KillAtEveryOperation({kFirstCustomCfg, {}}, [](const GameFolder& game) {
            std::filesystem::create_symlink("custom.cfg",
                                            game.Mainta() / "newconfig.cfg.quorvel-new");
        });
    EXPECT_GE(tried, 15u);
}

// Another folder put in place of mainta before any file operation of an
// installation. Before the folder is found, the installation refuses, since
// start-up read the folder that went; from then on it installs into the
// folder it found and checked. The new folder stays empty either way.
TEST(InstallationCrash, AFolderSwappedAtAnyOperationIsNeverWrittenThrough) {
    const std::size_t tried = AtEveryFaultPoint([&](std::size_t k, bool& swapped) {
        SCOPED_TRACE("swapped before operation " + std::to_string(k));
        GameFolder game;
        game.Write("custom.cfg", kLaterCustomCfg);
        game.Write("newconfig.cfg", kLaterNewConfig);
        const std::filesystem::path checked = game.Mainta().string() + ".checked";
        std::size_t seen = 0;
        HookedFileService files(game.files, [&](std::size_t, const std::string&) {
            if (seen != 0 && ++seen == k + 1) {
                std::filesystem::rename(game.Mainta(), checked);
                std::filesystem::create_directory(game.Mainta());
                swapped = true;
            }
        });
        ProgramRun run(game.registry, files);
        seen = 1; // counted from the installation's first operation
        const InstallationResult result = run.Install();
        EXPECT_TRUE(!swapped || game.Names().empty());
        const std::filesystem::path used = swapped ? checked : game.Mainta();
        if (swapped && k == 1) {
            EXPECT_EQ(result, InstallationResult::Refused);
            EXPECT_NE(run.windows.messagesShown.back().text.find(
                          "changed since quorvel read it: another folder is in its place now."),
                      std::string::npos);
            EXPECT_EQ(ReadBytes(used / "custom.cfg"), kLaterCustomCfg);
            return;
        }
        EXPECT_EQ(result, InstallationResult::Installed);
        const std::string custom = ReadBytes(used / "custom.cfg");
        EXPECT_EQ(custom.rfind(kHeaderLine, 0), 0u);
        EXPECT_EQ(LinesOfBoth(custom, ReadBytes(used / "newconfig.cfg")).count("seta name Player"),
                  1u);
    });
    EXPECT_GE(tried, 13u);
}

// A newconfig.cfg that the player makes while the installation writes (it
// was missing when checked) is never replaced: the installation fails with
// both files as they were.
TEST(InstallationCrash, ANewconfigMadeMeanwhileIsNeverReplaced) {
    GameFolder game;
    game.Write("custom.cfg", kFirstCustomCfg);
    const std::string made = "seta made 1\r\n";
    HookedFileService files(game.files, [&](std::size_t, const std::string& what) {
        if (what == "rename " + kOther) {
            game.Write("newconfig.cfg", made);
        }
    });
    EXPECT_EQ(ProgramRun(game.registry, files).Install(), InstallationResult::Failed);
    EXPECT_EQ(game.Read("newconfig.cfg"), made);
    EXPECT_EQ(game.Read("custom.cfg"), kFirstCustomCfg);
    EXPECT_EQ(game.Names(), (std::set<std::string>{"custom.cfg", "newconfig.cfg"}));
}

// While one copy holds still at its first rename, with both new files
// written, a second copy is refused and writes nothing; once the first is
// done, the second installs too.
TEST(InstallationCrash, ASecondCopyIsRefusedWhileTheFirstInstalls) {
    GameFolder game;
    game.Write("custom.cfg", kFirstCustomCfg);
    const auto contents = [&] {
        std::map<std::string, std::optional<std::string>> bytes;
        for (const std::string& name : game.Names()) {
            bytes[name] = game.Read(name);
        }
        return bytes;
    };
    std::optional<Attempt> second;
    HookedFileService files(game.files, [&](std::size_t, const std::string& what) {
        if (second || !what.starts_with("rename ")) {
            return;
        }
        const auto held = contents();
        EXPECT_EQ(held.size(), 3u); // custom.cfg and both new files
        second.emplace(game.registry, game.files);
        EXPECT_EQ(second->result, InstallationResult::Refused);
        second->ExpectToldAbout("Another quorvel is installing into " + game.MaintaAsTold() +
                                ". Try again when it has finished.");
        second->ExpectWindowUnchanged();
        EXPECT_EQ(contents(), held);
    });
    EXPECT_EQ(ProgramRun(game.registry, files).Install(), InstallationResult::Installed);
    EXPECT_EQ(FilesOf(game), InstalledFrom({kFirstCustomCfg, {}}));
    ASSERT_TRUE(second);
    EXPECT_EQ(second->Install(), InstallationResult::Installed);
}

// What runs right after each removal of a file by name, while it is set.
std::function<void(int folder, const char* name)> afterUnlink;

} // namespace
} // namespace quorvel::test

// Every removal of a file by name, in this test program, goes through here.
extern "C" int unlinkat(int folder, const char* name, int flags) noexcept {
    using Unlink = int (*)(int, const char*, int);
    static const auto real = reinterpret_cast<Unlink>(dlsym(RTLD_NEXT, "unlinkat"));
    const int result = real(folder, name, flags);
    if (quorvel::test::afterUnlink) {
        quorvel::test::afterUnlink(folder, name);
    }
    return result;
}

namespace quorvel::test {
namespace {

// Someone else's file, linked under a new file's name in the moment between
// the removal of what a stopped run left there and the new file's creation,
// is never written into.
TEST(InstallationCrash, AFileMadeUnderTheNewFilesNameMeanwhileIsNeverWrittenInto) {
    GameFolder game;
    game.Write("custom.cfg", kFirstCustomCfg);
    const auto theirs = game.Prefix() / "theirs";
    const std::string kept = "export TOKEN=secret\r\n";
    WriteBytes(theirs, kept);
    afterUnlink = [&](int folder, const char* name) {
        if (std::string_view(name).ends_with(".quorvel-new")) {
            afterUnlink = nullptr;
            ::linkat(AT_FDCWD, theirs.c_str(), folder, name, 0);
        }
    };
    EXPECT_NE(ProgramRun(game.registry, game.files).Install(), InstallationResult::Installed);
    afterUnlink = nullptr;
    EXPECT_EQ(ReadBytes(theirs), kept);
    EXPECT_EQ(game.Read("custom.cfg"), kFirstCustomCfg);
}

// One file under both names (either name a link to the other) is refused
// before any new file is made: the file keeps its bytes and both names.
TEST(InstallationCrash, TwoNamesForOneFileAreRefusedBeforeAnythingIsWritten) {
    ExpectRefusedOverAnOddEntry(
        [](const std::filesystem::path& place) {
            std::filesystem::create_symlink(
                place.filename() == "custom.cfg" ? "newconfig.cfg" : "custom.cfg", place);
        },
        {"custom.cfg and newconfig.cfg are the same file (\"" + kCustom + "\" (/",
         "/drive_c/Games/MOHAA/mainta/", ") and \"" + kOther + "\" (/",
         ".cfg)); quorvel needs them apart.\n\nNothing was installed and no file was changed."});
}

// A pipe where user.reg should be reads as no registry, at once: start-up
// reaches the prompt with nothing filled in.
TEST(InstallationCrash, APipeForUserRegDoesNotHoldUpStartup) {
    GameFolder game;
    const auto userReg = game.Prefix() / "user.reg";
    ASSERT_EQ(mkfifo(userReg.c_str(), 0600), 0);
    alarm(10); // a start-up that waits on the pipe ends the test here
    WineRegistryStore registry(WineRegistryFile::Load(userReg.string()));
    const ProgramRun run(registry, game.files);
    alarm(0);
    EXPECT_EQ(run.windows.promptsShown.at(0).defaultAnswer, "");
}

} // namespace
} // namespace quorvel::test
