#include "core/line_buffer.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quorvel {
namespace {

std::vector<std::string> Split(const std::string& text) {
    LineBuffer buffer;
    buffer.AssignText(text);
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < buffer.Count(); ++i) {
        lines.emplace_back(buffer[i]);
    }
    return lines;
}

using Lines = std::vector<std::string>;

TEST(LineBuffer, OnlyCrLfSeparatesLines) {
    EXPECT_EQ(Split("a\r\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(Split("a\nb\nc"), (Lines{"a\nb\nc"}));
    EXPECT_EQ(Split("a\rb\n\rc"), (Lines{"a\rb\n\rc"}));
    EXPECT_EQ(Split("a\n\r\nb"), (Lines{"a\n", "b"}));
    EXPECT_EQ(Split("a\r\r\nb"), (Lines{"a\r", "b"}));
}

TEST(LineBuffer, EverySeparatorCounts) {
    EXPECT_EQ(Split("a\r\n"), (Lines{"a", ""}));
    EXPECT_EQ(Split("a\r\n\r\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(Split("\r\n"), (Lines{"", ""}));
    EXPECT_EQ(Split("\r\n\r\n\r\n"), (Lines{"", "", "", ""}));
    EXPECT_EQ(Split(""), Lines{});
}

TEST(LineBuffer, PiecesRejoinToTheText) {
    const std::string text = "  one \r\n\ttwo\r\n\r\nthree\nfour\r\r\n\xe9t\xc3\xa9\r\n";
    std::string joined;
    const Lines lines = Split(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        joined += (i ? "\r\n" : "") + lines[i];
    }
    EXPECT_EQ(joined, text);
}

TEST(LineBuffer, StaysEmptyUntilItHoldsLines) {
    LineBuffer buffer;
    EXPECT_TRUE(buffer.IsEmpty());
    buffer.EnsureLines();
    EXPECT_FALSE(buffer.IsEmpty());
    EXPECT_EQ(buffer.Count(), 0u);

    buffer.AssignText("x\r\ny");
    buffer.EnsureLines(); // lines already held are kept
    ASSERT_EQ(buffer.Count(), 2u);
    EXPECT_EQ(buffer[1], "y");
}

TEST(TrimSpaces, RemovesSpacesOnly) {
    EXPECT_EQ(TrimSpaces("  setu cheats 0 "), "setu cheats 0");
    EXPECT_EQ(TrimSpaces("\tbind a  "), "\tbind a");
    EXPECT_EQ(TrimSpaces("x\t"), "x\t");
    EXPECT_EQ(TrimSpaces("a  b"), "a  b");
    EXPECT_EQ(TrimSpaces("    "), "");
    EXPECT_EQ(TrimSpaces(""), "");
    EXPECT_EQ(TrimSpaces(" \r\n "), "\r\n");
}

} // namespace
} // namespace quorvel
