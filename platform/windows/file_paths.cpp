#include "platform/windows/file_paths.h"

#include "platform/utf16_text.h"

#include <climits>
#include <utility>

namespace quorvel::windows_paths {
namespace {

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kUncPrefix = L"\\\\?\\UNC\\";
// The longest path the W functions take, and the longest name in a folder.
constexpr std::size_t kLongestPath = 32767;
constexpr std::size_t kLongestName = 255;

bool StartsWith(std::wstring_view text, std::wstring_view start) {
    return text.substr(0, start.size()) == start;
}

// Bytes of the system's ANSI code page, appended in UTF-16.
void AppendCodePage(std::string_view bytes, std::u16string& out) {
    const int length = static_cast<int>(std::min<std::size_t>(bytes.size(), INT_MAX));
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    const int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, wide.data(), length);
    out.append(wide.begin(), wide.begin() + std::max(size, 0));
}

// Asks a W call that fills a buffer, with room for any path.
template <typename Call> std::optional<std::wstring> Filled(Call call) {
    std::wstring text(kLongestPath + 1, L'\0');
    const DWORD length = call(text.data(), static_cast<DWORD>(text.size()));
    if (length == 0 || length >= text.size()) {
        return std::nullopt;
    }
    text.resize(length);
    return text;
}

std::wstring FullPath(const std::wstring& path) {
    return Filled([&](wchar_t* buffer, DWORD size) {
               return GetFullPathNameW(path.c_str(), size, buffer, nullptr);
           })
        .value_or(path);
}

// The path as the W calls take it: past kPrefixedFrom, full and prefixed.
std::wstring LongForm(const std::wstring& wide) {
    // Device names (\\.\pipe\...) and prefixed paths stay as they are.
    if (wide.size() < kPrefixedFrom || StartsWith(wide, kLongPrefix) ||
        StartsWith(wide, L"\\\\.\\")) {
        return wide;
    }
    // The prefix turns off the system's own tidying (slashes, "..", trailing
    // dots), so the path is made full first.
    const std::wstring full = FullPath(wide);
    if (StartsWith(full, L"\\\\")) {
        return std::wstring(kUncPrefix) + full.substr(2);
    }
    return std::wstring(kLongPrefix) + full;
}

// A path the system gave, as a player writes it: C:\... or \\server\share\...
std::wstring WithoutPrefix(const std::wstring& path) {
    if (StartsWith(path, kUncPrefix)) {
        return L"\\\\" + path.substr(kUncPrefix.size());
    }
    if (StartsWith(path, kLongPrefix) && path.size() >= 6 && path[5] == L':') {
        return path.substr(kLongPrefix.size());
    }
    return path;
}

// Where the names of a full path begin: past C:\, \\server\share\ or the
// same behind a prefix.
std::size_t RootLength(const std::wstring& path) {
    std::size_t at = 0;
    std::size_t names = 0;
    if (StartsWith(path, kUncPrefix)) {
        at = kUncPrefix.size();
        names = 2;
    } else if (StartsWith(path, kLongPrefix) || StartsWith(path, L"\\\\.\\")) {
        at = kLongPrefix.size();
        names = 1;
    } else if (StartsWith(path, L"\\\\")) {
        at = 2;
        names = 2;
    } else {
        names = 1;
    }
    for (; names > 0 && at < path.size(); --names) {
        const std::size_t separator = path.find(L'\\', at);
        at = separator == std::wstring::npos ? path.size() : separator + 1;
    }
    return std::min(at, path.size());
}

// The final path of something that exists, from a handle on it, or else
// from its long names.
std::optional<std::wstring> Resolved(const std::wstring& path) {
    const std::wstring wide = LongForm(path);
    const HANDLE handle =
        CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    std::optional<std::wstring> final;
    if (handle != INVALID_HANDLE_VALUE) {
        // A device (NUL, COM1) is no folder: the one above it is asked.
        const bool device = GetFileType(handle) != FILE_TYPE_DISK;
        // Normalised names on the DOS volume (flags 0): C:\..., not \Device\...
        final = Filled([&](wchar_t* buffer, DWORD size) {
            return device ? 0 : GetFinalPathNameByHandleW(handle, buffer, size, 0);
        });
        CloseHandle(handle);
        if (device) {
            return std::nullopt;
        }
    }
    if (!final) {
        final = Filled([&](wchar_t* buffer, DWORD size) {
            return GetLongPathNameW(wide.c_str(), buffer, size);
        });
    }
    return final ? std::optional(WithoutPrefix(*final)) : std::nullopt;
}

// The longest name between separators.
std::size_t LongestName(std::wstring_view path) {
    std::size_t longest = 0;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find_first_of(L"\\/", start);
        end = end == std::wstring_view::npos ? path.size() : end;
        longest = std::max(longest, end - start);
        start = end + 1;
    }
    return longest;
}

} // namespace

std::wstring WideText(std::string_view text) {
    const std::u16string wide = Utf16FromUtf8(text, AppendCodePage);
    return std::wstring(wide.begin(), wide.end());
}

std::string ProgramText(std::wstring_view text) {
    return Utf8FromUtf16(std::u16string(text.begin(), text.end()));
}

std::wstring WidePath(const std::string& path) {
    return LongForm(WideText(path));
}

std::string FinalPath(const std::string& path) {
    std::wstring existing = FullPath(WideText(path));
    const std::size_t root = RootLength(existing);
    std::wstring below;
    for (;;) {
        if (std::optional<std::wstring> final = Resolved(existing)) {
            const bool joined =
                below.empty() || below.front() == L'\\' || final->empty() || final->back() == L'\\';
            return ProgramText(*final + (joined ? L"" : L"\\") + below);
        }
        if (existing.size() <= root) {
            return path;
        }
        std::size_t cut = existing.find_last_of(L'\\');
        cut = cut == std::wstring::npos || cut < root ? root : cut;
        below.insert(0, existing.substr(cut));
        existing.resize(cut);
    }
}

std::string SystemText(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    std::string text =
        length != 0 && buffer != nullptr ? ProgramText(std::wstring_view(buffer, length)) : "";
    if (buffer != nullptr) {
        LocalFree(buffer);
    }
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    if (!text.empty() && text.back() == '.') {
        text.pop_back();
    }
    return text.empty() ? "system error " + std::to_string(error) : text;
}

std::optional<std::string> Unreachable(const std::string& path) {
    const std::wstring wide = WideText(path);
    if (wide.size() >= kLongestPath || LongestName(wide) > kLongestName) {
        return "the path is too long for Windows (" + std::to_string(wide.size()) +
               " characters, names of at most " + std::to_string(kLongestName) + ")";
    }
    return std::nullopt;
}

std::string FailureText(DWORD error, const std::string& path, bool creating,
                        const std::string& systemText) {
    if (std::optional<std::string> why = Unreachable(path)) {
        return std::move(*why);
    }
    if (error == ERROR_FILENAME_EXCED_RANGE) {
        return "the path is too long for Windows (" + std::to_string(WideText(path).size()) +
               " characters)";
    }
    if (error != ERROR_ACCESS_DENIED) {
        return systemText;
    }
    const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    if (!creating && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return "the file is marked read-only. Clear \"Read-only\" in its Properties (right-click "
               "the file, Properties), then install again";
    }
    if (creating) {
        return "the folder does not let you create files in it (" + systemText +
               "). Give your account the right to change the folder (its Properties, Security) "
               "or move the game to a folder of your own, such as C:\\Games, then install again";
    }
    return systemText;
}

} // namespace quorvel::windows_paths
