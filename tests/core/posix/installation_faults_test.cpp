// Installation when the files are not what they seem, on real POSIX files:
// links, pipes, endless files, permissions, another user's links and a full
// disk.

#include "core/installer.h"
#include "platform/host_file_service.h"
#include "tests/support/game_folder.h"
#include "tests/support/installation_runs.h"
#include "tests/support/test_data.h"

#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvel::test {
namespace {

const std::string kVictim = "export TOKEN=secret\r\n";
constexpr uid_t kStranger = 54321;

// Tests that give files to other users, or play a player who owns some
// files and not others.
class InstallationFaultsAsRoot : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "giving files to other users needs root";
        }
    }
};

// An installation in a child process, once `prepare` has made the child what
// the test needs (another user, a file size limit): its result, and the last
// message the player was told.
struct ChildAttempt {
    int result = -1;
    std::string told;
};
ChildAttempt AttemptInChild(GameFolder& game, const std::function<void()>& prepare) {
    int out[2];
    EXPECT_EQ(::pipe(out), 0);
    if (const pid_t child = fork(); child == 0) {
        prepare();
        const Attempt attempt(game.registry, game.files);
        const auto& shown = attempt.windows.messagesShown;
        const std::string told =
            static_cast<char>(attempt.result) + (shown.empty() ? std::string() : shown.back().text);
        _exit(::write(out[1], told.data(), told.size()) < 0 ? 1 : 0);
    }
    ::close(out[1]);
    std::string told(65536, '\0');
    told.resize(
        static_cast<std::size_t>(std::max<ssize_t>(0, ::read(out[0], told.data(), told.size()))));
    ::close(out[0]);
    ::wait(nullptr);
    if (told.empty()) {
        return {};
    }
    return {told[0], told.substr(1)};
}

// Neither a pipe nor a link to nothing is taken for a file: the installation
// stops before writing anything, nothing is created where the link points,
// and start-up does not wait on the pipe.
TEST(InstallationFaults, WhatIsNotAPlainFileStopsEverything) {
    ExpectRefusedOverAnOddEntry(
        [](const std::filesystem::path& place) { ASSERT_EQ(::mkfifo(place.c_str(), 0600), 0); });
    ExpectRefusedOverAnOddEntry([](const std::filesystem::path& place) {
        std::filesystem::create_symlink(place.parent_path() / "elsewhere.cfg", place);
    });
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
// custom.cfg's lines, takes custom.cfg's, and a new file is otherwise the
// player's alone, also beside another user's open custom.cfg. Nothing is
// ever more open than before, whatever the umask.
TEST(InstallationFaults, PermissionsNeverWiden) {
    const struct {
        std::optional<mode_t> custom, other; // before, where there
        mode_t customAfter, otherAfter;
        uid_t owner;
    } cases[] = {
        {0600, {}, 0600, 0600, 0},   {0660, {}, 0660, 0660, 0}, {0600, 0644, 0600, 0644, 0},
        {0644, 0600, 0644, 0600, 0}, {{}, {}, 0600, 0600, 0},   {0666, {}, 0666, 0600, 54321},
    };
    const mode_t umaskBefore = ::umask(0);
    for (const auto& c : cases) {
        if (c.owner != 0 && ::geteuid() != 0) {
            continue; // giving custom.cfg to another user needs root
        }
        GameFolder game;
        for (const auto& [path, mode] :
             {std::pair(game.CustomCfg(), c.custom), std::pair(game.NewConfig(), c.other)}) {
            if (mode) {
                WriteBytes(path, kPlayerCustomCfg);
                ASSERT_EQ(::chmod(path.c_str(), *mode), 0);
                ASSERT_TRUE(c.owner == 0 || ::chown(path.c_str(), c.owner, c.owner) == 0);
            }
        }
        EXPECT_EQ(Attempt(game.registry, game.files).result, InstallationResult::Installed);
        for (const auto& [path, mode] : {std::pair(game.CustomCfg(), c.customAfter),
                                         std::pair(game.NewConfig(), c.otherAfter)}) {
            struct stat info {};
            ASSERT_EQ(::stat(path.c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & 07777, mode) << path;
        }
    }
    ::umask(umaskBefore);
}

// A link that another user planted where either file should be is never
// followed: nothing is written where it leads, and the player is told whose
// link it is. Links of the player's own and of root's are followed.
TEST_F(InstallationFaultsAsRoot, ALinkOfAnotherUserIsNotFollowed) {
    const auto plant = [](uid_t owner) {
        return [owner](const std::filesystem::path& place) {
            const auto victim = place.parent_path().parent_path() / "victim";
            WriteBytes(victim, kVictim);
            std::filesystem::create_symlink(victim, place);
            ASSERT_EQ(::lchown(place.c_str(), owner, owner), 0);
        };
    };
    ExpectRefusedOverAnOddEntry(plant(kStranger),
                                {"cannot be written: it is a symbolic link owned by another user, "
                                 "uid 54321, and is not followed: "});
    GameFolder game;
    plant(0)(game.CustomCfg());
    EXPECT_EQ(Attempt(game.registry, game.files).result, InstallationResult::Installed);
    EXPECT_NE(ReadBytes(game.Mainta().parent_path() / "victim"), kVictim);
}

// What the player may not write, the player hears whose it is and how to
// make it writable: an installation run in a child process as the player.
TEST_F(InstallationFaultsAsRoot, WhatCannotBeWrittenSaysHowToMakeItWritable) {
    constexpr uid_t kPlayer = kStranger;
    const struct {
        uid_t maintaOwner;
        mode_t customMode;
        std::string told, what; // `what` is below the game folder on drive C:
    } kCases[] = {
        {kPlayer, 0444,
         "file is yours (uid 54321) but not writable. Make it writable, in a terminal:"
         "\n    chmod u+w '",
         "mainta/custom.cfg"},
        {0, 0644,
         "folder belongs to root, not to you. Make it yours, in a terminal:\n    sudo chown "
         "\"$USER\" '",
         "mainta"},
    };
    for (const auto& c : kCases) {
        GameFolder game;
        game.Write("custom.cfg", kPlayerCustomCfg);
        std::filesystem::permissions(game.Prefix().parent_path(), std::filesystem::perms(0755));
        ASSERT_EQ(::chown(game.Mainta().c_str(), c.maintaOwner, c.maintaOwner), 0);
        ASSERT_EQ(::chown(game.CustomCfg().c_str(), kPlayer, kPlayer), 0);
        ASSERT_EQ(::chmod(game.CustomCfg().c_str(), c.customMode), 0);
        const std::string told = AttemptInChild(game, [] {
                                     if (::setgid(kPlayer) != 0 || ::setuid(kPlayer) != 0) {
                                         _exit(1);
                                     }
                                 }).told;
        EXPECT_NE(told.find("\n\nThe " + c.told + game.Prefix().string() +
                            "/dosdevices/c:/Games/MOHAA/" + c.what + "'\nthen install again."),
                  std::string::npos)
            << told;
    }
}

// After start-up has read the player's private custom.cfg, another user puts
// a link of theirs to a folder of theirs in the place of mainta. The link is
// not followed; made root's, it is, but it leads to another folder than the
// one start-up read, and that is refused too. Nothing reaches their folder.
TEST_F(InstallationFaultsAsRoot, AMaintaSwappedForAnotherUsersFolderIsRefused) {
    namespace fs = std::filesystem;
    GameFolder game;
    game.Write("custom.cfg", kPlayerCustomCfg);
    ASSERT_EQ(::chmod(game.CustomCfg().c_str(), 0600), 0);
    const auto theirs = game.Prefix() / "theirs";
    fs::create_directory(theirs);
    WriteBytes(theirs / "custom.cfg", kVictim);
    ASSERT_EQ(::chown(theirs.c_str(), kStranger, kStranger), 0);
    ProgramRun run(game.registry, game.files);
    fs::rename(game.Mainta(), game.Prefix() / "mainta.player");
    fs::create_directory_symlink(theirs, game.Mainta());

    const std::pair<uid_t, std::string> owners[] = {
        {kStranger, "cannot be used: it is a symbolic link owned by another user, uid 54321, "
                    "and is not followed: " +
                        game.Mainta().string() + "."},
        {0, "changed since quorvel read it"}};
    for (const auto& [owner, told] : owners) {
        ASSERT_EQ(::lchown(game.Mainta().c_str(), owner, owner), 0);
        EXPECT_EQ(run.Install(), InstallationResult::Refused);
        EXPECT_NE(run.windows.messagesShown.back().text.find(told), std::string::npos)
            << run.windows.messagesShown.back().text;
        EXPECT_EQ(ReadBytes(theirs / "custom.cfg"), kVictim);
        EXPECT_EQ(std::distance(fs::directory_iterator(theirs), fs::directory_iterator()), 1);
    }
}

// A new newconfig.cfg that another user left beside a missing newconfig.cfg
// is not put in place as the player's: the installation stops and says whose.
TEST_F(InstallationFaultsAsRoot, AnotherUsersLeftoverIsNotPutInPlace) {
    GameFolder game;
    game.Write("custom.cfg", kPlayerCustomCfg);
    game.Write("newconfig.cfg.quorvel-new", kVictim);
    ASSERT_EQ(::chown((game.Mainta() / "newconfig.cfg.quorvel-new").c_str(), 54321, 54321), 0);
    Attempt attempt(game.registry, game.files);
    EXPECT_EQ(attempt.result, InstallationResult::Refused);
    attempt.ExpectToldAbout("cannot be put back as newconfig.cfg: it belongs to another user, "
                            "uid 54321.");
    EXPECT_FALSE(game.Read("newconfig.cfg"));
    EXPECT_EQ(game.Read("custom.cfg"), kPlayerCustomCfg);
}

// A full disk part way through either file: both files stay as they were, no
// new file is left behind, and once there is room the installation makes what
// it would have made.
TEST(InstallationFaults, AFullDiskLosesNoLine) {
    const std::string handAdded = "bind h \"say " + std::string(150, 'h') + "\"\r\n";
    const std::string player = "seta name " + std::string(1400, 'x') + "\r\nsetu r_lodcap .5\r\n";
    const struct {
        Files start;
        rlim_t limit;
    } cases[] = {
        // custom.cfg fails.
        {{kPlayerCustomCfg, {}}, 300},
        // newconfig.cfg fails at a later installation, when the lines added
        // to custom.cfg by hand make it grow past the limit.
        {{kPlayerCustomCfg + handAdded, "\r\n" + std::string(1400, 'x') + "\r\n"}, 1500},
        // newconfig.cfg fails at a first installation: it is left empty at
        // most, so that a later run still takes all of custom.cfg for the
        // player's lines.
        {{player, {}}, player.size() + 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.limit);
        GameFolder game;
        Put(game, c.start);
        const ChildAttempt attempt = AttemptInChild(game, [&] {
            std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails with EFBIG instead
            const rlimit fsize{c.limit, c.limit};
            setrlimit(RLIMIT_FSIZE, &fsize);
        });
        EXPECT_EQ(attempt.result, static_cast<int>(InstallationResult::Failed));
        EXPECT_NE(attempt.told.find(std::strerror(EFBIG)), std::string::npos) << attempt.told;
        EXPECT_EQ(game.Read("custom.cfg"), c.start.custom);
        EXPECT_EQ(game.Read("newconfig.cfg").value_or(""), c.start.other.value_or(""));
        for (const std::string& name : game.Names()) {
            EXPECT_FALSE(name.ends_with(".quorvel-new")) << name;
        }
        EXPECT_EQ(Attempt(game.registry, game.files).result, InstallationResult::Installed);
        EXPECT_EQ(FilesOf(game), InstalledFrom(c.start));
    }
}

} // namespace
} // namespace quorvel::test
