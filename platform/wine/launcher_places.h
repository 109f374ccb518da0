#pragma once

// Where Wine and the launchers that make prefixes keep them, on a Linux
// host, in the order they are searched, each native install followed by its
// Flatpak (and Steam's Snap):
//
//   Wine         ~/.wine
//   Lutris       the `game: prefix:` of each game's YAML file in
//                $XDG_CONFIG_HOME/lutris/games and $XDG_DATA_HOME/lutris/games;
//                its default place ~/Games/<game>
//   Heroic       `winePrefix` in $XDG_CONFIG_HOME/heroic/GamesConfig/<id>.json;
//                its default place ~/Games/Heroic/Prefixes/default/<game>
//   Bottles      $XDG_DATA_HOME/bottles/bottles/<name>, and the
//                `custom_bottles_path` of $XDG_DATA_HOME/bottles/data.yml
//   Steam        steamapps/compatdata/<appid>/pfx in each library that
//                steamapps/libraryfolders.vdf lists, for the Steam folders
//                ~/.steam/steam and $XDG_DATA_HOME/Steam
//   winetricks   $XDG_DATA_HOME/wineprefixes/<name>
//   PlayOnLinux  ~/.PlayOnLinux/wineprefix/<name>
//
// A Flatpak keeps the same files below ~/.var/app/<app id>/ (config/ and
// data/ for the XDG folders): org.winehq.Wine (its prefix is data/wine),
// net.lutris.Lutris, com.heroicgameslauncher.hgl, com.usebottles.bottles,
// com.valvesoftware.Steam and com.playonlinux.PlayOnLinux4; Steam's Snap
// keeps them below ~/snap/steam/common/. winetricks has no Flatpak of its own.
//
// Only these places and one level of listing below each are read; a folder
// that cannot be read and a configuration file that cannot be parsed are
// passed over.

#include "platform/wine/discovery_environment.h"

#include <functional>
#include <string>

namespace quorvel {

// Takes a path that may be a Wine prefix (not empty, not resolved) and the
// launcher that keeps it: "Wine", "Lutris (Flatpak)", "Steam (Snap)", ...
using PrefixVisitor = std::function<void(const std::string& path, const std::string& launcher)>;

// Hands every place where Wine or a launcher keeps a prefix to `visit`, in
// the order above. One prefix may be handed over more than once, by more
// than one path.
void ForEachLauncherPrefix(const DiscoveryEnvironment& environment, const PrefixVisitor& visit);

} // namespace quorvel
