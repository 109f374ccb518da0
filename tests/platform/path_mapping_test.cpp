#include "platform/posix/path_mapping.h"
#include "tests/support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// A Wine prefix as winecfg leaves it: drive C: a link to drive_c, D: to a
// folder of its own.
class PathMappingTest : public ::testing::Test {
protected:
    PathMappingTest() {
        fs::create_directories(dir_.Path() / "drive_c/games/mohaa/MAINTA");
        fs::create_directories(dir_.Path() / "cdrom");
        fs::create_directories(dir_.Path() / "dosdevices");
        fs::create_directory_symlink("../drive_c", dir_.Path() / "dosdevices/c:");
        fs::create_directory_symlink("../cdrom", dir_.Path() / "dosdevices/d:");
        WriteBytes(dir_.Path() / "drive_c/games/mohaa/MAINTA/Custom.CFG", "seta x 1\r\n");
    }
    std::string C() const { return dir_.Path().string() + "/dosdevices/c:"; }

    TempDir dir_;
    WinePathMapper mapper_{dir_.Path().string()};
};

TEST_F(PathMappingTest, DriveLettersInEitherCase) {
    WriteBytes(dir_.Path() / "cdrom/SETUP.EXE", "MZ");
    EXPECT_EQ(mapper_.ToHostPath("C:\\games"), C() + "/games");
    EXPECT_EQ(mapper_.ToHostPath("c:\\games"), C() + "/games");
    const std::string d = dir_.Path().string() + "/dosdevices/d:/SETUP.EXE";
    EXPECT_EQ(mapper_.ToHostPath("D:\\setup.exe"), d);
    EXPECT_EQ(mapper_.ToHostPath("d:\\Setup.Exe"), d);
    EXPECT_EQ(mapper_.ToHostPath("C:"), C());
    EXPECT_EQ(mapper_.ToHostPath("c:GAMES"), C() + "/games");
}

TEST_F(PathMappingTest, FindsEveryComponentInAnyLetterCase) {
    const std::string custom = C() + "/games/mohaa/MAINTA/Custom.CFG";
    EXPECT_EQ(mapper_.ToHostPath("C:\\Games\\MOHAA\\mainta\\custom.cfg"), custom);
    EXPECT_EQ(ReadBytes(mapper_.ToHostPath("C:\\Games\\MOHAA\\mainta\\custom.cfg")),
              "seta x 1\r\n");
    // A doubled separator, as a game folder ending in a backslash gives.
    EXPECT_EQ(mapper_.ToHostPath("C:\\Games\\MOHAA\\\\mainta\\custom.cfg"),
              C() + "/games/mohaa//MAINTA/Custom.CFG");
    EXPECT_EQ(mapper_.ToHostPath("C:/GAMES/mohaa"), C() + "/games/mohaa");
    // The current drive's root is C:.
    EXPECT_EQ(mapper_.ToHostPath("\\GAMES\\MOHAA\\Mainta\\CUSTOM.cfg"), custom);
}

// A folder typed at the prompt as a shell would take it: "~" is the home
// folder, with the letter case of what is below it matched as on a drive.
TEST_F(PathMappingTest, TildeIsTheHomeFolder) {
    const std::string home = (dir_.Path() / "home").string();
    fs::create_directories(home + "/Games/MOHAA/mainta");
    const std::string saved = std::getenv("HOME") ? std::getenv("HOME") : "/";
    ::setenv("HOME", home.c_str(), 1);
    const WinePathMapper mapper(dir_.Path().string());
    ::setenv("HOME", saved.c_str(), 1);
    EXPECT_EQ(mapper.ToHostPath("~"), home);
    EXPECT_EQ(mapper.ToHostPath("~\\mainta\\custom.cfg"), home + "/mainta/custom.cfg");
    EXPECT_EQ(mapper.ToHostPath("~/games/mohaa\\MAINTA\\x.cfg"),
              home + "/Games/MOHAA/mainta/x.cfg");
    EXPECT_EQ(mapper.ToHostPath("~other\\mainta"), "~other/mainta");
}

TEST_F(PathMappingTest, KeepsWhatMatchesNothingAsWritten) {
    EXPECT_EQ(mapper_.ToHostPath("C:\\Games\\MOHAA\\mainta\\NewConfig.cfg"),
              C() + "/games/mohaa/MAINTA/NewConfig.cfg");
    EXPECT_EQ(mapper_.ToHostPath("C:\\Games\\Other\\Mainta\\custom.cfg"),
              C() + "/games/Other/Mainta/custom.cfg");
    // A file's name is not a folder.
    EXPECT_EQ(mapper_.ToHostPath("C:\\games\\mohaa\\mainta\\custom.cfg\\x"),
              C() + "/games/mohaa/MAINTA/Custom.CFG/x");
    EXPECT_EQ(mapper_.ToHostPath("E:\\Games"), dir_.Path().string() + "/dosdevices/e:/Games");
}

TEST_F(PathMappingTest, SeveralMatchesPickTheFirstInByteOrder) {
    const fs::path mainta = dir_.Path() / "drive_c/games/mohaa/MAINTA";
    WriteBytes(mainta / "custom.cfg", "b");
    EXPECT_EQ(mapper_.ToHostPath("C:\\games\\mohaa\\MAINTA\\CUSTOM.cfg"),
              C() + "/games/mohaa/MAINTA/Custom.CFG");
    EXPECT_EQ(mapper_.ToHostPath("C:\\games\\mohaa\\MAINTA\\custom.cfg"),
              C() + "/games/mohaa/MAINTA/custom.cfg");
}

TEST_F(PathMappingTest, HostAndRelativePaths) {
    const std::string host = dir_.Path().string() + "/DRIVE_C/Games/MOHAA";
    EXPECT_EQ(mapper_.ToHostPath(host), dir_.Path().string() + "/drive_c/games/mohaa");
    EXPECT_EQ(mapper_.ToHostPath("/no-such-folder-here\\x"), "/no-such-folder-here/x");
    EXPECT_EQ(mapper_.ToHostPath("mainta\\custom.cfg"), "mainta/custom.cfg");
}

TEST_F(PathMappingTest, NonAsciiNamesMatchInAnyCase) {
    fs::create_directories(dir_.Path() / "drive_c/Игры/größe");
    WriteBytes(dir_.Path() / "drive_c/Игры/größe/łódź.cfg", "x");
    const std::string folder = C() + "/Игры/größe";
    EXPECT_EQ(mapper_.ToHostPath("C:\\Игры\\größe"), folder);
    EXPECT_EQ(mapper_.ToHostPath("C:\\ИГРЫ\\GRÖßE\\ŁÓDŹ.CFG"), folder + "/łódź.cfg");
    EXPECT_EQ(mapper_.ToHostPath("c:\\игры\\Grose"), C() + "/Игры/Grose");
    // A byte that is not UTF-8 matches only itself.
    fs::create_directories(dir_.Path() / "drive_c/a\xE9");
    EXPECT_EQ(mapper_.ToHostPath("C:\\A\xE9"), C() + "/a\xE9");
    EXPECT_EQ(mapper_.ToHostPath("C:\\A\xC9"), C() + "/A\xC9");
}

TEST(PathMappingFallbackTest, DriveCWithoutDosdevicesIsDriveC) {
    TempDir dir;
    fs::create_directories(dir.Path() / "drive_c/Games");
    const WinePathMapper mapper(dir.Path().string());
    EXPECT_EQ(mapper.ToHostPath("C:\\games\\x"), dir.Path().string() + "/drive_c/Games/x");
    EXPECT_EQ(mapper.ToHostPath("\\games"), dir.Path().string() + "/drive_c/Games");
    EXPECT_EQ(mapper.ToHostPath("D:\\games"), dir.Path().string() + "/dosdevices/d:/games");
}

// Sets or unsets one environment variable for as long as it lives.
} // namespace
} // namespace quorvel
