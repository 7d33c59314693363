// One Display (pressed twice) and one export in a fresh process, for the figures that a
// repeated benchmark cannot give: the first (cold) run's times and the
// process's peak resident memory. Prints one line of name=value pairs:
//
//   display_s=... again_s=... rows=... peak_display_MiB=... heap_display_MiB=...
//   heap_per_file_KiB=... export_s=... export_MiB=... peak_export_MiB=...
//
//   twds_display_once --store DIR --work DIR --name NAME [--files N]

#include <chrono>
#include <cstdio>
#include <exception>
#include <iostream>

#include <QApplication>

#include "BenchOptions.h"
#include "ProcessMemory.h"
#include "ViewerHarness.h"
#include "twds/Export.h"

int main(int argc, char** argv) {
    using Clock = std::chrono::steady_clock;
    using twds::bench::kMiB;
    try {
        const twds::bench::BenchOptions options = twds::bench::ParseBenchOptions(argc, argv);
        twds::bench::PrepareBenchEnvironment(options.work);
        QApplication app(argc, argv);
        twds::bench::ViewerHarness viewer(options.store, options.fileColumn);
        const std::size_t heapBefore = twds::bench::HeapInUseBytes();

        const auto displayStart = Clock::now();
        viewer.pressDisplay(options.address, options.name);
        const double displaySeconds =
            std::chrono::duration<double>(Clock::now() - displayStart).count();
        if (viewer.display().outcome().stage != twds::DisplayOutcome::Stage::Completed) {
            std::cerr << "twds_display_once: the Display of " << options.name
                      << " did not complete: " << viewer.window().statusText().toStdString()
                      << '\n';
            return 1;
        }
        const std::size_t peakDisplay = twds::bench::PeakResidentBytes();
        // What the Display left behind: the lists' rows, the connection and
        // its file being closed.
        const std::size_t heapDisplay = twds::bench::HeapInUseBytes() - heapBefore;

        // A second press: the lists keep their storage for the new rows.
        const auto againStart = Clock::now();
        viewer.pressDisplay(options.address, options.name);
        const double againSeconds =
            std::chrono::duration<double>(Clock::now() - againStart).count();

        const std::filesystem::path file = options.work / (options.name + ".usrspc");
        const auto exportStart = Clock::now();
        const twds::ExportResult result =
            twds::ExportToFile(viewer.display(), file, viewer.environment().messages());
        const double exportSeconds =
            std::chrono::duration<double>(Clock::now() - exportStart).count();
        if (result.status != twds::ExportResult::Status::Written) {
            std::cerr << "twds_display_once: " << result.message << '\n';
            return 1;
        }
        const auto exportBytes = static_cast<double>(std::filesystem::file_size(file));
        std::filesystem::remove(file);

        const int files = options.files > 0 ? options.files : 1;
        std::printf(
            "display_s=%.4f again_s=%.4f rows=%zu peak_display_MiB=%.1f heap_display_MiB=%.1f "
            "heap_per_file_KiB=%.2f export_s=%.4f export_MiB=%.1f peak_export_MiB=%.1f\n",
            displaySeconds, againSeconds, viewer.rowCount(),
            static_cast<double>(peakDisplay) / kMiB, static_cast<double>(heapDisplay) / kMiB,
            static_cast<double>(heapDisplay) / 1024.0 / files, exportSeconds, exportBytes / kMiB,
            static_cast<double>(twds::bench::PeakResidentBytes()) / kMiB);
    } catch (const std::exception& error) {
        std::cerr << "twds_display_once: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
