#pragma once

// A reader of Steam's KeyValues text files (.vdf), such as
// steamapps/libraryfolders.vdf:
//
//     "libraryfolders"
//     {
//         "0" { "path" "/home/me/.local/share/Steam" "apps" { "220" "123" } }
//         "1" "/mnt/games/SteamLibrary"        // the older form
//     }
//
// Keys and values are quoted (with the escapes \n \t \\ \") or unquoted
// words; a key is followed by a value or by a block in braces. `//` starts a
// comment that runs to the end of the line, and a condition in square
// brackets after a key or value ("[$WIN32]") is skipped.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::vdf {

struct Node {
    std::string key;
    std::string value;          // empty for a block
    std::vector<Node> children; // the entries of a block
    bool isBlock = false;

    // The first child whose key matches `name` in any ASCII letter case, or null.
    const Node* Find(std::string_view name) const;
};

// Blocks nest at most this deep; deeper input is refused rather than read.
inline constexpr std::size_t kMaxDepth = 32;

// The top-level entries of a file, in the order written; nullopt when the text
// is not well formed (an unclosed quote or block, a brace out of place, a key
// without a value, blocks nested deeper than kMaxDepth). The work is linear
// in the length of the text and uses no recursion.
std::optional<std::vector<Node>> Parse(std::string_view text);

// The library folders that a libraryfolders.vdf lists, in its order: the
// `path` of each numbered block, or the value of each numbered entry in the
// older form. Empty when the text is malformed or lists none.
std::vector<std::string> LibraryFolders(std::string_view text);

} // namespace quorvel::vdf
