#include "FakeHostLink.h"

#include <algorithm>

namespace twds::test {

int32_t FakeHostLink::fnDllParamOpenMConnection(std::string& machine, std::string& buffer1,
                                                std::string& buffer2, int32_t& connection) {
    openedMachines.push_back(machine);
    if (buffer1 != std::string(10, ' ') || buffer2 != std::string(10, ' ')) {
        openedMachines.back() += " <buffers not blank>";
    }
    if (!openSucceeds) {
        return 0;
    }
    connection = handle;
    return 1;
}

int32_t FakeHostLink::fnDllParamRtvUserspace(std::string& userSpace, std::string& page) {
    RecordedRequest request;
    request.header = page.substr(0, 10);
    request.length = page.size();
    request.restBlank = page.size() < 10 || page.find_first_not_of(' ', 10) == std::string::npos;
    request.userSpace = userSpace;
    requests.push_back(request);
    const char kind = page.size() >= 10 ? page[9] : '?';
    fullRequests.try_emplace(kind, page);

    if (renameUserSpace) {
        userSpace = *renameUserSpace;
    }
    const int32_t position = page.size() >= 10 ? std::stoi(page.substr(1, 8)) : -1;
    if (failAt && *failAt == std::pair{kind, position}) {
        return 0;
    }
    std::optional<std::string_view> text;
    if (source) {
        text = source(kind, position);
    } else if (const auto found = pages.find({kind, position}); found != pages.end()) {
        text = found->second;
    }
    if (!text) {
        return 0;
    }
    const std::size_t length = page.size();
    page.assign(length, ' ');
    page.replace(0, std::min(length, text->size()), text->substr(0, length));
    return 1;
}

int32_t FakeHostLink::fnDllParamCloseMConnection(int32_t connection) {
    closedHandles.push_back(connection);
    return 1;
}

int32_t FakeHostLink::fnDllParamGetLastError(int32_t& code1, int32_t& code2, std::string& text,
                                             int32_t length) {
    code1 = 7;
    code2 = 8;
    if (text.size() != static_cast<std::size_t>(length) ||
        text.find_first_not_of(' ') != std::string::npos) {
        return 0;
    }
    text.replace(0, std::min(text.size(), lastError.size()), lastError.substr(0, text.size()));
    return 1;
}

std::vector<std::string> FakeHostLink::requestSummary() const {
    std::vector<std::string> summary;
    for (const RecordedRequest& request : requests) {
        summary.push_back(request.header.substr(9, 1) + " " + request.header.substr(1, 8));
    }
    return summary;
}

}  // namespace twds::test
