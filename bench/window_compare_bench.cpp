// The window's comparison and refresh: comparing the user space shown with
// a copy of it whose values differ in about 1 % (ChangedModel.h), through
// the window's compare bar as a user would (the other user space displayed,
// the marks made, the lists reset), the only-differences toggle, and F5.
//
//   twds_bench_window_compare [--benchmark_*...] --store DIR --work DIR --name NAME [--label L]
//
// Peak memory is the process's (VmHWM) after the benchmark: the Display
// shown, the other one and the marks together.

#include <array>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <utility>

#include <QApplication>
#include <benchmark/benchmark.h>

#include "BenchOptions.h"
#include "BenchProgram.h"
#include "ChangedModel.h"
#include "ProcessMemory.h"
#include "ViewerHarness.h"

namespace {

using twds::bench::BenchOptions;
using twds::bench::ViewerHarness;

BenchOptions gOptions;
std::filesystem::path gChanged;
std::unique_ptr<ViewerHarness> gViewer;

void Settle() {
    QApplication::processEvents();
}

void PeakCounters(benchmark::State& state) {
    state.counters["peak_MB"] =
        static_cast<double>(twds::bench::PeakResidentBytes()) / twds::bench::kMiB;
    state.counters["heap_MB"] =
        static_cast<double>(twds::bench::HeapInUseBytes()) / twds::bench::kMiB;
}

// Compare with the changed copy, from the bar's Compare to the lists shown
// with their marks; closed again between iterations.
void BM_CompareWith(benchmark::State& state) {
    twds::ComparePresenter& compare = gViewer->window().comparePresenter();
    for (auto _ : state) {
        compare.compareWith(gChanged.string());
        Settle();
        state.PauseTiming();
        if (!compare.comparing()) {
            state.SkipWithError("The comparison did not open.");
            return;
        }
        state.counters["differences"] = static_cast<double>(compare.differenceCount());
        PeakCounters(state);
        compare.close();
        Settle();
        state.ResumeTiming();
    }
    state.counters["rows"] = static_cast<double>(gViewer->rowCount());
}

// Only the differences on and off again, the comparison open.
void BM_OnlyDifferences(benchmark::State& state) {
    twds::ComparePresenter& compare = gViewer->window().comparePresenter();
    compare.compareWith(gChanged.string());
    Settle();
    for (auto _ : state) {
        compare.setOnlyDifferences(true);
        Settle();
        compare.setOnlyDifferences(false);
        Settle();
    }
    PeakCounters(state);
    compare.close();
    Settle();
}

// F5: the same user space displayed again and compared with the Display
// before, tab and row kept.
void BM_Refresh(benchmark::State& state) {
    twds::ComparePresenter& compare = gViewer->window().comparePresenter();
    for (auto _ : state) {
        if (!compare.refresh()) {
            state.SkipWithError("The refresh failed.");
            return;
        }
        Settle();
    }
    PeakCounters(state);
    compare.close();
    Settle();
}

}  // namespace

int main(int argc, char** argv) {
    return twds::bench::RunBenchmarkProgram(
        argc, argv, "twds_bench_window_compare", [&](const twds::bench::BenchOptions& options) {
            gOptions = options;
            gChanged = twds::bench::WriteChangedModel(gOptions);
            QApplication app(argc, argv);
            gViewer = std::make_unique<ViewerHarness>(gOptions.store);
            gViewer->pressDisplay(gOptions.address, gOptions.name);
            const std::string size = "/" + gOptions.label;
            using Function = void (*)(benchmark::State&);
            const std::array<std::pair<std::string, Function>, 3> benchmarks{
                {{"WindowCompareWith", BM_CompareWith},
                 {"WindowOnlyDifferences", BM_OnlyDifferences},
                 {"WindowRefresh", BM_Refresh}}};
            for (const auto& [name, function] : benchmarks) {
                benchmark::RegisterBenchmark((name + size).c_str(), function)
                    ->Unit(benchmark::kMillisecond)
                    ->UseRealTime();
            }
            benchmark::RunSpecifiedBenchmarks();
            gViewer.reset();
        });
}
