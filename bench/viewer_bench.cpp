// The viewer's Display and export in the real window (offscreen), and, once a
// user space is displayed, how fast the window answers: switching tabs,
// scrolling the ZC list to its end and clicking a row.
//
//   twds_bench_viewer [--benchmark_*...] --store DIR --work DIR --name NAME
//                     [--label L] [--after] [--file-column]

#include <exception>
#include <iostream>
#include <memory>

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
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    try {
        gOptions = twds::bench::ParseBenchOptions(argc, argv);
        twds::bench::PrepareBenchEnvironment(gOptions.work);
        QApplication app(argc, argv);
        gViewer = std::make_unique<ViewerHarness>(gOptions.store, gOptions.fileColumn);
        Register();
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        gViewer.reset();
    } catch (const std::exception& error) {
        std::cerr << "twds_bench_viewer: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
