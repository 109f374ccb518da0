// The configuration files on real files, through the host file service.

#include "core/config_files.h"
#include "platform/host_file_service.h"
#include "tests/support/line_lists.h"
#include "tests/support/system_text.h"
#include "tests/support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string_view>
#include <vector>

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using test::LinesOf;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
using Lines = std::vector<std::string>;

class ConfigFilesRealTest : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return dir_ / name; }

    // Reads the file into buffer_ and gives the lines appended to a fresh list.
    Lines Read(const std::string& name, FileStatus* status = nullptr) {
        LineList list;
        const FileStatus result = ReadConfigLines(files_, buffer_, Path(name), list);
        if (status != nullptr) {
            *status = result;
        }
        return LinesOf(list);
    }
    Lines ReadBack(const std::string& name, const std::string& bytes) {
        WriteBytes(Path(name), bytes);
        return Read(name);
    }

    TempDir dir_;
    HostFileService files_;
    LineBuffer buffer_;
};

TEST_F(ConfigFilesRealTest, SplitsAtEveryCrLfOnly) {
    EXPECT_EQ(ReadBack("a.cfg", "seta a 1\r\nseta b 2\r\n"), (Lines{"seta a 1", "seta b 2", ""}));
    EXPECT_EQ(ReadBack("b.cfg", "seta a 1\nseta b 2\n"), (Lines{"seta a 1\nseta b 2\n"}));
    EXPECT_EQ(ReadBack("c.cfg", "a\r\n\r\nb\rc"), (Lines{"a", "", "b\rc"}));
}

TEST_F(ConfigFilesRealTest, TrimsSpacesInTheListButNotInTheBuffer) {
    EXPECT_EQ(ReadBack("custom.cfg", "  setu cheats 0 \r\n\tbind x \"say hi\"  "),
              (Lines{"setu cheats 0", "\tbind x \"say hi\""}));
    ASSERT_EQ(buffer_.Count(), 2u);
    EXPECT_EQ(buffer_[0], "  setu cheats 0 ");
    EXPECT_EQ(buffer_[1], "\tbind x \"say hi\"  ");
}

TEST_F(ConfigFilesRealTest, FailedReadsRepeatTheLastGoodOne) {
    FileStatus status;
    EXPECT_EQ(Read("missing.cfg", &status), Lines{});
    EXPECT_EQ(status.reason, test::NoSuchFileText());

    const Lines good{"seta a 1", "seta b 2"};
    EXPECT_EQ(ReadBack("custom.cfg", "seta a 1\r\n seta b 2"), good);
    WriteBytes(Path("empty.cfg"), "");
    EXPECT_EQ(Read("empty.cfg", &status), good);
    EXPECT_EQ(status.reason, "the file is empty");
    EXPECT_EQ(Read("missing.cfg", &status), good);
    EXPECT_FALSE(status);
    EXPECT_EQ(Read("no-folder/custom.cfg", &status), good);
    EXPECT_FALSE(status);
    EXPECT_FALSE(fs::exists(Path("no-folder")));
    EXPECT_EQ(buffer_[1], " seta b 2");
}

// Every byte of every line passes through unchanged, high ones too, each
// line with CR LF; nothing is there until the new file is put in place.
TEST_F(ConfigFilesRealTest, WritesExactlyTheLinesAndCrLf) {
    const std::string high = "seta name \"J\xC3\xA9r\xF4me\x80\xFF\"";
    const std::vector<std::string_view> lines{high, "", "  bind x  "};
    WriteBytes(Path("custom.cfg"), "a long file\r\nof many lines\r\n");
    auto replacement = WriteReplacement(files_, Path("custom.cfg"), {}, "// first", lines);
    ASSERT_TRUE(replacement) << replacement.Status().reason;
    EXPECT_EQ(ReadBytes(Path("custom.cfg")), "a long file\r\nof many lines\r\n");
    ASSERT_TRUE((*replacement)->PutInPlace());
    EXPECT_EQ(ReadBytes(Path("custom.cfg")), "// first\r\n" + high + "\r\n\r\n  bind x  \r\n");
    EXPECT_EQ(Read("custom.cfg"), (Lines{"// first", high, "", "bind x", ""}));
}

} // namespace
} // namespace quorvel
