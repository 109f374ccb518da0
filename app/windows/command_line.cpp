#include "app/program.h"

namespace quorvel {

// On Windows the game folder comes from the registry, and the program, a
// windowed one with no console to print to, takes no options.
std::optional<int> ReadCommandLine(const std::vector<std::string>& /*args*/,
                                   ProgramOptions& /*options*/) {
    return std::nullopt;
}

} // namespace quorvel
