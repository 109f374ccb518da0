#include "core/config_files.h"
#include "platform/host_file_service.h"
#include "platform/posix/path_mapping.h"
#include "tests/support/stream_io.h"
#include "tests/support/system_text.h"
#include "tests/support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

const std::string kNoEntry = test::NoSuchFileText();
const std::string kNoFolder = test::NoSuchFolderText();
const std::string kIsFolder = test::IsAFolderText();
// Line ends of both kinds, a NUL and bytes above 0x7F, none of which may change.
const std::string kBytes = [] {
    const char raw[] = "seta a \"\xE9\xFF\"\r\nb\n\0c\r\n";
    return std::string(raw, sizeof raw - 1);
}();

class HostFileServiceTest : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return dir_ / name; }

    // The whole text of a file, or the reason it could not be read.
    std::string ReadThrough(const std::string& name) {
        return test::ReadThrough(files_, Path(name));
    }

    FileStatus WriteThrough(const std::string& name, OpenMode mode, std::string_view text) {
        return test::WriteThrough(files_, Path(name), mode, text);
    }

    TempDir dir_;
    HostFileService files_;
};

TEST_F(HostFileServiceTest, WritingAppendingAndReadingKeepExactBytes) {
    ASSERT_TRUE(WriteThrough("custom.cfg", OpenMode::Writing, "old text that is longer"));
    ASSERT_TRUE(WriteThrough("custom.cfg", OpenMode::Writing, kBytes));
    EXPECT_EQ(ReadBytes(Path("custom.cfg")), kBytes);
    ASSERT_TRUE(WriteThrough("custom.cfg", OpenMode::Appending, "more\r\n"));
    EXPECT_EQ(ReadBytes(Path("custom.cfg")), kBytes + "more\r\n");
    EXPECT_EQ(ReadThrough("custom.cfg"), kBytes + "more\r\n");
    ASSERT_TRUE(WriteThrough("new.cfg", OpenMode::Appending, "x"));
    EXPECT_EQ(ReadBytes(Path("new.cfg")), "x");
}

TEST_F(HostFileServiceTest, ReadsLargeFilesWholeAndOnlyOnce) {
    // Larger than any single read, with every byte value in it.
    std::string large(300000, '\0');
    for (std::size_t i = 0; i < large.size(); ++i) {
        large[i] = static_cast<char>(i % 251);
    }
    WriteBytes(Path("large.cfg"), large);
    auto streamOpened = files_.OpenTextFile(Path("large.cfg"), OpenMode::Reading);
    ASSERT_TRUE(streamOpened) << streamOpened.Status().reason;
    auto& stream = *streamOpened;
    Result<std::string> text = stream->ReadAll();
    ASSERT_TRUE(text) << text.Status().reason;
    EXPECT_EQ(*text, large);
    // Nothing is left after the end.
    EXPECT_EQ(stream->ReadAll().Status().reason, "the file is empty");
    EXPECT_TRUE(stream->Close());
    EXPECT_FALSE(stream->Close());
    EXPECT_FALSE(stream->ReadAll());
}

TEST_F(HostFileServiceTest, EmptyOrMissingFilesCannotBeRead) {
    WriteBytes(Path("empty.cfg"), "");
    EXPECT_EQ(ReadThrough("empty.cfg"), "read: the file is empty");
    EXPECT_EQ(ReadThrough("missing.cfg"), "open: " + kNoEntry);
    EXPECT_FALSE(fs::exists(Path("missing.cfg")));
    EXPECT_TRUE(files_.OpenTextFile(Path("empty.cfg"), OpenMode::Reading).Status());
    EXPECT_EQ(files_.OpenTextFile(Path("missing.cfg"), OpenMode::Reading).Status().reason,
              kNoEntry);
}

TEST_F(HostFileServiceTest, FoldersAreNeverCreatedNorOpenedAsFiles) {
    for (const OpenMode mode : {OpenMode::Writing, OpenMode::Appending}) {
        EXPECT_EQ(WriteThrough("mainta/custom.cfg", mode, "x").reason, kNoFolder);
    }
    EXPECT_EQ(files_.CheckWritable(Path("mainta/custom.cfg")).reason, kNoFolder);
    EXPECT_FALSE(fs::exists(Path("mainta")));

    fs::create_directory(Path("custom.cfg"));
    EXPECT_EQ(ReadThrough("custom.cfg"), "open: " + kIsFolder);
    EXPECT_EQ(WriteThrough("custom.cfg", OpenMode::Writing, "x").reason, kIsFolder);
    EXPECT_EQ(WriteThrough("custom.cfg", OpenMode::Appending, "x").reason, kIsFolder);
    EXPECT_EQ(files_.CheckWritable(Path("custom.cfg")).reason, kIsFolder);
    EXPECT_EQ(files_.OpenTextFile(Path("custom.cfg"), OpenMode::Reading).Status().reason,
              kIsFolder);
    EXPECT_EQ(files_.Inspect(Path("custom.cfg")).kind, EntryKind::Folder);
}

TEST_F(HostFileServiceTest, InspectTellsWhatIsThere) {
    WriteBytes(Path("custom.cfg"), kBytes);
    const EntryInfo file = files_.Inspect(Path("custom.cfg"));
    EXPECT_EQ(file.kind, EntryKind::File);
    EXPECT_EQ(file.size, kBytes.size());
    EXPECT_EQ(files_.Inspect(Path("missing.cfg")).kind, EntryKind::Missing);
    EXPECT_EQ(files_.Inspect(Path("custom.cfg/below")).kind, EntryKind::Missing);
#ifndef _WIN32
    // Windows has no pipes in its folders; the Windows tests open a device
    // and a named pipe instead.
    ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0600), 0);
    EXPECT_EQ(files_.Inspect(Path("pipe")).kind, EntryKind::Other);
    // Opening a pipe must neither block nor be taken for a file.
    EXPECT_EQ(ReadThrough("pipe"), "open: not a regular file");
#endif
}

TEST_F(HostFileServiceTest, CheckWritableChangesNothing) {
    WriteBytes(Path("custom.cfg"), kBytes);
    const auto past = fs::last_write_time(Path("custom.cfg")) - std::chrono::hours(24);
    fs::last_write_time(Path("custom.cfg"), past);
    EXPECT_TRUE(files_.CheckWritable(Path("custom.cfg")));
    EXPECT_EQ(ReadBytes(Path("custom.cfg")), kBytes);
    EXPECT_EQ(fs::last_write_time(Path("custom.cfg")), past);

    EXPECT_TRUE(files_.CheckWritable(Path("new.cfg")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(Path("new.cfg"))));
    EXPECT_EQ(files_.CheckWritable(Path("custom.cfg/x")).reason, test::NotAFolderText());
}

#ifndef _WIN32
// Links need a privilege on Windows, the open files are counted in /proc, and
// only the Linux build maps paths into a Wine prefix; the Windows tests check
// the same on their own terms.

// A link to nothing is reported as something other than a file, so that no
// caller takes it for a free place to write. Opening it for writing still
// follows the link, as every program on the system would.
TEST_F(HostFileServiceTest, DanglingLinkIsNeitherMissingNorAFile) {
    fs::create_symlink(Path("target.cfg"), Path("custom.cfg"));
    EXPECT_EQ(files_.Inspect(Path("custom.cfg")).kind, EntryKind::Other);
    EXPECT_FALSE(files_.CheckWritable(Path("custom.cfg")));
    EXPECT_EQ(files_.OpenTextFile(Path("custom.cfg"), OpenMode::Reading).Status().reason, kNoEntry);
    EXPECT_EQ(ReadThrough("custom.cfg"), "open: " + kNoEntry);
    EXPECT_FALSE(fs::exists(Path("target.cfg")));
    ASSERT_TRUE(WriteThrough("custom.cfg", OpenMode::Writing, "x"));
    EXPECT_EQ(ReadBytes(Path("target.cfg")), "x");
}

TEST_F(HostFileServiceTest, StreamsCloseOnceAndOnDestruction) {
    const auto openFiles = [] {
        return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
    };
    const auto before = openFiles();
    {
        auto streamOpened = files_.OpenTextFile(Path("custom.cfg"), OpenMode::Writing);
        ASSERT_TRUE(streamOpened) << streamOpened.Status().reason;
        auto& stream = *streamOpened;
        EXPECT_EQ(openFiles(), before + 1);
        EXPECT_TRUE(stream->Write("abc"));
    }
    EXPECT_EQ(openFiles(), before);
    EXPECT_EQ(ReadBytes(Path("custom.cfg")), "abc");
}

// A replacement is put in place whole: through a link (which stays a link,
// its target replaced in the target's folder), with the permission bits of
// the file it replaces, over a new file left by an earlier run, and with no
// new file left behind. Until then the old file is untouched.
TEST_F(HostFileServiceTest, ReplacementsKeepLinksAndPermissions) {
    fs::create_directory(Path("elsewhere"));
    WriteBytes(Path("elsewhere/custom.cfg"), "old\r\n");
    ASSERT_EQ(::chmod(Path("elsewhere/custom.cfg").c_str(), 0640), 0);
    fs::create_symlink(Path("elsewhere/custom.cfg"), Path("custom.cfg"));
    WriteBytes(Path("elsewhere/custom.cfg.quorvel-new"), "left by a run that stopped");
    ASSERT_TRUE(ReplaceWholeFile(files_, Path("custom.cfg"), {}, kBytes));
    EXPECT_TRUE(fs::is_symlink(Path("custom.cfg")));
    EXPECT_EQ(ReadBytes(Path("elsewhere/custom.cfg")), kBytes);
    struct stat info {};
    ASSERT_EQ(::stat(Path("elsewhere/custom.cfg").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ((std::set<std::string>{"custom.cfg"}), [&] {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(Path("elsewhere"))) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }());

    {
        auto replacement = files_.Replace(Path("custom.cfg"), {});
        ASSERT_TRUE(replacement) << replacement.Status().reason;
        ASSERT_TRUE((*replacement)->Write("never put in place") && (*replacement)->Finish());
        EXPECT_EQ(ReadBytes(Path("elsewhere/custom.cfg.quorvel-new")), "never put in place");
        EXPECT_EQ(ReadBytes(Path("elsewhere/custom.cfg")), kBytes);
    }
    EXPECT_FALSE(fs::exists(Path("elsewhere/custom.cfg.quorvel-new")));

    // A new file is made afresh, never written through a link in its place.
    fs::create_symlink(Path("victim.cfg"), Path("new.cfg.quorvel-new"));
    ASSERT_TRUE(ReplaceWholeFile(files_, Path("new.cfg"), {}, "x"));
    EXPECT_EQ(ReadBytes(Path("new.cfg")), "x");
    EXPECT_FALSE(fs::exists(fs::symlink_status(Path("victim.cfg"))));
    EXPECT_FALSE(fs::exists(fs::symlink_status(Path("new.cfg.quorvel-new"))));
}

// One installer at a time per folder: a second lock fails as busy until the
// first is dropped, also when held through another open of the folder.
TEST_F(HostFileServiceTest, FolderLocksExcludeEachOther) {
    fs::create_directory(Path("mainta"));
    auto first = files_.LockFolder(Path("mainta"));
    ASSERT_TRUE(first) << first.Status().reason;
    const auto second = files_.LockFolder(Path("mainta") + "/");
    EXPECT_FALSE(second);
    EXPECT_TRUE(second.Status().busy);
    EXPECT_TRUE(files_.LockFolder(Path(".")));
    first.Value().reset();
    EXPECT_TRUE(files_.LockFolder(Path("mainta")));
    EXPECT_EQ(files_.LockFolder(Path("missing")).Status().reason, kNoEntry);
}

// A link and the file it leads to are one file; another file is not, and
// nothing there has no identity. A new file left behind is put back only
// where the file is missing, never over it.
TEST_F(HostFileServiceTest, IdentitiesAndLeftovers) {
    WriteBytes(Path("custom.cfg"), "a\r\n");
    WriteBytes(Path("other.cfg"), "a\r\n");
    fs::create_symlink("custom.cfg", Path("newconfig.cfg"));
    auto custom = files_.Identify(Path("custom.cfg"));
    auto linked = files_.Identify(Path("newconfig.cfg"));
    auto other = files_.Identify(Path("other.cfg"));
    ASSERT_TRUE(custom && linked && other);
    ASSERT_TRUE(*custom && *linked && *other);
    EXPECT_EQ(**custom, **linked);
    EXPECT_NE(**custom, **other);
    auto missing = files_.Identify(Path("missing.cfg"));
    ASSERT_TRUE(missing);
    EXPECT_FALSE(*missing);

    WriteBytes(Path("other.cfg.quorvel-new"), "b\r\n");
    EXPECT_EQ(files_.RestoreLeftover(Path("other.cfg")).reason, "File exists");
    EXPECT_EQ(ReadBytes(Path("other.cfg")), "a\r\n");
    fs::remove(Path("other.cfg"));
    EXPECT_TRUE(files_.RestoreLeftover(Path("other.cfg")));
    EXPECT_EQ(ReadBytes(Path("other.cfg")), "b\r\n");
    EXPECT_FALSE(fs::exists(Path("other.cfg.quorvel-new")));
}

TEST(HostFileServiceMappingTest, MapsPathsIntoThePrefix) {
    TempDir dir;
    fs::create_directories(dir.Path() / "drive_c/Games/MOHAA/main");
    const WinePathMapper mapper(dir.Path().string());
    HostFileService files([&mapper](const std::string& path) { return mapper.ToHostPath(path); });
    auto streamOpened = files.OpenTextFile("C:\\games\\mohaa\\MAIN\\custom.cfg", OpenMode::Writing);
    ASSERT_TRUE(streamOpened) << streamOpened.Status().reason;
    auto& stream = *streamOpened;
    ASSERT_TRUE(stream->Write("x\r\n") && stream->Close());
    EXPECT_EQ(ReadBytes(dir.Path() / "drive_c/Games/MOHAA/main/custom.cfg"), "x\r\n");
    EXPECT_EQ(files.Inspect("c:\\GAMES\\mohaa\\main\\CUSTOM.CFG").size, 3u);
}
#endif

} // namespace
} // namespace quorvel
