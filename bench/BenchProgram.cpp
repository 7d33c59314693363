#include "BenchProgram.h"

#include <exception>
#include <iostream>

#include <benchmark/benchmark.h>

namespace twds::bench {

int RunBenchmarkProgram(int& argc, char** argv, std::string_view program,
                        const std::function<void(const BenchOptions&)>& run) {
    benchmark::Initialize(&argc, argv);
    try {
        const BenchOptions options = ParseBenchOptions(argc, argv);
        if (!options.work.empty()) {
            PrepareBenchEnvironment(options.work);
        }
        run(options);
        benchmark::Shutdown();
    } catch (const std::exception& error) {
        std::cerr << program << ": " << error.what() << '\n';
        return 1;
    }
    return 0;
}

}  // namespace twds::bench
