#include "bench/bench_support.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvel::bench {
namespace {

constexpr std::int64_t kAllLines = 1'000'000;
constexpr std::int64_t kQuickLines = 100'000;
constexpr std::size_t kLongLineBytes = 98;

double Seconds(double value, benchmark::TimeUnit unit) {
    switch (unit) {
    case benchmark::kNanosecond:
        return value * 1e-9;
    case benchmark::kMicrosecond:
        return value * 1e-6;
    case benchmark::kMillisecond:
        return value * 1e-3;
    case benchmark::kSecond:
        break;
    }
    return value;
}

struct Result {
    double seconds = 0;
    std::map<std::string, double> counters;
};

// Prints as the console reporter does and keeps every result for the summary.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    using ConsoleReporter::ConsoleReporter;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            Record(run);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    const Result* Find(const std::string& name) const {
        const auto it = results_.find(name);
        return it == results_.end() ? nullptr : &it->second;
    }

private:
    void Record(const Run& run) {
        if (run.error_occurred) {
            return;
        }
        // With repetitions the median stands for them all; the complexity
        // fits are shown by the console reporter only.
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        if (run.run_type == Run::RT_Aggregate && !median) {
            return;
        }
        std::string name = run.run_name.function_name;
        if (!run.run_name.args.empty()) {
            name += "/" + run.run_name.args;
        }
        if (!median && results_.count(name) != 0) {
            return;
        }
        Result& result = results_[name];
        result.seconds = Seconds(run.GetAdjustedRealTime(), run.time_unit);
        for (const auto& [counter, value] : run.counters) {
            result.counters[counter] = value.value;
        }
    }

    std::map<std::string, Result> results_;
};

std::string Time(double seconds) {
    char text[32];
    if (seconds >= 1) {
        std::snprintf(text, sizeof text, "%.3f s", seconds);
    } else if (seconds >= 1e-3) {
        std::snprintf(text, sizeof text, "%.3f ms", seconds * 1e3);
    } else if (seconds >= 1e-6) {
        std::snprintf(text, sizeof text, "%.3f us", seconds * 1e6);
    } else {
        std::snprintf(text, sizeof text, "%.1f ns", seconds * 1e9);
    }
    return text;
}

std::string Figure(double value, const std::string& unit) {
    if (unit == "s") {
        return Time(value);
    }
    char text[48];
    std::snprintf(text, sizeof text, "%.2f %s", value, unit.c_str());
    return text;
}

std::vector<std::int64_t> AllLineCounts() {
    std::vector<std::int64_t> counts;
    for (std::int64_t count = 10; count <= MaxLines(); count *= 10) {
        counts.push_back(count);
    }
    return counts;
}

void PrintComparisons(const RecordingReporter& reporter,
                      const std::vector<Comparison>& comparisons) {
    for (const Comparison& comparison : comparisons) {
        std::printf("\n%s", comparison.title.c_str());
        if (comparison.target > 0) {
            std::printf(" (target: at most %.1fx)", comparison.target);
        }
        const bool paired = comparison.baseline.empty();
        std::printf("\n  %10s  %14s  %14s  %8s\n", "lines", comparison.measured.c_str(),
                    paired ? "baseline" : comparison.baseline.c_str(), "ratio");
        std::vector<std::string> suffixes = {""};
        for (const std::int64_t count : AllLineCounts()) {
            suffixes.push_back("/" + std::to_string(count));
        }
        for (const std::string& suffix : suffixes) {
            const Result* measured = reporter.Find(comparison.measured + suffix);
            if (measured == nullptr) {
                continue;
            }
            double baselineSeconds = 0;
            double ratio = 0;
            if (paired) {
                const auto time = measured->counters.find("baseline_s");
                const auto both = measured->counters.find("ratio");
                if (time == measured->counters.end() || both == measured->counters.end()) {
                    continue;
                }
                baselineSeconds = time->second;
                ratio = both->second;
            } else {
                const Result* baseline = reporter.Find(comparison.baseline + suffix);
                if (baseline == nullptr) {
                    // A baseline of one size only stands for every size.
                    baseline = reporter.Find(comparison.baseline);
                }
                if (baseline == nullptr) {
                    continue;
                }
                baselineSeconds = baseline->seconds;
                ratio = baselineSeconds > 0 ? measured->seconds / baselineSeconds : 0;
            }
            if (ratio <= 0) {
                continue;
            }
            const char* verdict = comparison.target <= 0       ? ""
                                  : ratio <= comparison.target ? "  ok"
                                                               : "  MISSED";
            std::printf("  %10s  %14s  %14s  %7.2fx%s\n", suffix.empty() ? "-" : suffix.c_str() + 1,
                        Time(measured->seconds).c_str(), Time(baselineSeconds).c_str(), ratio,
                        verdict);
        }
    }
}

void PrintLimits(const RecordingReporter& reporter, const std::vector<Limit>& limits) {
    if (limits.empty()) {
        return;
    }
    std::printf("\nTargets\n");
    for (const Limit& limit : limits) {
        const Result* result = reporter.Find(limit.benchmark);
        if (result == nullptr) {
            continue;
        }
        double value = result->seconds;
        if (!limit.counter.empty()) {
            const auto it = result->counters.find(limit.counter);
            if (it == result->counters.end()) {
                continue;
            }
            value = it->second;
        }
        std::printf("  %-60s %14s  (under %s)%s\n", limit.title.c_str(),
                    Figure(value, limit.unit).c_str(), Figure(limit.limit, limit.unit).c_str(),
                    value < limit.limit ? "  ok" : "  MISSED");
    }
}

std::uint64_t StatusField(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.compare(0, prefix.size(), prefix) == 0) {
            return std::strtoull(line.c_str() + prefix.size(), nullptr, 10) * 1024;
        }
    }
    return 0;
}

} // namespace

bool QuickMode() {
    const char* quick = std::getenv("BENCH_QUICK");
    return quick != nullptr && *quick != '\0' && std::string(quick) != "0";
}

std::int64_t MaxLines() {
    if (const char* most = std::getenv("BENCH_MAX_LINES"); most != nullptr && *most != '\0') {
        return std::strtoll(most, nullptr, 10);
    }
    return QuickMode() ? kQuickLines : kAllLines;
}

void LineCounts(benchmark::internal::Benchmark* benchmark) {
    for (const std::int64_t count : AllLineCounts()) {
        benchmark->Arg(count);
    }
}

void SomeLineCounts(benchmark::internal::Benchmark* benchmark,
                    const std::vector<std::int64_t>& counts) {
    for (const std::int64_t count : counts) {
        if (count <= MaxLines()) {
            benchmark->Arg(count);
        }
    }
}

std::string ConfigLine(std::size_t index) {
    const std::string n = std::to_string(index);
    switch (index % 16) {
    case 0:
        return "bind KP_" + n + " \"+attack\"";
    case 1:
        return "seta cl_maxpackets " + std::to_string(index % 100);
    case 2:
        return "setu r_picmip 1";
    case 3:
        return "  seta name \"Player" + n + "\"  ";
    case 4:
        return "// note " + n;
    case 5:
        return "";
    case 6:
        return "setu cheats 0";
    case 7:
        return "alias duck" + n + " \"+movedown\"";
    case 8:
        return "seta s_volume 0." + std::to_string(index % 10);
    case 9:
        return "bind MOUSE2 \"+attacksecondary\"";
    case 10:
        return "setu r_lodscale .55";
    case 11:
        return "seta cg_hud" + n + " 1";
    case 12:
        return "   ";
    case 13:
        return "seta sensitivity " + std::to_string(index % 7) + ".5";
    case 14:
        return "exec player" + n + ".cfg";
    default:
        return "seta r_gamma 1." + std::to_string(index % 10);
    }
}

std::string LongConfigLine(std::size_t index) {
    std::string line = ConfigLine(index);
    static const std::string kLetters = "abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz"
                                        "abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz";
    line += " // ";
    if (line.size() < kLongLineBytes) {
        line.append(kLetters, index % 26, kLongLineBytes - line.size());
    }
    return line;
}

std::uint64_t WriteLines(const std::filesystem::path& path, std::size_t count, LineMaker make) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
    std::uint64_t size = 0;
    std::string chunk;
    for (std::size_t i = 0; i < count; ++i) {
        chunk.append(make(i)).append("\r\n");
        if (chunk.size() >= (1u << 20) || i + 1 == count) {
            out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
            size += chunk.size();
            chunk.clear();
        }
    }
    if (!out.flush()) {
        throw std::runtime_error("cannot write " + path.string());
    }
    return size;
}

std::string JoinLines(std::size_t count, LineMaker make) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text.append(make(i)).append("\r\n");
    }
    return text;
}

int RunBenchmarks(int argc, char** argv, const std::vector<Comparison>& comparisons,
                  const std::vector<Limit>& limits) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RecordingReporter reporter(::isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_Defaults
                                                       : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::fflush(stdout);
    PrintComparisons(reporter, comparisons);
    PrintLimits(reporter, limits);
    std::fflush(stdout);
    return 0;
}

std::uint64_t ResidentBytes() {
    return StatusField("VmRSS");
}

std::uint64_t PeakResidentBytes() {
    return StatusField("VmHWM");
}

bool RunSelf(const std::vector<std::string>& args, std::string& output) {
    std::vector<const char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(arg.c_str());
    }
    argv.push_back(nullptr);
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return false;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        ::execv("/proc/self/exe", const_cast<char* const*>(argv.data()));
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    if (child < 0) {
        ::close(pipeFds[0]);
        return false;
    }
    char chunk[256];
    for (ssize_t got; (got = ::read(pipeFds[0], chunk, sizeof chunk)) > 0;) {
        output.append(chunk, static_cast<std::size_t>(got));
    }
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void ReportMeasurement(const ChildMeasurement& measured) {
    std::printf("%llu %llu %llu %.6f\n", measured.fileBytes, measured.beforeBytes,
                measured.peakBytes, measured.seconds);
}

bool MeasureInChild(benchmark::State& state, const std::vector<std::string>& args) {
    std::string output;
    ChildMeasurement m;
    if (!RunSelf(args, output) || std::sscanf(output.c_str(), "%llu %llu %llu %lf", &m.fileBytes,
                                              &m.beforeBytes, &m.peakBytes, &m.seconds) != 4) {
        state.SkipWithError("the measurement in a process of its own failed");
        return false;
    }
    state.SetIterationTime(m.seconds);
    const auto mb = [](unsigned long long bytes) { return static_cast<double>(bytes) / 1e6; };
    const auto file = static_cast<double>(m.fileBytes);
    state.counters["file_MB"] = mb(m.fileBytes);
    state.counters["rss_before_MB"] = mb(m.beforeBytes);
    state.counters["peak_MB"] = mb(m.peakBytes);
    state.counters["peak_per_file"] = static_cast<double>(m.peakBytes) / file;
    // The peak less what the process held before (the toolkit's own share,
    // for a window), over the file's size.
    state.counters["growth_per_file"] = static_cast<double>(m.peakBytes - m.beforeBytes) / file;
    return true;
}

} // namespace quorvel::bench
