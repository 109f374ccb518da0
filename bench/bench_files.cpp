#include "bench_files.h"

#include "native.h"

namespace quorvel::bench {

std::unique_ptr<FileService> NativeFilesFor(const testing::GameFolder& game) {
    return MakeWineFileService(game.Prefix().string());
}

BenchFolder& BenchFolder::Get() {
    static BenchFolder folder;
    return folder;
}

BenchFolder::BenchFolder() : files_(NativeFilesFor(game_)) {}

std::string BenchFolder::ProgramPath(const std::string& name) const {
    return std::string(testing::GameFolder::kWindowsPath) + "\\mainta\\" + name;
}

std::string BenchFolder::HostPath(const std::string& name) const {
    // As the program's path maps to it: through the prefix's drive link.
    return (game_.Prefix() / "dosdevices" / "c:" / "Games" / "MOHAA" / "mainta" / name).string();
}

std::uint64_t BenchFolder::Prepare(const std::string& name, std::size_t lines, LineMaker make) {
    const auto known = prepared_.find(name);
    if (known != prepared_.end()) {
        return known->second;
    }
    const std::uint64_t size = WriteLines(game_.Mainta() / name, lines, make);
    prepared_[name] = size;
    return size;
}

} // namespace quorvel::bench
