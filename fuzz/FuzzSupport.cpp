#include "FuzzSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

namespace twds::fuzz {

namespace {

// Removes the process's folder at normal exit; libFuzzer exits normally
// after -runs or -max_total_time, and a crash leaves the folder for study.
class TempFolderOwner {
public:
    TempFolderOwner() {
        std::error_code error;
        const auto base = std::filesystem::temp_directory_path(error);
        if (error) {
            Fail("no temporary folder: " + error.message());
        }
        path_ = base / ("twds-fuzz-" + std::to_string(::getpid()));
        std::filesystem::remove_all(path_, error);
        if (!std::filesystem::create_directories(path_, error)) {
            Fail("cannot create " + path_.string() + ": " + error.message());
        }
    }
    ~TempFolderOwner() {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    TempFolderOwner(const TempFolderOwner&) = delete;
    TempFolderOwner& operator=(const TempFolderOwner&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace

void Fail(std::string_view what) {
    std::fprintf(stderr, "fuzz invariant failed: %.*s\n", static_cast<int>(what.size()),
                 what.data());
    std::abort();
}

const std::filesystem::path& ProcessTempFolder() {
    static const TempFolderOwner owner;
    return owner.path();
}

void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        Fail("cannot write " + file.string());
    }
}

std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        Fail("cannot read " + file.string());
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> SplitAtNul(std::string_view bytes) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t nul = bytes.find('\0'); nul != std::string_view::npos;
         nul = bytes.find('\0', start)) {
        parts.emplace_back(bytes.substr(start, nul - start));
        start = nul + 1;
    }
    parts.emplace_back(bytes.substr(start));
    return parts;
}

}  // namespace twds::fuzz

// AddressSanitizer keeps 256 MB of freed memory in quarantine by default.
// With inputs that allocate and free a few hundred small blocks each, cycling
// through that much memory costs page faults on most allocations: a third of
// a decoder target's time went to the kernel. 16 MB still holds the blocks of
// thousands of inputs, so a use after free within one input is caught all
// the same.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=16";
}
