#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "twds/HostLink.h"
#include "twds/Messages.h"
#include "twds/Result.h"

namespace twds {

class SharedLibrary;

// The engine's host-link library (DllParam) loaded at run time, its four C
// functions resolved by name:
//
//   int32_t fnDllParamOpenMConnection(char* machine, char* buffer1, char* buffer2,
//                                     int32_t* connection);
//   int32_t fnDllParamRtvUserspace(char* userSpace, char* page);
//   int32_t fnDllParamCloseMConnection(int32_t connection);
//   int32_t fnDllParamGetLastError(int32_t* code1, int32_t* code2, char* text,
//                                  int32_t length);
//
// (stdcall on 32-bit Windows). Every text argument goes to the library as a
// writable copy one byte longer than the caller's buffer, that last byte NUL;
// the library's bytes come back into the caller's string at its length,
// NULs included.
class LibraryHostLink final : public HostLink {
public:
    ~LibraryHostLink() override;
    LibraryHostLink(const LibraryHostLink&) = delete;
    LibraryHostLink& operator=(const LibraryHostLink&) = delete;

    // Loads the library and resolves the four functions. A failure's message
    // (from `messages`) names the library and what is missing, with the
    // system's reason.
    [[nodiscard]] static Result<std::unique_ptr<LibraryHostLink>> load(
        const std::filesystem::path& file, const MessageLookup& messages = BuiltInMessages());

    int32_t fnDllParamOpenMConnection(std::string& machine, std::string& buffer1,
                                      std::string& buffer2, int32_t& connection) override;
    int32_t fnDllParamRtvUserspace(std::string& userSpace, std::string& page) override;
    int32_t fnDllParamCloseMConnection(int32_t connection) override;
    int32_t fnDllParamGetLastError(int32_t& code1, int32_t& code2, std::string& text,
                                   int32_t length) override;

    // Every page comes from the library loaded, whatever it reaches.
    [[nodiscard]] PageSource pageSource() const override {
        return {PageSource::Kind::Library, path_};
    }

private:
    struct Functions;

    LibraryHostLink(std::filesystem::path path, std::unique_ptr<SharedLibrary> library,
                    std::unique_ptr<Functions> functions);

    std::filesystem::path path_;
    std::unique_ptr<SharedLibrary> library_;
    std::unique_ptr<Functions> functions_;
};

}  // namespace twds
