#include "core/line_buffer.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quorvel::test {
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

// Only CR LF separates lines, and every one counts.
TEST(LineBuffer, OnlyCrLfSeparatesLines) {
    for (const auto& [text, lines] : std::vector<std::pair<std::string, Lines>>{
             {"a\r\nb", {"a", "b"}},
             {"a\nb\nc", {"a\nb\nc"}},
             {"a\rb\n\rc", {"a\rb\n\rc"}},
             {"a\n\r\nb", {"a\n", "b"}},
             {"a\r\r\nb", {"a\r", "b"}},
             {"a\r\n", {"a", ""}},
             {"a\r\n\r\nb", {"a", "", "b"}},
             {"\r\n\r\n\r\n", {"", "", "", ""}},
             {"", {}},
         }) {
        EXPECT_EQ(Split(text), lines) << text;
    }
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
    for (const auto& [text, trimmed] :
         std::vector<std::pair<std::string, std::string>>{{"  setu cheats 0 ", "setu cheats 0"},
                                                          {"\tbind a  ", "\tbind a"},
                                                          {"x\t", "x\t"},
                                                          {"a  b", "a  b"},
                                                          {"    ", ""},
                                                          {"", ""},
                                                          {" \r\n ", "\r\n"}}) {
        EXPECT_EQ(TrimSpaces(text), trimmed) << text;
    }
}

} // namespace
} // namespace quorvel::test
