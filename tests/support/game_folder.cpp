#include "tests/support/game_folder.h"

namespace quorvel::test {

std::optional<std::string> GameFolder::Read(const std::string& name) const {
    const auto path = mainta_ / name;
    if (!std::filesystem::exists(path)) {
        return std::nullopt;
    }
    return ReadBytes(path);
}

void GameFolder::Write(const std::string& name, const std::string& bytes) const {
    WriteBytes(mainta_ / name, bytes);
}

} // namespace quorvel::test
