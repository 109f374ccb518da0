#include "platform/wine/prefix_discovery.h"

#include "platform/posix/path_mapping.h"
#include "platform/registry.h"
#include "platform/wine/host_probe.h"
#include "platform/wine/launcher_places.h"
#include "platform/wine_registry.h"

#include <cerrno>
#include <optional>
#include <set>
#include <string>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <utility>

namespace quorvel {
namespace {

class Search {
public:
    Search(const DiscoveryEnvironment& environment, std::string_view gameKey)
        : env_(environment), key_(gameKey) {
        // One moment for the whole search, so that future times tie.
        ::clock_gettime(CLOCK_REALTIME, &now_);
    }

    // Looks at one prefix, once, whatever path it is reached by.
    void Check(const std::string& path, const std::string& launcher) {
        const std::optional<std::string> real = probe::RealPath(path);
        if (!real || !probe::IsFolder(*real) || !seen_.insert(*real).second) {
            return;
        }
        // A folder without a user.reg that is a regular file is no prefix.
        timespec changed{};
        uid_t owner = 0;
        if (!probe::ReadRegularFile(*real + "/user.reg", WineRegistryFile::kMaxFileSize, userReg_,
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
        if (probe::Later(changed, now_)) {
            changed = now_;
        }
        CheckedPrefix checked{path, launcher, false, GameFolderState::NoBasepath, {}, {}};
        WineRegistryFile registry = WineRegistryFile::ParseForKey(userReg_, key_);
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
        if (probe::IsFolder(drives.ToHostPath(checked.basepath + "\\mainta"))) {
            checked.folder = GameFolderState::There;
        } else {
            checked.folder = probe::IsFolder(checked.hostFolder) ? GameFolderState::NoMainta
                                                                 : GameFolderState::Missing;
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
            (folderThere == bestFolderThere_ && probe::Later(changed, bestChanged_))) {
            best_ = result_.checked.size();
            bestChanged_ = changed;
            bestFolderThere_ = folderThere;
        }
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
        const std::optional<timespec> changed = probe::NewestIn(mainta);
        if (!changed) {
            result_.passedOver = mainta;
            return;
        }
        Consider(true, true, *changed);
        result_.checked.push_back(
            {folder, kOpenMohaaLauncher, true, GameFolderState::There, {}, {}});
    }

    DiscoveryResult Finish(std::string fallback, std::string fallbackLauncher) {
        result_.chosen = best_.value_or(0);
        if (best_ && result_.checked[*best_].launcher == kOpenMohaaLauncher) {
            result_.gameFolder = result_.checked[*best_].path;
            result_.launcher = kOpenMohaaLauncher;
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
    DiscoveryResult result_;
    std::set<std::string> seen_;
    std::string userReg_; // the bytes of the user.reg being looked at
    std::optional<std::size_t> best_;
    timespec bestChanged_{};
    bool bestFolderThere_ = false;
    timespec now_{};
};

} // namespace

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
    ForEachLauncherPrefix(environment,
                          [&search](const std::string& path, const std::string& launcher) {
                              search.Check(path, launcher);
                          });
    search.OpenMohaa();
    return search.Finish(environment.home + "/.wine", "Wine");
}

} // namespace quorvel
