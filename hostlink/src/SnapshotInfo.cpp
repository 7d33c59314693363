#include "twds/SnapshotInfo.h"

#include "twds/Ascii.h"

namespace twds {

std::string EscapeSnapshotValue(std::string_view value) {
    static constexpr std::string_view kHexDigits = "0123456789ABCDEF";
    std::string text;
    text.reserve(value.size());
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            text += "\\\\";
        } else if (byte < 0x20 || byte == 0x7F) {
            text += "\\x";
            text += kHexDigits[byte >> 4];
            text += kHexDigits[byte & 0xF];
        } else {
            text += c;
        }
    }
    return text;
}

std::string UnescapeSnapshotValue(std::string_view text) {
    std::string value;
    value.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
            value += '\\';
            ++i;
        } else if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' &&
                   AsciiHexDigitValue(text[i + 2]) >= 0 && AsciiHexDigitValue(text[i + 3]) >= 0) {
            value += static_cast<char>(AsciiHexDigitValue(text[i + 2]) * 16 +
                                       AsciiHexDigitValue(text[i + 3]));
            i += 3;
        } else {
            value += text[i];
        }
    }
    return value;
}

void SetSnapshotField(SnapshotInfo& info, std::string_view key, std::string_view text) {
    std::string* field = nullptr;
    if (key == "address") {
        field = &info.address;
    } else if (key == "name") {
        field = &info.name;
    } else if (key == "fetched") {
        field = &info.fetched;
    } else if (key == "viewer") {
        field = &info.viewer;
    } else if (key == "hostlink") {
        field = &info.hostLink;
    }
    if (field != nullptr) {
        *field = UnescapeSnapshotValue(text);
    }
}

}  // namespace twds
