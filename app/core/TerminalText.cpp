#include "twds/TerminalText.h"

#ifndef _WIN32
#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <clocale>
#endif

namespace twds {

#ifdef _WIN32

// The console and its redirections take the ANSI code page's bytes.
std::string TerminalCodeset() {
    return {};
}

std::string AnsiToTerminal(std::string_view bytes, std::string_view /*codeset*/) {
    return std::string(bytes);
}

#else

std::string TerminalCodeset() {
    std::setlocale(LC_CTYPE, "");
    const char* codeset = nl_langinfo(CODESET);
    return codeset != nullptr ? codeset : "";
}

std::string AnsiToTerminal(std::string_view bytes, std::string_view codeset) {
    if (codeset.empty()) {
        return std::string(bytes);
    }
    const std::string target = std::string(codeset) + "//TRANSLIT";
    iconv_t converter = iconv_open(target.c_str(), "CP1252");
    // iconv_open's documented failure value.
    if (converter == reinterpret_cast<iconv_t>(-1)) {  // NOLINT(performance-no-int-to-ptr)
        return std::string(bytes);
    }
    std::string converted;
    // Four bytes a character holds any UTF-8 sequence; transliterations
    // ("oe" for the ligature) may take more, so the buffer grows on E2BIG.
    std::string buffer(bytes.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(bytes.data());  // iconv's signature; it only reads
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* out = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
        converted.append(buffer.data(), buffer.size() - outLeft);
        if (result != static_cast<std::size_t>(-1)) {
            break;
        }
        if (errno == E2BIG) {
            continue;
        }
        // A byte the code page leaves undefined, or a character the
        // terminal's codeset cannot show even approximately.
        converted += '?';
        ++in;
        --inLeft;
    }
    iconv_close(converter);
    return converted;
}

#endif

}  // namespace twds
