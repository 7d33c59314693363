#pragma once

#include <functional>
#include <string_view>

#include "BenchOptions.h"

namespace twds::bench {

// The frame of a benchmark program's main(): Google Benchmark takes its own
// options (--benchmark_*) out of argc and argv, ours are parsed
// (ParseBenchOptions) and, given --work, the environment prepared
// (PrepareBenchEnvironment); `run` makes what the benchmarks share, registers
// them and runs them (benchmark::RunSpecifiedBenchmarks) while that lives. A
// failure is said under the program's name, with exit status 1.
int RunBenchmarkProgram(int& argc, char** argv, std::string_view program,
                        const std::function<void(const BenchOptions&)>& run);

}  // namespace twds::bench
