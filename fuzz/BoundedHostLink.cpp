#include "BoundedHostLink.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "FuzzSupport.h"

namespace twds::fuzz {

namespace {

// The request length of each page kind.
std::size_t RequestLength(char kind) {
    switch (kind) {
        case 'C':
            return 2000;
        case 'G':
        case 'E':
        case 'F':
            return 10000;
        case 'Z':
        case 'S':
            return 30000;
        default:
            return 0;
    }
}

void CheckRequest(const std::string& userSpace, const std::string& page) {
    TWDS_FUZZ_CHECK(userSpace.size() == 10, "a request for a name that is not 10 characters");
    TWDS_FUZZ_CHECK(page.size() >= 10, "a page request shorter than its header");
    const char kind = page[9];
    TWDS_FUZZ_CHECK(RequestLength(kind) == page.size(),
                    "a page request of the wrong length for its kind");
    TWDS_FUZZ_CHECK(page[0] == ' ' && std::all_of(page.begin() + 1, page.begin() + 9,
                                                  [](char c) { return c >= '0' && c <= '9'; }),
                    "a page request without a blank and 8 digits");
    // One memcmp rather than a loop: the loop's coverage callbacks, one per
    // character of a 30,000-character request, took a fifth of a Display.
    static const std::string blanks(RequestLength('Z'), ' ');
    TWDS_FUZZ_CHECK(std::memcmp(page.data() + 10, blanks.data(), page.size() - 10) == 0,
                    "a page request not filled with blanks");
}

}  // namespace

BoundedHostLink::BoundedHostLink(HostLink& inner, std::size_t maxRequests,
                                 std::function<bool(char kind)> stop)
    : inner_(inner), maxRequests_(maxRequests), stop_(std::move(stop)) {}

void BoundedHostLink::reset() {
    requests_ = 0;
    bounded_ = false;
}

int32_t BoundedHostLink::fnDllParamOpenMConnection(std::string& machine, std::string& buffer1,
                                                   std::string& buffer2, int32_t& connection) {
    return inner_.fnDllParamOpenMConnection(machine, buffer1, buffer2, connection);
}

int32_t BoundedHostLink::fnDllParamRtvUserspace(std::string& userSpace, std::string& page) {
    CheckRequest(userSpace, page);
    const std::size_t length = page.size();
    if (requests_ >= maxRequests_ || (stop_ && stop_(page[9]))) {
        bounded_ = true;
        return 0;
    }
    ++requests_;
    const int32_t result = inner_.fnDllParamRtvUserspace(userSpace, page);
    TWDS_FUZZ_CHECK(page.size() == length, "the host link changed the page's length");
    return result;
}

int32_t BoundedHostLink::fnDllParamCloseMConnection(int32_t connection) {
    return inner_.fnDllParamCloseMConnection(connection);
}

int32_t BoundedHostLink::fnDllParamGetLastError(int32_t& code1, int32_t& code2, std::string& text,
                                                int32_t length) {
    return inner_.fnDllParamGetLastError(code1, code2, text, length);
}

}  // namespace twds::fuzz
