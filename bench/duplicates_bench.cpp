// Duplicate removal as the installation does it: the lines added to
// custom.cfg by hand, and the earlier lines less those being installed. Time
// must grow in proportion to the lines given; the fit is printed as BigO,
// and each step is set against copying the same lines once.

#include "bench/bench_support.h"
#include "core/base_settings.h"
#include "core/detail_choices.h"
#include "core/duplicates.h"
#include "core/installer.h"

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;
using Views = std::vector<std::string_view>;

double Elapsed(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// What newconfig.cfg and the old custom.cfg hold: made-up player lines, the
// custom.cfg's shifted so that some of its lines are new and some are not.
struct Inputs {
    explicit Inputs(std::int64_t count) {
        const auto lines = static_cast<std::size_t>(count);
        earlierText = quorvel::bench::JoinLines(lines, quorvel::bench::ConfigLine);
        earlierBuffer.AssignText(earlierText);
        for (std::size_t i = 0; i < earlierBuffer.Count(); ++i) {
            earlier.push_back(quorvel::TrimSpaces(earlierBuffer[i]));
        }
        oldCustom.AssignText(quorvel::bench::JoinLines(
            lines, [](std::size_t i) { return quorvel::bench::ConfigLine(i + 3); }));
        // The install list of a first installation: "Medium", "Highest".
        installing.assign(quorvel::BaseSettings.begin(), quorvel::BaseSettings.end());
        for (const auto kind :
             {quorvel::DetailDialogKind::Texture, quorvel::DetailDialogKind::Model}) {
            const auto& answer =
                quorvel::DetailAnswers(kind)[kind == quorvel::DetailDialogKind::Texture ? 1 : 0];
            installing.insert(installing.end(), answer.lines.begin(), answer.lines.end());
        }
        installing.push_back(quorvel::kEndMarkerLine);
    }

    std::string earlierText;
    quorvel::LineBuffer earlierBuffer;
    Views earlier;
    quorvel::LineBuffer oldCustom;
    Views installing;
};

void BM_HandAddedLines(benchmark::State& state) {
    const Inputs inputs(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(quorvel::HandAddedLines(inputs.oldCustom, inputs.earlier));
    }
    state.SetComplexityN(state.range(0));
}

void BM_RemoveInstalledLines(benchmark::State& state) {
    const Inputs inputs(state.range(0));
    for (auto _ : state) {
        Views lines = inputs.earlier;
        const Clock::time_point start = Clock::now();
        quorvel::RemoveInstalledLines(lines, inputs.installing);
        state.SetIterationTime(Elapsed(start));
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetComplexityN(state.range(0));
}

// Both steps, as the installation runs them one after the other.
void BM_DuplicateRemoval(benchmark::State& state) {
    const Inputs inputs(state.range(0));
    for (auto _ : state) {
        Views lines = inputs.earlier;
        const Clock::time_point start = Clock::now();
        for (const std::string_view line : quorvel::HandAddedLines(inputs.oldCustom, lines)) {
            lines.push_back(line);
        }
        quorvel::RemoveInstalledLines(lines, inputs.installing);
        state.SetIterationTime(Elapsed(start));
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetComplexityN(state.range(0));
}

// The baseline: one copy of the earlier lines.
void BM_CopyLines(benchmark::State& state) {
    const Inputs inputs(state.range(0));
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        Views lines = inputs.earlier;
        state.SetIterationTime(Elapsed(start));
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetComplexityN(state.range(0));
}

BENCHMARK(BM_HandAddedLines)->Apply(quorvel::bench::LineCounts)->Complexity(benchmark::oN);
BENCHMARK(BM_RemoveInstalledLines)
    ->Apply(quorvel::bench::LineCounts)
    ->UseManualTime()
    ->Complexity(benchmark::oN);
BENCHMARK(BM_DuplicateRemoval)
    ->Apply(quorvel::bench::LineCounts)
    ->UseManualTime()
    ->Complexity(benchmark::oN);
BENCHMARK(BM_CopyLines)
    ->Apply(quorvel::bench::LineCounts)
    ->UseManualTime()
    ->Complexity(benchmark::oN);

} // namespace

int main(int argc, char** argv) {
    return quorvel::bench::RunBenchmarks(
        argc, argv,
        {{"Both steps of duplicate removal against copying the lines once (a flat ratio means "
          "time grows in proportion to the lines)",
          "BM_DuplicateRemoval", "BM_CopyLines", 0}});
}
