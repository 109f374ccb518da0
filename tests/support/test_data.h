#pragma once

// The expected files under tests/data, and the player's custom.cfg that the
// installation example starts from.

#include "tests/support/temp_dir.h"

#include <filesystem>
#include <string>

namespace quorvel::test {

// Three lines, each ending in CR LF: a key binding, "setu cheats 0" after two
// spaces, and "setu r_picmip 1". Answered "Medium" and "Highest", the first
// installation makes custom_medium_highest.cfg of it.
inline const std::string kPlayerCustomCfg =
    "bind MOUSE1 \"+attack\"\r\n  setu cheats 0\r\nsetu r_picmip 1\r\n";

inline std::string ExpectedFile(const std::string& name) {
    return ReadBytes(std::filesystem::path(QUORVEL_TEST_DATA_DIR) / name);
}

} // namespace quorvel::test
