#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "twds/HostLink.h"

namespace twds::test {

// One page request as the host link received it.
struct RecordedRequest {
    std::string header;  // the first ten characters: blank, 8 digits, kind
    std::size_t length = 0;
    bool restBlank = true;  // every character after the header was a blank
    std::string userSpace;  // the user-space buffer on the call
};

// A host link that serves pages from memory and records every call.
class FakeHostLink final : public HostLink {
public:
    using PageSource = std::function<std::optional<std::string_view>(char kind, int32_t position)>;

    // Pages served by kind and position; a request for anything else fails.
    std::map<std::pair<char, int32_t>, std::string> pages;
    // When set, replaces `pages` (for models too big to hold).
    PageSource source;

    bool openSucceeds = true;
    int32_t handle = 41;  // written to the connection argument on a successful open
    std::optional<std::pair<char, int32_t>> failAt;  // this request fails
    std::string lastError = "host unreachable";      // copied into the error buffer as is
    std::optional<std::string> renameUserSpace;      // written into the name buffer
    twds::PageSource servedFrom;                     // what pageSource() says

    std::vector<std::string> openedMachines;
    std::vector<RecordedRequest> requests;
    std::vector<int32_t> closedHandles;
    std::map<char, std::string> fullRequests;  // first full request text per kind

    int32_t fnDllParamOpenMConnection(std::string& machine, std::string& buffer1,
                                      std::string& buffer2, int32_t& connection) override;
    int32_t fnDllParamRtvUserspace(std::string& userSpace, std::string& page) override;
    int32_t fnDllParamCloseMConnection(int32_t connection) override;
    int32_t fnDllParamGetLastError(int32_t& code1, int32_t& code2, std::string& text,
                                   int32_t length) override;

    [[nodiscard]] twds::PageSource pageSource() const override { return servedFrom; }

    // "C 00001024", ... for each request, in order.
    [[nodiscard]] std::vector<std::string> requestSummary() const;
};

}  // namespace twds::test
