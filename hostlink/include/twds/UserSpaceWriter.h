#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>

#include "twds/SnapshotInfo.h"

namespace twds {

// Streams a saved user space (the format read by SavedUserSpaceFile): the
// header on construction, then one record per page. Pages are written as
// given, unpadded: the host link pads them to each request's length.
class UserSpaceWriter {
public:
    // out must outlive the writer.
    explicit UserSpaceWriter(std::ostream& out);

    // A comment line; text must not hold a line feed.
    void comment(std::string_view text);
    // The snapshot header's lines, one per field that is not empty; write
    // them before the first page.
    void snapshotHeader(const SnapshotInfo& info);
    // position: at most 8 digits (below 100,000,000).
    void page(char kind, std::uint32_t position, std::string_view bytes);

private:
    std::ostream& out_;
};

}  // namespace twds
