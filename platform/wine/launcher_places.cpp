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

// What a place holds.
enum class Holds {
    Prefix,      // a prefix itself
    Prefixes,    // a prefix in each entry
    LutrisGames, // a YAML file per game, with its `game: prefix:`
    HeroicGames, // a JSON file of games, each with its `winePrefix`
    Bottles,     // bottles/<name>, and data.yml's `custom_bottles_path`
    Steam,       // a Steam folder: compatdata/<appid>/pfx in each library
};

// The folder a place's path is below.
enum class Base { Home, ConfigHome, DataHome };

struct Place {
    const char* launcher;
    Holds holds;
    Base base;
    const char* path;
};

// In the order searched.
constexpr Place kPlaces[] = {
    {"Wine", Holds::Prefix, Base::Home, "/.wine"},
    {"Wine (Flatpak)", Holds::Prefix, Base::Home, "/.var/app/org.winehq.Wine/data/wine"},
    {"Lutris", Holds::LutrisGames, Base::ConfigHome, "/lutris/games"},
    {"Lutris", Holds::LutrisGames, Base::DataHome, "/lutris/games"},
    {"Lutris (Flatpak)", Holds::LutrisGames, Base::Home,
     "/.var/app/net.lutris.Lutris/config/lutris/games"},
    {"Lutris (Flatpak)", Holds::LutrisGames, Base::Home,
     "/.var/app/net.lutris.Lutris/data/lutris/games"},
    {"Lutris", Holds::Prefixes, Base::Home, "/Games"},
    {"Heroic", Holds::HeroicGames, Base::ConfigHome, "/heroic/GamesConfig"},
    {"Heroic (Flatpak)", Holds::HeroicGames, Base::Home,
     "/.var/app/com.heroicgameslauncher.hgl/config/heroic/GamesConfig"},
    {"Heroic", Holds::Prefixes, Base::Home, "/Games/Heroic/Prefixes/default"},
    {"Bottles", Holds::Bottles, Base::DataHome, "/bottles"},
    {"Bottles (Flatpak)", Holds::Bottles, Base::Home,
     "/.var/app/com.usebottles.bottles/data/bottles"},
    {"Steam", Holds::Steam, Base::Home, "/.steam/steam"},
    {"Steam", Holds::Steam, Base::DataHome, "/Steam"},
    {"Steam (Flatpak)", Holds::Steam, Base::Home, "/.var/app/com.valvesoftware.Steam/.steam/steam"},
    {"Steam (Flatpak)", Holds::Steam, Base::Home,
     "/.var/app/com.valvesoftware.Steam/.local/share/Steam"},
    {"Steam (Snap)", Holds::Steam, Base::Home, "/snap/steam/common/.steam/steam"},
    {"Steam (Snap)", Holds::Steam, Base::Home, "/snap/steam/common/.local/share/Steam"},
    {"winetricks", Holds::Prefixes, Base::DataHome, "/wineprefixes"},
    {"PlayOnLinux", Holds::Prefixes, Base::Home, "/.PlayOnLinux/wineprefix"},
    {"PlayOnLinux (Flatpak)", Holds::Prefixes, Base::Home,
     "/.var/app/com.playonlinux.PlayOnLinux4/.PlayOnLinux/wineprefix"},
};

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

    void Visit(const Place& place) {
        const std::string& base = place.base == Base::Home         ? env_.home
                                  : place.base == Base::ConfigHome ? env_.xdgConfigHome
                                                                   : env_.xdgDataHome;
        const std::string path = base + place.path;
        switch (place.holds) {
        case Holds::Prefix:
            Prefix(path, place.launcher);
            break;
        case Holds::Prefixes:
            Each(path, place.launcher);
            break;
        case Holds::LutrisGames:
            LutrisGames(path, place.launcher);
            break;
        case Holds::HeroicGames:
            HeroicGames(path, place.launcher);
            break;
        case Holds::Bottles:
            Bottles(path, place.launcher);
            break;
        case Holds::Steam:
            Steam(path, place.launcher);
            break;
        }
    }

private:
    void Prefix(const std::string& path, const std::string& launcher) {
        if (!path.empty()) {
            visit_(path, launcher);
        }
    }

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

    const DiscoveryEnvironment& env_;
    const PrefixVisitor& visit_;
    // The Steam folders and libraries walked, resolved: each once.
    std::set<std::string> roots_;
    std::set<std::string> libraries_;
};

} // namespace

void ForEachLauncherPrefix(const DiscoveryEnvironment& environment, const PrefixVisitor& visit) {
    Walk walk(environment, visit);
    for (const Place& place : kPlaces) {
        walk.Visit(place);
    }
}

} // namespace quorvel
