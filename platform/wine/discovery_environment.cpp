#include "platform/wine/discovery_environment.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace quorvel {
namespace {

std::string Absolute(const char* value) {
    return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
}

} // namespace

DiscoveryEnvironment EnvironmentFromProcess(std::string prefixOption) {
    DiscoveryEnvironment env;
    env.prefixOption = std::move(prefixOption);
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        env.home = home;
    } else {
        passwd entry{};
        passwd* found = nullptr;
        std::vector<char> buffer(16384);
        if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
            found != nullptr && found->pw_dir != nullptr) {
            env.home = found->pw_dir;
        }
    }
    env.xdgConfigHome = Absolute(std::getenv("XDG_CONFIG_HOME"));
    if (env.xdgConfigHome.empty()) {
        env.xdgConfigHome = env.home + "/.config";
    }
    env.xdgDataHome = Absolute(std::getenv("XDG_DATA_HOME"));
    if (env.xdgDataHome.empty()) {
        env.xdgDataHome = env.home + "/.local/share";
    }
    if (const char* prefix = std::getenv("WINEPREFIX")) {
        env.winePrefix = prefix;
    }
    return env;
}

} // namespace quorvel
