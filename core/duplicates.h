#pragma once

// Which of the player's earlier lines an installation keeps in newconfig.cfg.
//
// Both steps take time in proportion to the lines they are given, whatever
// the lines, and keep the lines they give back in the order they came. The
// lines are views: nothing is copied.

#include "core/line_buffer.h"

#include <span>
#include <string_view>
#include <vector>

namespace quorvel {

// True for a line that this program writes into custom.cfg itself: the
// header, the end marker, a base setting or a line of a detail answer.
bool IsInstallerLine(std::string_view trimmed);

// Lines of the custom.cfg being replaced that the player added by hand: not
// empty, not one of the installer's own, and not already among `earlier`
// (lines trimmed of spaces). Each is taken once, trimmed, in file order.
// At a first installation custom.cfg is the player's own file, and with
// `firstInstallation` none of its lines is taken for the installer's.
std::vector<std::string_view> HandAddedLines(const LineBuffer& oldCustomCfg,
                                             std::span<const std::string_view> earlier,
                                             bool firstInstallation = false);

// Removes from `lines` every non-empty line that equals, trimmed of spaces, a
// non-empty line of `installing`, trimmed too. Empty lines always stay, and
// the lines that stay keep their order.
void RemoveInstalledLines(std::vector<std::string_view>& lines,
                          std::span<const std::string_view> installing);

} // namespace quorvel
