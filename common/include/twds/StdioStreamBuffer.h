#pragma once

#include <cstdio>
#include <streambuf>

namespace twds {

// An output stream's buffer that writes to a C stream: the writers of saved
// user spaces speak iostreams, the atomic file is a stdio file. The standard
// library has no such buffer (std::filebuf cannot adopt a FILE*).
class StdioStreamBuffer final : public std::streambuf {
public:
    explicit StdioStreamBuffer(std::FILE* file) : file_(file) {}

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char_type* data, std::streamsize count) override;
    int sync() override;

private:
    std::FILE* file_;
};

}  // namespace twds
