#pragma once

// The expected files under tests/data.

#include "temp_dir.h"

#include <filesystem>
#include <string>

namespace quorvel::testing {

inline std::string ExpectedFile(const std::string& name) {
    return ReadBytes(std::filesystem::path(QUORVEL_TEST_DATA_DIR) / name);
}

} // namespace quorvel::testing
