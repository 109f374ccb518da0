// The real main window with a custom.cfg of N lines, drawn by the offscreen
// platform (QT_QPA_PLATFORM=offscreen unless set otherwise):
//
// - shown: from the start of the window's load step (start-up, with the
//   prompt answered at once, reads custom.cfg into List1) until the window is
//   exposed with List1 painted; set against the same window without a
//   custom.cfg;
// - scrolling List1: to the bottom and back to the top, and a page down at a
//   time, each step painted before the next. The longest step is reported as
//   well, to show any stall;
// - a click answered: from the prompt's Return until a click on "Install
//   Quorvel Config", posted as soon as the window is exposed, reaches the
//   first detail dialog, with a custom.cfg of one very long line (a pasted
//   blob) or of as many bytes in short lines; and the peak memory of a
//   process that does nothing else (this program started again for each
//   case, so that nothing measured before counts).

#include "bench/bench_files.h"
#include "core/installer.h"
#include "tests/support/scripted_window_system.h"
#include "ui/qt/main_window.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>
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

const char* const kClickChild = "--click-child";

// The shapes of custom.cfg for a click answered.
enum Shape : std::int64_t { kOneLine = 0, kShortLines = 1 };

// A custom.cfg of about `bytes` bytes: one line without a line end, or
// made-up config lines.
std::string CustomCfgOf(std::uint64_t bytes, Shape shape) {
    if (shape == kShortLines) {
        std::string text;
        text.reserve(bytes + 128);
        for (std::size_t i = 0; text.size() < bytes; ++i) {
            text.append(quorvel::bench::ConfigLine(i)).append("\r\n");
        }
        return text;
    }
    const std::string_view pattern = "seta name \"pasted\" bind x \"+attack\" ";
    std::string text;
    text.reserve(bytes);
    while (text.size() < bytes) {
        text.append(pattern.substr(0, std::min<std::size_t>(pattern.size(), bytes - text.size())));
    }
    return text;
}

// Notes when the prompt is answered and when the first detail dialog is
// asked for, which "Need to go Check" then closes.
class TimedWindowSystem : public quorvel::test::ScriptedWindowSystem {
public:
    std::string Prompt(const std::string& text, const std::string& title,
                       const std::string& defaultAnswer) override {
        std::string answer = ScriptedWindowSystem::Prompt(text, title, defaultAnswer);
        answered = Clock::now();
        return answer;
    }
    quorvel::DetailDialogResult ShowDetailDialog(quorvel::DetailDialogKind kind) override {
        dialogAsked = Clock::now();
        Then(quorvel::test::DialogStep::NeedToCheck());
        return ScriptedWindowSystem::ShowDetailDialog(kind);
    }

    Clock::time_point answered;
    std::optional<Clock::time_point> dialogAsked;
};

// Posts a left click on `button`, to be handled after whatever is queued.
void PostClick(QPushButton* button) {
    const QPointF centre = QRectF(button->rect()).center();
    const QPointF global = button->mapToGlobal(centre);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QCoreApplication::postEvent(
            button,
            new QMouseEvent(type, centre, global, Qt::LeftButton,
                            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                            Qt::NoModifier));
    }
}

// In a process of its own: the program with a custom.cfg of `bytes` bytes
// in `shape`; prints the size of custom.cfg, the resident memory before the
// window, the peak, and the seconds from the prompt's Return to the click
// reaching the detail dialog.
int ClickChild(int argc, char** argv, std::uint64_t bytes, Shape shape) {
    QApplication app(argc, argv);
    GameFolder game;
    const auto files = quorvel::bench::NativeFilesFor(game);
    std::uint64_t size = 0;
    {
        const std::string text = CustomCfgOf(bytes, shape);
        size = text.size();
        quorvel::bench::PutSettledFile(game.CustomCfg(), text);
    }
    TimedWindowSystem windows;
    quorvel::Installer installer(windows, game.registry, *files);
    const std::uint64_t before = quorvel::bench::ResidentBytes();
    quorvel::ui::MainWindow window(installer);
    window.Load();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return 1;
    }
    PostClick(window.findChild<QPushButton*>("Command1"));
    const Clock::time_point giveUp = Clock::now() + std::chrono::minutes(2);
    while (!windows.dialogAsked && Clock::now() < giveUp) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    if (!windows.dialogAsked) {
        return 2;
    }
    const double seconds =
        std::chrono::duration<double>(*windows.dialogAsked - windows.answered).count();
    quorvel::bench::ReportMeasurement({static_cast<unsigned long long>(size),
                                       static_cast<unsigned long long>(before),
                                       quorvel::bench::PeakResidentBytes(), seconds});
    return 0;
}

void BM_ClickAnswered(benchmark::State& state) {
    for (auto _ : state) {
        if (!quorvel::bench::MeasureInChild(state, {"bench_window", kClickChild,
                                                    std::to_string(state.range(0) * 1000000),
                                                    std::to_string(state.range(1))})) {
            break;
        }
    }
}

// Megabytes of custom.cfg: 50 and 100, or 5 in quick mode.
std::vector<std::int64_t> ClickSizes() {
    return quorvel::bench::QuickMode() ? std::vector<std::int64_t>{5}
                                       : std::vector<std::int64_t>{50, 100};
}

void ClickCases(benchmark::internal::Benchmark* benchmark) {
    benchmark->ArgNames({"MB", "short_lines"});
    for (const std::int64_t megabytes : ClickSizes()) {
        benchmark->Args({megabytes, kOneLine});
        benchmark->Args({megabytes, kShortLines});
    }
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
BENCHMARK(BM_ClickAnswered)
    ->Apply(ClickCases)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (argc == 4 && std::strcmp(argv[1], kClickChild) == 0) {
        return ClickChild(argc, argv, std::strtoull(argv[2], nullptr, 10),
                          static_cast<Shape>(std::strtoll(argv[3], nullptr, 10)));
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
    for (const std::int64_t megabytes : ClickSizes()) {
        for (const Shape shape : {kOneLine, kShortLines}) {
            const std::string name = "BM_ClickAnswered/MB:" + std::to_string(megabytes) +
                                     "/short_lines:" + std::to_string(shape);
            const std::string what = std::to_string(megabytes) + " MB custom.cfg, " +
                                     (shape == kOneLine ? "one line" : "short lines");
            limits.push_back({"click answered after the prompt, " + what, name, "", 1.0, "s"});
            limits.push_back(
                {"peak memory growth / file size, " + what, name, "growth_per_file", 4.0, "x"});
        }
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
