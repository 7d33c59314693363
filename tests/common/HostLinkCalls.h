#pragma once

#include <cstdint>
#include <string>

#include "twds/HostLink.h"

namespace twds::test {

// Opens a connection as the viewer does, with blank ten-character buffers;
// returns the call's result.
inline int32_t OpenConnection(HostLink& link, std::string machine, int32_t& connection) {
    std::string buffer1(10, ' ');
    std::string buffer2(10, ' ');
    return link.fnDllParamOpenMConnection(machine, buffer1, buffer2, connection);
}

struct LastError {
    std::string text;  // up to its NUL
    int32_t code1 = 0;
    int32_t code2 = 0;
};

// The last error, read into a blank buffer of `length` characters.
inline LastError ReadLastError(HostLink& link, int32_t length = 1024) {
    LastError error;
    std::string text(static_cast<std::size_t>(length), ' ');
    link.fnDllParamGetLastError(error.code1, error.code2, text, length);
    error.text = text.substr(0, text.find('\0'));
    return error;
}

}  // namespace twds::test
