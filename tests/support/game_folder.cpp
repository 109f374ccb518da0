#include "tests/support/game_folder.h"

namespace quorvel::test {

std::optional<std::string> GameFolder::Read(const std::string& name) const {
    return ReadIfThere(mainta_ / name);
}

void GameFolder::Write(const std::string& name, const std::string& bytes) const {
    WriteBytes(mainta_ / name, bytes);
}

std::set<std::string> GameFolder::Names() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(mainta_)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

} // namespace quorvel::test
