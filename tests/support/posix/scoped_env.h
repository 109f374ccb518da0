#pragma once

// Environment variables set for a test's lifetime, and put back after it.

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace quorvel::test {

// One variable set to `value` (unset for null) until destroyed.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnv() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

// A home folder of the test's own, with nothing else that discovery reads.
struct ScopedHome {
    explicit ScopedHome(const std::filesystem::path& folder) : home("HOME", folder.c_str()) {}
    ScopedEnv home;
    ScopedEnv config{"XDG_CONFIG_HOME", nullptr};
    ScopedEnv data{"XDG_DATA_HOME", nullptr};
    ScopedEnv prefix{"WINEPREFIX", nullptr};
};

} // namespace quorvel::test
