// The configuration file operations over a file service that can fail any
// single operation. The same operations on real files are tested with the
// host file service.

#include "core/config_files.h"
#include "tests/support/installation_runs.h"
#include "tests/support/line_lists.h"
#include "tests/support/memory_file_service.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string_view>

namespace quorvel::test {
namespace {

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

TEST_F(ConfigFilesTest, ANewFileHoldsItsLinesExactlyAndOnlyPuttingItInPlaceReplaces) {
    // Lines of every length, short ones and ones far longer than any config
    // line, and enough of them to fill several blocks of writing.
    std::vector<std::string> held;
    for (const std::size_t length : {0u, 1u, 253u, 254u, 255u, 256u, 5000u}) {
        held.emplace_back(length, static_cast<char>('a' + length % 26));
    }
    for (int i = 0; i < 6000; ++i) {
        held.push_back("seta line" + std::to_string(i) + " 1");
    }
    const std::vector<std::string_view> lines(held.begin(), held.end());
    std::string expected = "//header\r\n";
    for (const std::string& line : held) {
        expected += line + "\r\n";
    }
    files.SetFile(kCustom, "old\r\n");

    auto replacement = WriteReplacement(files, kCustom, {}, "//header", lines);

    ASSERT_TRUE(replacement);
    EXPECT_EQ(files.File(kCustom), "old\r\n");
    EXPECT_EQ(files.File(kCustom + ".quorvel-new"), expected);
    // Written in blocks: neither a write per line nor one for everything.
    const auto writes = std::count(files.Log().begin(), files.Log().end(), "write new " + kCustom);
    EXPECT_GT(writes, 1);
    EXPECT_LT(writes, 10);
    ASSERT_TRUE((*replacement)->PutInPlace());
    EXPECT_EQ(files.File(kCustom), expected);
    EXPECT_FALSE(files.File(kCustom + ".quorvel-new").has_value());
}

// A failing creation, write or flush of the new file, or its move: the old
// file stays, and no new one is left. A failing flush of the folder comes
// after the move: the new bytes are in place, and the failure is reported.
TEST(ConfigFileReplacement, AFailureKeepsTheOldFileAndLeavesNoNewOne) {
    const std::string bytes = "seta a 1\r\nseta b 2\r\n";
    const std::vector<std::string_view> lines{"seta a 1", "seta b 2"};
    for (const bool whole : {false, true}) {
        const std::size_t tried = AtEveryFaultPoint([&](std::size_t k, bool& reached) {
            SCOPED_TRACE((whole ? "whole file, operation " : "new file, operation ") +
                         std::to_string(k));
            MemoryFileService files;
            files.AddFolder(kFolder);
            files.SetFile(kCustom, "old\r\n");
            files.FailOperation(k);
            const std::size_t armedAt = files.Operations();
            std::optional<Result<std::unique_ptr<Replacement>>> made;
            const FileStatus status =
                whole ? ReplaceWholeFile(files, kCustom, {}, bytes)
                      : made.emplace(WriteReplacement(files, kCustom, {}, "", lines)).Status();
            reached = files.Operations() - armedAt >= k;
            if (!reached) {
                return;
            }
            EXPECT_FALSE(status);
            EXPECT_FALSE(status.reason.empty());
            EXPECT_EQ(files.Files(),
                      (std::map<std::string, std::string>{{kCustom, k == 5 ? bytes : "old\r\n"}}));
        });
        EXPECT_EQ(tried, whole ? 5u : 3u);
    }
}

} // namespace
} // namespace quorvel::test
