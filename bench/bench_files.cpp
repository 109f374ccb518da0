#include "bench/bench_files.h"

#include "core/base_settings.h"
#include "core/detail_choices.h"
#include "core/installer.h"
#include "platform/posix/path_mapping.h"

#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace quorvel::bench {

std::unique_ptr<FileService> NativeFilesFor(const test::GameFolder& game) {
    return MakeWineFileService(game.Prefix().string());
}

std::vector<std::string_view> InstallList(std::string_view texture, std::string_view model) {
    std::vector<std::string_view> lines(BaseSettings.begin(), BaseSettings.end());
    for (const auto& [kind, button] : {std::pair{DetailDialogKind::Texture, texture},
                                       std::pair{DetailDialogKind::Model, model}}) {
        const DetailAnswer* answer = FindDetailAnswer(kind, button);
        if (answer == nullptr) {
            throw std::invalid_argument("no such answer");
        }
        lines.insert(lines.end(), answer->lines.begin(), answer->lines.end());
    }
    lines.push_back(kEndMarkerLine);
    return lines;
}

void PutSettledFile(const std::filesystem::path& path, std::string_view bytes) {
    ::unlink(path.c_str());
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        throw std::runtime_error("cannot write " + path.string());
    }
    bool ok = true;
    while (ok && !bytes.empty()) {
        const ssize_t put = ::write(fd, bytes.data(), bytes.size());
        ok = put > 0;
        if (ok) {
            bytes.remove_prefix(static_cast<std::size_t>(put));
        }
    }
    ok = ::fdatasync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

BenchFolder& BenchFolder::Get() {
    static BenchFolder folder;
    return folder;
}

BenchFolder::BenchFolder() : files_(NativeFilesFor(game_)) {}

std::string BenchFolder::ProgramPath(const std::string& name) const {
    return game_.WindowsPath() + "\\mainta\\" + name;
}

std::string BenchFolder::HostPathForCalls(const std::string& name) const {
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
