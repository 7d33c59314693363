#include <windows.h>

#include <algorithm>
#include <system_error>

#include "ReadOnlyFile.h"

namespace twds {

namespace {

std::string SystemReason() {
    return std::system_category().message(static_cast<int>(GetLastError()));
}

}  // namespace

ReadOnlyFile::~ReadOnlyFile() {
    CloseHandle(handle_);
}

std::unique_ptr<ReadOnlyFile> ReadOnlyFile::open(const std::filesystem::path& file,
                                                 Failure& failure, std::string& reason) {
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        failure = Failure::SystemError;
        reason = SystemReason();
        return nullptr;
    }
    // Pipes and character devices ("CON", "\\.\pipe\...") are no files.
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        failure = Failure::NotRegularFile;
        CloseHandle(handle);
        return nullptr;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle, &size)) {
        failure = Failure::SystemError;
        reason = SystemReason();
        CloseHandle(handle);
        return nullptr;
    }
    return std::unique_ptr<ReadOnlyFile>(
        new ReadOnlyFile(handle, static_cast<std::uint64_t>(size.QuadPart)));
}

std::size_t ReadOnlyFile::read(std::span<char> bytes) {
    // ReadFile takes a 32-bit count.
    constexpr std::size_t kMaxChunk = 1u << 30;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto wanted = static_cast<DWORD>(std::min(bytes.size() - done, kMaxChunk));
        DWORD got = 0;
        if (!ReadFile(handle_, bytes.data() + done, wanted, &got, nullptr) || got == 0) {
            break;
        }
        done += got;
    }
    return done;
}

}  // namespace twds
