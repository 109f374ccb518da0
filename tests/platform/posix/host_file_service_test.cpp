// What the host file service does on POSIX systems only: pipes, links and
// permission bits.

#include "core/config_files.h"
#include "platform/host_file_service.h"
#include "tests/support/stream_io.h"
#include "tests/support/system_text.h"
#include "tests/support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/stat.h>

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

const std::string kBytes = "seta a \"\xE9\xFF\"\r\nb\n";

class PosixHostFileServiceTest : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return dir_ / name; }
    std::string ReadThrough(const std::string& name) {
        return test::ReadThrough(files_, Path(name));
    }

    TempDir dir_;
    HostFileService files_;
};

// A pipe is opened neither as a file nor in a way that could block; a link
// to nothing is neither missing nor a file, so that no caller takes it for a
// free place to write.
TEST_F(PosixHostFileServiceTest, APipeOrADanglingLinkIsNoFile) {
    ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0600), 0);
    EXPECT_EQ(files_.Inspect(Path("pipe")).kind, EntryKind::Other);
    EXPECT_EQ(ReadThrough("pipe"), "open: not a regular file");

    fs::create_symlink(Path("target.cfg"), Path("custom.cfg"));
    EXPECT_EQ(files_.Inspect(Path("custom.cfg")).kind, EntryKind::Other);
    EXPECT_FALSE(files_.CheckWritable(Path("custom.cfg")));
    EXPECT_EQ(ReadThrough("custom.cfg"), "open: " + test::NoSuchFileText());
    EXPECT_FALSE(fs::exists(Path("target.cfg")));
}

// A replacement is put in place whole: through a link (which stays a link,
// its target replaced in the target's folder), with the permission bits of
// the file it replaces, over a new file left by an earlier run, and with no
// new file left behind. Until then the old file is untouched.
TEST_F(PosixHostFileServiceTest, ReplacementsKeepLinksAndPermissions) {
    fs::create_directory(Path("elsewhere"));
    WriteBytes(Path("elsewhere/custom.cfg"), "old\r\n");
    ASSERT_EQ(::chmod(Path("elsewhere/custom.cfg").c_str(), 0640), 0);
    fs::create_symlink(Path("elsewhere/custom.cfg"), Path("custom.cfg"));
    WriteBytes(Path("elsewhere/custom.cfg.quorvel-new"), "left by a run that stopped");
    ASSERT_TRUE(ReplaceWholeFile(files_, Path("custom.cfg"), {}, kBytes));
    EXPECT_TRUE(fs::is_symlink(Path("custom.cfg")));
    EXPECT_EQ(ReadBytes(Path("elsewhere/custom.cfg")), kBytes);
    EXPECT_EQ(fs::status(Path("elsewhere/custom.cfg")).permissions(), fs::perms(0640));
    // custom.cfg alone.
    EXPECT_EQ(std::distance(fs::directory_iterator(Path("elsewhere")), {}), 1);

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

} // namespace
} // namespace quorvel
