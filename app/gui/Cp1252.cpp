#include "twds/Cp1252.h"

#include <array>
#include <optional>

#include <QList>

#include "twds/Windows1252.h"

namespace twds {

namespace {

constexpr char16_t kControlPictures = 0x2400;  // U+2400..U+241F for 0x00..0x1F
constexpr char16_t kDeletePicture = 0x2421;    // for 0x7F
constexpr char16_t kReplacement = 0xFFFD;      // for the bytes the code page leaves undefined

// One UTF-16 unit per byte: every Windows-1252 character lies in the BMP.
constexpr std::array<char16_t, 256> MakeVisibleTable() {
    std::array<char16_t, 256> table{};
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        if (b < 0x20) {
            table[b] = static_cast<char16_t>(kControlPictures + b);
        } else if (b == 0x7F) {
            table[b] = kDeletePicture;
        } else if (IsUndefinedInWindows1252(byte)) {
            table[b] = kReplacement;
        } else {
            table[b] = static_cast<char16_t>(Windows1252CodePoint(byte));
        }
    }
    return table;
}

constexpr std::array<char16_t, 256> kVisible = MakeVisibleTable();

QChar VisibleChar(char byte) {
    return {kVisible[static_cast<unsigned char>(byte)]};
}

// The byte that shows as `code`, or -1 when no byte does.
int ByteForCodePoint(char32_t code) {
    if (code >= kControlPictures && code < kControlPictures + 0x20) {
        return static_cast<int>(code - kControlPictures);
    }
    if (code == kDeletePicture) {
        return 0x7F;
    }
    const std::optional<unsigned char> byte = Windows1252Byte(code);
    return byte ? *byte : -1;
}

}  // namespace

QString Cp1252ToQString(std::string_view bytes) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (char byte : bytes) {
        *out++ = VisibleChar(byte);
    }
    return text;
}

QString Cp1252ToQStringWithLineBreaks(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char byte = bytes[i];
        if (byte == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            text.append(QLatin1Char('\n'));
            ++i;
        } else if (byte == '\n') {
            text.append(QLatin1Char('\n'));
        } else {
            text.append(VisibleChar(byte));
        }
    }
    return text;
}

QString Cp1252TextToQString(std::string_view bytes) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        *out++ = code < 0x20 || code == 0x7F ? QChar(char16_t{code}) : VisibleChar(byte);
    }
    return text;
}

namespace {

// The bytes of `text`; a character without one becomes "?" and clears
// `exact`.
std::string ToCp1252(const QString& text, bool& exact) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    exact = true;
    for (char32_t code : text.toUcs4()) {
        const int byte = ByteForCodePoint(code);
        exact = exact && byte >= 0;
        bytes.push_back(byte < 0 ? '?' : static_cast<char>(byte));
    }
    return bytes;
}

}  // namespace

std::optional<std::string> QStringToCp1252Exactly(const QString& text) {
    bool exact = true;
    std::string bytes = ToCp1252(text, exact);
    return exact ? std::optional<std::string>(std::move(bytes)) : std::nullopt;
}

std::string QStringToCp1252(const QString& text) {
    bool exact = true;
    return ToCp1252(text, exact);
}

}  // namespace twds
