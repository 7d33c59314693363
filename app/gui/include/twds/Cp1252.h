#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <QString>

namespace twds {

// Conversions between the viewer's Windows-1252 bytes and the Unicode text
// that widgets show. Page text, labels and values stay bytes everywhere else;
// these functions are used only where a widget shows or reads them.

// Every byte becomes one visible character: control bytes 0x00-0x1F and 0x7F
// are drawn as their Control Pictures symbols (NUL as U+2400, TAB as U+2409,
// CR as U+240D, LF as U+240A, DEL as U+2421), the five bytes Windows-1252
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) as U+FFFD, every other byte
// as its Windows-1252 character. Nothing is dropped, so a value always shows
// as many characters as it has bytes.
[[nodiscard]] QString Cp1252ToQString(std::string_view bytes);

// The same, but CR LF and lone LF are shown as line breaks; used for free
// text such as the End_TW page. A lone CR stays visible as U+240D.
[[nodiscard]] QString Cp1252ToQStringWithLineBreaks(std::string_view bytes);

// Text whose odd bytes were already spelled out (VisibleBytesText), such as
// the rows put on the clipboard: every byte is its Windows-1252 character and
// control bytes stay themselves, so that its TABs and line feeds part columns
// and lines. The bytes Windows-1252 leaves undefined become U+FFFD.
[[nodiscard]] QString Cp1252TextToQString(std::string_view bytes);

// Text typed into an input box, as Windows-1252 bytes. The Control Pictures
// symbols read back as the control bytes they stand for, so a value shown by
// Cp1252ToQString comes back unchanged; characters Windows-1252 cannot hold
// (U+FFFD included) become "?".
[[nodiscard]] std::string QStringToCp1252(const QString& text);
// The same, or nothing when a character has no Windows-1252 byte.
[[nodiscard]] std::optional<std::string> QStringToCp1252Exactly(const QString& text);

}  // namespace twds
