#include "platform/posix/path_mapping.h"
#include "tests/support/posix/scoped_env.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wine_prefixes.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// A Wine prefix as winecfg leaves it: drive C: a link to drive_c, D: to a
// folder of its own; and a home folder of its own for "~".
class PathMappingTest : public ::testing::Test {
protected:
    PathMappingTest() {
        for (const char* folder : {"dosdevices", "home/Games/MOHAA/mainta", "drive_c/a\xE9"}) {
            fs::create_directories(dir_.Path() / folder);
        }
        fs::create_directory_symlink("../drive_c", dir_.Path() / "dosdevices/c:");
        fs::create_directory_symlink("../cdrom", dir_.Path() / "dosdevices/d:");
        for (const char* file :
             {"drive_c/games/mohaa/MAINTA/Custom.CFG", "cdrom/SETUP.EXE",
              "drive_c/games/mohaa/MAINTA/OTHER.cfg", "drive_c/games/mohaa/MAINTA/Other.cfg",
              "drive_c/Игры/größe/łódź.cfg"}) {
            test::WriteFile(dir_.Path() / file, "x");
        }
    }

    TempDir dir_;
    test::ScopedEnv home_{"HOME", (dir_.Path() / "home").c_str()};
    WinePathMapper mapper_{dir_.Path().string()};
};

// Each path and where it leads, "@" standing for the prefix and "C" for its
// drive C:.
TEST_F(PathMappingTest, MapsEachPathToWhatIsThere) {
    const std::pair<std::string, std::string> cases[] = {
        // Drive letters in either case, every name matched in any case.
        {"C:\\games", "C/games"},
        {"c:\\games", "C/games"},
        {"D:\\setup.exe", "@/dosdevices/d:/SETUP.EXE"},
        {"d:\\Setup.Exe", "@/dosdevices/d:/SETUP.EXE"},
        {"C:", "C"},
        {"c:GAMES", "C/games"},
        {"C:\\Games\\MOHAA\\mainta\\custom.cfg", "C/games/mohaa/MAINTA/Custom.CFG"},
        {"C:/GAMES/mohaa", "C/games/mohaa"},
        {"\\GAMES\\MOHAA\\Mainta\\CUSTOM.cfg", "C/games/mohaa/MAINTA/Custom.CFG"},
        // A doubled separator, as a game folder ending in a backslash gives.
        {"C:\\Games\\MOHAA\\\\mainta\\custom.cfg", "C/games/mohaa//MAINTA/Custom.CFG"},
        // Several matches: the name as written, else the first in byte order.
        {"C:\\games\\mohaa\\MAINTA\\other.CFG", "C/games/mohaa/MAINTA/OTHER.cfg"},
        {"C:\\games\\mohaa\\MAINTA\\Other.cfg", "C/games/mohaa/MAINTA/Other.cfg"},
        // What matches nothing is kept as written; a file's name is no folder.
        {"C:\\Games\\MOHAA\\mainta\\NewConfig.cfg", "C/games/mohaa/MAINTA/NewConfig.cfg"},
        {"C:\\Games\\Other\\Mainta\\custom.cfg", "C/games/Other/Mainta/custom.cfg"},
        {"C:\\games\\mohaa\\mainta\\custom.cfg\\x", "C/games/mohaa/MAINTA/Custom.CFG/x"},
        {"E:\\Games", "@/dosdevices/e:/Games"},
        // Host and relative paths.
        {"@/DRIVE_C/Games/MOHAA", "@/drive_c/games/mohaa"},
        {"/no-such-folder-here\\x", "/no-such-folder-here/x"},
        {"mainta\\custom.cfg", "mainta/custom.cfg"},
        // "~" as a shell takes it, typed at the prompt.
        {"~", "@/home"},
        {"~\\mainta\\custom.cfg", "@/home/mainta/custom.cfg"},
        {"~/games/mohaa\\MAINTA\\x.cfg", "@/home/Games/MOHAA/mainta/x.cfg"},
        {"~other\\mainta", "~other/mainta"},
        // Names beyond ASCII in any case; a byte that is not UTF-8 matches only itself.
        {"C:\\Игры\\größe", "C/Игры/größe"},
        {"C:\\ИГРЫ\\GRÖßE\\ŁÓDŹ.CFG", "C/Игры/größe/łódź.cfg"},
        {"c:\\игры\\Grose", "C/Игры/Grose"},
        {"C:\\A\xE9", "C/a\xE9"},
        {"C:\\A\xC9", "C/A\xC9"},
    };
    const std::string prefix = dir_.Path().string();
    const auto expand = [&prefix](const std::string& path, bool driveC) {
        if (path.starts_with("@")) {
            return prefix + path.substr(1);
        }
        return driveC && path.starts_with("C") ? prefix + "/dosdevices/c:" + path.substr(1) : path;
    };
    for (const auto& [path, host] : cases) {
        EXPECT_EQ(mapper_.ToHostPath(expand(path, false)), expand(host, true))
            << ::testing::PrintToString(path);
    }
}

TEST(PathMappingFallbackTest, DriveCWithoutDosdevicesIsDriveC) {
    TempDir dir;
    fs::create_directories(dir.Path() / "drive_c/Games");
    const WinePathMapper mapper(dir.Path().string());
    EXPECT_EQ(mapper.ToHostPath("C:\\games\\x"), dir.Path().string() + "/drive_c/Games/x");
    EXPECT_EQ(mapper.ToHostPath("\\games"), dir.Path().string() + "/drive_c/Games");
    EXPECT_EQ(mapper.ToHostPath("D:\\games"), dir.Path().string() + "/dosdevices/d:/games");
}

} // namespace
} // namespace quorvel
