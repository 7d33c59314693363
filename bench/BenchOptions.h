#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace twds::bench {

// The options every benchmark program takes after Google Benchmark has
// removed its own (--benchmark_*):
//   --store DIR     the store of saved user spaces (<DIR>/<address>/<NAME>.twus)
//   --work DIR      a scratch folder for the registry and the export files
//   --address A     the machine address (default 127.0.0.1)
//   --name NAME     the user space to display
//   --label L       the size's name in the benchmark names (S, M, L)
//   --files N       how many FC entries the user space has (host-link probes)
//   --after         also measure the window's answers once it is displayed
//   --file-column   with the file column shown on the FC, ZC and SQL lists
struct BenchOptions {
    std::filesystem::path store;
    std::filesystem::path work;
    std::string address = "127.0.0.1";
    std::string name;
    std::string label;
    int files = 0;
    bool after = false;
    bool fileColumn = false;
};

// Parses argv[1..argc). Unknown options and missing values throw
// std::invalid_argument with a message naming them.
[[nodiscard]] BenchOptions ParseBenchOptions(int argc, char** argv);

// Points $TWDSPUSRSPC_REGISTRY at `folder` (created when missing) unless the
// caller has set it, and selects the offscreen Qt platform unless one is
// chosen. Call it before QApplication is created.
void PrepareBenchEnvironment(const std::filesystem::path& folder);

}  // namespace twds::bench
