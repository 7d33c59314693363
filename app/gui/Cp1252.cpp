#include "twds/Cp1252.h"

#include <QList>

#include <array>

namespace twds {

namespace {

// Qt's QStringConverter knows only the UTF encodings and Latin-1 unless Qt
// was built with ICU, and Latin-1 differs from Windows-1252 in 0x80-0x9F, so
// the code page is a table of our own. 0xFFFD marks the undefined bytes.
constexpr std::array<char16_t, 32> kHighControlRange{
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,  // 0x88
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,  // 0x98
};

constexpr char16_t kControlPictures = 0x2400;  // U+2400..U+241F for 0x00..0x1F
constexpr char16_t kDeletePicture = 0x2421;    // for 0x7F
constexpr char16_t kReplacement = 0xFFFD;

// One UTF-16 unit per byte: every Windows-1252 character lies in the BMP.
constexpr std::array<char16_t, 256> MakeVisibleTable() {
    std::array<char16_t, 256> table{};
    for (int b = 0; b < 256; ++b) {
        if (b < 0x20) {
            table[b] = static_cast<char16_t>(kControlPictures + b);
        } else if (b == 0x7F) {
            table[b] = kDeletePicture;
        } else if (b >= 0x80 && b < 0xA0) {
            table[b] = kHighControlRange[b - 0x80];
        } else {
            table[b] = static_cast<char16_t>(b);
        }
    }
    return table;
}

constexpr std::array<char16_t, 256> kVisible = MakeVisibleTable();

QChar VisibleChar(char byte) {
    return QChar(kVisible[static_cast<unsigned char>(byte)]);
}

// The byte that shows as `code`, or -1 when no byte does.
int ByteForCodePoint(char32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
        return static_cast<int>(code);
    }
    if (code >= kControlPictures && code < kControlPictures + 0x20) {
        return static_cast<int>(code - kControlPictures);
    }
    if (code == kDeletePicture) {
        return 0x7F;
    }
    if (code == kReplacement) {
        return -1;
    }
    for (int i = 0; i < static_cast<int>(kHighControlRange.size()); ++i) {
        if (kHighControlRange[i] == code) {
            return 0x80 + i;
        }
    }
    return -1;
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

std::optional<std::string> QStringToCp1252Exactly(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (char32_t code : text.toUcs4()) {
        const int byte = ByteForCodePoint(code);
        if (byte < 0) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<char>(byte));
    }
    return bytes;
}

std::string QStringToCp1252(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (char32_t code : text.toUcs4()) {
        const int byte = ByteForCodePoint(code);
        bytes.push_back(byte < 0 ? '?' : static_cast<char>(byte));
    }
    return bytes;
}

}  // namespace twds
