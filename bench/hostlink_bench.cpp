// The saved-user-space host link: the one-time read and index of a file on a
// connection's first request, then the cost of one request for the first
// and for the last FC entry of the file, which should not differ.
//
//   twds_bench_hostlink [--benchmark_*...] --store DIR --work DIR --name NAME
//                       --files N [--label L]

#include <cstdint>
#include <exception>
#include <iostream>
#include <stdexcept>
#include <string>

#include <benchmark/benchmark.h>

#include "BenchOptions.h"
#include "BenchProgram.h"
#include "twds/AnsiText.h"
#include "twds/PageLayout.h"
#include "twds/SavedUserSpaceHostLink.h"

namespace {

using twds::bench::BenchOptions;
namespace layout = twds::layout;

BenchOptions gOptions;

// The request text for a page, as the Display command builds it.
void FillRequest(std::string& buffer, char kind, std::int32_t position, int length) {
    buffer.assign(static_cast<std::size_t>(length), ' ');
    const std::string digits = twds::FormatPagePosition(position);
    buffer.replace(1, digits.size(), digits);
    buffer[1 + digits.size()] = kind;
}

bool Open(twds::SavedUserSpaceHostLink& link, std::int32_t& connection) {
    std::string machine = gOptions.address;
    std::string buffer1(10, ' ');
    std::string buffer2(10, ' ');
    return link.fnDllParamOpenMConnection(machine, buffer1, buffer2, connection) != 0;
}

void BM_FirstRequest(benchmark::State& state) {
    twds::SavedUserSpaceHostLink link({gOptions.store});
    std::string name = gOptions.name;
    std::string buffer;
    for (auto _ : state) {
        std::int32_t connection = 0;
        if (!Open(link, connection)) {
            state.SkipWithError("The connection could not be opened.");
            return;
        }
        FillRequest(buffer, 'C', layout::kCXPosition, layout::kCXRequestLength);
        if (link.fnDllParamRtvUserspace(name, buffer) == 0) {
            state.SkipWithError("The first request failed.");
            return;
        }
        link.fnDllParamCloseMConnection(connection);
    }
}

// state.range(0): the FC entry (1-based); state.range(1): 0 for its F page,
// 1 for its Z page.
void BM_Request(benchmark::State& state) {
    twds::SavedUserSpaceHostLink link({gOptions.store});
    std::int32_t connection = 0;
    std::string name = gOptions.name;
    std::string buffer;
    FillRequest(buffer, 'C', layout::kCXPosition, layout::kCXRequestLength);
    if (!Open(link, connection) || link.fnDllParamRtvUserspace(name, buffer) == 0) {
        state.SkipWithError("The connection or its first request failed.");
        return;
    }
    const auto entry = static_cast<std::int32_t>(state.range(0));
    const std::int32_t position = layout::kFirstFCPosition + layout::kFCSpacing * (entry - 1);
    const bool zc = state.range(1) != 0;
    for (auto _ : state) {
        FillRequest(buffer, zc ? 'Z' : 'F', position,
                    zc ? layout::kZCRequestLength : layout::kFCRequestLength);
        if (link.fnDllParamRtvUserspace(name, buffer) == 0) {
            state.SkipWithError("A request failed.");
            return;
        }
        benchmark::DoNotOptimize(buffer.data());
    }
    link.fnDllParamCloseMConnection(connection);
}

}  // namespace

int main(int argc, char** argv) {
    return twds::bench::RunBenchmarkProgram(
        argc, argv, "twds_bench_hostlink", [&](const twds::bench::BenchOptions& options) {
            gOptions = options;
            if (gOptions.files < 1) {
                throw std::invalid_argument("--files N (the user space's FC entries) is required.");
            }
            const std::string size = "/" + gOptions.label;
            benchmark::RegisterBenchmark(("HostLink" + size + "/FirstRequest").c_str(),
                                         BM_FirstRequest)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
            benchmark::RegisterBenchmark(("HostLink" + size + "/Request").c_str(), BM_Request)
                ->ArgNames({"file", "zc"})
                ->ArgsProduct({{1, gOptions.files}, {0, 1}})
                ->Unit(benchmark::kNanosecond);
            benchmark::RunSpecifiedBenchmarks();
        });
}
