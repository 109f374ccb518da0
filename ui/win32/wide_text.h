#pragma once

// The one place where the program's text meets the window system's. The
// installer's text is bytes in the system's ANSI code page, as the registry's
// A functions and the files give them; windows show UTF-16.

#include <string>
#include <string_view>

namespace quorvel::win32 {

// 0 is CP_ACP, the code page of the running system.
inline constexpr unsigned kAnsiCodePage = 0;

std::wstring Widen(std::string_view bytes, unsigned codePage = kAnsiCodePage);
std::string Narrow(std::wstring_view text, unsigned codePage = kAnsiCodePage);

// What a list row shows for a line: the line, or its first part followed by
// an ellipsis when it is very long (ShortenForDisplay).
std::wstring RowText(std::string_view line, unsigned codePage = kAnsiCodePage);

} // namespace quorvel::win32
