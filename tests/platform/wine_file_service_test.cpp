// The file service as the program makes it for a Wine prefix: files are
// opened where the path names them as written when something is there, and
// found in another letter case, or in drive_c, otherwise -- with the same
// result as mapping every path first.

#include "core/config_files.h"
#include "platform/file_service.h"
#include "platform/host_file_service.h"
#include "platform/posix/path_mapping.h"
#include "tests/support/stream_io.h"
#include "tests/support/temp_dir.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

class WineFileServiceTest : public ::testing::Test {
protected:
    WineFileServiceTest() {
        fs::create_directories(Mainta());
        fs::create_directories(dir_.Path() / "dosdevices");
        fs::create_directory_symlink("../drive_c", dir_.Path() / "dosdevices/c:");
    }
    fs::path Mainta() const { return dir_.Path() / "drive_c/Games/MOHAA/mainta"; }

    FileStatus Write(const std::string& path, std::string_view bytes) {
        return ReplaceWholeFile(*files_, path, {}, bytes);
    }
    std::string Read(const std::string& path) { return test::ReadThrough(*files_, path); }

    TempDir dir_;
    std::unique_ptr<FileService> files_ = MakeWineFileService(dir_.Path().string());
};

// Where something is there as written it is used; else the name in another
// letter case, the folders too; else a new file named as written.
TEST_F(WineFileServiceTest, FilesAreFoundAsWrittenOrInAnotherLetterCase) {
    const std::string path = "C:\\Games\\MOHAA\\mainta\\custom.cfg";
    ASSERT_TRUE(Write(path, "a\r\nb\r\n"));
    EXPECT_EQ(Read(path), "a\r\nb\r\n");
    fs::rename(Mainta() / "custom.cfg", Mainta() / "CUSTOM.CFG");
    EXPECT_EQ(Read(path), "a\r\nb\r\n");
    ASSERT_TRUE(Write(path, "c\r\n"));
    EXPECT_EQ(ReadBytes(Mainta() / "CUSTOM.CFG"), "c\r\n");
    EXPECT_FALSE(fs::exists(Mainta() / "custom.cfg"));

    ASSERT_TRUE(Write("c:\\games\\mohaa\\MAINTA\\newconfig.cfg", "x\r\n"));
    EXPECT_EQ(ReadBytes(Mainta() / "newconfig.cfg"), "x\r\n");
    EXPECT_EQ(Read("C:\\GAMES\\MOHAA\\MAINTA\\NEWCONFIG.CFG"), "x\r\n");
}

TEST_F(WineFileServiceTest, FailuresAreTheSystemsOwn) {
    fs::create_directory(Mainta() / "custom.cfg");
    const std::string folder = "C:\\Games\\MOHAA\\mainta\\custom.cfg";
    EXPECT_EQ(Write(folder, "x").reason, std::strerror(EISDIR));
    EXPECT_TRUE(fs::is_directory(Mainta() / "custom.cfg"));
    EXPECT_EQ(Read(folder), "open: " + std::string(std::strerror(EISDIR)));
    EXPECT_EQ(Read("C:\\Games\\MOHAA\\mainta\\missing.cfg"),
              "open: " + std::string(std::strerror(ENOENT)));
    EXPECT_FALSE(fs::exists(Mainta() / "missing.cfg"));
}

// A stream reads what the file holds when it reads, not what it held when
// it was opened: more, less or nothing.
TEST(HostFileServiceReadTest, ReadsFilesThatChangedSinceTheyWereOpened) {
    TempDir dir;
    HostFileService files;
    const std::string path = dir / "custom.cfg";
    for (const std::string& now :
         {"short\r\n" + std::string(200000, 'x') + "\r\n", std::string("a\r\n"), std::string()}) {
        WriteBytes(path, "short\r\n");
        auto opened = files.OpenTextFile(path, OpenMode::Reading);
        ASSERT_TRUE(opened) << opened.Status().reason;
        WriteBytes(path, now);
        Result<std::string> read = (*opened)->ReadAll();
        EXPECT_EQ(read ? *read : read.Status().reason, now.empty() ? "the file is empty" : now);
    }
}

} // namespace
} // namespace quorvel
