// Saved user spaces: the input is a .twus file in a store folder, read
// through the saved host link. A few pages are requested directly and
// compared with the file's own index, then a Display runs over it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "BoundedHostLink.h"
#include "DisplayChecks.h"
#include "FuzzSupport.h"
#include "twds/DisplayCommand.h"
#include "twds/SavedUserSpaceFile.h"
#include "twds/SavedUserSpaceHostLink.h"

namespace {

constexpr std::string_view kAddress = "127.0.0.1";
constexpr std::string_view kName = "TWMODEL001";
constexpr std::size_t kMaxRequests = 24;
// Record lines read from the input to pick more pages to request.
constexpr std::size_t kMaxScannedRecords = 8;

struct Request {
    char kind;
    std::uint32_t position;
    std::size_t length;
};

// The kinds and positions of the first record lines ("K 12345678 ..."),
// found by a plain scan that does not trust the file's lengths.
std::vector<Request> ScanRecords(std::string_view bytes) {
    std::vector<Request> found;
    for (std::size_t at = bytes.find('\n');
         at != std::string_view::npos && found.size() < kMaxScannedRecords;
         at = bytes.find('\n', at + 1)) {
        const std::string_view line = bytes.substr(at + 1, 10);
        if (line.size() == 10 && line[1] == ' ' &&
            std::all_of(line.begin() + 2, line.end(),
                        [](char c) { return c >= '0' && c <= '9'; })) {
            found.push_back({line[0],
                             static_cast<std::uint32_t>(std::stoul(std::string(line.substr(2)))),
                             line[0] == 'C' ? 2000u : 10000u});
        }
    }
    return found;
}

std::string LastError(twds::HostLink& link, std::int32_t& code) {
    std::int32_t code2 = 0;
    std::string text(1024, ' ');
    link.fnDllParamGetLastError(code, code2, text, 1024);
    const auto nul = text.find('\0');
    TWDS_FUZZ_CHECK(nul != std::string::npos, "the last error is not NUL-terminated");
    text.resize(nul);
    return text;
}

void CheckRequest(twds::SavedUserSpaceHostLink& link, const twds::SavedUserSpaceFile* file,
                  const std::string& parseError, const Request& request) {
    std::string userSpace(kName);
    std::string page(request.length, ' ');
    char header[16];
    std::snprintf(header, sizeof header, " %08u%c", request.position % 100000000u, request.kind);
    std::copy_n(header, 10, page.begin());
    const std::int32_t result = link.fnDllParamRtvUserspace(userSpace, page);
    TWDS_FUZZ_CHECK(page.size() == request.length, "a page changed its length");
    TWDS_FUZZ_CHECK(userSpace == kName, "the user-space name changed");

    std::int32_t code = 0;
    if (request.kind < 'A' || request.kind > 'Z') {
        TWDS_FUZZ_CHECK(result == 0, "a page served for a request without a kind letter");
        LastError(link, code);
        TWDS_FUZZ_CHECK(code == twds::SavedUserSpaceHostLink::kBadRequest,
                        "a request without a kind letter not refused as malformed");
        return;
    }
    if (file == nullptr) {
        TWDS_FUZZ_CHECK(result == 0, "a page served from a malformed file");
        const std::string error = LastError(link, code);
        TWDS_FUZZ_CHECK(code == twds::SavedUserSpaceHostLink::kUnreadableFile,
                        "a malformed file not reported as unreadable");
        TWDS_FUZZ_CHECK(error == parseError.substr(0, 1023),
                        "the last error does not say why the file is malformed");
        return;
    }
    const auto expected = file->page(request.kind, request.position % 100000000u);
    if (!expected) {
        TWDS_FUZZ_CHECK(result == 0, "a page served that the file does not hold");
        LastError(link, code);
        TWDS_FUZZ_CHECK(code == twds::SavedUserSpaceHostLink::kMissingPage,
                        "a missing page not reported as missing");
        return;
    }
    TWDS_FUZZ_CHECK(result != 0, "a page of the file was not served");
    const std::size_t kept = std::min(expected->size(), page.size());
    TWDS_FUZZ_CHECK(page.compare(0, kept, expected->substr(0, kept)) == 0,
                    "a served page differs from the file's record");
    TWDS_FUZZ_CHECK(std::all_of(page.begin() + static_cast<std::ptrdiff_t>(kept), page.end(),
                                [](char c) { return c == ' '; }),
                    "a short page not padded with blanks");
}

// The viewer's window over its own saved host link.
struct Window {
    explicit Window(const std::filesystem::path& store) : saved({store}) {}
    twds::SavedUserSpaceHostLink saved;
    twds::fuzz::BoundedHostLink link{saved, kMaxRequests, [this](char kind) {
                                         return twds::fuzz::TooLargeToFuzz(display, kind);
                                     }};
    twds::DisplayCommand display{link, twds::fuzz::EnglishLabels()};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = twds::fuzz::Bytes(data, size);
    static const std::filesystem::path store = twds::fuzz::ProcessTempFolder() / "store";
    static const std::filesystem::path file = [] {
        const std::filesystem::path folder = store / std::string(kAddress);
        std::filesystem::create_directories(folder);
        return folder / (std::string(kName) + ".twus");
    }();
    twds::fuzz::WriteBytes(file, bytes);

    const auto parsed = twds::SavedUserSpaceFile::parse(std::string(bytes), file.string());
    TWDS_FUZZ_CHECK(parsed || !parsed.error().empty(), "a malformed file without a message");

    twds::SavedUserSpaceHostLink link({store});
    std::string machine(kAddress);
    std::string buffer1(10, ' ');
    std::string buffer2(10, ' ');
    std::int32_t connection = 0;
    TWDS_FUZZ_CHECK(link.fnDllParamOpenMConnection(machine, buffer1, buffer2, connection) != 0,
                    "cannot open the store");

    std::vector<Request> requests{
        {'C', 1024, 2000}, {'G', 1024, 10000}, {'F', 2048, 10000}, {'Z', 2048, 30000}};
    const std::vector<Request> scanned = ScanRecords(bytes);
    requests.insert(requests.end(), scanned.begin(), scanned.end());
    for (const Request& request : requests) {
        CheckRequest(link, parsed ? parsed->get() : nullptr,
                     parsed ? std::string() : parsed.error(), request);
    }
    link.fnDllParamCloseMConnection(connection);

    // The whole Display over the same file, bounded, in one window for the
    // whole run as the viewer has.
    static Window& window = *new Window(store);
    window.link.reset();
    twds::DisplayCommand& display = window.display;
    display.address = std::string(kAddress);
    display.userSpaceName = std::string(kName);
    display.run();
    twds::fuzz::CheckDisplay(display, window.link.bounded());
    if (!parsed) {
        TWDS_FUZZ_CHECK(display.list(twds::PageList::CX).empty(),
                        "rows shown from a malformed file");
    }
    return 0;
}
