#pragma once

// Finding the Wine prefix that holds the game, on a Linux host.
//
// $WINEPREFIX, when set and not empty, is the only prefix looked at (and a
// folder given on the command line comes before even that). Otherwise the
// places where Wine and the launchers keep prefixes are looked at, in the
// order of platform/wine/launcher_places.h.
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
// can plant one. A symbolic link that leads nowhere is passed over, and each
// prefix is checked once.

#include "platform/wine/discovery_environment.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// The launcher that DiscoveryResult names where OpenMoHAA's folder was chosen.
inline constexpr const char* kOpenMohaaLauncher = "OpenMoHAA";

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

} // namespace quorvel
