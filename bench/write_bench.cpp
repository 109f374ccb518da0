// Writing a file a line at a time as the installation does -- the file
// started afresh with its first line, then each line appended with an open,
// a write and a close of its own -- against the same system calls in a plain
// C loop, the two in turns.

#include "bench/bench_files.h"
#include "core/config_files.h"

#include <chrono>
#include <cstring>
#include <fcntl.h>
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
    ::unlink(folder.HostPath(kFile).c_str());
}

// The whole file, read back once after the last iteration.
std::string WrittenBytes(BenchFolder& folder) {
    return quorvel::test::ReadBytes(folder.HostPath(kFile));
}

// The installation's way: one rewrite, then an append per line.
double InstallationWrite(BenchFolder& folder, const std::vector<std::string>& lines) {
    StartAfresh(folder);
    const std::string path = folder.ProgramPath(kFile);
    const Clock::time_point start = Clock::now();
    quorvel::FileStatus status = quorvel::RewriteConfigFile(folder.Files(), path, "");
    for (auto line = lines.begin(); status && line != lines.end(); ++line) {
        status = quorvel::AppendConfigLine(folder.Files(), path, *line);
    }
    const double seconds = Elapsed(start);
    return status ? seconds : -1;
}

// Opens, writes one line and CR LF, and closes; false when any of it fails.
bool PlainWriteLine(const char* host, int flags, const std::string& line) {
    char buffer[4096];
    if (line.size() + 2 > sizeof buffer) {
        return false;
    }
    std::memcpy(buffer, line.data(), line.size());
    std::memcpy(buffer + line.size(), "\r\n", 2);
    const int fd = ::open(host, flags | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    const auto length = static_cast<ssize_t>(line.size() + 2);
    const bool written = ::write(fd, buffer, static_cast<std::size_t>(length)) == length;
    return (::close(fd) == 0) && written;
}

// The baseline: the same opens, writes and closes in a plain C loop.
double PlainCWrite(BenchFolder& folder, const std::vector<std::string>& lines) {
    StartAfresh(folder);
    const std::string host = folder.HostPath(kFile);
    const Clock::time_point start = Clock::now();
    bool ok = PlainWriteLine(host.c_str(), O_WRONLY | O_CREAT | O_TRUNC, "");
    for (auto line = lines.begin(); ok && line != lines.end(); ++line) {
        ok = PlainWriteLine(host.c_str(), O_WRONLY | O_CREAT | O_APPEND, *line);
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
        {{"Writing N lines as the installation does against open/write/close in a plain C loop",
          "BM_InstallationWrite", "", 1.5}});
}
