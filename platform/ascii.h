#pragma once

// ASCII letters, which names on disk and in the registry compare without
// case: only A to Z are folded, every other byte stays as it is.

#include <algorithm>
#include <string_view>

namespace quorvel {

constexpr char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Whether `a` and `b` are one name in any letter case of A to Z.
constexpr bool SameAsciiName(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

} // namespace quorvel
