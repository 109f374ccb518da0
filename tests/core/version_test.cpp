// The version the build knows (project(VERSION)) is the one that the package's
// documents name: the AppStream release, the Debian change log and the manual
// page. They are written by hand and must follow a new version.

#include "core/identity.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <string>

namespace quorvel::test {
namespace {

TEST(Version, PackageDocumentsNameTheBuildsVersion) {
    // The version stands, in each, between the first `before` and the `after`
    // that follows it.
    const struct {
        const char* file;
        std::string before;
        std::string after;
    } documents[] = {
        {"io.github.quorvel.Quorvel.metainfo.xml", "<release version=\"", "\""},
        {"changelog", "quorvel (", ")"},
        {"quorvel.1", "\"quorvel ", "\""},
    };
    for (const auto& document : documents) {
        SCOPED_TRACE(document.file);
        const std::string text = ReadBytes(std::string(QUORVEL_PACKAGING_DIR "/") + document.file);
        const std::size_t begin = text.find(document.before);
        ASSERT_NE(begin, std::string::npos);
        const std::size_t from = begin + document.before.size();
        const std::size_t end = text.find(document.after, from);
        ASSERT_NE(end, std::string::npos);
        EXPECT_EQ(text.substr(from, end - from), kProgramVersion);
    }
}

} // namespace
} // namespace quorvel::test
