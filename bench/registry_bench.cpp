// The file registry on a hive file of about 48 MB: one hex value run over six
// million continuation lines beside the viewer's "Language". Reading the
// language (open the key, read the value) and writing it again are set beside
// the time of reading the file's bytes, which they should stay close to.
//
//   twds_bench_registry [--benchmark_*...] --work DIR

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include <benchmark/benchmark.h>

#include "twds/FileRegistryStore.h"
#include "twds/Registry.h"

namespace {

constexpr const char* kKey = "Software\\Tidewell\\twDspUsrSpc";
constexpr int kContinuationLines = 6'000'000;

std::filesystem::path gWork;

std::filesystem::path Folder() {
    return gWork / "large-registry";
}

// REGEDIT4 in CR LF, as the registry editor writes it.
void WriteLargeHive() {
    std::filesystem::create_directories(Folder());
    std::ofstream out(Folder() / "HKEY_CURRENT_USER.reg", std::ios::binary | std::ios::trunc);
    out << "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\" << kKey << "]\r\n\"Blob\"=hex:00,\\\r\n";
    for (int i = 0; i < kContinuationLines; ++i) {
        out << "  4f,\\\r\n";
    }
    out << "  00\r\n\"Language\"=\"FR\"\r\n";
}

void BM_ReadFileBytes(benchmark::State& state) {
    for (auto _ : state) {
        const auto file = Folder() / "HKEY_CURRENT_USER.reg";
        std::string bytes(std::filesystem::file_size(file), '\0');
        std::ifstream(file, std::ios::binary)
            .read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        benchmark::DoNotOptimize(bytes.data());
    }
}

// A fresh store each time, as at the viewer's start: nothing read before.
void BM_ReadLanguage(benchmark::State& state) {
    for (auto _ : state) {
        twds::FileRegistryStore store(Folder());
        const auto value =
            twds::FetchRegistryValue(store, twds::Hive::CurrentUser, kKey, "Language");
        if (twds::RegistryValueText(value) != "FR") {
            state.SkipWithError("\"Language\" did not read as FR.");
            return;
        }
    }
}

void BM_WriteLanguage(benchmark::State& state) {
    for (auto _ : state) {
        twds::FileRegistryStore store(Folder());
        const twds::Status written = twds::StoreRegistryValue(
            store, twds::Hive::CurrentUser, kKey, "Language", std::string("FR"), twds::kRegSz);
        if (!written) {
            state.SkipWithError(written.error().c_str());
            return;
        }
    }
}

BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadLanguage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteLanguage)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (argc != 3 || std::string(argv[1]) != "--work") {
        std::cerr << "Usage: twds_bench_registry [--benchmark_*...] --work DIR\n";
        return 2;
    }
    gWork = argv[2];
    WriteLargeHive();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(Folder());
    return 0;
}
