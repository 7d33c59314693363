#include "ChangedModel.h"

#include <cstdint>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>

#include "twds/CommandLine.h"
#include "twds/DisplayCommand.h"
#include "twds/Snapshot.h"
#include "twds/UserSpaceWriter.h"
#include "twds/ViewerEnvironment.h"

namespace twds::bench {

namespace {

constexpr std::size_t kChangeEvery = 731;

}  // namespace

std::filesystem::path WriteChangedModel(const BenchOptions& options) {
    const CommandLine commandLine =
        ParseCommandLine({"--store", options.store.string(), options.address + "/" + options.name});
    ViewerEnvironment environment(commandLine, [](const std::string&, const std::string&) {});
    DisplayCommand display(environment.hostLink(), environment.labels());
    display.address = options.address;
    display.userSpaceName = options.name;
    if (display.run().stage != DisplayOutcome::Stage::Completed) {
        throw std::runtime_error("the user space could not be displayed");
    }
    const std::filesystem::path changed = options.work / (options.name + "-changed.twus");
    std::ofstream out(changed, std::ios::binary);
    UserSpaceWriter writer(out);
    SnapshotInfo info;
    info.address = options.address;
    info.name = options.name;
    writer.snapshotHeader(info);
    std::size_t count = 0;
    for (const FetchedPage& page : display.fetchedPages()) {
        std::string text(page.text);
        if (page.kind == 'Z') {
            for (std::size_t at = kChangeEvery / 2; at < text.size(); at += kChangeEvery) {
                text[at] = text[at] == 'X' ? 'Y' : 'X';
                ++count;
            }
        }
        writer.page(page.kind, static_cast<std::uint32_t>(page.position), text);
    }
    if (!out.flush()) {
        throw std::runtime_error("cannot write " + changed.string());
    }
    std::cerr << "changed " << count << " bytes of " << display.totalRows() << " rows\n";
    return changed;
}

}  // namespace twds::bench
