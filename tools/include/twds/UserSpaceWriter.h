#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>

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
    // position: at most 8 digits (below 100,000,000).
    void page(char kind, std::uint32_t position, std::string_view bytes);

private:
    std::ostream& out_;
};

}  // namespace twds
