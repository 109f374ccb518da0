// Lines of every length are written whole, each in one write with its line
// end: short ones and ones far longer than any config line.

#include "core/config_files.h"
#include "tests/support/config_line_writes.h"
#include "tests/support/memory_file_service.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(ConfigLines, LinesOfAnyLengthAreWrittenInOneWriteEach) {
    test::MemoryFileService files;
    files.AddFolder("C:\\g");
    const std::string path = "C:\\g\\custom.cfg";
    std::string expected;
    ASSERT_TRUE(RewriteConfigFile(files, path, ""));
    expected += "\r\n";
    for (const std::size_t length : {1u, 253u, 254u, 255u, 256u, 5000u}) {
        const std::string line(length, static_cast<char>('a' + length % 26));
        ASSERT_TRUE(AppendConfigLine(files, path, line));
        expected += line + "\r\n";
    }
    EXPECT_EQ(files.File(path), expected);
    EXPECT_EQ(std::count(files.Log().begin(), files.Log().end(), "write"), 7);
}

} // namespace
} // namespace quorvel
