#include "platform/wine/prefix_discovery.h"

#include "platform/posix/path_mapping.h"
#include "platform/registry.h"
#include "platform/unicode_text.h"
#include "platform/wine/vdf.h"
#include "platform/wine_registry.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <nlohmann/json.hpp>
#include <optional>
#include <pwd.h>
#include <set>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <unordered_set>
#include <yaml-cpp/yaml.h>

namespace quorvel {
namespace {

// Launchers' own configuration files are small; anything bigger is not one.
constexpr std::size_t kMaxConfigSize = std::size_t{1} << 20;
// No folder listed here holds more entries than this in any real home.
constexpr std::size_t kMaxListing = 4096;

const char* const kFlatpakApps = "/.var/app/";
const char* const kOpenMohaa = "OpenMoHAA";

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The bytes of a regular file of at most `limit` bytes, and the time it last
// changed. Anything else (missing, unreadable, a folder, a FIFO, a device, too
// big) gives false. The file is opened without blocking and checked after
// opening, so that nothing put in its place in between is read.
// `bytes` is filled in place, so that one buffer serves every file.
bool ReadRegularFile(const std::string& path, std::size_t limit, std::string& bytes,
                     timespec* changed = nullptr, uid_t* owner = nullptr) {
    if (!IsRegularFile(path)) {
        return false;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0 ||
        static_cast<std::size_t>(info.st_size) > limit) {
        ::close(fd);
        return false;
    }
    if (changed != nullptr) {
        *changed = info.st_mtim;
    }
    if (owner != nullptr) {
        *owner = info.st_uid;
    }
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break; // shorter than it was: what was read is what there is
        }
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    bytes.resize(got);
    return true;
}

std::optional<std::string> ReadConfig(const std::string& path) {
    std::string bytes;
    if (!ReadRegularFile(path, kMaxConfigSize, bytes)) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::string> RealPath(const std::string& path) {
    char resolved[PATH_MAX];
    if (path.empty() || ::realpath(path.c_str(), resolved) == nullptr) {
        return std::nullopt; // missing, a link that leads nowhere or round in a loop
    }
    return std::string(resolved);
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The names in a folder, sorted, without "." and ".."; empty when it cannot be
// read. Only this one level is listed.
std::vector<std::string> List(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return names;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        if (names.size() == kMaxListing) {
            break;
        }
        names.emplace_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

bool Later(const timespec& a, const timespec& b) {
    return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

// ASCII letters folded, for a quick look for the game's key in the raw text.
char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Where `text` holds `word` (lower case, ASCII, not empty) in any letter
// case, one place after another. Linear in the text however many places
// there are: each letter case of the first character is looked for from
// where the last look stopped, never again from the start.
class AnyCaseFinder {
public:
    AnyCaseFinder(std::string_view text, std::string_view word)
        : text_(text), word_(word), lower_(word.front()),
          upper_((lower_ >= 'a' && lower_ <= 'z') ? static_cast<char>(lower_ - 'a' + 'A') : lower_),
          nextLower_(text.find(lower_)), nextUpper_(text.find(upper_)) {}

    // The first place at or after `from`; npos when none is left. `from`
    // never goes back.
    std::size_t Next(std::size_t from) {
        for (;;) {
            if (nextLower_ < from) {
                nextLower_ = text_.find(lower_, from);
            }
            if (nextUpper_ < from) {
                nextUpper_ = text_.find(upper_, from);
            }
            const std::size_t at = std::min(nextLower_, nextUpper_);
            if (at == std::string_view::npos || text_.size() - at < word_.size()) {
                return std::string_view::npos;
            }
            std::size_t i = 1;
            while (i < word_.size() && Lower(text_[at + i]) == word_[i]) {
                ++i;
            }
            if (i == word_.size()) {
                return at;
            }
            from = at + 1;
        }
    }

private:
    std::string_view text_;
    std::string_view word_;
    char lower_;
    char upper_;
    std::size_t nextLower_;
    std::size_t nextUpper_;
};

// The sections of a user.reg whose headers name `name` (lower case, ASCII,
// not empty), each header with the lines of its section: all that decides
// whether the file has a key ending in that name, and what its values are,
// in a fraction of the text. A header is a line whose first character after
// blanks is '['; a section ends where the next header starts.
std::string SectionsNaming(std::string_view text, std::string_view name) {
    std::string sections;
    // Each header once: a file of one header a million times over is
    // parsed as one section.
    std::unordered_set<std::string_view> seen;
    AnyCaseFinder finder(text, name);
    std::size_t at = 0;
    while ((at = finder.Next(at)) != std::string_view::npos) {
        const std::size_t lineStart = text.rfind('\n', at) + 1; // 0 on the first line
        const std::size_t first = text.find_first_not_of(" \t", lineStart);
        const std::size_t end = std::min(text.find('\n', at), text.size());
        const std::string_view header = text.substr(first, end - first);
        at = end;
        if (header.front() != '[' || !seen.insert(header).second) {
            continue;
        }
        // The section's lines, up to the next header.
        std::size_t next = end;
        while (next < text.size()) {
            const std::size_t lineFirst = text.find_first_not_of(" \t", next + 1);
            if (lineFirst == std::string_view::npos || text[lineFirst] == '[') {
                break;
            }
            next = std::min(text.find('\n', lineFirst), text.size());
        }
        sections.append(text.substr(first, next - first)).push_back('\n');
        at = next;
    }
    return sections;
}

// The last part of a key path, lower-cased: every section of the key or of a
// key below it names it, so a user.reg without it cannot hold the key.
std::string LastKeyName(std::string_view key) {
    const std::size_t slash = key.find_last_of('\\');
    std::string name(slash == std::string_view::npos ? key : key.substr(slash + 1));
    for (char& c : name) {
        c = Lower(c);
    }
    // A name with characters that Wine writes escaped is left to the parser.
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f ||
            c == '"' || c == '[' || c == ']') {
            return {};
        }
    }
    return name;
}

// The newest change time of folder `path` and of the entries directly in it
// (not followed where they are links); nullopt when `path` is not a folder
// that can be opened. Opened without blocking, so a FIFO in its place does
// not stop the search.
std::optional<timespec> NewestIn(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat info {};
    DIR* dir = ::fstat(fd, &info) == 0 ? ::fdopendir(fd) : nullptr;
    if (dir == nullptr) {
        ::close(fd);
        return std::nullopt;
    }
    timespec newest = info.st_mtim;
    std::size_t listed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        if (++listed > kMaxListing) {
            break;
        }
        struct stat child {};
        if (::fstatat(::dirfd(dir), entry->d_name, &child, AT_SYMLINK_NOFOLLOW) == 0 &&
            Later(child.st_mtim, newest)) {
            newest = child.st_mtim;
        }
    }
    ::closedir(dir);
    return newest;
}

class Search {
public:
    // Where the key's last name is one Wine writes escaped, keyName_ is
    // empty and each user.reg is parsed whole.
    Search(const DiscoveryEnvironment& environment, std::string_view gameKey)
        : env_(environment), key_(gameKey), keyName_(LastKeyName(gameKey)) {
        // One moment for the whole search, so that future times tie.
        ::clock_gettime(CLOCK_REALTIME, &now_);
    }

    // Looks at one prefix, once, whatever path it is reached by.
    void Check(const std::string& path, const std::string& launcher) {
        const std::optional<std::string> real = RealPath(path);
        if (!real || !IsFolder(*real) || !seen_.insert(*real).second) {
            return;
        }
        // A folder without a user.reg that is a regular file is no prefix.
        timespec changed{};
        uid_t owner = 0;
        if (!ReadRegularFile(*real + "/user.reg", WineRegistryFile::kMaxFileSize, userReg_,
                             &changed, &owner)) {
            return;
        }
        // Another user may plant a prefix where the search looks (a shared
        // games drive in Steam's library list) to steer the installation;
        // only the player's own prefixes, and root's, are used.
        if (owner != ::geteuid() && owner != 0) {
            result_.foreign.push_back({path, launcher, static_cast<unsigned>(owner)});
            return;
        }
        // A date in the future would beat every prefix the player uses.
        if (Later(changed, now_)) {
            changed = now_;
        }
        CheckedPrefix checked{path, launcher, false, GameFolderState::NoBasepath, {}, {}};
        WineRegistryFile registry = WineRegistryFile::Parse(
            keyName_.empty() ? std::string_view(userReg_) : SectionsNaming(userReg_, keyName_));
        checked.hasGame = registry.HasKey(key_);
        if (checked.hasGame) {
            LookForGameFolder(*real, std::move(registry), checked);
        }
        Consider(checked.hasGame, checked.folder == GameFolderState::There, changed);
        result_.checked.push_back(std::move(checked));
    }

    // Where the prefix's settings store puts the game, and whether its
    // mainta is there, through the prefix's own drives.
    void LookForGameFolder(const std::string& prefix, WineRegistryFile registry,
                           CheckedPrefix& checked) const {
        WineRegistryStore store(std::move(registry));
        checked.basepath = RegistryValueText(
            ReadRegistryValue(store, RegistryRoot::CurrentUser, std::string(key_), "basepath"));
        if (checked.basepath.empty()) {
            checked.folder = GameFolderState::NoBasepath;
            return;
        }
        const WinePathMapper drives(prefix);
        checked.hostFolder = drives.ToHostPath(checked.basepath);
        if (IsFolder(drives.ToHostPath(checked.basepath + "\\mainta"))) {
            checked.folder = GameFolderState::There;
        } else {
            checked.folder =
                IsFolder(checked.hostFolder) ? GameFolderState::NoMainta : GameFolderState::Missing;
        }
    }

    // Takes the entry just checked as the best so far where it holds the
    // game and beats the best: its game folder there where the best's is
    // not, else newer. On a tie the one found first stays.
    void Consider(bool hasGame, bool folderThere, const timespec& changed) {
        if (!hasGame) {
            return;
        }
        if (!best_ || (folderThere && !bestFolderThere_) ||
            (folderThere == bestFolderThere_ && Later(changed, bestChanged_))) {
            best_ = result_.checked.size();
            bestChanged_ = changed;
            bestFolderThere_ = folderThere;
        }
    }

    // Each entry of `folder`, with `below` after its name, as a prefix.
    void CheckEach(const std::string& folder, const std::string& launcher,
                   const std::string& below = {}) {
        for (const std::string& name : List(folder)) {
            Check(folder + "/" + name + below, launcher);
        }
    }

    // A path from a launcher's configuration: absolute, or below the home
    // folder when it starts with "~/"; anything else is not used.
    std::string FromConfig(const std::string& path) const {
        if (path.rfind("~/", 0) == 0) {
            return env_.home + path.substr(1);
        }
        return path.rfind('/', 0) == 0 ? path : std::string();
    }

    void Wine() {
        Check(env_.home + "/.wine", "Wine");
        Check(env_.home + kFlatpakApps + "org.winehq.Wine/data/wine", "Wine (Flatpak)");
    }

    void LutrisConfigs(const std::string& folder, const std::string& launcher) {
        for (const std::string& name : List(folder)) {
            if (!EndsWith(name, ".yml") && !EndsWith(name, ".yaml")) {
                continue;
            }
            const auto file = ReadConfig(folder + "/" + name);
            if (!file) {
                continue;
            }
            try {
                const YAML::Node game = YAML::Load(*file)["game"];
                if (game.IsMap() && game["prefix"].IsScalar()) {
                    Check(FromConfig(game["prefix"].as<std::string>()), launcher);
                }
            } catch (const YAML::Exception&) {
                // Not a game Lutris could run either.
            }
        }
    }

    void Lutris() {
        LutrisConfigs(env_.xdgConfigHome + "/lutris/games", "Lutris");
        LutrisConfigs(env_.xdgDataHome + "/lutris/games", "Lutris");
        const std::string flatpak = env_.home + kFlatpakApps + "net.lutris.Lutris";
        LutrisConfigs(flatpak + "/config/lutris/games", "Lutris (Flatpak)");
        LutrisConfigs(flatpak + "/data/lutris/games", "Lutris (Flatpak)");
        CheckEach(env_.home + "/Games", "Lutris");
    }

    void HeroicConfigs(const std::string& folder, const std::string& launcher) {
        for (const std::string& name : List(folder)) {
            if (!EndsWith(name, ".json")) {
                continue;
            }
            const auto file = ReadConfig(folder + "/" + name);
            if (!file) {
                continue;
            }
            const nlohmann::json config = nlohmann::json::parse(*file, nullptr, false);
            if (!config.is_object()) {
                continue; // malformed, or not a game's settings
            }
            for (const auto& [id, game] : config.items()) {
                const auto prefix = game.is_object() ? game.find("winePrefix") : game.end();
                if (prefix != game.end() && prefix->is_string()) {
                    const std::string path = FromConfig(prefix->get<std::string>());
                    Check(path, launcher);
                    // A game run with Proton has its Wine prefix below.
                    Check(path.empty() ? path : path + "/pfx", launcher);
                }
            }
        }
    }

    void Heroic() {
        HeroicConfigs(env_.xdgConfigHome + "/heroic/GamesConfig", "Heroic");
        HeroicConfigs(env_.home + kFlatpakApps +
                          "com.heroicgameslauncher.hgl/config/heroic/GamesConfig",
                      "Heroic (Flatpak)");
        CheckEach(env_.home + "/Games/Heroic/Prefixes/default", "Heroic");
    }

    void BottlesIn(const std::string& data, const std::string& launcher) {
        CheckEach(data + "/bottles", launcher);
        const auto file = ReadConfig(data + "/data.yml");
        if (!file) {
            return;
        }
        try {
            const YAML::Node custom = YAML::Load(*file)["custom_bottles_path"];
            if (custom.IsScalar()) {
                const std::string folder = FromConfig(custom.as<std::string>());
                if (!folder.empty()) {
                    CheckEach(folder, launcher);
                }
            }
        } catch (const YAML::Exception&) {
            // Bottles would start again from its defaults.
        }
    }

    void Bottles() {
        BottlesIn(env_.xdgDataHome + "/bottles", "Bottles");
        BottlesIn(env_.home + kFlatpakApps + "com.usebottles.bottles/data/bottles",
                  "Bottles (Flatpak)");
    }

    void SteamRoot(const std::string& root, const std::string& launcher) {
        const std::optional<std::string> real = RealPath(root);
        if (!real || !steamRoots_.insert(*real).second) {
            return;
        }
        std::vector<std::string> libraries{root};
        if (const auto file = ReadConfig(root + "/steamapps/libraryfolders.vdf")) {
            for (const std::string& library : vdf::LibraryFolders(*file)) {
                if (!library.empty() && library.front() == '/') {
                    libraries.push_back(library);
                }
            }
        }
        for (const std::string& library : libraries) {
            const std::optional<std::string> realLibrary = RealPath(library);
            if (realLibrary && steamLibraries_.insert(*realLibrary).second) {
                CheckEach(library + "/steamapps/compatdata", launcher, "/pfx");
            }
        }
    }

    void Steam() {
        SteamRoot(env_.home + "/.steam/steam", "Steam");
        SteamRoot(env_.xdgDataHome + "/Steam", "Steam");
        const std::string flatpak = env_.home + kFlatpakApps + "com.valvesoftware.Steam";
        SteamRoot(flatpak + "/.steam/steam", "Steam (Flatpak)");
        SteamRoot(flatpak + "/.local/share/Steam", "Steam (Flatpak)");
        const std::string snap = env_.home + "/snap/steam/common";
        SteamRoot(snap + "/.steam/steam", "Steam (Snap)");
        SteamRoot(snap + "/.local/share/Steam", "Steam (Snap)");
    }

    void Winetricks() { CheckEach(env_.xdgDataHome + "/wineprefixes", "winetricks"); }

    void PlayOnLinux() {
        CheckEach(env_.home + "/.PlayOnLinux/wineprefix", "PlayOnLinux");
        CheckEach(env_.home + kFlatpakApps + "com.playonlinux.PlayOnLinux4/.PlayOnLinux/wineprefix",
                  "PlayOnLinux (Flatpak)");
    }

    // OpenMoHAA's user folder, offered when its mainta is a folder. Its time
    // is the newest of mainta and the entries directly in it, where the
    // engine writes on every run; nothing there is opened but mainta itself.
    void OpenMohaa() {
        const std::string folder = env_.home + "/.openmohaa";
        const std::string mainta = folder + "/mainta";
        struct stat info {};
        if (::lstat(mainta.c_str(), &info) != 0 && errno == ENOENT) {
            return;
        }
        const std::optional<timespec> changed = NewestIn(mainta);
        if (!changed) {
            result_.passedOver = mainta;
            return;
        }
        Consider(true, true, *changed);
        result_.checked.push_back({folder, kOpenMohaa, true, GameFolderState::There, {}, {}});
    }

    DiscoveryResult Finish(std::string fallback, std::string fallbackLauncher) {
        result_.chosen = best_.value_or(0);
        if (best_ && result_.checked[*best_].launcher == kOpenMohaa) {
            result_.gameFolder = result_.checked[*best_].path;
            result_.launcher = kOpenMohaa;
            result_.prefix = std::move(fallback);
            result_.found = true;
        } else if (best_) {
            result_.prefix = result_.checked[*best_].path;
            result_.launcher = result_.checked[*best_].launcher;
            result_.found = true;
        } else {
            result_.prefix = std::move(fallback);
            result_.launcher = std::move(fallbackLauncher);
        }
        return std::move(result_);
    }

private:
    const DiscoveryEnvironment& env_;
    std::string_view key_;
    std::string keyName_;
    DiscoveryResult result_;
    std::set<std::string> seen_;
    std::set<std::string> steamRoots_;
    std::set<std::string> steamLibraries_;
    std::string userReg_; // the bytes of the user.reg being looked at
    std::optional<std::size_t> best_;
    timespec bestChanged_{};
    bool bestFolderThere_ = false;
    timespec now_{};
};

std::string Tilde(const std::string& path, const std::string& home) {
    if (!home.empty() && home != "/" && path.rfind(home, 0) == 0 &&
        (path.size() == home.size() || path[home.size()] == '/')) {
        return "~" + path.substr(home.size());
    }
    return path;
}

std::string Absolute(const char* value) {
    return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
}

} // namespace

DiscoveryEnvironment EnvironmentFromProcess(std::string prefixOption) {
    DiscoveryEnvironment env;
    env.prefixOption = std::move(prefixOption);
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        env.home = home;
    } else {
        passwd entry{};
        passwd* found = nullptr;
        std::vector<char> buffer(16384);
        if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
            found != nullptr && found->pw_dir != nullptr) {
            env.home = found->pw_dir;
        }
    }
    env.xdgConfigHome = Absolute(std::getenv("XDG_CONFIG_HOME"));
    if (env.xdgConfigHome.empty()) {
        env.xdgConfigHome = env.home + "/.config";
    }
    env.xdgDataHome = Absolute(std::getenv("XDG_DATA_HOME"));
    if (env.xdgDataHome.empty()) {
        env.xdgDataHome = env.home + "/.local/share";
    }
    if (const char* prefix = std::getenv("WINEPREFIX")) {
        env.winePrefix = prefix;
    }
    return env;
}

DiscoveryResult DiscoverWinePrefix(const DiscoveryEnvironment& environment,
                                   std::string_view gameKey) {
    Search search(environment, gameKey);
    if (!environment.prefixOption.empty()) {
        search.Check(environment.prefixOption, "--prefix");
        return search.Finish(environment.prefixOption, "--prefix");
    }
    if (!environment.winePrefix.empty()) {
        search.Check(environment.winePrefix, "WINEPREFIX");
        return search.Finish(environment.winePrefix, "WINEPREFIX");
    }
    search.Wine();
    search.Lutris();
    search.Heroic();
    search.Bottles();
    search.Steam();
    search.Winetricks();
    search.PlayOnLinux();
    search.OpenMohaa();
    return search.Finish(environment.home + "/.wine", "Wine");
}

namespace {

// What became of a prefix's game folder, where it is not there.
std::string DescribeGameFolder(const CheckedPrefix& prefix, const std::string& home) {
    const std::string folder = "its game folder " + EscapeControls(prefix.basepath) + " (" +
                               EscapeControls(Tilde(prefix.hostFolder, home)) + ")";
    switch (prefix.folder) {
    case GameFolderState::NoBasepath:
        return "the game's key in its user.reg names no game folder (basepath)";
    case GameFolderState::Missing:
        return folder + " does not exist";
    case GameFolderState::NoMainta:
        return folder + " holds no mainta";
    case GameFolderState::There:
        break;
    }
    return folder + " is there";
}

// A line for each other prefix that holds the game, and OpenMoHAA's folder,
// saying why it was passed over.
std::string DescribeRivals(const DiscoveryResult& result, const std::string& home) {
    if (!result.found) {
        return {};
    }
    const CheckedPrefix& chosen = result.checked[result.chosen];
    std::string lines;
    for (std::size_t i = 0; i < result.checked.size(); ++i) {
        const CheckedPrefix& rival = result.checked[i];
        if (i == result.chosen || !rival.hasGame) {
            continue;
        }
        const bool folderMissing =
            rival.folder != GameFolderState::There && chosen.folder == GameFolderState::There;
        lines +=
            "quorvel: passed over " +
            std::string(rival.launcher == kOpenMohaa ? "OpenMoHAA's folder " : "the Wine prefix ") +
            EscapeControls(Tilde(rival.path, home)) + " (" + rival.launcher + "): " +
            (folderMissing ? DescribeGameFolder(rival, home) : "not newer than the one used") +
            "\n";
    }
    return lines;
}

// The line that says which prefix is used, or where the search looked.
std::string DescribeSearch(const DiscoveryResult& result, const DiscoveryEnvironment& environment) {
    const std::string lead = "quorvel: ";
    if (result.found) {
        const CheckedPrefix& chosen = result.checked[result.chosen];
        const std::string though = chosen.folder == GameFolderState::There
                                       ? ""
                                       : ", though " + DescribeGameFolder(chosen, environment.home);
        return lead + "using the Wine prefix " + EscapeControls(result.prefix) + " (" +
               result.launcher + ")" + though;
    }
    if (result.launcher == "--prefix" || result.launcher == "WINEPREFIX") {
        return lead + "the game was not found in the Wine prefix " + EscapeControls(result.prefix) +
               " (" + result.launcher + ")";
    }
    if (result.checked.empty()) {
        return lead + "the game was not found: there is no Wine prefix in ~/.wine or in the "
                      "folders of Lutris, Heroic, Bottles, Steam, winetricks and PlayOnLinux, "
                      "and no OpenMoHAA folder ~/.openmohaa/mainta";
    }
    // A handful of places says enough; the rest are counted.
    constexpr std::size_t kShown = 4;
    std::string line = lead + "the game was not found in any Wine prefix; looked in: ";
    const std::size_t shown = std::min(kShown, result.checked.size());
    for (std::size_t i = 0; i < shown; ++i) {
        const CheckedPrefix& prefix = result.checked[i];
        line += (i > 0 ? ", " : "") + EscapeControls(Tilde(prefix.path, environment.home)) + " (" +
                prefix.launcher + ")";
    }
    if (result.checked.size() > shown) {
        line += " and " + std::to_string(result.checked.size() - shown) + " more";
    }
    return line;
}

} // namespace

std::string DescribeDiscovery(const DiscoveryResult& result,
                              const DiscoveryEnvironment& environment) {
    const std::string lead = "quorvel: ";
    std::string foreign;
    for (const ForeignPrefix& prefix : result.foreign) {
        foreign += lead + "passed over the Wine prefix " +
                   EscapeControls(Tilde(prefix.path, environment.home)) + " (" + prefix.launcher +
                   "): its user.reg belongs to another user (uid " + std::to_string(prefix.owner) +
                   ")\n";
    }
    foreign += DescribeRivals(result, environment.home);
    if (!result.gameFolder.empty()) {
        return foreign + lead + "using OpenMoHAA's folder " + EscapeControls(result.gameFolder);
    }
    const std::string passedOver =
        result.passedOver.empty()
            ? ""
            : "; passed over " + EscapeControls(Tilde(result.passedOver, environment.home)) +
                  ": not a folder";
    return foreign + DescribeSearch(result, environment) + passedOver;
}

} // namespace quorvel
