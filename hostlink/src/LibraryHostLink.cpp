#include "twds/LibraryHostLink.h"

#include <algorithm>
#include <system_error>
#include <utility>
#include <vector>

#include "SharedLibrary.h"

// The engine's library uses the Windows API calling convention on 32-bit
// Windows; everywhere else there is a single C calling convention.
#if defined(_WIN32) && !defined(_WIN64)
#define TWDS_DLLPARAM_CALL __stdcall
#else
#define TWDS_DLLPARAM_CALL
#endif

namespace twds {

namespace {

using OpenFunction = int32_t(TWDS_DLLPARAM_CALL*)(char*, char*, char*, int32_t*);
using RetrieveFunction = int32_t(TWDS_DLLPARAM_CALL*)(char*, char*);
using CloseFunction = int32_t(TWDS_DLLPARAM_CALL*)(int32_t);
using LastErrorFunction = int32_t(TWDS_DLLPARAM_CALL*)(int32_t*, int32_t*, char*, int32_t);

// A NUL-terminated writable copy of a caller's buffer. The library writes
// into it; back() returns its bytes into the caller's string at the string's
// length, NULs included.
class CallBuffer {
public:
    explicit CallBuffer(std::string& owner) : owner_(owner), bytes_(owner.size() + 1, '\0') {
        std::copy(owner.begin(), owner.end(), bytes_.begin());
    }
    CallBuffer(const CallBuffer&) = delete;
    CallBuffer& operator=(const CallBuffer&) = delete;
    ~CallBuffer() { std::copy_n(bytes_.begin(), owner_.size(), owner_.begin()); }

    [[nodiscard]] char* data() { return bytes_.data(); }
    // Bytes the library may write, the terminating NUL included.
    [[nodiscard]] std::size_t capacity() const { return bytes_.size(); }

private:
    std::string& owner_;
    std::vector<char> bytes_;
};

template <typename Function>
Function Resolve(const SharedLibrary& library, const char* name, std::string& missing) {
    std::string reason;
    void* address = library.symbol(name, reason);
    if (address == nullptr) {
        missing += std::string(missing.empty() ? "" : "; ") + name + " (" + reason + ")";
    }
    // Converting an object pointer from dlsym/GetProcAddress to a function
    // pointer is how both systems hand out function addresses.
    return reinterpret_cast<Function>(address);
}

}  // namespace

struct LibraryHostLink::Functions {
    OpenFunction open = nullptr;
    RetrieveFunction retrieve = nullptr;
    CloseFunction close = nullptr;
    LastErrorFunction lastError = nullptr;
};

LibraryHostLink::LibraryHostLink(std::filesystem::path path, std::unique_ptr<SharedLibrary> library,
                                 std::unique_ptr<Functions> functions)
    : path_(std::move(path)), library_(std::move(library)), functions_(std::move(functions)) {}

LibraryHostLink::~LibraryHostLink() = default;

Result<std::unique_ptr<LibraryHostLink>> LibraryHostLink::load(const std::filesystem::path& file,
                                                               const MessageLookup& messages) {
    // Looked at before loading: the loader would wait on a named pipe, and
    // says little about a folder. A bare name is searched for in the
    // system's library folders, not here, so it is left to the loader.
    if (file.has_parent_path()) {
        std::error_code statusError;
        const std::filesystem::file_status status = std::filesystem::status(file, statusError);
        if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
            return Failure{messages(message::kLibraryNotRegular, {file.string()})};
        }
    }
    std::string reason;
    auto library = SharedLibrary::open(file, reason);
    if (!library) {
        return Failure{messages(message::kLibraryNotLoaded, {file.string(), reason})};
    }
    auto functions = std::make_unique<Functions>();
    std::string missing;
    functions->open = Resolve<OpenFunction>(*library, "fnDllParamOpenMConnection", missing);
    functions->retrieve = Resolve<RetrieveFunction>(*library, "fnDllParamRtvUserspace", missing);
    functions->close = Resolve<CloseFunction>(*library, "fnDllParamCloseMConnection", missing);
    functions->lastError = Resolve<LastErrorFunction>(*library, "fnDllParamGetLastError", missing);
    if (!missing.empty()) {
        return Failure{messages(message::kLibraryLacksFunctions, {file.string(), missing})};
    }
    return std::unique_ptr<LibraryHostLink>(
        new LibraryHostLink(file, std::move(library), std::move(functions)));
}

int32_t LibraryHostLink::fnDllParamOpenMConnection(std::string& machine, std::string& buffer1,
                                                   std::string& buffer2, int32_t& connection) {
    CallBuffer machineBuffer(machine);
    CallBuffer first(buffer1);
    CallBuffer second(buffer2);
    return functions_->open(machineBuffer.data(), first.data(), second.data(), &connection);
}

int32_t LibraryHostLink::fnDllParamRtvUserspace(std::string& userSpace, std::string& page) {
    CallBuffer name(userSpace);
    CallBuffer pageBuffer(page);
    return functions_->retrieve(name.data(), pageBuffer.data());
}

int32_t LibraryHostLink::fnDllParamCloseMConnection(int32_t connection) {
    return functions_->close(connection);
}

int32_t LibraryHostLink::fnDllParamGetLastError(int32_t& code1, int32_t& code2, std::string& text,
                                                int32_t length) {
    CallBuffer textBuffer(text);
    // The library trusts the length it is given; never let it claim more
    // room than the copy has.
    const auto room = static_cast<int32_t>(
        std::min<std::size_t>(textBuffer.capacity(), static_cast<std::size_t>(INT32_MAX)));
    return functions_->lastError(&code1, &code2, textBuffer.data(), std::clamp(length, 0, room));
}

}  // namespace twds
