#pragma once

// ASCII letters, which names on disk and in the registry compare without
// case: only A to Z are folded, every other byte stays as it is.

namespace quorvel {

constexpr char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace quorvel
