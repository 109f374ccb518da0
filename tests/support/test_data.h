#pragma once

// The expected files under tests/data.

#include "tests/support/temp_dir.h"

#include <filesystem>
#include <string>

namespace quorvel::test {

inline std::string ExpectedFile(const std::string& name) {
    return ReadBytes(std::filesystem::path(QUORVEL_TEST_DATA_DIR) / name);
}

} // namespace quorvel::test
