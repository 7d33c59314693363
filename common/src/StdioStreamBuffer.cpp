#include "twds/StdioStreamBuffer.h"

namespace twds {

StdioStreamBuffer::int_type StdioStreamBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) {
        return traits_type::not_eof(c);
    }
    return std::fputc(c, file_) == EOF ? traits_type::eof() : c;
}

std::streamsize StdioStreamBuffer::xsputn(const char_type* data, std::streamsize count) {
    if (count <= 0) {
        return 0;  // an empty text may have no data pointer, which fwrite must not see
    }
    return static_cast<std::streamsize>(
        std::fwrite(data, 1, static_cast<std::size_t>(count), file_));
}

int StdioStreamBuffer::sync() {
    return std::fflush(file_) == 0 ? 0 : -1;
}

}  // namespace twds
