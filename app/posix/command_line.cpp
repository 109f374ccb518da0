#include "app/posix/command_line.h"

#include "app/program.h"
#include "core/command_line.h"
#include "platform/unicode_text.h"

#include <algorithm>
#include <cstdio>

namespace quorvel {
namespace {

std::string Tilde(const std::string& path, const std::string& home) {
    if (!home.empty() && home != "/" && path.rfind(home, 0) == 0 &&
        (path.size() == home.size() || path[home.size()] == '/')) {
        return "~" + path.substr(home.size());
    }
    return path;
}

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
        lines += "quorvel: passed over " +
                 std::string(rival.launcher == kOpenMohaaLauncher ? "OpenMoHAA's folder "
                                                                  : "the Wine prefix ") +
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

std::optional<int> ReadCommandLine(const std::vector<std::string>& args, ProgramOptions& options) {
    const CommandLine line = ParseCommandLine(args);
    if (line.action != CommandLine::Action::Run) {
        std::FILE* out = line.action == CommandLine::Action::Fail ? stderr : stdout;
        std::fputs(line.text.c_str(), out);
        std::fflush(out);
        return line.exitStatus;
    }
    const DiscoveryEnvironment environment = EnvironmentFromProcess(line.prefix);
    const DiscoveryResult found = DiscoverWinePrefix(environment, kGameRegistryKey);
    std::fprintf(stderr, "%s\n", DescribeDiscovery(found, environment).c_str());
    options.winePrefix = found.prefix;
    if (!found.gameFolder.empty()) {
        // Newer than any prefix that holds the game: the prefix's own
        // settings store would only offer an older folder.
        options.gameFolders.preferred = found.gameFolder;
    }
    return std::nullopt;
}

} // namespace quorvel
