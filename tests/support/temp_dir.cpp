#include "tests/support/temp_dir.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace quorvel::test {

TempDir::TempDir(const std::filesystem::path& base) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = base / ("quorvel-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("could not make a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path.string());
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::optional<std::string> ReadIfThere(const std::filesystem::path& path) {
    return std::filesystem::is_regular_file(path) ? std::optional(ReadBytes(path)) : std::nullopt;
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace quorvel::test
