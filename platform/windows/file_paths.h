#pragma once

// How the Windows file service reaches a path and words what stops it.
//
// The program's paths are UTF-8 (platform/utf16_text.h), so that any name
// Windows can hold reaches the file calls unchanged, whatever the system's
// code page. The file calls take them in UTF-16, and a path past the classic
// 260-character limit is made full and given the prefix "\\?\", which every
// supported Windows honours whatever the manifest says.

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <windows.h>

namespace quorvel::windows_paths {

// Paths from this length on are reached through the \\?\ prefix: the
// shortest limit of the calls used (a folder's 248 characters), so that a
// name beside the file (a replacement's) stays within reach as well.
inline constexpr std::size_t kPrefixedFrom = MAX_PATH - 12;

// The program's text in UTF-16, and back. Bytes that are not UTF-8 (a text
// that came in the system's code page, such as an error of the A calls) are
// read in the system's ANSI code page.
std::wstring WideText(std::string_view text);
std::string ProgramText(std::wstring_view text);

// The path to hand to the W functions.
std::wstring WidePath(const std::string& path);

// The path as the system sees it: full, in long names, in the letter case on
// disk, through junctions, links and SUBST drives, as C:\... or \\server\...
// The nearest folder of it that exists is opened and asked for its final
// path; where none can be opened, its long names are asked for instead. The
// names below that folder are kept as written. A path nothing of which can be
// resolved comes back as it is.
std::string FinalPath(const std::string& path);

// The system's text for an error, without its closing full stop or line end.
std::string SystemText(DWORD error);

// Why `path` can never be reached, whatever is on the disk: a path longer
// than Windows allows, or a name in it longer than a folder can hold.
// Nothing when it may well be reachable.
std::optional<std::string> Unreachable(const std::string& path);

// The wording of a failure `error` of a call on `path`, given the system's
// own text: the next step for a file marked read-only and for a folder that
// refuses new files, the reason for a path that cannot be reached, and
// otherwise the system's text as it stands. `creating` says that a new file
// was being made in the folder.
std::string FailureText(DWORD error, const std::string& path, bool creating,
                        const std::string& systemText);

} // namespace quorvel::windows_paths
