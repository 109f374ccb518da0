#include "platform/windows/file_paths.h"

#include <utility>

namespace quorvel::windows_paths {
namespace {

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
// The longest path the W functions take, and the longest name in a folder.
constexpr std::size_t kLongestPath = 32767;
constexpr std::size_t kLongestName = 255;

bool StartsWith(std::wstring_view text, std::wstring_view start) {
    return text.substr(0, start.size()) == start;
}

std::wstring FullPath(const std::wstring& path) {
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) {
        return path;
    }
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) {
        return path;
    }
    full.resize(length);
    return full;
}

// The longest name between separators.
std::size_t LongestName(const std::string& path) {
    std::size_t longest = 0;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find_first_of("\\/", start);
        end = end == std::string::npos ? path.size() : end;
        longest = std::max(longest, end - start);
        start = end + 1;
    }
    return longest;
}

} // namespace

std::wstring WidePath(const std::string& path) {
    std::wstring wide;
    if (!path.empty()) {
        const int size =
            MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
        wide.resize(static_cast<std::size_t>(size));
        MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), wide.data(),
                            size);
    }
    // Device names (\\.\pipe\...) and prefixed paths stay as they are.
    if (wide.size() < kPrefixedFrom || StartsWith(wide, kLongPrefix) ||
        StartsWith(wide, L"\\\\.\\")) {
        return wide;
    }
    // The prefix turns off the system's own tidying (slashes, "..", trailing
    // dots), so the path is made full first.
    const std::wstring full = FullPath(wide);
    if (StartsWith(full, L"\\\\")) {
        return std::wstring(kLongPrefix) + L"UNC\\" + full.substr(2);
    }
    return std::wstring(kLongPrefix) + full;
}

std::string CodePagePath(const std::wstring& path) {
    std::string narrow;
    if (!path.empty()) {
        const int size = WideCharToMultiByte(CP_ACP, 0, path.data(), static_cast<int>(path.size()),
                                             nullptr, 0, nullptr, nullptr);
        narrow.resize(static_cast<std::size_t>(size));
        WideCharToMultiByte(CP_ACP, 0, path.data(), static_cast<int>(path.size()), narrow.data(),
                            size, nullptr, nullptr);
    }
    return narrow;
}

std::optional<std::string> Unreachable(const std::string& path) {
    // "?" is never part of a Windows name: past the prefix, it stands for a
    // character that was lost on the way into the code page.
    const std::size_t from = path.rfind("\\\\?\\", 0) == 0 ? 4 : 0;
    if (path.find('?', from) != std::string::npos) {
        return "a name in it has characters that the system's code page (" +
               std::to_string(GetACP()) +
               ") cannot hold, shown as \"?\". The game cannot use such a folder either: give "
               "the folder a name written only with letters of that code page";
    }
    if (path.size() >= kLongestPath || LongestName(path) > kLongestName) {
        return "the path is too long for Windows (" + std::to_string(path.size()) +
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
        return "the path is too long for Windows (" + std::to_string(path.size()) + " characters)";
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
