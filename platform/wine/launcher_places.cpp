#include "platform/wine/launcher_places.h"

#include "platform/wine/host_probe.h"
#include "platform/wine/vdf.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <string_view>
#include <vector>
#include <yaml-cpp/yaml.h>

namespace quorvel {
namespace {

// Launchers' own configuration files are small; anything bigger is not one.
constexpr std::size_t kMaxConfigSize = std::size_t{1} << 20;

std::optional<std::string> ReadConfig(const std::string& path) {
    std::string bytes;
    if (!probe::ReadRegularFile(path, kMaxConfigSize, bytes)) {
        return std::nullopt;
    }
    return bytes;
}

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

class Walk {
public:
    Walk(const DiscoveryEnvironment& environment, const PrefixVisitor& visit)
        : env_(environment), visit_(visit) {}

    // The readers of what a place holds, given its path.

    // A prefix itself.
    void Prefix(const std::string& path, const std::string& launcher) {
        if (!path.empty()) {
            visit_(path, launcher);
        }
    }

    // A prefix in each entry.
    void Prefixes(const std::string& folder, const std::string& launcher) {
        Each(folder, launcher);
    }

    // A YAML file per game, with its `game: prefix:`.
    void LutrisGames(const std::string& folder, const std::string& launcher) {
        for (const std::string& name : probe::List(folder)) {
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
                    Prefix(FromConfig(game["prefix"].as<std::string>()), launcher);
                }
            } catch (const YAML::Exception&) {
                // Not a game Lutris could run either.
            }
        }
    }

    // JSON files of games, each with its `winePrefix`.
    void HeroicGames(const std::string& folder, const std::string& launcher) {
        for (const std::string& name : probe::List(folder)) {
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
                    Prefix(path, launcher);
                    // A game run with Proton has its Wine prefix below.
                    Prefix(path.empty() ? path : path + "/pfx", launcher);
                }
            }
        }
    }

    // A data folder: bottles/<name>, and data.yml's `custom_bottles_path`.
    void Bottles(const std::string& data, const std::string& launcher) {
        Each(data + "/bottles", launcher);
        const auto file = ReadConfig(data + "/data.yml");
        if (!file) {
            return;
        }
        try {
            const YAML::Node custom = YAML::Load(*file)["custom_bottles_path"];
            if (custom.IsScalar()) {
                const std::string folder = FromConfig(custom.as<std::string>());
                if (!folder.empty()) {
                    Each(folder, launcher);
                }
            }
        } catch (const YAML::Exception&) {
            // Bottles would start again from its defaults.
        }
    }

    // A Steam folder: compatdata/<appid>/pfx in each of its libraries.
    void Steam(const std::string& root, const std::string& launcher) {
        const std::optional<std::string> real = probe::RealPath(root);
        if (!real || !roots_.insert(*real).second) {
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
            const std::optional<std::string> realLibrary = probe::RealPath(library);
            if (realLibrary && libraries_.insert(*realLibrary).second) {
                Each(library + "/steamapps/compatdata", launcher, "/pfx");
            }
        }
    }

private:
    // Each entry of `folder`, with `below` after its name, as a prefix.
    void Each(const std::string& folder, const std::string& launcher,
              const std::string& below = {}) {
        for (const std::string& name : probe::List(folder)) {
            Prefix(folder + "/" + name + below, launcher);
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

    const DiscoveryEnvironment& env_;
    const PrefixVisitor& visit_;
    // The Steam folders and libraries walked, resolved: each once.
    std::set<std::string> roots_;
    std::set<std::string> libraries_;
};

using Reader = void (Walk::*)(const std::string& path, const std::string& launcher);

struct Place {
    const char* launcher;
    Reader read;                             // what the place holds
    std::string DiscoveryEnvironment::*base; // the folder it is below
    const char* path;
};

constexpr auto kHome = &DiscoveryEnvironment::home;
constexpr auto kConfig = &DiscoveryEnvironment::xdgConfigHome;
constexpr auto kData = &DiscoveryEnvironment::xdgDataHome;

// In the order searched.
constexpr Place kPlaces[] = {
    {"Wine", &Walk::Prefix, kHome, "/.wine"},
    {"Wine (Flatpak)", &Walk::Prefix, kHome, "/.var/app/org.winehq.Wine/data/wine"},
    {"Lutris", &Walk::LutrisGames, kConfig, "/lutris/games"},
    {"Lutris", &Walk::LutrisGames, kData, "/lutris/games"},
    {"Lutris (Flatpak)", &Walk::LutrisGames, kHome,
     "/.var/app/net.lutris.Lutris/config/lutris/games"},
    {"Lutris (Flatpak)", &Walk::LutrisGames, kHome,
     "/.var/app/net.lutris.Lutris/data/lutris/games"},
    {"Lutris", &Walk::Prefixes, kHome, "/Games"},
    {"Heroic", &Walk::HeroicGames, kConfig, "/heroic/GamesConfig"},
    {"Heroic (Flatpak)", &Walk::HeroicGames, kHome,
     "/.var/app/com.heroicgameslauncher.hgl/config/heroic/GamesConfig"},
    {"Heroic", &Walk::Prefixes, kHome, "/Games/Heroic/Prefixes/default"},
    {"Bottles", &Walk::Bottles, kData, "/bottles"},
    {"Bottles (Flatpak)", &Walk::Bottles, kHome, "/.var/app/com.usebottles.bottles/data/bottles"},
    {"Steam", &Walk::Steam, kHome, "/.steam/steam"},
    {"Steam", &Walk::Steam, kData, "/Steam"},
    {"Steam (Flatpak)", &Walk::Steam, kHome, "/.var/app/com.valvesoftware.Steam/.steam/steam"},
    {"Steam (Flatpak)", &Walk::Steam, kHome,
     "/.var/app/com.valvesoftware.Steam/.local/share/Steam"},
    {"Steam (Snap)", &Walk::Steam, kHome, "/snap/steam/common/.steam/steam"},
    {"Steam (Snap)", &Walk::Steam, kHome, "/snap/steam/common/.local/share/Steam"},
    {"winetricks", &Walk::Prefixes, kData, "/wineprefixes"},
    {"PlayOnLinux", &Walk::Prefixes, kHome, "/.PlayOnLinux/wineprefix"},
    {"PlayOnLinux (Flatpak)", &Walk::Prefixes, kHome,
     "/.var/app/com.playonlinux.PlayOnLinux4/.PlayOnLinux/wineprefix"},
};

} // namespace

void ForEachLauncherPrefix(const DiscoveryEnvironment& environment, const PrefixVisitor& visit) {
    Walk walk(environment, visit);
    for (const Place& place : kPlaces) {
        (walk.*place.read)(environment.*place.base + place.path, place.launcher);
    }
}

} // namespace quorvel
