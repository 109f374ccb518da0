#include "ui/win32/wide_text.h"

#include "platform/line_list.h"
#include "platform/windows/file_paths.h"

#include <climits>
#include <stdexcept>
#include <windows.h>

namespace quorvel::win32 {
namespace {

int CheckedLength(std::size_t size) {
    if (size > static_cast<std::size_t>(INT_MAX)) {
        throw std::length_error("text too long for the window system");
    }
    return static_cast<int>(size);
}

} // namespace

std::wstring Widen(std::string_view text) {
    CheckedLength(text.size());
    return windows_paths::WideText(text);
}

std::string Narrow(std::wstring_view text) {
    CheckedLength(text.size());
    return windows_paths::ProgramText(text);
}

std::wstring Widen(std::string_view bytes, unsigned codePage) {
    if (bytes.empty()) {
        return {};
    }
    const int length = CheckedLength(bytes.size());
    const int needed = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    if (needed <= 0) {
        throw std::runtime_error("cannot convert text for display (error " +
                                 std::to_string(GetLastError()) + ")");
    }
    std::wstring text(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), length, text.data(), needed);
    return text;
}

std::string Narrow(std::wstring_view text, unsigned codePage) {
    if (text.empty()) {
        return {};
    }
    const int length = CheckedLength(text.size());
    const int needed =
        WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) {
        throw std::runtime_error("cannot convert the text entered (error " +
                                 std::to_string(GetLastError()) + ")");
    }
    std::string bytes(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), length, bytes.data(), needed, nullptr, nullptr);
    return bytes;
}

std::wstring RowText(std::string_view line, unsigned codePage) {
    const DisplayText display = ShortenForDisplay(line);
    std::wstring text = Widen(display.shown, codePage);
    if (display.shortened) {
        text += L'\u2026';
    }
    return text;
}

} // namespace quorvel::win32
