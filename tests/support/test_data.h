#pragma once

// Test data shared by several tests: the player's custom.cfg of the
// examples, what the program makes of it, and the expected files under
// tests/data.

#include "tests/support/temp_dir.h"

#include <filesystem>
#include <string>
#include <vector>

namespace quorvel::test {

// A player's own custom.cfg: three lines ended by CR LF, the second with
// spaces before it.
inline const std::string kPlayerCustomCfg =
    "bind MOUSE1 \"+attack\"\r\n  setu cheats 0\r\nsetu r_picmip 1\r\n";

// Its lines as List1 shows them: trimmed of spaces, with the empty piece
// after the last CR LF.
inline const std::vector<std::string> kPlayerCustomCfgShown = {
    "bind MOUSE1 \"+attack\"", "setu cheats 0", "setu r_picmip 1", ""};

// The newconfig.cfg that a first installation over kPlayerCustomCfg writes:
// an empty line, then the player's lines less those the installation sets.
inline const std::string kPlayerFirstNewConfig = "\r\nbind MOUSE1 \"+attack\"\r\n\r\n";

#ifdef QUORVEL_TEST_DATA_DIR
// The bytes of the file `name` under tests/data.
inline std::string ExpectedFile(const std::string& name) {
    return ReadBytes(std::filesystem::path(QUORVEL_TEST_DATA_DIR) / name);
}
#endif

} // namespace quorvel::test
