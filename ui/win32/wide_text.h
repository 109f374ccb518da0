#pragma once

// The one place where the program's text meets the window system's. Windows
// show UTF-16. The program's own text (captions, messages, and the paths in
// them and at the prompt) is UTF-8, as the registry and the file calls give
// and take it, so that a folder named in any letters is shown as it is; the
// lines of the game's files are bytes in the system's ANSI code page, as the
// game writes them.

#include <string>
#include <string_view>

namespace quorvel::win32 {

// 0 is CP_ACP, the code page of the running system.
inline constexpr unsigned kAnsiCodePage = 0;

// The program's text: UTF-8, where bytes that are not UTF-8 (such as a text
// from an A call of the system) are read in the ANSI code page.
std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);

// Bytes of one code page.
std::wstring Widen(std::string_view bytes, unsigned codePage);
std::string Narrow(std::wstring_view text, unsigned codePage);

// What a list row shows for a line: the line, or its first part followed by
// an ellipsis when it is very long (ShortenForDisplay).
std::wstring RowText(std::string_view line, unsigned codePage = kAnsiCodePage);

} // namespace quorvel::win32
