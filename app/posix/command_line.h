#pragma once

// What the Linux program says on standard error about the search for the
// game's Wine prefix.

#include "platform/wine/prefix_discovery.h"

#include <string>

namespace quorvel {

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
