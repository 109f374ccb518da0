#pragma once

// What the benchmark programs share: the line counts they run over, the lines
// of the configuration files they make up, and the table printed at the end
// that sets each figure against its baseline and its target.

#include <benchmark/benchmark.h>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace quorvel::bench {

// BENCH_QUICK=1 (any value but 0) keeps the runs short: at most 100,000 lines.
bool QuickMode();

// The most lines any benchmark uses: 1,000,000, 100,000 in quick mode, or
// BENCH_MAX_LINES when set.
std::int64_t MaxLines();

// Adds the line counts 10, 100, ... up to MaxLines() as arguments.
void LineCounts(benchmark::internal::Benchmark* benchmark);

// Adds only those of `counts` that are within MaxLines().
void SomeLineCounts(benchmark::internal::Benchmark* benchmark,
                    const std::vector<std::int64_t>& counts);

// Line `index` of a made-up player's config file: binds, settings, notes,
// empty lines, lines with spaces around them, and now and then a line the
// installation itself writes. About 21 bytes on average.
std::string ConfigLine(std::size_t index);

// ConfigLine(index) with a note after it, 98 bytes in all.
std::string LongConfigLine(std::size_t index);

using LineMaker = std::string (*)(std::size_t);

// Writes lines 0 to count-1 of `make`, each ended by CR LF, to `path`.
// Returns the size of the file.
std::uint64_t WriteLines(const std::filesystem::path& path, std::size_t count, LineMaker make);

// The same lines, each ended by CR LF, as one text.
std::string JoinLines(std::size_t count, LineMaker make);

// Runs `measured` and `baseline` in turns, one of each per iteration and
// each first every other time, so that both meet the same machine: whatever
// else runs on it, the ratio holds. Each returns the seconds it took, or a
// negative number when it failed. The measured time is the iteration time
// (use UseManualTime); the baseline's is the counter "baseline_s".
template <typename Measured, typename Baseline>
void RunPaired(benchmark::State& state, Measured measured, Baseline baseline) {
    double measuredTotal = 0;
    double baselineTotal = 0;
    bool baselineFirst = false;
    for (auto _ : state) {
        double measuredTime = 0;
        double baselineTime = 0;
        if (baselineFirst) {
            baselineTime = baseline();
            measuredTime = measured();
        } else {
            measuredTime = measured();
            baselineTime = baseline();
        }
        baselineFirst = !baselineFirst;
        if (measuredTime < 0 || baselineTime < 0) {
            state.SkipWithError(measuredTime < 0 ? "the measured run failed"
                                                 : "the baseline failed");
            break;
        }
        measuredTotal += measuredTime;
        baselineTotal += baselineTime;
        state.SetIterationTime(measuredTime);
    }
    state.counters["baseline_s"] =
        benchmark::Counter(baselineTotal, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = baselineTotal > 0 ? measuredTotal / baselineTotal : 0;
}

// A benchmark set against its baseline, argument by argument: another
// benchmark of the same program, or the one run in turns with it (RunPaired).
struct Comparison {
    std::string title;    // what is compared
    std::string measured; // the benchmark's name, without arguments
    std::string baseline; // the baseline's name, without arguments or with the one
                          // argument that stands for every size; empty when paired
    double target = 0;    // the highest ratio wanted; 0 when there is none
};

// A figure with a fixed limit: a time in seconds (counter empty) or a counter.
struct Limit {
    std::string title;
    std::string benchmark; // full name with arguments, e.g. "BM_Shown/1000000"
    std::string counter;   // empty for the time per iteration
    double limit = 0;
    std::string unit; // how the figure is shown: "s" for times
};

// Runs the benchmarks selected on the command line, printing each result as
// Google Benchmark does, and then the comparisons and limits.
int RunBenchmarks(int argc, char** argv, const std::vector<Comparison>& comparisons,
                  const std::vector<Limit>& limits = {});

// Resident memory of this process, in bytes: now (VmRSS) and at its peak (VmHWM).
std::uint64_t ResidentBytes();
std::uint64_t PeakResidentBytes();

// Starts this program again with `args` (the first is the name it is given)
// and gathers what it prints on standard output. True when it ran and
// ended with status 0. Measuring memory in a process of its own keeps the
// measurement free of what earlier benchmarks left behind.
bool RunSelf(const std::vector<std::string>& args, std::string& output);

// What a measuring child reports: the file's size, the process's memory
// before the work and at its peak, in bytes, and the seconds the work took.
struct ChildMeasurement {
    unsigned long long fileBytes = 0;
    unsigned long long beforeBytes = 0;
    unsigned long long peakBytes = 0;
    double seconds = 0;
};

// The child's side: prints the measurement on standard output.
void ReportMeasurement(const ChildMeasurement& measured);

// The parent's side: runs this program again with `args`, reads what it
// reported, and records the time and the memory counters (file_MB,
// rss_before_MB, peak_MB, peak_per_file, growth_per_file) on `state`. False,
// with the benchmark marked failed, when the child failed.
bool MeasureInChild(benchmark::State& state, const std::vector<std::string>& args);

} // namespace quorvel::bench
