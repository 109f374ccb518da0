#include "core/config_files.h"
#include "platform/host_file_service.h"
#include "tests/support/host_files.h"
#include "tests/support/stream_io.h"
#include "tests/support/system_text.h"
#include "tests/support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

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

    TempDir dir_;
    HostFileService files_;
};

TEST_F(HostFileServiceTest, ReplacingAndReadingKeepExactBytes) {
    WriteBytes(Path("custom.cfg"), "old text that is longer");
    ASSERT_TRUE(ReplaceWholeFile(files_, Path("custom.cfg"), {}, kBytes));
    EXPECT_EQ(ReadBytes(Path("custom.cfg")), kBytes);
    EXPECT_EQ(ReadThrough("custom.cfg"), kBytes);
    ASSERT_TRUE(ReplaceWholeFile(files_, Path("new.cfg"), {}, "x"));
    EXPECT_EQ(ReadBytes(Path("new.cfg")), "x");
    EXPECT_FALSE(fs::exists(Path("custom.cfg.quorvel-new")));
    EXPECT_FALSE(fs::exists(Path("new.cfg.quorvel-new")));
}

// A new file is put in place only once it is finished, and never after it
// was discarded; the old file stays as it was meanwhile.
TEST_F(HostFileServiceTest, AReplacementTakesItsStepsInOrder) {
    WriteBytes(Path("custom.cfg"), kBytes);
    auto replacement = files_.Replace(Path("custom.cfg"), {});
    ASSERT_TRUE(replacement) << replacement.Status().reason;
    ASSERT_TRUE((*replacement)->Write("new\r\n"));
    EXPECT_FALSE((*replacement)->PutInPlace());
    ASSERT_TRUE((*replacement)->Finish());
    EXPECT_FALSE((*replacement)->Finish());
    EXPECT_FALSE((*replacement)->Write("more"));
    ASSERT_TRUE((*replacement)->Discard());
    EXPECT_FALSE((*replacement)->PutInPlace());
    EXPECT_EQ(ReadBytes(Path("custom.cfg")), kBytes);
    EXPECT_FALSE(fs::exists(Path("custom.cfg.quorvel-new")));
}

TEST_F(HostFileServiceTest, ReadsLargeFilesWholeAndOnlyOnce) {
    // Larger than any single read, with every byte value in it.
    std::string large;
    for (int i = 0; i < 300000; ++i) {
        large += static_cast<char>(i % 251);
    }
    WriteBytes(Path("large.cfg"), large);
    auto stream = files_.OpenTextFile(Path("large.cfg"), OpenMode::Reading);
    ASSERT_TRUE(stream) << stream.Status().reason;
    EXPECT_EQ((*stream)->ReadAll().Value(), large);
    // Nothing is left after the end.
    EXPECT_EQ((*stream)->ReadAll().Status().kind, FailureKind::Empty);
    EXPECT_TRUE((*stream)->Close());
    EXPECT_FALSE((*stream)->Close());
    EXPECT_FALSE((*stream)->ReadAll());
}

// What is there, as Inspect, reading and CheckWritable see it; no folder is
// ever created nor opened as a file.
TEST_F(HostFileServiceTest, EachTellsWhatIsThere) {
    WriteBytes(Path("empty.cfg"), "");
    EXPECT_EQ(ReadThrough("empty.cfg"), "read: the file is empty");
    EXPECT_EQ(ReadThrough("missing.cfg"), "open: " + test::NoSuchFileText());
    EXPECT_EQ(files_.Inspect(Path("missing.cfg")).kind, EntryKind::Missing);
    EXPECT_FALSE(fs::exists(Path("missing.cfg")));

    EXPECT_EQ(ReplaceWholeFile(files_, Path("mainta/custom.cfg"), {}, "x").reason,
              test::NoSuchFolderText());
    EXPECT_EQ(files_.CheckWritable(Path("mainta/custom.cfg")).reason, test::NoSuchFolderText());
    EXPECT_FALSE(fs::exists(Path("mainta")));

    fs::create_directory(Path("custom.cfg"));
    EXPECT_EQ(ReadThrough("custom.cfg"), "open: " + test::IsAFolderText());
    EXPECT_FALSE(ReplaceWholeFile(files_, Path("custom.cfg"), {}, "x"));
    EXPECT_TRUE(fs::is_directory(Path("custom.cfg")));
    EXPECT_FALSE(fs::exists(Path("custom.cfg.quorvel-new")));
    EXPECT_EQ(files_.CheckWritable(Path("custom.cfg")).reason, test::IsAFolderText());
    EXPECT_EQ(files_.Inspect(Path("custom.cfg")).kind, EntryKind::Folder);
}

TEST_F(HostFileServiceTest, CheckWritableChangesNothing) {
    WriteBytes(Path("custom.cfg"), kBytes);
    const auto past = fs::last_write_time(Path("custom.cfg")) - std::chrono::hours(24);
    fs::last_write_time(Path("custom.cfg"), past);
    EXPECT_TRUE(files_.CheckWritable(Path("custom.cfg")));
    EXPECT_EQ(ReadBytes(Path("custom.cfg")), kBytes);
    EXPECT_EQ(fs::last_write_time(Path("custom.cfg")), past);
    const EntryInfo file = files_.Inspect(Path("custom.cfg"));
    EXPECT_EQ(file.kind, EntryKind::File);
    EXPECT_EQ(file.size, kBytes.size());

    EXPECT_TRUE(files_.CheckWritable(Path("new.cfg")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(Path("new.cfg"))));
    EXPECT_EQ(files_.CheckWritable(Path("custom.cfg/x")).reason, test::NotAFolderText());
    EXPECT_EQ(files_.Inspect(Path("custom.cfg/x")).kind, EntryKind::Missing);
}

// A stream holds its file until it is closed or destroyed, and no longer.
TEST_F(HostFileServiceTest, StreamsCloseOnceAndOnDestruction) {
    WriteBytes(Path("custom.cfg"), "abc");
    const auto open = [this] { return files_.OpenTextFile(Path("custom.cfg"), OpenMode::Reading); };
    // The stream lives to the end of the statement.
    EXPECT_TRUE(open() && test::HeldOpen(Path("custom.cfg")));
    EXPECT_FALSE(test::HeldOpen(Path("custom.cfg")));
    auto opened = open();
    EXPECT_TRUE((*opened)->Close());
    EXPECT_FALSE(test::HeldOpen(Path("custom.cfg")));
}

// One installer at a time per folder: a second lock, through another
// spelling of the folder, fails as busy until the first is dropped; another
// folder is free meanwhile.
TEST_F(HostFileServiceTest, FolderLocksExcludeEachOther) {
    fs::create_directory(Path("mainta"));
    fs::create_directory(Path("other"));
    auto first = test::LockThrough(files_, Path("mainta"));
    ASSERT_TRUE(first) << first.Status().reason;
    const auto second = test::LockThrough(files_, test::OtherSpelling(Path("mainta")));
    EXPECT_TRUE(second.Status().kind == FailureKind::Busy);
    EXPECT_TRUE(test::LockThrough(files_, Path("other")));
    first.Value().reset();
    EXPECT_TRUE(test::LockThrough(files_, Path("mainta")));
    EXPECT_EQ(test::LockThrough(files_, Path("missing")).Status().reason, test::NoSuchFileText());
}

// Two names of one file have one identity, another file has its own, and
// nothing there has none. A new file left behind is put back only where the
// file is missing, never over it.
TEST_F(HostFileServiceTest, IdentitiesAndLeftovers) {
    WriteBytes(Path("custom.cfg"), "a\r\n");
    WriteBytes(Path("other.cfg"), "a\r\n");
    test::MakeSecondName(Path("newconfig.cfg"), Path("custom.cfg"));
    const auto id = [this](const char* name) { return files_.Identify(Path(name)).Value(); };
    EXPECT_EQ(id("custom.cfg"), id("newconfig.cfg"));
    EXPECT_NE(id("custom.cfg"), id("other.cfg"));
    EXPECT_EQ(id("missing.cfg"), std::nullopt);

    WriteBytes(Path("other.cfg.quorvel-new"), "b\r\n");
    EXPECT_FALSE(files_.RestoreLeftover(Path("other.cfg")));
    EXPECT_EQ(ReadBytes(Path("other.cfg")), "a\r\n");
    fs::remove(Path("other.cfg"));
    EXPECT_TRUE(files_.RestoreLeftover(Path("other.cfg")));
    EXPECT_EQ(ReadBytes(Path("other.cfg")), "b\r\n");
    EXPECT_FALSE(fs::exists(Path("other.cfg.quorvel-new")));
}

} // namespace
} // namespace quorvel
