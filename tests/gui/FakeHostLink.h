#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "twds/HostLink.h"

namespace twds::testing {

// A host link serving pages from memory, keyed by kind letter and position;
// each page comes back padded with blanks to the request's length. Records
// what the viewer asked for.
class FakeHostLink : public HostLink {
public:
    std::map<std::pair<char, int>, std::string> pages;
    bool connectSucceeds = true;
    std::int32_t handle = 42;
    std::string lastError = "no such page";

    int opens = 0;
    std::vector<std::int32_t> closes;
    std::vector<std::pair<char, int>> requests;

    int32_t fnDllParamOpenMConnection(std::string& machine, std::string& buffer1,
                                      std::string& buffer2, int32_t& connection) override;
    int32_t fnDllParamRtvUserspace(std::string& userSpace, std::string& page) override;
    int32_t fnDllParamCloseMConnection(int32_t connection) override;
    int32_t fnDllParamGetLastError(int32_t& code1, int32_t& code2, std::string& text,
                                   int32_t length) override;
};

// A small user space: CX, GC with an End_TW page, and two files with two ZC
// entries each; the first file has SQL statements, the second none.
void ServeSmallModel(FakeHostLink& link);

// The value that ServeSmallModel puts in the CX field "Version".
inline constexpr const char* kCxVersion = "V07R01M00";

}  // namespace twds::testing
