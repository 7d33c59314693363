#include <windows.h>

#include "SharedLibrary.h"

namespace twds {

namespace {

std::string LastWindowsError() {
    const DWORD code = GetLastError();
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length > 0 ? std::string(text, length) : std::string();
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
        message.pop_back();
    }
    return message + " (error " + std::to_string(code) + ")";
}

}  // namespace

SharedLibrary::~SharedLibrary() {
    FreeLibrary(static_cast<HMODULE>(handle_));
}

std::unique_ptr<SharedLibrary> SharedLibrary::open(const std::filesystem::path& file,
                                                   std::string& error) {
    HMODULE handle = LoadLibraryA(file.string().c_str());
    if (handle == nullptr) {
        error = LastWindowsError();
        return nullptr;
    }
    return std::unique_ptr<SharedLibrary>(new SharedLibrary(handle));
}

void* SharedLibrary::symbol(const char* name, std::string& error) const {
    FARPROC address = GetProcAddress(static_cast<HMODULE>(handle_), name);
    if (address == nullptr) {
        error = LastWindowsError();
        return nullptr;
    }
    return reinterpret_cast<void*>(address);
}

}  // namespace twds
