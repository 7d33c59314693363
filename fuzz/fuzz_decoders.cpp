// The page decoders as the Display command chains them: CX, GC, End_TW, then
// per file FC, ZC with the file's ZC count and SQL when its Insert offset is
// above 0. A scripted host link serves the pages from the input, one page per
// request in the order the requests come.
//
// Input: the typed address and user-space name, then for every page a pad
// byte and the page's bytes, each text in FuzzedDataProvider's escaped form
// (a backslash followed by another backslash is one backslash; followed by
// anything else it ends the text). A page shorter than its request is padded
// with the pad byte; when the input runs out, the retrieval fails.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "BoundedHostLink.h"
#include "DisplayChecks.h"
#include "FuzzSupport.h"
#include "twds/DisplayCommand.h"

namespace {

// At most: CX, GC, End_TW and seven files' three pages.
constexpr std::size_t kMaxRequests = 24;

class ScriptedHostLink final : public twds::HostLink {
public:
    // The pages of the next Display come from `input`, which must outlive it.
    void serve(FuzzedDataProvider& input) { input_ = &input; }

    int32_t fnDllParamOpenMConnection(std::string& machine, std::string&, std::string&,
                                      int32_t& connection) override {
        TWDS_FUZZ_CHECK(!machine.empty() && machine.front() != ' ' && machine.back() != ' ',
                        "the machine address is not trimmed");
        connection = 7;
        return 1;
    }

    int32_t fnDllParamRtvUserspace(std::string&, std::string& page) override {
        if (input_->remaining_bytes() == 0) {
            lastError_ = "no more pages";
            return 0;
        }
        const char pad = input_->ConsumeIntegral<char>();
        const std::string text = input_->ConsumeRandomLengthString(page.size());
        std::copy(text.begin(), text.end(), page.begin());
        std::fill(page.begin() + static_cast<std::ptrdiff_t>(text.size()), page.end(), pad);
        return 1;
    }

    int32_t fnDllParamCloseMConnection(int32_t) override { return 1; }

    int32_t fnDllParamGetLastError(int32_t& code1, int32_t&, std::string& text,
                                   int32_t length) override {
        code1 = 1;
        // A library that fills the whole buffer, without a terminating NUL.
        const std::size_t n = std::min(
            {lastError_.size(), text.size(), static_cast<std::size_t>(std::max(length, 0))});
        std::copy_n(lastError_.begin(), n, text.begin());
        return 1;
    }

private:
    FuzzedDataProvider* input_ = nullptr;
    std::string lastError_;
};

// One window for the whole run, as the viewer has: each Display replaces the
// rows of the one before, and the lists keep their storage between inputs.
struct Window {
    ScriptedHostLink scripted;
    twds::fuzz::BoundedHostLink link{scripted, kMaxRequests, [this](char kind) {
                                         return twds::fuzz::TooLargeToFuzz(display, kind);
                                     }};
    twds::DisplayCommand display{link, twds::fuzz::EnglishLabels()};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Window& window = *new Window;
    twds::DisplayCommand& display = window.display;
    FuzzedDataProvider input(data, size);
    window.scripted.serve(input);
    window.link.reset();

    display.txtIpAddress = input.ConsumeRandomLengthString(32);
    display.txtUsrSpcName = input.ConsumeRandomLengthString(32);
    display.Run();
    twds::fuzz::CheckDisplay(display, window.link.bounded());

    // A second Display on the same window, whose first retrieval fails,
    // leaves none of the first one's rows.
    static_cast<void>(input.ConsumeRemainingBytes<char>());
    display.txtIpAddress = "127.0.0.1";
    display.Run();
    TWDS_FUZZ_CHECK(
        display.list(twds::PageList::CX).empty() && display.list(twds::PageList::FC).empty(),
        "a second Display kept the first one's rows");
    return 0;
}
