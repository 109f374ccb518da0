// The real main window with a custom.cfg of N lines, drawn by the offscreen
// platform (QT_QPA_PLATFORM=offscreen unless set otherwise):
//
// - shown: from the start of the window's load step (start-up, with the
//   prompt answered at once, reads custom.cfg into List1) until the window is
//   exposed with List1 painted; set against the same window without a
//   custom.cfg;
// - scrolling List1: to the bottom and back to the top, and a page down at a
//   time, each step painted before the next. The longest step is reported as
//   well, to show any stall.

#include "bench/bench_files.h"
#include "core/installer.h"
#include "tests/support/scripted_window_system.h"
#include "ui/qt/main_window.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>

#include <QApplication>
#include <QListView>
#include <QScrollBar>
#include <QTest>

namespace {

using quorvel::test::GameFolder;
using Clock = std::chrono::steady_clock;

double Elapsed(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A player's game folder with a custom.cfg of `lines` lines (none for 0), and
// a window system that takes the folder the settings store offers.
struct Program {
    explicit Program(std::int64_t lines)
        : files(quorvel::bench::NativeFilesFor(game)), installer(windows, game.registry, *files) {
        if (lines > 0) {
            quorvel::bench::PutSettledFile(
                game.CustomCfg(), quorvel::bench::JoinLines(static_cast<std::size_t>(lines),
                                                            quorvel::bench::ConfigLine));
        }
    }

    GameFolder game;
    std::unique_ptr<quorvel::FileService> files;
    quorvel::test::ScriptedWindowSystem windows;
    quorvel::Installer installer;
};

QListView* List1(QWidget& window) {
    return window.findChild<QListView*>("List1");
}

// Loads and shows the window; returns once it is exposed and List1 painted.
void LoadAndShow(quorvel::ui::MainWindow& window) {
    window.Load();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        throw std::runtime_error("the window was never exposed");
    }
    QListView* list = List1(window);
    QCoreApplication::processEvents();
    list->viewport()->repaint();
}

void Shown(benchmark::State& state, std::int64_t lines) {
    Program program(lines);
    for (auto _ : state) {
        auto window = std::make_unique<quorvel::ui::MainWindow>(program.installer);
        const Clock::time_point start = Clock::now();
        LoadAndShow(*window);
        state.SetIterationTime(Elapsed(start));
        // The file ends in CR LF: one more, empty, line.
        const int expected = lines > 0 ? static_cast<int>(lines) + 1 : 0;
        if (List1(*window)->model()->rowCount() != expected) {
            state.SkipWithError("List1 does not hold the lines of custom.cfg");
            break;
        }
        window.reset();
        QCoreApplication::processEvents();
    }
    state.counters["rss_MB"] = static_cast<double>(quorvel::bench::ResidentBytes()) / 1e6;
}

void BM_MainWindowShown(benchmark::State& state) {
    Shown(state, state.range(0));
}

void BM_MainWindowShownWithoutFile(benchmark::State& state) {
    Shown(state, 0);
}

// One shown window per line count, kept for all the scrolling benchmarks.
std::map<std::int64_t,
         std::pair<std::unique_ptr<Program>, std::unique_ptr<quorvel::ui::MainWindow>>>
    shownWindows;

QListView* ShownList1(std::int64_t lines) {
    auto& [program, window] = shownWindows[lines];
    if (!window) {
        program = std::make_unique<Program>(lines);
        window = std::make_unique<quorvel::ui::MainWindow>(program->installer);
        LoadAndShow(*window);
    }
    return List1(*window);
}

// Scrolls, then paints what List1 shows now; returns the seconds it took.
template <typename Scroll> double PaintedStep(QListView* list, Scroll scroll) {
    const Clock::time_point start = Clock::now();
    scroll();
    QCoreApplication::processEvents();
    list->viewport()->repaint();
    return Elapsed(start);
}

void BM_ScrollToBottomAndTop(benchmark::State& state) {
    QListView* list = ShownList1(state.range(0));
    double longest = 0;
    for (auto _ : state) {
        const double down = PaintedStep(list, [list] { list->scrollToBottom(); });
        const double up = PaintedStep(list, [list] { list->scrollToTop(); });
        longest = std::max({longest, down, up});
        state.SetIterationTime(down + up);
    }
    if (list->verticalScrollBar()->value() != 0) {
        state.SkipWithError("List1 did not scroll back to the top");
    }
    state.counters["longest_step_ms"] = longest * 1e3;
}

void BM_PageDown(benchmark::State& state) {
    QListView* list = ShownList1(state.range(0));
    list->setFocus();
    list->setCurrentIndex(list->model()->index(0, 0));
    const int last = list->model()->rowCount() - 1;
    double longest = 0;
    for (auto _ : state) {
        if (list->currentIndex().row() == last) {
            state.PauseTiming();
            list->setCurrentIndex(list->model()->index(0, 0));
            list->scrollToTop();
            state.ResumeTiming();
        }
        const double step =
            PaintedStep(list, [list] { QTest::keyClick(list->viewport(), Qt::Key_PageDown); });
        longest = std::max(longest, step);
        state.SetIterationTime(step);
    }
    state.counters["longest_step_ms"] = longest * 1e3;
}

BENCHMARK(BM_MainWindowShown)
    ->Apply(quorvel::bench::LineCounts)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MainWindowShownWithoutFile)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollToBottomAndTop)
    ->Apply(quorvel::bench::LineCounts)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PageDown)
    ->Apply(quorvel::bench::LineCounts)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    std::vector<quorvel::bench::Limit> limits;
    if (quorvel::bench::MaxLines() >= 1000000) {
        limits.push_back({"main window shown with a 1,000,000-line custom.cfg",
                          "BM_MainWindowShown/1000000", "", 2.0, "s"});
        limits.push_back({"longest scroll step (bottom, top), 1,000,000 lines",
                          "BM_ScrollToBottomAndTop/1000000", "longest_step_ms", 50, "ms"});
        limits.push_back({"longest page down, 1,000,000 lines", "BM_PageDown/1000000",
                          "longest_step_ms", 50, "ms"});
    }
    const int result = quorvel::bench::RunBenchmarks(
        argc, argv,
        {{"The main window shown with N lines in List1 against the same window without a "
          "custom.cfg",
          "BM_MainWindowShown", "BM_MainWindowShownWithoutFile", 0},
         {"Scrolling List1 to the bottom and back, against the same with 10 lines",
          "BM_ScrollToBottomAndTop", "BM_ScrollToBottomAndTop/10", 0}},
        limits);
    shownWindows.clear();
    return result;
}
