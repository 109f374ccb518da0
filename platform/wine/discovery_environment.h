#pragma once

// The parts of the environment that the search for the game's Wine prefix
// depends on, passed in so that it can be run against any home folder.

#include <string>

namespace quorvel {

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

} // namespace quorvel
