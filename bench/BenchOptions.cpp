#include "BenchOptions.h"

#include <cstdlib>
#include <stdexcept>
#include <string_view>

namespace twds::bench {

BenchOptions ParseBenchOptions(int argc, char** argv) {
    BenchOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--file-column") {
            options.fileColumn = true;
            continue;
        }
        if (option == "--after") {
            options.after = true;
            continue;
        }
        if (i + 1 >= argc) {
            throw std::invalid_argument("Option " + std::string(option) +
                                        " needs a value, or is unknown.");
        }
        const std::string value = argv[++i];
        if (option == "--store") {
            options.store = value;
        } else if (option == "--work") {
            options.work = value;
        } else if (option == "--address") {
            options.address = value;
        } else if (option == "--name") {
            options.name = value;
        } else if (option == "--label") {
            options.label = value;
        } else if (option == "--files") {
            options.files = std::stoi(value);
        } else {
            throw std::invalid_argument("Unknown option " + std::string(option) + ".");
        }
    }
    if (options.store.empty() || options.work.empty() || options.name.empty()) {
        throw std::invalid_argument("--store DIR, --work DIR and --name NAME are required.");
    }
    if (options.label.empty()) {
        options.label = options.name;
    }
    return options;
}

void PrepareBenchEnvironment(const std::filesystem::path& folder) {
    const char* registry = std::getenv("TWDSPUSRSPC_REGISTRY");
    if (registry == nullptr || *registry == '\0') {
        const std::filesystem::path registryFolder = folder / "registry";
        std::filesystem::create_directories(registryFolder);
        setenv("TWDSPUSRSPC_REGISTRY", registryFolder.c_str(), 1);
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
}

}  // namespace twds::bench
