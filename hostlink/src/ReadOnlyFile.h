#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>

namespace twds {

// A regular file open for reading, closed when the object goes. Opening
// refuses anything else: a named pipe would keep a read waiting for a writer
// that never comes, and a folder or a device holds no saved data.
class ReadOnlyFile {
public:
    enum class Failure {
        NotRegularFile,  // a folder, named pipe, device or socket
        SystemError,     // the system's reason says why
    };

    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // Opens the file without waiting on it, then checks on the open file
    // that it is regular (it may have been replaced since the caller looked).
    // On failure returns nullptr, sets failure, and for a SystemError sets
    // reason to the system's text.
    [[nodiscard]] static std::unique_ptr<ReadOnlyFile> open(const std::filesystem::path& file,
                                                            Failure& failure, std::string& reason);

    // The size when the file was opened.
    [[nodiscard]] std::uint64_t size() const { return size_; }

    // Reads on from the current position until `bytes` is full; returns the
    // number of bytes read, fewer when the file ended or could not be read.
    [[nodiscard]] std::size_t read(std::span<char> bytes);

private:
    ReadOnlyFile(void* handle, std::uint64_t size) : handle_(handle), size_(size) {}

    // The system's handle: a file descriptor on POSIX systems, a HANDLE on
    // Windows.
    void* handle_;
    std::uint64_t size_;
};

}  // namespace twds
