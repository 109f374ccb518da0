// The version the build knows (project(VERSION)) is the one that the package's
// documents name: the AppStream release, the Debian change log and the manual
// page. They are written by hand and must follow a new version.

#include "core/identity.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <regex>
#include <string>

namespace quorvel {
namespace {

TEST(Version, PackageDocumentsNameTheBuildsVersion) {
    const struct {
        const char* file;
        const char* pattern; // its first group is the version
    } documents[] = {
        {"io.github.quorvel.Quorvel.metainfo.xml", R"re(<release version="([^"]+)")re"},
        {"changelog", R"re(quorvel \(([^)]+)\))re"},
        {"quorvel.1", R"re(\.TH QUORVEL 1 "[^"]*" "quorvel ([^"]+)")re"},
    };
    for (const auto& document : documents) {
        SCOPED_TRACE(document.file);
        const std::string text =
            test::ReadBytes(std::string(QUORVEL_PACKAGING_DIR "/") + document.file);
        std::smatch found;
        ASSERT_TRUE(std::regex_search(text, found, std::regex(document.pattern)));
        EXPECT_EQ(found[1].str(), kProgramVersion);
    }
}

} // namespace
} // namespace quorvel
