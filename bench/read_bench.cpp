// Reading a configuration file into a list, as start-up and the installation
// do, against reading the same bytes with plain system calls, the two in
// turns.

#include "bench/bench_files.h"
#include "bench/bench_support.h"
#include "core/config_files.h"

#include <chrono>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using quorvel::bench::BenchFolder;
using Clock = std::chrono::steady_clock;

double Elapsed(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string FileName(std::int64_t lines) {
    return "read" + std::to_string(lines) + ".cfg";
}

// ReadConfigLines into a fresh buffer and list, as start-up reads custom.cfg.
double ReadIntoList(BenchFolder& folder, const std::string& path, std::size_t lines) {
    quorvel::LineBuffer buffer;
    quorvel::LineList list;
    const Clock::time_point start = Clock::now();
    const quorvel::FileStatus status = quorvel::ReadConfigLines(folder.Files(), buffer, path, list);
    const double seconds = Elapsed(start);
    // The file ends in CR LF, which gives one more, empty, line.
    return status && list.Count() == lines + 1 ? seconds : -1;
}

// The baseline: open, fstat, read the bytes into memory of their own, close.
double PlainRead(const std::string& host, std::uint64_t size) {
    const Clock::time_point start = Clock::now();
    const int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    ::fstat(fd, &info);
    const auto length = static_cast<std::size_t>(info.st_size);
    std::unique_ptr<char[]> bytes(new char[length]);
    std::size_t got = 0;
    while (got < length) {
        const ssize_t part = ::read(fd, bytes.get() + got, length - got);
        if (part <= 0) {
            break;
        }
        got += static_cast<std::size_t>(part);
    }
    ::close(fd);
    benchmark::DoNotOptimize(bytes.get());
    const double seconds = Elapsed(start);
    return got == size ? seconds : -1;
}

void BM_ReadConfigLines(benchmark::State& state) {
    BenchFolder& folder = BenchFolder::Get();
    const auto lines = static_cast<std::size_t>(state.range(0));
    const std::string name = FileName(state.range(0));
    const std::uint64_t size = folder.Prepare(name, lines, quorvel::bench::LongConfigLine);
    const std::string path = folder.ProgramPath(name);
    const std::string host = folder.HostPathForCalls(name);
    quorvel::bench::RunPaired(
        state, [&] { return ReadIntoList(folder, path, lines); },
        [&] { return PlainRead(host, size); });
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
}

BENCHMARK(BM_ReadConfigLines)->Apply(quorvel::bench::LineCounts)->UseManualTime();

} // namespace

int main(int argc, char** argv) {
    return quorvel::bench::RunBenchmarks(
        argc, argv,
        {{"ReadConfigLines on a file of 98-byte lines against a plain read of its bytes",
          "BM_ReadConfigLines", "", 3.0}});
}
