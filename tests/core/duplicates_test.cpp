// Which earlier lines an installation keeps: the rules on their own, on
// lines chosen to meet every case.

#include "core/duplicates.h"

#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

using Views = std::vector<std::string_view>;

TEST(HandAddedLines, NewLinesOnceEachInFileOrder) {
    LineBuffer old;
    old.AssignText("bind b\r\n  setu cheats 0\r\n\r\n   \r\nbind a\r\n bind b \r\nseta x\r\n"
                   "//End quorvel config settings\r\nbind a\r\n");
    const Views earlier{"seta x", "", "bind c"};
    EXPECT_EQ(HandAddedLines(old, earlier), (Views{"bind b", "bind a"}));
    EXPECT_TRUE(HandAddedLines(LineBuffer(), earlier).empty());
    EXPECT_TRUE(HandAddedLines(old, Views{"bind a", "seta x", "bind b"}).empty());
}

// Letter case, inner spaces and tabs count; outer spaces do not.
TEST(RemoveInstalledLines, OnlyNonEmptyLinesEqualOnceTrimmed) {
    const Views kept{"", "bind a", "   ", "Setu cheats 0", "setu  cheats 0", "\tsetu cheats 0"};
    Views lines{"setu cheats 0", "  setu r_picmip 1 ", "setu cheats 0"};
    lines.insert(lines.begin() + 1, kept.begin(), kept.end());
    RemoveInstalledLines(lines, Views{" setu cheats 0", "setu r_picmip 1", ""});
    EXPECT_EQ(lines, kept);
}

} // namespace
} // namespace quorvel::test
