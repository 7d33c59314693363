// The viewer's command line: the input is the argument list, split at NUL
// bytes, as the system would hand it over.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "twds/CommandLine.h"
#include "twds/Snapshot.h"

namespace {

void CheckSplit(std::string_view text) {
    const auto split = twds::SplitArgumentText(text);
    if (!split) {
        TWDS_FUZZ_CHECK(text.empty() || text.find('/') == std::string_view::npos,
                        "an argument text with a \"/\" was not split");
        return;
    }
    TWDS_FUZZ_CHECK(split->address.find('/') == std::string::npos,
                    "the address holds a \"/\": not split at the first one");
    TWDS_FUZZ_CHECK(split->address + "/" + split->name == text,
                    "address, \"/\" and name do not give the argument text back");
}

// ADDRESS/NAME or a saved user space's path.
bool IsTarget(std::string_view text) {
    return twds::IsSnapshotPath(text) || twds::SplitArgumentText(text).has_value();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = twds::fuzz::Bytes(data, size);
    const std::vector<std::string> arguments = twds::fuzz::SplitAtNul(bytes);
    const twds::CommandLine line = twds::ParseCommandLine(arguments);

    CheckSplit(bytes);
    CheckSplit(line.argumentText);
    TWDS_FUZZ_CHECK(line.argumentText.size() <= size, "the argument text grew past the input");

    if (line.usageError.empty() && !line.help && !line.version) {
        const bool target = IsTarget(line.argumentText);
        TWDS_FUZZ_CHECK(!line.output || line.exportMode, "--output accepted without --export");
        TWDS_FUZZ_CHECK(!line.exportMode || line.compare || target,
                        "--export accepted without ADDRESS/NAME");
        TWDS_FUZZ_CHECK(!line.findText || !line.exportMode, "--find accepted with --export");
        TWDS_FUZZ_CHECK(!line.findText || (!line.findText->empty() && target),
                        "--find accepted without a text or ADDRESS/NAME");
        TWDS_FUZZ_CHECK(!line.snapshot || (!line.findText && target),
                        "--snapshot accepted with --find or without ADDRESS/NAME");
        TWDS_FUZZ_CHECK(!line.force || line.snapshot, "--force accepted without --snapshot");
        TWDS_FUZZ_CHECK(!line.compare || (line.operands.size() == 2 && IsTarget(line.operands[0]) &&
                                          IsTarget(line.operands[1]) && !line.exportMode &&
                                          !line.findText && !line.snapshot),
                        "--compare accepted without OLD and NEW, or with another mode");
    }

    // Without options the arguments are only joined.
    bool anyOption = false;
    std::string joined;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        anyOption = anyOption || (arguments[i].size() > 1 && arguments[i].front() == '-');
        joined += (i == 0 ? "" : " ") + arguments[i];
    }
    if (!anyOption) {
        TWDS_FUZZ_CHECK(line.usageError.empty(), "plain arguments gave a usage error");
        TWDS_FUZZ_CHECK(line.argumentText == joined, "plain arguments not joined by one blank");
    }
    return 0;
}
