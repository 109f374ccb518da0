// Reading a configuration file into a list, as start-up and the installation
// do, against reading the same bytes with plain system calls.

#include "bench_files.h"
#include "bench_support.h"
#include "config_files.h"

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

void BM_ReadConfigLines(benchmark::State& state) {
    BenchFolder& folder = BenchFolder::Get();
    const auto lines = static_cast<std::size_t>(state.range(0));
    const std::uint64_t size =
        folder.Prepare(FileName(state.range(0)), lines, quorvel::bench::LongConfigLine);
    const std::string path = folder.ProgramPath(FileName(state.range(0)));
    for (auto _ : state) {
        quorvel::LineBuffer buffer;
        quorvel::LineList list;
        const Clock::time_point start = Clock::now();
        const quorvel::FileStatus status =
            quorvel::ReadConfigLines(folder.Files(), buffer, path, list);
        state.SetIterationTime(Elapsed(start));
        // The file ends in CR LF, which gives one more, empty, line.
        if (!status || list.Count() != lines + 1) {
            state.SkipWithError("the file was not read as written");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
}

void BM_PlainRead(benchmark::State& state) {
    BenchFolder& folder = BenchFolder::Get();
    const auto lines = static_cast<std::size_t>(state.range(0));
    const std::uint64_t size =
        folder.Prepare(FileName(state.range(0)), lines, quorvel::bench::LongConfigLine);
    const std::string host = folder.HostPath(FileName(state.range(0)));
    for (auto _ : state) {
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
        state.SetIterationTime(Elapsed(start));
        if (got != size) {
            state.SkipWithError("the file was not read whole");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
}

BENCHMARK(BM_ReadConfigLines)->Apply(quorvel::bench::LineCounts)->UseManualTime();
BENCHMARK(BM_PlainRead)->Apply(quorvel::bench::LineCounts)->UseManualTime();

} // namespace

int main(int argc, char** argv) {
    return quorvel::bench::RunBenchmarks(
        argc, argv,
        {{"ReadConfigLines on a file of 98-byte lines against a plain read of its bytes",
          "BM_ReadConfigLines", "BM_PlainRead", 3.0}});
}
