#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

#include "ReadOnlyFile.h"

namespace twds {

namespace {

int Descriptor(void* handle) {
    return static_cast<int>(reinterpret_cast<std::intptr_t>(handle));
}

std::string SystemReason() {
    return std::generic_category().message(errno);
}

}  // namespace

ReadOnlyFile::~ReadOnlyFile() {
    ::close(Descriptor(handle_));
}

std::unique_ptr<ReadOnlyFile> ReadOnlyFile::open(const std::filesystem::path& file,
                                                 Failure& failure, std::string& reason) {
    // O_NONBLOCK: opening a named pipe for reading would otherwise wait for
    // a writer. It changes nothing for a regular file's reads.
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        failure = Failure::SystemError;
        reason = SystemReason();
        return nullptr;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        failure = Failure::SystemError;
        reason = SystemReason();
        ::close(descriptor);
        return nullptr;
    }
    if (!S_ISREG(status.st_mode)) {
        failure = Failure::NotRegularFile;
        ::close(descriptor);
        return nullptr;
    }
    return std::unique_ptr<ReadOnlyFile>(
        // The handle is a descriptor here and a HANDLE on Windows.
        // NOLINTNEXTLINE(performance-no-int-to-ptr)
        new ReadOnlyFile(reinterpret_cast<void*>(static_cast<std::intptr_t>(descriptor)),
                         static_cast<std::uint64_t>(status.st_size)));
}

std::size_t ReadOnlyFile::read(std::span<char> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(Descriptor(handle_), bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

}  // namespace twds
