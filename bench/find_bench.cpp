// Finding text in a displayed user space: the search engine's count of all
// matches, and the headless --find set beside the headless export it must
// keep pace with (both display the user space first).
//
//   twds_bench_find [--benchmark_*...] --store DIR --work DIR --name NAME [--label L]

#include <array>
#include <exception>
#include <iostream>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "BenchOptions.h"
#include "BenchProgram.h"
#include "twds/CommandLine.h"
#include "twds/DisplayCommand.h"
#include "twds/HeadlessRun.h"
#include "twds/TextSearch.h"
#include "twds/ViewerEnvironment.h"

namespace {

using twds::bench::BenchOptions;

BenchOptions gOptions;

// Needles of the generated models (twus_make --generate): one file's name,
// which a user looks for (a few rows), and the target library, on every
// file's FC page and in its statements.
constexpr std::array<const char*, 2> kNeedles{"bfil00471", "benchrep"};

// Standard output sent nowhere, as to /dev/null, so that the runs time the
// work rather than a growing buffer.
class NullBuffer final : public std::streambuf {
protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char_type* /*s*/, std::streamsize count) override { return count; }
};

twds::CommandLine StoreCommandLine(std::vector<std::string> arguments) {
    arguments.insert(arguments.end(),
                     {"--store", gOptions.store.string(), gOptions.address + "/" + gOptions.name});
    return twds::ParseCommandLine(arguments);
}

void BM_CountMatches(benchmark::State& state) {
    const twds::CommandLine commandLine = StoreCommandLine({});
    twds::ViewerEnvironment environment(commandLine, [](const std::string&, const std::string&) {});
    twds::DisplayCommand display(environment.hostLink(), environment.labels());
    display.address = gOptions.address;
    display.userSpaceName = gOptions.name;
    if (display.run().stage != twds::DisplayOutcome::Stage::Completed) {
        state.SkipWithError("The user space could not be displayed.");
        return;
    }
    const char* needle = kNeedles.at(static_cast<std::size_t>(state.range(0)));
    std::size_t matches = 0;
    for (auto _ : state) {
        matches = twds::FindInDisplay(display, needle).total();
        benchmark::DoNotOptimize(matches);
    }
    state.counters["matches"] = static_cast<double>(matches);
    state.counters["rows"] = static_cast<double>(display.totalRows());
    state.SetLabel(needle);
}

// state.range(0): 0 for --export --output -, 1 for --find with the first needle.
void BM_Headless(benchmark::State& state) {
    const bool find = state.range(0) != 0;
    const twds::CommandLine commandLine = find ? StoreCommandLine({"--find", kNeedles[0]})
                                               : StoreCommandLine({"--export", "--output", "-"});
    NullBuffer nowhere;
    std::ostream out(&nowhere);
    std::ostream err(&nowhere);
    for (auto _ : state) {
        const int status = twds::RunHeadless(commandLine, out, err);
        if (status != 0) {
            state.SkipWithError("The headless run failed.");
            return;
        }
    }
    state.SetLabel(find ? "--find" : "--export");
}

}  // namespace

int main(int argc, char** argv) {
    return twds::bench::RunBenchmarkProgram(
        argc, argv, "twds_bench_find", [&](const twds::bench::BenchOptions& options) {
            gOptions = options;
            const std::string size = "/" + gOptions.label;
            benchmark::RegisterBenchmark(("Search" + size + "/CountMatches").c_str(),
                                         BM_CountMatches)
                ->ArgName("needle")
                ->DenseRange(0, static_cast<int>(kNeedles.size()) - 1)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
            benchmark::RegisterBenchmark(("Headless" + size).c_str(), BM_Headless)
                ->ArgName("find")
                ->DenseRange(0, 1)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
            benchmark::RunSpecifiedBenchmarks();
        });
}
