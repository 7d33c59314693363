#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace twds {

// A shared library loaded at run time (dlopen on POSIX systems, LoadLibraryA
// on Windows). The library stays loaded as long as this object lives, so
// every function pointer taken from it must not outlive it.
class SharedLibrary {
public:
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // Loads the library. On failure returns nullptr and sets error to the
    // system's reason (dlerror or the Windows error text).
    [[nodiscard]] static std::unique_ptr<SharedLibrary> open(const std::filesystem::path& file,
                                                             std::string& error);

    // The address of an exported symbol, or nullptr with error set to the
    // system's reason.
    [[nodiscard]] void* symbol(const char* name, std::string& error) const;

private:
    explicit SharedLibrary(void* handle) : handle_(handle) {}

    void* handle_;
};

}  // namespace twds
