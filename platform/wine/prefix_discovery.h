#pragma once

// Finding the Wine prefix that holds the game, on a Linux host.
//
// $WINEPREFIX, when set and not empty, is the only prefix looked at (and a
// folder given on the command line comes before even that). Otherwise the
// usual places of Wine and of the launchers that make prefixes are looked at
// in a fixed order, each native install followed by its Flatpak (and Steam's
// Snap):
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
// OpenMoHAA, the game's open-source engine, keeps the player's files in
// ~/.openmohaa/mainta and needs no prefix: that folder counts, last, when its
// mainta is a folder, with the newest time of mainta and the entries directly
// in it.
//
// Of the prefixes whose user.reg holds the game's key, and OpenMoHAA's
// folder, those where the game is still there come first: the key's
// `basepath`, through the prefix's own drives, leads to a folder that holds
// mainta (OpenMoHAA's folder always does). A prefix left behind when the game
// was removed or moved elsewhere keeps the key, and often the newer user.reg.
// Within each group the one that changed last wins (a time in the future
// counts as now); on a tie, the one found first. A prefix whose user.reg belongs to
// another user than the player or root is passed over, so that nobody else
// can plant one. Only these places and one
// level of listing below each are read; a folder that cannot be read, a
// symbolic link that leads nowhere and a configuration file that cannot be
// parsed are passed over, and each prefix is checked once.

#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// The parts of the environment that discovery depends on, passed in so that
// it can be run against any home folder.
struct DiscoveryEnvironment {
    std::string home;          // $HOME
    std::string xdgConfigHome; // $XDG_CONFIG_HOME, or home + "/.config"
    std::string xdgDataHome;   // $XDG_DATA_HOME, or home + "/.local/share"
    std::string winePrefix;    // $WINEPREFIX; empty when not set
    std::string prefixOption;  // the folder given with --prefix; empty when none
};

// The environment of this process: $HOME (else the password database's home
// folder), $XDG_CONFIG_HOME and $XDG_DATA_HOME (else their defaults below the
// home folder; a relative one counts as unset) and $WINEPREFIX.
DiscoveryEnvironment EnvironmentFromProcess(std::string prefixOption = {});

// Where a prefix that holds the game's key has the game's folder.
enum class GameFolderState {
    NoBasepath, // the key holds no `basepath`
    Missing,    // `basepath` leads nowhere
    NoMainta,   // `basepath` is a folder, without mainta
    There,      // `basepath` holds mainta
};

// A prefix that was looked at.
struct CheckedPrefix {
    std::string path;     // as found, not resolved
    std::string launcher; // "Wine", "Lutris (Flatpak)", "Steam (Snap)", ...
    bool hasGame = false; // its user.reg holds the game's key
    // Where it holds the game's key: what became of its game folder.
    GameFolderState folder = GameFolderState::NoBasepath;
    std::string basepath;   // the key's `basepath`, as stored
    std::string hostFolder; // where `basepath` leads on the host
};

// A prefix passed over because its user.reg belongs to another user.
struct ForeignPrefix {
    std::string path; // as found, not resolved
    std::string launcher;
    unsigned owner = 0; // the user.reg's owner
};

struct DiscoveryResult {
    // The prefix to use: the one chosen, or when no prefix holds the game,
    // the one Wine itself would use (--prefix, else $WINEPREFIX, else
    // ~/.wine), so that the program can still run and say what it misses.
    std::string prefix;
    // Who the prefix belongs to: "--prefix", "WINEPREFIX", "Wine", "Lutris",
    // "Heroic", "Bottles", "Steam", "winetricks", "PlayOnLinux" (or
    // "OpenMoHAA", see gameFolder), the last five
    // with " (Flatpak)" or " (Snap)" where that is how they were installed.
    std::string launcher;
    bool found = false; // `prefix` holds the game's key, or OpenMoHAA's folder was chosen
    // OpenMoHAA's user folder (~/.openmohaa) where its game files are newer
    // than every prefix that holds the game; `prefix` is then the one Wine
    // would use, and `launcher` "OpenMoHAA". Empty otherwise.
    std::string gameFolder;
    // A ~/.openmohaa/mainta that is there but is no folder that can be read.
    std::string passedOver;
    // Every prefix looked at (a folder with a user.reg), in the order
    // searched, each once; then OpenMoHAA's folder where it counts.
    std::vector<CheckedPrefix> checked;
    // Where `found`: the place in `checked` of the prefix (or OpenMoHAA's
    // folder) chosen.
    std::size_t chosen = 0;
    // The prefixes passed over: their user.reg belongs to neither the player
    // nor root, so another user could have planted them.
    std::vector<ForeignPrefix> foreign;
};

// Looks for the prefix whose user.reg holds `gameKey` (such as
// "Software\2015\MOHAA").
DiscoveryResult DiscoverWinePrefix(const DiscoveryEnvironment& environment,
                                   std::string_view gameKey);

// What to say on standard error, without the last line end: a line for
// each prefix passed over, as another user's or for another that holds the
// game too (saying why: its game folder is not there, or it is older), then
// one saying which prefix is used (and what became of its game folder, where
// that is not there either), or that none holds the game and where the
// search looked (paths in the home folder written with "~", control
// characters escaped).
std::string DescribeDiscovery(const DiscoveryResult& result,
                              const DiscoveryEnvironment& environment);

} // namespace quorvel
