#include "ProcessMemory.h"

#include <malloc.h>

#include <fstream>
#include <string>
#include <string_view>

namespace twds::bench {

namespace {

// A "Name:   1234 kB" line of /proc/self/status, in bytes; 0 when missing.
std::size_t StatusValueBytes(std::string_view name) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with(name) && line.size() > name.size() && line[name.size()] == ':') {
            return std::stoull(line.substr(name.size() + 1)) * 1024;
        }
    }
    return 0;
}

}  // namespace

std::size_t PeakResidentBytes() {
    return StatusValueBytes("VmHWM");
}

std::size_t ResidentBytes() {
    return StatusValueBytes("VmRSS");
}

std::size_t HeapInUseBytes() {
    // Large blocks (the lists' row blocks and value chunks) come straight
    // from mmap and are counted apart from the arenas.
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

}  // namespace twds::bench
