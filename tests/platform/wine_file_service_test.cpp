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

TEST_F(WineFileServiceTest, FilesNamedAsWrittenAreReadAndWritten) {
    const std::string path = "C:\\Games\\MOHAA\\mainta\\custom.cfg";
    ASSERT_TRUE(Write(path, "a\r\nb\r\n"));
    EXPECT_EQ(Read(path), "a\r\nb\r\n");
    ASSERT_TRUE(Write(path, "c\r\n"));
    EXPECT_EQ(ReadBytes(Mainta() / "custom.cfg"), "c\r\n");
}

TEST_F(WineFileServiceTest, AFileInAnotherLetterCaseIsUsedNotDoubled) {
    WriteBytes(Mainta() / "CUSTOM.CFG", "a\r\n");
    const std::string path = "C:\\Games\\MOHAA\\mainta\\custom.cfg";
    EXPECT_EQ(Read(path), "a\r\n");
    ASSERT_TRUE(Write(path, "c\r\n"));
    EXPECT_EQ(ReadBytes(Mainta() / "CUSTOM.CFG"), "c\r\n");
    EXPECT_FALSE(fs::exists(Mainta() / "custom.cfg"));
}

TEST_F(WineFileServiceTest, NewFilesGoIntoFoldersFoundInAnotherLetterCase) {
    ASSERT_TRUE(Write("c:\\games\\mohaa\\MAINTA\\newconfig.cfg", "x\r\n"));
    EXPECT_EQ(ReadBytes(Mainta() / "newconfig.cfg"), "x\r\n");
    EXPECT_EQ(Read("C:\\GAMES\\MOHAA\\MAINTA\\NEWCONFIG.CFG"), "x\r\n");
}

TEST_F(WineFileServiceTest, APrefixWithoutDriveLinksUsesDriveC) {
    fs::remove(dir_.Path() / "dosdevices/c:");
    const std::string path = "C:\\Games\\MOHAA\\mainta\\custom.cfg";
    ASSERT_TRUE(Write(path, "a\r\nb\r\n"));
    EXPECT_EQ(ReadBytes(Mainta() / "custom.cfg"), "a\r\nb\r\n");
    EXPECT_EQ(Read(path), "a\r\nb\r\n");
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
// it was opened.
TEST(HostFileServiceReadTest, ReadsFilesThatChangedSinceTheyWereOpened) {
    TempDir dir;
    HostFileService files;
    const std::string path = dir / "custom.cfg";
    WriteBytes(path, "short\r\n");
    auto grownOpened = files.OpenTextFile(path, OpenMode::Reading);
    ASSERT_TRUE(grownOpened) << grownOpened.Status().reason;
    auto& grown = *grownOpened;
    const std::string longer = "short\r\n" + std::string(200000, 'x') + "\r\n";
    WriteBytes(path, longer);
    EXPECT_EQ(*grown->ReadAll(), longer);

    auto shrunkOpened = files.OpenTextFile(path, OpenMode::Reading);

    ASSERT_TRUE(shrunkOpened) << shrunkOpened.Status().reason;

    auto& shrunk = *shrunkOpened;
    WriteBytes(path, "a\r\n");
    EXPECT_EQ(*shrunk->ReadAll(), "a\r\n");

    auto emptiedOpened = files.OpenTextFile(path, OpenMode::Reading);

    ASSERT_TRUE(emptiedOpened) << emptiedOpened.Status().reason;

    auto& emptied = *emptiedOpened;
    WriteBytes(path, "");
    EXPECT_EQ(emptied->ReadAll().Status().reason, "the file is empty");
}

} // namespace
} // namespace quorvel
