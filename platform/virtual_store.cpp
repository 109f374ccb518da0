#include "platform/virtual_store.h"

#include "platform/ascii.h"

#include <cstddef>
#include <string_view>

namespace quorvel {
namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsLetter(char c) {
    return AsciiLower(c) >= 'a' && AsciiLower(c) <= 'z';
}

// A path that starts with a drive and its root ("C:\"), as its drive and the
// names below the root, with empty and "." names dropped and ".." taking the
// name before it away (never the drive). nullopt for any other path.
struct DrivePath {
    char drive = 0;
    std::vector<std::string_view> names;
};

std::optional<DrivePath> Split(std::string_view path) {
    if (path.size() < 3 || !IsLetter(path[0]) || path[1] != ':' || !IsSeparator(path[2])) {
        return std::nullopt;
    }
    DrivePath split{AsciiLower(path[0]), {}};
    std::size_t at = 3;
    while (at <= path.size()) {
        std::size_t end = at;
        while (end < path.size() && !IsSeparator(path[end])) {
            ++end;
        }
        const std::string_view name = path.substr(at, end - at);
        if (name == "..") {
            if (!split.names.empty()) {
                split.names.pop_back();
            }
        } else if (!name.empty() && name != ".") {
            split.names.push_back(name);
        }
        at = end + 1;
    }
    return split;
}

// Whether `path` lies strictly below `root`.
bool Below(const DrivePath& path, const DrivePath& root) {
    if (path.drive != root.drive || path.names.size() <= root.names.size()) {
        return false;
    }
    for (std::size_t i = 0; i < root.names.size(); ++i) {
        if (!SameAsciiName(path.names[i], root.names[i])) {
            return false;
        }
    }
    return true;
}

std::string Joined(std::string_view start, const std::vector<std::string_view>& names) {
    std::string joined(start);
    for (const std::string_view name : names) {
        joined.append("\\").append(name);
    }
    return joined;
}

} // namespace

std::optional<std::string> VirtualStoreCopy(const std::string& path,
                                            const VirtualStoreEnvironment& environment) {
    const std::optional<DrivePath> store = Split(environment.localAppData);
    const std::optional<DrivePath> file = Split(path);
    if (!store || !file) {
        return std::nullopt;
    }
    for (const std::string& rootText : environment.protectedRoots) {
        const std::optional<DrivePath> root = Split(rootText);
        if (root && Below(*file, *root)) {
            std::string copy = Joined(environment.localAppData.substr(0, 2), store->names);
            return Joined(copy + "\\VirtualStore", file->names);
        }
    }
    return std::nullopt;
}

} // namespace quorvel
