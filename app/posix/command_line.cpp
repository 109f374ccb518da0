#include "core/command_line.h"

#include "app/program.h"
#include "platform/wine/prefix_discovery.h"

#include <cstdio>

namespace quorvel {

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
