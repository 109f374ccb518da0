// Whole installations through the scripted window system, on real files in a
// throwaway Wine prefix: start-up, then both detail dialogs answered at once
// ("Medium", "Highest"), so that none of the time is the player's.
//
// - The first installation of a player whose custom.cfg holds three lines.
// - Later installations over a newconfig.cfg of many lines: the time, and the
//   peak memory of a process that does nothing else (this program started
//   again for each size, so that nothing measured before counts).
//
// Each is set against the same file operations done in plain C (each file
// written whole beside the old one, fsynced, renamed over it, the folder
// fsynced), the two in turns.

#include "bench/bench_files.h"
#include "core/config_files.h"
#include "core/duplicates.h"
#include "core/installer.h"
#include "tests/support/scripted_window_system.h"
#include "tests/support/test_data.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using quorvel::bench::PutSettledFile;
using quorvel::test::GameFolder;
using quorvel::test::kPlayerCustomCfg;
using Clock = std::chrono::steady_clock;

double Elapsed(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

const char* const kMemoryChild = "--installation-memory-child";

std::string CrLfLines(std::string_view first, const std::vector<std::string_view>& lines) {
    std::string text(first);
    text += "\r\n";
    for (const std::string_view line : lines) {
        text.append(line).append("\r\n");
    }
    return text;
}

// The custom.cfg that an installation answered "Medium", "Highest" writes.
std::string InstalledCustomCfg() {
    return CrLfLines(quorvel::kHeaderLine, quorvel::bench::InstallList("Medium", "Highest"));
}

// One run of the program, as the player would go through it.
struct ProgramRun {
    ProgramRun(GameFolder& game, quorvel::FileService& files)
        : installer(windows, game.registry, files) {
        windows.Then(quorvel::test::DialogStep::Answer("Medium"));
        windows.Then(quorvel::test::DialogStep::Answer("Highest"));
    }
    quorvel::InstallationResult StartAndInstall() {
        installer.RunStartup(window);
        return installer.RunInstallation(window);
    }

    quorvel::test::ScriptedWindowSystem windows;
    quorvel::test::ScriptedMainWindow window;
    quorvel::Installer installer;
};

// The same file operations as an installation, done with plain system calls.
class PlainFiles {
public:
    explicit PlainFiles(const GameFolder& game)
        : custom_(HostPathForCalls(game, "custom.cfg")),
          other_(HostPathForCalls(game, "newconfig.cfg")) {}

    bool ReadCustom() { return Read(custom_); }
    bool ReadOther() { return Read(other_); }
    bool WriteCustom(std::string_view first, const std::vector<std::string_view>& lines) {
        return Write(custom_, first, lines);
    }
    bool WriteOther(std::string_view first, const std::vector<std::string_view>& lines) {
        return Write(other_, first, lines);
    }

private:
    static std::string HostPathForCalls(const GameFolder& game, const char* name) {
        return (game.Prefix() / "dosdevices" / "c:" / "Games" / "MOHAA" / "mainta" / name).string();
    }

    bool Read(const std::string& path) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            return false;
        }
        struct stat info {};
        ::fstat(fd, &info);
        buffer_.resize(static_cast<std::size_t>(info.st_size));
        const bool read = ::read(fd, buffer_.data(), buffer_.size()) == info.st_size;
        ::close(fd);
        return read;
    }

    // Written as the program writes a file: whole, to a new file beside it,
    // flushed, renamed over it, and the folder flushed.
    static bool Write(const std::string& path, std::string_view first,
                      const std::vector<std::string_view>& lines) {
        std::string text(first);
        text += "\r\n";
        for (const std::string_view line : lines) {
            text.append(line).append("\r\n");
        }
        const std::string fresh = path + ".quorvel-new";
        ::unlink(fresh.c_str());
        const int fd = ::open(fresh.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            return false;
        }
        const bool written =
            ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        const bool flushed = ::fsync(fd) == 0;
        if (::close(fd) != 0 || !written || !flushed ||
            ::rename(fresh.c_str(), path.c_str()) != 0) {
            return false;
        }
        const std::string folder = path.substr(0, path.find_last_of('/'));
        const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const bool synced = dir >= 0 && ::fsync(dir) == 0;
        return dir >= 0 && ::close(dir) == 0 && synced;
    }

    std::string custom_;
    std::string other_;
    std::vector<char> buffer_;
};

// Start-up and installation, from the given files put on disk beforehand.
double Installation(GameFolder& game, quorvel::FileService& files,
                    const std::function<void()>& put) {
    put();
    ProgramRun run(game, files);
    const Clock::time_point start = Clock::now();
    const quorvel::InstallationResult result = run.StartAndInstall();
    const double seconds = Elapsed(start);
    return result == quorvel::InstallationResult::Installed ? seconds : -1;
}

void BM_FirstInstallation(benchmark::State& state) {
    GameFolder game;
    const auto files = quorvel::bench::NativeFilesFor(game);
    PlainFiles plain(game);
    const auto put = [&game] {
        PutSettledFile(game.CustomCfg(), kPlayerCustomCfg);
        ::unlink(game.NewConfig().c_str());
    };
    const std::vector<std::string_view> installed =
        quorvel::bench::InstallList("Medium", "Highest");
    const std::vector<std::string_view> kept = {"bind MOUSE1 \"+attack\"", ""};
    const std::string& expectedOther = quorvel::test::kPlayerFirstNewConfig;
    const auto written = [&] {
        return game.Read("custom.cfg") == InstalledCustomCfg() &&
               game.Read("newconfig.cfg") == expectedOther;
    };
    quorvel::bench::RunPaired(
        state,
        [&] {
            const double seconds = Installation(game, *files, put);
            return written() ? seconds : -1;
        },
        [&] {
            put();
            const Clock::time_point start = Clock::now();
            const bool ok = plain.ReadCustom() && plain.WriteOther("", kept) &&
                            plain.WriteCustom(quorvel::kHeaderLine, installed) &&
                            plain.ReadCustom();
            const double seconds = Elapsed(start);
            return ok && written() ? seconds : -1;
        });
}

// The files of a later installation: the custom.cfg an earlier one wrote, and
// a newconfig.cfg of `lines` lines.
struct LaterInstallation {
    explicit LaterInstallation(std::int64_t lines)
        : custom(InstalledCustomCfg()),
          other(quorvel::bench::JoinLines(static_cast<std::size_t>(lines),
                                          quorvel::bench::ConfigLine)) {}

    void Put(const GameFolder& game) const {
        PutSettledFile(game.CustomCfg(), custom);
        PutSettledFile(game.NewConfig(), other);
    }

    std::string custom;
    std::string other;
};

void BM_LaterInstallation(benchmark::State& state) {
    GameFolder game;
    const auto files = quorvel::bench::NativeFilesFor(game);
    PlainFiles plain(game);
    const LaterInstallation before(state.range(0));
    const std::vector<std::string_view> installed =
        quorvel::bench::InstallList("Medium", "Highest");
    // What newconfig.cfg holds afterwards, worked out beforehand for the
    // baseline.
    quorvel::LineBuffer buffer;
    buffer.AssignText(before.other);
    std::vector<std::string_view> kept;
    for (std::size_t i = 0; i < buffer.Count(); ++i) {
        kept.push_back(quorvel::TrimSpaces(buffer[i]));
    }
    quorvel::RemoveInstalledLines(kept, installed);
    quorvel::bench::RunPaired(
        state, [&] { return Installation(game, *files, [&] { before.Put(game); }); },
        [&] {
            before.Put(game);
            const Clock::time_point start = Clock::now();
            const bool ok = plain.ReadCustom() && plain.ReadOther() && plain.WriteOther("", kept) &&
                            plain.WriteCustom(quorvel::kHeaderLine, installed) &&
                            plain.ReadCustom();
            const double seconds = Elapsed(start);
            return ok ? seconds : -1;
        });
    state.counters["file_MB"] = static_cast<double>(before.other.size()) / 1e6;
}

// In a process of its own: prepares a later installation with a newconfig.cfg
// of `lines` lines, runs it, and prints the resident memory before it, the
// peak, the size of newconfig.cfg and the seconds the installation took.
int MemoryChild(std::int64_t lines) {
    GameFolder game;
    const auto files = quorvel::bench::NativeFilesFor(game);
    PutSettledFile(game.CustomCfg(), InstalledCustomCfg());
    const std::uint64_t size = quorvel::bench::WriteLines(
        game.NewConfig(), static_cast<std::size_t>(lines), quorvel::bench::ConfigLine);
    ::sync();
    const std::uint64_t before = quorvel::bench::ResidentBytes();
    ProgramRun run(game, *files);
    const Clock::time_point start = Clock::now();
    const quorvel::InstallationResult result = run.StartAndInstall();
    const double seconds = Elapsed(start);
    const std::uint64_t peak = quorvel::bench::PeakResidentBytes();
    if (result != quorvel::InstallationResult::Installed) {
        return 1;
    }
    quorvel::bench::ReportMeasurement({static_cast<unsigned long long>(size),
                                       static_cast<unsigned long long>(before),
                                       static_cast<unsigned long long>(peak), seconds});
    return 0;
}

void BM_LaterInstallationMemory(benchmark::State& state) {
    for (auto _ : state) {
        if (!quorvel::bench::MeasureInChild(
                state, {"bench_install", kMemoryChild, std::to_string(state.range(0))})) {
            break;
        }
    }
}

void LaterSizes(benchmark::internal::Benchmark* benchmark) {
    quorvel::bench::SomeLineCounts(benchmark, {1000, 100000, 1000000});
}

BENCHMARK(BM_FirstInstallation)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LaterInstallation)->Apply(LaterSizes)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LaterInstallationMemory)
    ->Apply(LaterSizes)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], kMemoryChild) == 0) {
        return MemoryChild(std::strtoll(argv[2], nullptr, 10));
    }
    std::vector<quorvel::bench::Limit> limits = {
        {"first installation (3-line custom.cfg, Medium, Highest)", "BM_FirstInstallation", "",
         20e-3, "s"},
    };
    // For small files the program itself is most of the memory; the limit is
    // for the largest.
    limits.push_back({"peak memory / newconfig.cfg size, 1000000 lines",
                      "BM_LaterInstallationMemory/1000000", "peak_per_file", 4.0, "x"});
    return quorvel::bench::RunBenchmarks(
        argc, argv,
        {{"The first installation against the same file operations in plain C",
          "BM_FirstInstallation", "", 0},
         {"A later installation over newconfig.cfg of N lines against the same file operations "
          "in plain C",
          "BM_LaterInstallation", "", 0}},
        limits);
}
