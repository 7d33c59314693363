// A stand-in for the engine's host-link library, loaded at run time by the
// host-link tests. It answers with bytes a C string would lose (NULs, bytes
// above 127, a NUL as the very last byte) and echoes what it received so
// that the tests can check it. After opening "length.example" fails, the
// last error is the length its caller says the text buffer has.
// TWDS_TEST_OMIT_CLOSE leaves out fnDllParamCloseMConnection.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#define TWDS_TEST_EXPORT extern "C" __declspec(dllexport)
#else
#define TWDS_TEST_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

constexpr int32_t kHandle = 4711;
constexpr std::size_t kShortBuffer = 10;
// Page text: the request's first 10 bytes, 5 odd bytes, the request length
// in 5 digits, the user-space name as received (10 bytes), then dots and a
// final NUL.
constexpr std::size_t kPageHead = 30;

char gLastError[256] = "no error yet";
bool gReportLength = false;

}  // namespace

TWDS_TEST_EXPORT int32_t fnDllParamOpenMConnection(char* machine, char* buffer1, char* buffer2,
                                                   int32_t* connection) {
    gReportLength = std::strcmp(machine, "length.example") == 0;
    if (gReportLength) {
        return 0;
    }
    std::memcpy(buffer1, "\0B\xE9", 3);
    std::memcpy(buffer2, machine, std::min(std::strlen(machine), kShortBuffer));
    *connection = kHandle;
    return 1;
}

TWDS_TEST_EXPORT int32_t fnDllParamRtvUserspace(char* userSpace, char* page) {
    // A page request holds no NUL, so its length is where the copy's
    // terminating NUL stands.
    const std::size_t length = std::strlen(page);
    char head[kPageHead];
    std::memcpy(head, page, 10);
    std::memcpy(head + 10, "\0\x01\xE9\xFF\0", 5);
    char digits[6];
    std::snprintf(digits, sizeof digits, "%05zu", length % 100000);
    std::memcpy(head + 15, digits, 5);
    std::memcpy(head + 20, userSpace, kShortBuffer);
    std::memcpy(page, head, kPageHead);
    std::memset(page + kPageHead, '.', length - kPageHead - 1);
    page[length - 1] = '\0';
    std::memcpy(userSpace, "RET\0", 4);
    return 1;
}

#ifndef TWDS_TEST_OMIT_CLOSE
TWDS_TEST_EXPORT int32_t fnDllParamCloseMConnection(int32_t connection) {
    std::snprintf(gLastError, sizeof gLastError, "closed connection %d",
                  static_cast<int>(connection));
    return connection == kHandle ? 1 : 0;
}
#endif

TWDS_TEST_EXPORT int32_t fnDllParamGetLastError(int32_t* code1, int32_t* code2, char* text,
                                                int32_t length) {
    *code1 = 42;
    *code2 = -7;
    if (gReportLength) {
        std::snprintf(gLastError, sizeof gLastError, "%d", static_cast<int>(length));
    }
    const std::size_t copied =
        std::min(std::strlen(gLastError), static_cast<std::size_t>(length) - 1);
    std::memcpy(text, gLastError, copied);
    text[copied] = '\0';
    return 1;
}
