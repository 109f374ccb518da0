#pragma once

// How the Windows file service reaches a path and words what stops it.
//
// The program's paths are bytes in the system's ANSI code page, as the game
// (an ANSI program) sees them. The file calls take them in UTF-16, and a path
// past the classic 260-character limit is made full and given the prefix
// "\\?\", which every supported Windows honours whatever the manifest says.

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <windows.h>

namespace quorvel::windows_paths {

// Paths from this length on are reached through the \\?\ prefix: the
// shortest limit of the calls used (a folder's 248 characters), so that a
// name beside the file (a replacement's) stays within reach as well.
inline constexpr std::size_t kPrefixedFrom = MAX_PATH - 12;

// The path to hand to the W functions.
std::wstring WidePath(const std::string& path);

// The path in the code page again (for a final path that the system gave).
std::string CodePagePath(const std::wstring& path);

// Why `path` can never be reached, whatever is on the disk: a name with a
// character that the code page could not hold (it arrives as "?"), or a
// path longer than Windows allows. Nothing when it may well be reachable.
std::optional<std::string> Unreachable(const std::string& path);

// The wording of a failure `error` of a call on `path`, given the system's
// own text: the next step for a file marked read-only and for a folder that
// refuses new files, the reason for a path that cannot be reached, and
// otherwise the system's text as it stands. `creating` says that a new file
// was being made in the folder.
std::string FailureText(DWORD error, const std::string& path, bool creating,
                        const std::string& systemText);

} // namespace quorvel::windows_paths
