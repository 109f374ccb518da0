// Finding the Wine prefix that holds the game, in throwaway home folders laid
// out as Wine and each launcher lay them out.

#include "app/posix/command_line.h"
#include "platform/wine/prefix_discovery.h"
#include "tests/support/posix/scoped_env.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wine_prefixes.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using test::MakePrefix;
using test::WriteFile;

constexpr const char* kGameKey = "Software\\2015\\MOHAA";

// Where the game was found: "<prefix> (<launcher>)", then " + <folder>" where
// OpenMoHAA's folder was chosen, "none: " first where it was not found.
std::string Chosen(const DiscoveryResult& r) {
    return (r.found ? "" : "none: ") + r.prefix + " (" + r.launcher + ")" +
           (r.gameFolder.empty() ? "" : " + " + r.gameFolder);
}

class PrefixDiscoveryTest : public ::testing::Test {
protected:
    DiscoveryEnvironment Env() const {
        return {Home(), Home() + "/.config", Home() + "/.local/share", {}, {}};
    }
    std::string Home() const { return dir_.Path().string(); }
    fs::path At(const std::string& relative) const { return dir_.Path() / relative; }
    DiscoveryResult Discover() const { return DiscoverWinePrefix(Env(), kGameKey); }
    // Steam's library list, naming the library `library` below the home folder.
    void SteamLibrary(const std::string& library) const {
        WriteFile(At(".local/share/Steam/steamapps/libraryfolders.vdf"),
                  "\"libraryfolders\" { \"1\" { \"path\" \"" + At(library).string() + "\" } }");
    }

    test::TempDir dir_;
};

// A prefix with the game where a launcher puts it, and the launcher's
// configuration file that says so, "@" in it standing for the home folder.
struct Layout {
    const char* prefix; // below the home folder
    const char* launcher;
    const char* config = "";
    const char* text = "";
};

const Layout kLayouts[] = {
    {".wine", "Wine"},
    {".var/app/org.winehq.Wine/data/wine", "Wine (Flatpak)"},
    {"p/mohaa", "Lutris", ".config/lutris/games/mohaa-1700000000.yml",
     "game:\n  exe: @/p/mohaa/drive_c/mohaa.exe\n  prefix: @/p/mohaa\nname: MOHAA\n"},
    {"p/mohaa", "Lutris", ".local/share/lutris/games/mohaa.yml", "game:\n  prefix: ~/p/mohaa\n"},
    {"p/mohaa", "Lutris (Flatpak)", ".var/app/net.lutris.Lutris/data/lutris/games/mohaa.yml",
     "game: {prefix: '@/p/mohaa'}"},
    {"Games/medal-of-honor", "Lutris"},
    {"p/mohaa", "Heroic", ".config/heroic/GamesConfig/1207658930.json",
     R"({"1207658930": {"winePrefix": "@/p/mohaa", "wineVersion": {"type": "wine"}}, "v": 0})"},
    {"p/mohaa/pfx", "Heroic (Flatpak)",
     ".var/app/com.heroicgameslauncher.hgl/config/heroic/GamesConfig/x.json",
     R"({"x": {"winePrefix": "~/p/mohaa", "wineVersion": {"type": "proton"}}})"},
    {"Games/Heroic/Prefixes/default/MOHAA", "Heroic"},
    {".local/share/bottles/bottles/Games", "Bottles"},
    {"disk/bottles/Games", "Bottles", ".local/share/bottles/data.yml",
     "custom_bottles_path: @/disk/bottles\n"},
    {".var/app/com.usebottles.bottles/data/bottles/bottles/Games", "Bottles (Flatpak)"},
    {".local/share/Steam/steamapps/compatdata/2200/pfx", "Steam"},
    {"lib/steamapps/compatdata/2200/pfx", "Steam", ".steam/steam/steamapps/libraryfolders.vdf",
     "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"@/lib\"\n\t\t\"apps\" { \"2200\" "
     "\"1\" }\n\t}\n}\n"},
    {"lib/steamapps/compatdata/2200/pfx", "Steam",
     ".local/share/Steam/steamapps/libraryfolders.vdf",
     "\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\"1\"\n\t\"1\"\t\"@/lib\"\n}\n"},
    {".var/app/com.valvesoftware.Steam/.local/share/Steam/steamapps/compatdata/2200/pfx",
     "Steam (Flatpak)"},
    {"snap/steam/common/.local/share/Steam/steamapps/compatdata/2200/pfx", "Steam (Snap)"},
    {".local/share/wineprefixes/mohaa", "winetricks"},
    {".PlayOnLinux/wineprefix/MOHAA", "PlayOnLinux"},
    {".var/app/com.playonlinux.PlayOnLinux4/.PlayOnLinux/wineprefix/MOHAA",
     "PlayOnLinux (Flatpak)"},
};

TEST(LauncherPlacesTest, FindsTheGameWhereEachLauncherPutsIt) {
    for (const Layout& layout : kLayouts) {
        SCOPED_TRACE(std::string(layout.launcher) + ": " + layout.prefix);
        test::TempDir home;
        if (*layout.config != '\0') {
            std::string text = layout.text;
            for (std::size_t at; (at = text.find('@')) != std::string::npos;) {
                text.replace(at, 1, home.Path().string());
            }
            WriteFile(home.Path() / layout.config, text);
        }
        MakePrefix(home.Path() / layout.prefix, true, 1700000000);
        // A prefix without the game, newer, does not count.
        MakePrefix(home.Path() / ".local/share/wineprefixes/other", false, 1800000000);
        const DiscoveryEnvironment env{
            home.Path().string(), home / ".config", home / ".local/share", {}, {}};
        EXPECT_EQ(Chosen(DiscoverWinePrefix(env, kGameKey)),
                  (home / layout.prefix) + " (" + layout.launcher + ")");
    }
}

TEST_F(PrefixDiscoveryTest, TheKeyIsFoundAsWineWritesItAndNowhereElse) {
    const std::pair<const char*, bool> cases[] = {
        {"WINE REGISTRY Version 2\n[Software\\\\2015\\\\MOHAA] 1\n", true},
        {"[software\\\\2015\\\\mohaa\\\\Patch] 1\n\"x\"=\"1\"\n", true},
        {"  [Software\\\\2015\\\\MoHaA]", true},
        {"[Software\\\\Other\\\\MOHAA] 1\n[Software\\\\2015] 1\n", false},
        {"[Software\\\\2015\\\\Game] 1\n\"Name\"=\"[Software\\\\2015\\\\MOHAA]\"\n", false},
        {"[Software\\\\2015\\\\MOHAAX] 1\n", false},
    };
    for (const auto& [userReg, hasGame] : cases) {
        WriteFile(At(".wine/user.reg"), userReg);
        EXPECT_EQ(Discover().found, hasGame) << userReg;
    }
}

// The newest user.reg wins, one dated in the future counting as now, and a
// tie goes to the place searched first.
TEST_F(PrefixDiscoveryTest, TheNewestUserRegWinsAndTiesGoToTheFirstPlace) {
    MakePrefix(At(".wine"), true, 1000);
    MakePrefix(At("Games/mohaa"), true, 3000);
    MakePrefix(At(".local/share/Steam/steamapps/compatdata/2200/pfx"), true, 2000);
    MakePrefix(At(".local/share/wineprefixes/empty"), false, 9000);
    DiscoveryResult result = Discover();
    EXPECT_EQ(Chosen(result), At("Games/mohaa").string() + " (Lutris)");
    ASSERT_EQ(result.checked.size(), 4u);
    EXPECT_FALSE(result.checked[3].hasGame);

    const long long now = static_cast<long long>(::time(nullptr));
    test::SetChanged(At(".wine/user.reg"), now + 1000L * 86400);
    MakePrefix(At("lib/steamapps/compatdata/2200/pfx"), true, now + 3000L * 86400);
    SteamLibrary("lib");
    EXPECT_EQ(Discover().prefix, At(".wine").string());
}

// A prefix whose user.reg belongs to another user (one planted on a shared
// games drive that Steam lists, say) is passed over, and the player is told.
TEST_F(PrefixDiscoveryTest, APrefixOfAnotherUserIsPassedOver) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "giving a user.reg to another user needs root";
    }
    MakePrefix(At(".wine"), true, 1000);
    fs::create_directories(At(".wine/drive_c/Games/MOHAA/mainta"));
    const fs::path planted = At("shared/steamapps/compatdata/2200/pfx");
    MakePrefix(planted, true, 9000);
    ASSERT_EQ(::chown((planted / "user.reg").c_str(), 54321, 54321), 0);
    SteamLibrary("shared");
    const DiscoveryResult result = Discover();
    EXPECT_EQ(result.checked.size(), 1u);
    EXPECT_EQ(DescribeDiscovery(result, Env()),
              "quorvel: passed over the Wine prefix ~/shared/steamapps/compatdata/2200/pfx "
              "(Steam): its user.reg belongs to another user (uid 54321)\n"
              "quorvel: using the Wine prefix " +
                  At(".wine").string() + " (Wine)");
}

// $WINEPREFIX is the only place looked at, and --prefix comes before it,
// even without the game; a newer OpenMoHAA folder is not looked at either.
TEST_F(PrefixDiscoveryTest, WinePrefixAndThePrefixOptionAreTheOnlyPlaceLookedAt) {
    MakePrefix(At(".wine"), true, 9000);
    MakePrefix(At("chosen"), true, 1000);
    MakePrefix(At("given"), false, 1000);
    WriteFile(At(".openmohaa/mainta/qconsole.log"), "log\n");
    DiscoveryEnvironment env = Env();
    env.winePrefix = At("chosen").string();
    const DiscoveryResult result = DiscoverWinePrefix(env, kGameKey);
    EXPECT_EQ(Chosen(result), env.winePrefix + " (WINEPREFIX)");
    EXPECT_EQ(result.checked.size(), 1u);

    env.prefixOption = At("given").string();
    EXPECT_EQ(Chosen(DiscoverWinePrefix(env, kGameKey)),
              "none: " + env.prefixOption + " (--prefix)");
}

TEST_F(PrefixDiscoveryTest, BrokenConfigurationIsPassedOver) {
    const std::string prefix = At("prefixes/mohaa").string();
    WriteFile(At(".config/lutris/games/a.yml"), "game: [prefix: {" + prefix);
    WriteFile(At(".config/lutris/games/b.yml"), "game: just text\n");
    WriteFile(At(".config/lutris/games/c.yml"), "game:\n  prefix: [" + prefix + "]\n");
    WriteFile(At(".config/heroic/GamesConfig/a.json"), R"({"a": {"winePrefix": ")" + prefix);
    WriteFile(At(".config/heroic/GamesConfig/b.json"), R"({"a": {"winePrefix": 42}})");
    WriteFile(At(".local/share/bottles/data.yml"), "custom_bottles_path: {\n");
    WriteFile(At(".local/share/Steam/steamapps/libraryfolders.vdf"),
              "\"libraryfolders\" { \"1\" { \"path\" \"" + At("lib").string() + "\" ");
    MakePrefix(At("prefixes/mohaa"), true, 1000);
    MakePrefix(At("lib/steamapps/compatdata/2200/pfx"), true, 1000);
    EXPECT_FALSE(Discover().found);

    MakePrefix(At(".local/share/wineprefixes/mohaa"), true, 1000);
    EXPECT_EQ(Discover().prefix, At(".local/share/wineprefixes/mohaa").string());
}

TEST_F(PrefixDiscoveryTest, LinksLoopsAndFifosAreSafe) {
    // A prefix reached by several paths is checked once.
    MakePrefix(At(".local/share/Steam/steamapps/compatdata/2200/pfx"), false, 1000);
    fs::create_directories(At(".steam"));
    fs::create_directory_symlink(At(".local/share/Steam"), At(".steam/steam"));
    fs::create_directories(At(".local/share/wineprefixes"));
    fs::create_directory_symlink(At(".local/share/Steam/steamapps/compatdata/2200/pfx"),
                                 At(".local/share/wineprefixes/steam"));
    // Links that lead round in a loop, or nowhere.
    fs::create_directories(At("Games"));
    fs::create_symlink(At("Games/b"), At("Games/a"));
    fs::create_symlink(At("Games/a"), At("Games/b"));
    fs::create_symlink(At("nowhere"), At("Games/c"));
    // A user.reg that is a FIFO nobody writes to would block a plain read.
    fs::create_directories(At(".wine"));
    ASSERT_EQ(::mkfifo(At(".wine/user.reg").c_str(), 0600), 0);
    MakePrefix(At(".PlayOnLinux/wineprefix/MOHAA"), true, 1000);

    const DiscoveryResult result = Discover();
    ASSERT_EQ(result.checked.size(), 2u);
    // ~/.steam/steam is the first place of Steam's, and the link to its folder.
    EXPECT_EQ(result.checked[0].path, At(".steam/steam/steamapps/compatdata/2200/pfx").string());
    EXPECT_EQ(result.checked[1].launcher, "PlayOnLinux");
    EXPECT_EQ(result.prefix, At(".PlayOnLinux/wineprefix/MOHAA").string());
}

TEST_F(PrefixDiscoveryTest, AFolderThatCannotBeReadIsPassedOver) {
    MakePrefix(At(".PlayOnLinux/wineprefix/MOHAA"), true, 1000);
    fs::permissions(At(".PlayOnLinux/wineprefix"), fs::perms::none);
    const bool locked = ::access(At(".PlayOnLinux/wineprefix").c_str(), R_OK) != 0;
    const DiscoveryResult result = Discover();
    fs::permissions(At(".PlayOnLinux/wineprefix"), fs::perms::owner_all);
    if (!locked) {
        GTEST_SKIP() << "this user reads every folder, a locked one too";
    }
    EXPECT_TRUE(result.checked.empty());
}

// OpenMoHAA's folder against a prefix with the game changed at 2000: it
// counts with the newest time of mainta and the entries directly in it (the
// engine's log, written on every run), and a tie goes to the prefix.
TEST_F(PrefixDiscoveryTest, OpenMohaaCountsByTheNewestOfMaintaAndItsEntries) {
    MakePrefix(At(".local/share/wineprefixes/mohaa"), true, 2000);
    fs::create_directories(At(".local/share/wineprefixes/mohaa/drive_c/Games/MOHAA/mainta"));
    WriteFile(At(".openmohaa/mainta/qconsole.log"), "log\n");
    const struct {
        long long mainta, entry;
        bool chosen;
    } cases[] = {{3000, 1000, true}, {1000, 3000, true}, {1000, 1500, false}, {1000, 2000, false}};
    for (const auto& [mainta, entry, chosen] : cases) {
        SCOPED_TRACE(std::to_string(mainta) + " " + std::to_string(entry));
        test::SetChanged(At(".openmohaa/mainta/qconsole.log"), entry);
        test::SetChanged(At(".openmohaa/mainta"), mainta);
        const DiscoveryResult result = Discover();
        EXPECT_EQ(Chosen(result), chosen
                                      ? Home() + "/.wine (OpenMoHAA) + " + Home() + "/.openmohaa"
                                      : Home() + "/.local/share/wineprefixes/mohaa (winetricks)");
        if (!chosen) {
            continue;
        }
        EXPECT_EQ(DescribeDiscovery(result, Env()),
                  "quorvel: passed over the Wine prefix ~/.local/share/wineprefixes/mohaa "
                  "(winetricks): not newer than the one used\nquorvel: using OpenMoHAA's folder " +
                      At(".openmohaa").string());
    }
}

// A mainta that is no folder is passed over, said so, and never opened in a
// way that could block; nor is a FIFO in a mainta that is a folder.
TEST_F(PrefixDiscoveryTest, OpenMohaaWithoutAMaintaFolderIsPassedOverAndSaidSo) {
    const fs::path mainta = At(".openmohaa/mainta");
    fs::create_directories(mainta);
    ASSERT_EQ(::mkfifo((mainta / "qconsole.log").c_str(), 0600), 0);
    EXPECT_EQ(Discover().gameFolder, At(".openmohaa").string());
    const std::function<void()> noFolders[] = {
        [&] { WriteFile(mainta, "x"); }, [&] { fs::create_symlink(mainta, mainta); },
        [&] { ASSERT_EQ(::mkfifo(mainta.c_str(), 0600), 0); }};
    for (const auto& make : noFolders) {
        fs::remove_all(mainta);
        make();
        const DiscoveryResult result = Discover();
        EXPECT_FALSE(result.found);
        EXPECT_EQ(result.passedOver, mainta.string());
        const std::string line = DescribeDiscovery(result, Env());
        EXPECT_NE(line.find("; passed over ~/.openmohaa/mainta: not a folder"), std::string::npos)
            << line;
    }
}

// Taken from the process: $WINEPREFIX, the XDG folders where absolute, and
// the home folder, from the password database where $HOME is not set.
TEST(DiscoveryEnvironment, ComesFromTheProcessWithTheXdgDefaults) {
    test::ScopedEnv home("HOME", "/home/me");
    test::ScopedEnv config("XDG_CONFIG_HOME", "relative/config");
    test::ScopedEnv data("XDG_DATA_HOME", nullptr);
    test::ScopedEnv prefix("WINEPREFIX", "/w");
    using Fields = std::vector<std::string>;
    const auto fields = [](const DiscoveryEnvironment& e) {
        return Fields{e.home, e.xdgConfigHome, e.xdgDataHome, e.winePrefix, e.prefixOption};
    };
    EXPECT_EQ(fields(EnvironmentFromProcess("/given")),
              (Fields{"/home/me", "/home/me/.config", "/home/me/.local/share", "/w", "/given"}));

    test::ScopedEnv absoluteData("XDG_DATA_HOME", "/data");
    test::ScopedEnv noHome("HOME", nullptr);
    const std::string own = ::getpwuid(::getuid())->pw_dir;
    EXPECT_EQ(fields(EnvironmentFromProcess()), (Fields{own, own + "/.config", "/data", "/w", ""}));
}

TEST_F(PrefixDiscoveryTest, DescribesTheOutcomeInOneLine) {
    DiscoveryEnvironment env = Env();
    EXPECT_EQ(DescribeDiscovery(Discover(), env),
              "quorvel: the game was not found: there is no Wine prefix in ~/.wine or in the "
              "folders of Lutris, Heroic, Bottles, Steam, winetricks and PlayOnLinux, "
              "and no OpenMoHAA folder ~/.openmohaa/mainta");

    for (const char* name : {"a", "b", "c", "d", "e", "f"}) {
        MakePrefix(At(".local/share/wineprefixes") / name, false, 1000);
    }
    MakePrefix(At(".wine"), false, 1000);
    EXPECT_EQ(DescribeDiscovery(Discover(), env),
              "quorvel: the game was not found in any Wine prefix; looked in: ~/.wine (Wine), "
              "~/.local/share/wineprefixes/a (winetricks), ~/.local/share/wineprefixes/b "
              "(winetricks), ~/.local/share/wineprefixes/c (winetricks) and 3 more");

    // A name that would steer the terminal is printed with its controls
    // escaped; a game folder without mainta is said to be one.
    MakePrefix(At("Games/mo\x1b[2Jhaa"), true, 1000);
    fs::create_directories(At("Games/mo\x1b[2Jhaa/drive_c/Games/MOHAA"));
    EXPECT_EQ(DescribeDiscovery(Discover(), env),
              "quorvel: using the Wine prefix " + At("Games/mo\\x1b[2Jhaa").string() +
                  " (Lutris), though its game folder C:\\Games\\MOHAA "
                  "(~/Games/mo\\x1b[2Jhaa/drive_c/Games/MOHAA) holds no mainta");

    // A game's key without its basepath is said to name no folder.
    env.winePrefix = At("nobase").string();
    WriteFile(At("nobase/user.reg"), "WINE REGISTRY Version 2\n\n[Software\\\\2015\\\\MOHAA] 1\n");
    EXPECT_EQ(DescribeDiscovery(DiscoverWinePrefix(env, kGameKey), env),
              "quorvel: using the Wine prefix " + env.winePrefix +
                  " (WINEPREFIX), though the game's key in its user.reg names no game folder "
                  "(basepath)");

    env.winePrefix = At("elsewhere").string();
    EXPECT_EQ(DescribeDiscovery(DiscoverWinePrefix(env, kGameKey), env),
              "quorvel: the game was not found in the Wine prefix " + env.winePrefix +
                  " (WINEPREFIX)");
}

} // namespace
} // namespace quorvel
