// Snapshots and comparisons: saving a displayed user space as a snapshot,
// and the headless --compare of two user spaces set beside the headless
// export of one, which it must keep within 2.5 times of.
//
//   twds_bench_compare [--benchmark_*...] --store DIR --work DIR --name NAME [--label L]
//
// The newer user space is the older one with about 1 % of its values
// changed (ChangedModel.h).

#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <ostream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "BenchOptions.h"
#include "BenchProgram.h"
#include "ChangedModel.h"
#include "twds/CommandLine.h"
#include "twds/DisplayCommand.h"
#include "twds/HeadlessRun.h"
#include "twds/Snapshot.h"
#include "twds/UserSpaceWriter.h"
#include "twds/ViewerEnvironment.h"

namespace {

using twds::bench::BenchOptions;

BenchOptions gOptions;
std::filesystem::path gChanged;

class NullBuffer final : public std::streambuf {
protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char_type* /*s*/, std::streamsize count) override { return count; }
};

std::string Target() {
    return gOptions.address + "/" + gOptions.name;
}

// state.range(0): 0 for --export --output -, 1 for --compare OLD NEW.
void BM_Headless(benchmark::State& state) {
    const bool compare = state.range(0) != 0;
    const twds::CommandLine commandLine =
        compare ? twds::ParseCommandLine({"--compare", "--store", gOptions.store.string(), Target(),
                                          gChanged.string()})
                : twds::ParseCommandLine(
                      {"--export", "--output", "-", "--store", gOptions.store.string(), Target()});
    NullBuffer nowhere;
    std::ostream out(&nowhere);
    std::ostream err(&nowhere);
    for (auto _ : state) {
        const int status = twds::RunHeadless(commandLine, out, err);
        if (status != (compare ? 1 : 0)) {
            state.SkipWithError("The headless run failed.");
            return;
        }
    }
    state.SetLabel(compare ? "--compare" : "--export");
}

// Saving the displayed user space as a snapshot, replacing the last one.
void BM_SaveSnapshot(benchmark::State& state) {
    const twds::CommandLine commandLine =
        twds::ParseCommandLine({"--store", gOptions.store.string(), Target()});
    twds::ViewerEnvironment environment(commandLine, [](const std::string&, const std::string&) {});
    twds::DisplayCommand display(environment.hostLink(), environment.labels());
    display.address = gOptions.address;
    display.userSpaceName = gOptions.name;
    display.run();
    const std::filesystem::path file = gOptions.work / "snapshot.twus";
    for (auto _ : state) {
        const twds::SnapshotResult result =
            twds::SaveSnapshot(display, file, true, environment.messages());
        if (result.status != twds::SnapshotResult::Status::Written) {
            state.SkipWithError(result.message.c_str());
            return;
        }
    }
    state.counters["pages"] = static_cast<double>(display.fetchedPages().size());
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(file)) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    return twds::bench::RunBenchmarkProgram(
        argc, argv, "twds_bench_compare", [&](const twds::bench::BenchOptions& options) {
            gOptions = options;
            gChanged = twds::bench::WriteChangedModel(gOptions);
            const std::string size = "/" + gOptions.label;
            benchmark::RegisterBenchmark(("Headless" + size).c_str(), BM_Headless)
                ->ArgName("compare")
                ->DenseRange(0, 1)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
            benchmark::RegisterBenchmark(("SaveSnapshot" + size).c_str(), BM_SaveSnapshot)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
            benchmark::RunSpecifiedBenchmarks();
        });
}
