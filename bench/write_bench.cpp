// Writing a file as the installation does -- the whole new content written
// beside the old file, flushed to the disk, moved over the old one and the
// folder flushed -- against the same system calls in plain C, the two in
// turns.

#include "bench/bench_files.h"
#include "core/config_files.h"

#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using quorvel::bench::BenchFolder;
using Clock = std::chrono::steady_clock;

double Elapsed(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

const char* const kFile = "written.cfg";

std::vector<std::string> Lines(std::int64_t count) {
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
        lines.push_back(quorvel::bench::ConfigLine(i));
    }
    return lines;
}

// Removes the file written last, outside the time measured. Writing over it
// would wait, on ext4, for the write-back that closing a file just emptied
// starts; a player's file has long been on disk.
void StartAfresh(BenchFolder& folder) {
    ::unlink(folder.HostPathForCalls(kFile).c_str());
}

// The whole file, read back once after the last iteration.
std::string WrittenBytes(BenchFolder& folder) {
    return quorvel::test::ReadBytes(folder.HostPathForCalls(kFile));
}

// The installation's way: a replacement written whole, put in place, the
// folder flushed.
double InstallationWrite(BenchFolder& folder, const std::vector<std::string>& lines) {
    StartAfresh(folder);
    const std::string path = folder.ProgramPath(kFile);
    const std::vector<std::string_view> views(lines.begin(), lines.end());
    const Clock::time_point start = Clock::now();
    auto replacement = quorvel::WriteReplacement(folder.Files(), path, {}, "", views);
    bool ok = static_cast<bool>(replacement);
    if (ok) {
        quorvel::Replacement& file = **replacement;
        ok = static_cast<bool>(file.PutInPlace()) && static_cast<bool>(file.FlushFolder());
    }
    const double seconds = Elapsed(start);
    return ok ? seconds : -1;
}

// Writes all of `text` to `fd`; false when any of it fails.
bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t put = ::write(fd, text.data(), text.size());
        if (put <= 0) {
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
}

// The baseline: the same steps in plain C, the lines gathered into blocks of
// 64 KiB as the installation gathers them.
double PlainCWrite(BenchFolder& folder, const std::vector<std::string>& lines) {
    StartAfresh(folder);
    const std::string host = folder.HostPathForCalls(kFile);
    const std::string fresh = host + ".new";
    const std::string dir = host.substr(0, host.find_last_of('/'));
    const Clock::time_point start = Clock::now();
    const int fd = ::open(fresh.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    bool ok = fd >= 0;
    std::string block = "\r\n";
    for (auto line = lines.begin(); ok && line != lines.end(); ++line) {
        block.append(*line).append("\r\n");
        if (block.size() >= 64 * 1024) {
            ok = WriteAll(fd, block);
            block.clear();
        }
    }
    ok = ok && WriteAll(fd, block) && ::fsync(fd) == 0;
    ok = (fd >= 0 && ::close(fd) == 0) && ok && ::rename(fresh.c_str(), host.c_str()) == 0;
    const int folderFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ok = ok && folderFd >= 0 && ::fsync(folderFd) == 0;
    if (folderFd >= 0) {
        ::close(folderFd);
    }
    const double seconds = Elapsed(start);
    return ok ? seconds : -1;
}

void BM_InstallationWrite(benchmark::State& state) {
    BenchFolder& folder = BenchFolder::Get();
    const std::vector<std::string> lines = Lines(state.range(0));
    const std::string expected =
        "\r\n" + quorvel::bench::JoinLines(lines.size(), quorvel::bench::ConfigLine);
    // Both must leave exactly the same file.
    const auto checked = [&](double seconds) {
        return seconds >= 0 && WrittenBytes(folder) == expected ? seconds : -1;
    };
    bool first = true;
    quorvel::bench::RunPaired(
        state,
        [&] {
            const double seconds = InstallationWrite(folder, lines);
            return std::exchange(first, false) ? checked(seconds) : seconds;
        },
        [&] { return PlainCWrite(folder, lines); });
    if (!state.error_occurred() && checked(0) < 0) {
        state.SkipWithError("the file does not hold the lines written");
    }
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(lines.size() + 1),
                                                   benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_InstallationWrite)->Apply(quorvel::bench::LineCounts)->UseManualTime();

} // namespace

int main(int argc, char** argv) {
    return quorvel::bench::RunBenchmarks(
        argc, argv,
        {{"Writing N lines as the installation does against write, fsync, rename in plain C",
          "BM_InstallationWrite", "", 1.5}});
}
