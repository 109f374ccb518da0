#include "platform/posix/path_mapping.h"

#include "platform/ascii.h"
#include "platform/unicode_text.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <optional>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quorvel {
namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool Exists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return FoldCase(a) == FoldCase(b);
}

// The entry of `folder` whose name is `name` in another letter case. When
// several are, the one first in byte order wins, so that the choice does not
// depend on the order the folder lists them in.
std::optional<std::string> FindIgnoringCase(const std::string& folder, std::string_view name) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) {
        return std::nullopt;
    }
    std::optional<std::string> found;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view candidate(entry->d_name);
        if (SameIgnoringCase(candidate, name) && (!found || candidate < *found)) {
            found = std::string(candidate);
        }
    }
    ::closedir(dir);
    return found;
}

// Replaces, one component after another from `fixedLength` on, each name that
// does not exist as written by an entry that matches it in another case. A
// name that matches nothing ends the walk: nothing can exist below it, and a
// file about to be created gets the name as written.
// `missing` tells that nothing exists at `host` as written.
std::string MatchLetterCase(std::string host, std::size_t fixedLength, bool missing) {
    std::size_t start = fixedLength;
    // Where the folder above the last name exists as written, so does every
    // folder above it: only the last name can need matching.
    if (const std::size_t slash = host.find_last_of('/');
        slash != std::string::npos && slash > fixedLength && slash + 1 < host.size() &&
        Exists(host.substr(0, slash))) {
        start = slash + 1;
        if (missing) {
            const auto match =
                FindIgnoringCase(host.substr(0, start), std::string_view(host).substr(start));
            if (match) {
                host.replace(start, std::string::npos, *match);
            }
            return host;
        }
    }
    while (start < host.size()) {
        if (host[start] == '/') {
            ++start;
            continue;
        }
        std::size_t end = host.find('/', start);
        if (end == std::string::npos) {
            end = host.size();
        }
        if (!Exists(host.substr(0, end))) {
            const auto match = FindIgnoringCase(host.substr(0, start),
                                                std::string_view(host).substr(start, end - start));
            if (!match) {
                break;
            }
            host.replace(start, end - start, *match);
            end = start + match->size();
        }
        start = end;
    }
    return host;
}

std::string ToSlashes(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c == '\\') {
            c = '/';
        }
    }
    return result;
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        return home;
    }
    passwd entry{};
    passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/') {
        return found->pw_dir;
    }
    return {};
}

// "~", "~/..." and "~\...": the home folder, as a shell takes the first two.
bool StartsAtHome(std::string_view path) {
    return !path.empty() && path[0] == '~' &&
           (path.size() == 1 || path[1] == '/' || path[1] == '\\');
}

} // namespace

WinePathMapper::WinePathMapper(std::string prefix)
    : prefix_(std::move(prefix)), home_(HomeFolder()) {}

WinePathMapper::Start WinePathMapper::StartOf(const std::string& path,
                                              std::size_t roomForRest) const {
    Start start;
    start.rest = path;
    if (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':') {
        start.drive = AsciiLower(path[0]);
        start.rest.remove_prefix(2);
    } else if (!path.empty() && path[0] == '\\') {
        start.drive = 'c';
    } else if (StartsAtHome(path) && !home_.empty()) {
        start.root = home_;
        start.root.reserve(home_.size() + roomForRest);
        start.rest.remove_prefix(1);
        return start;
    }
    if (start.drive != 0) {
        start.root.reserve(prefix_.size() + 16 + roomForRest);
        start.root.append(prefix_).append("/dosdevices/").append(1, start.drive).append(1, ':');
        // "C:name" is relative to the drive's current folder, which under
        // Wine is the drive's root.
        if (!start.rest.empty() && start.rest[0] != '\\' && start.rest[0] != '/') {
            start.root += '/';
        }
    }
    return start;
}

std::string WinePathMapper::AsWrittenHostPath(const std::string& path) const {
    // Asked for at every file opened, so built in place.
    Start start = StartOf(path, path.size());
    std::string& host = start.root;
    const std::size_t rest = host.size();
    host.append(start.rest);
    std::replace(host.begin() + static_cast<std::ptrdiff_t>(rest), host.end(), '\\', '/');
    return std::move(host);
}

std::string WinePathMapper::ToHostPath(const std::string& path) const {
    // The host folder the path starts from, taken as it stands, and the rest.
    Start start = StartOf(path, 0);
    std::string& root = start.root;
    const std::string_view rest = start.rest;

    std::string host = root + ToSlashes(rest);
    if (Exists(host)) {
        return host;
    }
    bool missing = true;
    // A prefix that has never had its dosdevices links made still has drive_c.
    if (start.drive == 'c') {
        const std::string driveC = prefix_ + "/drive_c";
        if (!Exists(prefix_ + "/dosdevices/c:") && Exists(driveC)) {
            root = driveC + root.substr(prefix_.size() + std::string_view("/dosdevices/c:").size());
            host = root + ToSlashes(rest);
            missing = false; // not looked at yet
        }
    }
    return MatchLetterCase(std::move(host), root.size(), missing);
}

} // namespace quorvel
