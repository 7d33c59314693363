#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Helpers shared by the fuzz targets. Targets are single-threaded and run
// one input after another in one process.
namespace twds::fuzz {

// Stops the run with `what` on standard error when an invariant does not
// hold: libFuzzer keeps the input that led here as a crash.
[[noreturn]] void Fail(std::string_view what);

// A folder of this process under the system's temporary folder, created on
// first use and removed when the process exits normally. Targets write their
// input there when the code under test reads files.
[[nodiscard]] const std::filesystem::path& ProcessTempFolder();

// Replaces `file` with exactly `bytes`; Fail() when it cannot.
void WriteBytes(const std::filesystem::path& file, std::string_view bytes);

// The whole file's bytes; Fail() when it cannot be read.
[[nodiscard]] std::string ReadBytes(const std::filesystem::path& file);

// The input's bytes split at every NUL byte: "a\0\0b" gives "a", "", "b".
[[nodiscard]] std::vector<std::string> SplitAtNul(std::string_view bytes);

// The input as a string_view.
[[nodiscard]] inline std::string_view Bytes(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace twds::fuzz

#define TWDS_FUZZ_CHECK(condition, what) \
    do {                                 \
        if (!(condition)) {              \
            ::twds::fuzz::Fail(what);    \
        }                                \
    } while (false)
