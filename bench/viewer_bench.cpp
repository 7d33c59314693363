// The viewer's Display and export in the real window (offscreen), and, once a
// user space is displayed, how fast the window answers: switching tabs,
// scrolling the ZC list to its end and clicking a row; and the find bar's
// steps on the window's thread.
//
//   twds_bench_viewer [--benchmark_*...] --store DIR --work DIR --name NAME
//                     [--label L] [--after] [--file-column]

#include <array>
#include <chrono>
#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include <QApplication>
#include <QHeaderView>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <benchmark/benchmark.h>

#include "BenchOptions.h"
#include "BenchProgram.h"
#include "ProcessMemory.h"
#include "ViewerHarness.h"
#include "twds/Export.h"

namespace {

using twds::bench::BenchOptions;
using twds::bench::kMiB;
using twds::bench::ViewerHarness;

constexpr int kTabCX = 1;
constexpr int kTabZC = 4;

BenchOptions gOptions;
std::unique_ptr<ViewerHarness> gViewer;
bool gDisplayed = false;

bool DisplayCompleted() {
    return gViewer->display().outcome().stage == twds::DisplayOutcome::Stage::Completed;
}

// Displays the user space unless an earlier benchmark left it displayed.
bool EnsureDisplayed(benchmark::State& state) {
    if (!gDisplayed) {
        gViewer->pressDisplay(gOptions.address, gOptions.name);
        gDisplayed = DisplayCompleted();
    }
    if (!gDisplayed) {
        state.SkipWithError("The Display did not complete: see the window's status line.");
    }
    return gDisplayed;
}

void SetMemoryCounters(benchmark::State& state) {
    state.counters["rows"] = static_cast<double>(gViewer->rowCount());
    state.counters["peak_rss_MiB"] = static_cast<double>(twds::bench::PeakResidentBytes()) / kMiB;
    state.counters["heap_MiB"] = static_cast<double>(twds::bench::HeapInUseBytes()) / kMiB;
}

void BM_Display(benchmark::State& state) {
    for (auto _ : state) {
        gViewer->pressDisplay(gOptions.address, gOptions.name);
    }
    gDisplayed = DisplayCompleted();
    if (!gDisplayed) {
        state.SkipWithError("The Display did not complete: see the window's status line.");
        return;
    }
    SetMemoryCounters(state);
}

void BM_Export(benchmark::State& state) {
    if (!EnsureDisplayed(state)) {
        return;
    }
    const std::filesystem::path file = gOptions.work / (gOptions.name + ".usrspc");
    std::uintmax_t bytes = 0;
    for (auto _ : state) {
        const twds::ExportResult result =
            twds::ExportToFile(gViewer->display(), file, gViewer->environment().messages());
        if (result.status != twds::ExportResult::Status::Written) {
            state.SkipWithError(result.message.c_str());
            return;
        }
    }
    bytes = std::filesystem::file_size(file);
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes * state.iterations()));
    SetMemoryCounters(state);
    std::filesystem::remove(file);
}

QTabWidget* Tabs() {
    return gViewer->window().findChild<QTabWidget*>(QStringLiteral("SSTab1"));
}

QTableView* ZCList() {
    return gViewer->window().findChild<QTableView*>(QStringLiteral("ListView4"));
}

// The window's answer to an action: the posted events handled and the whole
// window drawn again.
void Answer() {
    QCoreApplication::processEvents();
    benchmark::DoNotOptimize(gViewer->window().grab());
}

void BM_TabSwitch(benchmark::State& state) {
    if (!EnsureDisplayed(state)) {
        return;
    }
    QTabWidget* tabs = Tabs();
    bool toZC = true;
    for (auto _ : state) {
        tabs->setCurrentIndex(toZC ? kTabZC : kTabCX);
        Answer();
        toZC = !toZC;
    }
}

void BM_ScrollZCToEnd(benchmark::State& state) {
    if (!EnsureDisplayed(state)) {
        return;
    }
    Tabs()->setCurrentIndex(kTabZC);
    QTableView* list = ZCList();
    Answer();
    bool toEnd = true;
    for (auto _ : state) {
        if (toEnd) {
            list->scrollToBottom();
        } else {
            list->scrollToTop();
        }
        Answer();
        const QScrollBar* bar = list->verticalScrollBar();
        if (bar->value() != (toEnd ? bar->maximum() : bar->minimum())) {
            state.SkipWithError("The ZC list did not scroll to its end.");
            return;
        }
        toEnd = !toEnd;
    }
}

void BM_RowClick(benchmark::State& state) {
    if (!EnsureDisplayed(state)) {
        return;
    }
    Tabs()->setCurrentIndex(kTabZC);
    QTableView* list = ZCList();
    list->scrollToBottom();
    Answer();
    auto* valueBox = gViewer->window().findChild<QPlainTextEdit*>(QStringLiteral("Text4"));
    // Two rows near the end of the list, clicked in turn so that every click
    // changes the current row.
    const int last = list->model()->rowCount() - 1;
    const std::array<QPoint, 2> points{
        list->visualRect(list->model()->index(last, 1)).center(),
        list->visualRect(list->model()->index(last - 1, 1)).center()};
    const std::array<QString, 2> values{list->model()->index(last, 1).data().toString(),
                                        list->model()->index(last - 1, 1).data().toString()};
    std::size_t turn = 0;
    for (auto _ : state) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, points[turn]);
        Answer();
        if (valueBox->toPlainText() != values[turn]) {
            state.SkipWithError("The click did not show the row's value in the value box.");
            return;
        }
        turn ^= 1U;
    }
}

// Find bar texts on the generated models: one file's name (a few rows),
// the target library (every file's FC page), and a text in nearly every ZC
// value.
constexpr std::array<const char*, 3> kFindNeedles{"bfil00471", "benchrep", "0000"};

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct FindTimes {
    double keystroke = 0;  // the window's thread handling the keystroke
    double results = 0;    // handling the posted result and drawing the window
    double longest = 0;    // the longest pass of the event loop meanwhile
    double search = 0;     // from the keystroke to the result drawn
};

// Types the needle's last character while the search for the rest still
// runs, then runs the event loop, each pass timed, until the result is shown.
FindTimes TypeLastCharacter(twds::FindPresenter& find, const std::string& needle) {
    FindTimes times;
    find.textChanged(needle.substr(0, needle.size() - 1));
    const Clock::time_point typed = Clock::now();
    find.textChanged(needle);
    times.keystroke = MillisecondsSince(typed);
    times.longest = times.keystroke;
    while (find.searching()) {
        // Polling is the benchmark's, between passes, so that a pass's time
        // is the window's work alone.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const Clock::time_point pass = Clock::now();
        QCoreApplication::processEvents();
        if (!find.searching()) {
            benchmark::DoNotOptimize(gViewer->window().grab());
            times.results = MillisecondsSince(pass);
        }
        times.longest = std::max(times.longest, MillisecondsSince(pass));
    }
    times.search = MillisecondsSince(typed);
    return times;
}

// A keystroke that stops the running search and starts its own, and the
// result's arrival: the times on the window's thread, and the search's.
void BM_FindType(benchmark::State& state) {
    if (!EnsureDisplayed(state)) {
        return;
    }
    const std::string needle = kFindNeedles.at(static_cast<std::size_t>(state.range(0)));
    twds::FindPresenter& find = gViewer->window().findPresenter();
    find.open();
    FindTimes sum;
    for (auto _ : state) {
        const FindTimes times = TypeLastCharacter(find, needle);
        state.SetIterationTime((times.keystroke + times.results) / 1000.0);
        sum.keystroke += times.keystroke;
        sum.results += times.results;
        sum.longest = std::max(sum.longest, times.longest);
        sum.search += times.search;
    }
    const auto average = [&](double total) {
        return benchmark::Counter(total, benchmark::Counter::kAvgIterations);
    };
    state.counters["keystroke_ms"] = average(sum.keystroke);
    state.counters["results_ms"] = average(sum.results);
    state.counters["search_ms"] = average(sum.search);
    state.counters["longest_pass_ms"] = sum.longest;
    state.counters["matches"] = static_cast<double>(find.matchCount());
    state.SetLabel(needle);
    find.close();
}

// Searches for the needle and waits for its result, untimed.
void FindShown(benchmark::State& state, twds::FindPresenter& find) {
    find.open();
    find.textChanged(kFindNeedles.at(static_cast<std::size_t>(state.range(0))));
    while (find.searching()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        QCoreApplication::processEvents();
    }
    Answer();
    state.SetLabel(kFindNeedles.at(static_cast<std::size_t>(state.range(0))));
    state.counters["matches"] = static_cast<double>(find.matchCount());
}

// F3: the next match in tab order (wrapping round), shown and drawn.
void BM_FindNext(benchmark::State& state) {
    if (!EnsureDisplayed(state)) {
        return;
    }
    twds::FindPresenter& find = gViewer->window().findPresenter();
    FindShown(state, find);
    for (auto _ : state) {
        find.findNext();
        Answer();
    }
    find.close();
}

// Only the matching rows, then all rows again: the lists' models reset.
void BM_FindOnlyMatching(benchmark::State& state) {
    if (!EnsureDisplayed(state)) {
        return;
    }
    twds::FindPresenter& find = gViewer->window().findPresenter();
    FindShown(state, find);
    bool on = true;
    for (auto _ : state) {
        find.setOnlyMatching(on);
        Answer();
        on = !on;
    }
    find.setOnlyMatching(false);
    find.close();
}

void Register() {
    const std::string size = "/" + gOptions.label;
    benchmark::RegisterBenchmark(("Display" + size).c_str(), BM_Display)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(("Export" + size).c_str(), BM_Export)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    if (gOptions.after) {
        benchmark::RegisterBenchmark(("AfterDisplay" + size + "/TabSwitch").c_str(), BM_TabSwitch)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("AfterDisplay" + size + "/ScrollZCToEnd").c_str(),
                                     BM_ScrollZCToEnd)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("AfterDisplay" + size + "/RowClick").c_str(), BM_RowClick)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        const int lastNeedle = static_cast<int>(kFindNeedles.size()) - 1;
        benchmark::RegisterBenchmark(("Find" + size + "/Type").c_str(), BM_FindType)
            ->ArgName("needle")
            ->DenseRange(0, lastNeedle)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(5);
        benchmark::RegisterBenchmark(("Find" + size + "/Next").c_str(), BM_FindNext)
            ->ArgName("needle")
            ->DenseRange(0, lastNeedle)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("Find" + size + "/OnlyMatching").c_str(), BM_FindOnlyMatching)
            ->ArgName("needle")
            ->DenseRange(0, lastNeedle)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
}

}  // namespace

int main(int argc, char** argv) {
    return twds::bench::RunBenchmarkProgram(
        argc, argv, "twds_bench_viewer", [&](const twds::bench::BenchOptions& options) {
            gOptions = options;
            QApplication app(argc, argv);
            gViewer = std::make_unique<ViewerHarness>(gOptions.store, gOptions.fileColumn);
            Register();
            benchmark::RunSpecifiedBenchmarks();
            gViewer.reset();
        });
}
