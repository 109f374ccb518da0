// The configuration file operations over a file service that can fail any
// single operation. The same operations on real files are tested with the
// host file service.

#include "core/config_files.h"
#include "tests/support/config_line_writes.h"
#include "tests/support/line_lists.h"
#include "tests/support/memory_file_service.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

using test::LinesOf;
using test::MemoryFileService;
using Lines = std::vector<std::string>;

const std::string kFolder = "C:\\Games\\MOHAA\\mainta";
const std::string kCustom = kFolder + "\\custom.cfg";
const std::string kOther = kFolder + "\\newconfig.cfg";

class ConfigFilesTest : public ::testing::Test {
protected:
    void SetUp() override { files.AddFolder(kFolder); }

    MemoryFileService files;
    LineBuffer buffer;
    LineList list;
};

TEST_F(ConfigFilesTest, ReadAppendsTrimmedLinesAndKeepsThemUntrimmed) {
    files.SetFile(kCustom, "bind a\r\n  setu cheats 0 \r\n\tsetu x\r\n");
    list.Append("already here");

    EXPECT_TRUE(ReadConfigLines(files, buffer, kCustom, list));

    EXPECT_EQ(LinesOf(list), (Lines{"already here", "bind a", "setu cheats 0", "\tsetu x", ""}));
    ASSERT_EQ(buffer.Count(), 4u);
    EXPECT_EQ(buffer[1], "  setu cheats 0 ");
}

TEST_F(ConfigFilesTest, FailedReadsFallBackToTheLastGoodRead) {
    // Before anything was read, a failed read appends nothing.
    const FileStatus missing = ReadConfigLines(files, buffer, kOther, list);
    EXPECT_FALSE(missing);
    EXPECT_FALSE(missing.reason.empty());
    EXPECT_TRUE(LinesOf(list).empty());

    files.SetFile(kCustom, "one\r\ntwo");
    EXPECT_TRUE(ReadConfigLines(files, buffer, kCustom, list));

    // Missing, empty, and failing files all give the earlier lines again.
    EXPECT_FALSE(ReadConfigLines(files, buffer, kOther, list));
    files.SetFile(kOther, "");
    EXPECT_FALSE(ReadConfigLines(files, buffer, kOther, list));
    files.SetFile(kOther, "new\r\n");
    files.FailOperation(2); // the read, after the open
    EXPECT_FALSE(ReadConfigLines(files, buffer, kOther, list));
    EXPECT_EQ(LinesOf(list), (Lines{"one", "two", "one", "two", "one", "two", "one", "two"}));

    // A missing folder is no different.
    list.Clear();
    EXPECT_FALSE(ReadConfigLines(files, buffer, "D:\\nowhere\\custom.cfg", list));
    EXPECT_EQ(LinesOf(list), (Lines{"one", "two"}));
}

TEST_F(ConfigFilesTest, OneRewriteAndAppendsGiveExactlyTheirLines) {
    files.SetFile(kCustom, "a long old content that must go\r\n");
    EXPECT_TRUE(RewriteConfigFile(files, kCustom, "//header"));
    EXPECT_EQ(files.File(kCustom), "//header\r\n");
    EXPECT_TRUE(AppendConfigLine(files, kCustom, "setu r_picmip 1"));
    EXPECT_TRUE(AppendConfigLine(files, kCustom, ""));
    EXPECT_TRUE(AppendConfigLine(files, kCustom, "cheats 0"));
    EXPECT_EQ(files.File(kCustom), "//header\r\nsetu r_picmip 1\r\n\r\ncheats 0\r\n");

    EXPECT_TRUE(RewriteConfigFile(files, kOther, ""));
    EXPECT_EQ(files.File(kOther), "\r\n");

    files.RemoveFile(kOther);
    EXPECT_TRUE(AppendConfigLine(files, kOther, "x"));
    EXPECT_EQ(files.File(kOther), "x\r\n");
}

TEST_F(ConfigFilesTest, EachWriteSaysWhetherItFailed) {
    EXPECT_FALSE(AppendConfigLine(files, "C:\\missing\\custom.cfg", "x"));
    EXPECT_FALSE(files.File("C:\\missing\\custom.cfg").has_value());

    // A failure at the open, the write or the close of one append loses that
    // line only, and is reported; the next append works on its own.
    for (std::size_t k = 1; k <= 3; ++k) {
        files.SetFile(kCustom, "first\r\n");
        files.FailOperation(k);
        const FileStatus failed = AppendConfigLine(files, kCustom, "lost");
        EXPECT_FALSE(failed) << "operation " << k;
        EXPECT_FALSE(failed.reason.empty());
        EXPECT_TRUE(AppendConfigLine(files, kCustom, "kept"));
        EXPECT_EQ(files.File(kCustom), "first\r\nkept\r\n") << "operation " << k;
    }
}

} // namespace
} // namespace quorvel
