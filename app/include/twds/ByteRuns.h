#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace twds {

// How the window shows the bytes of a label or a value. Most bytes stand for
// their Windows-1252 character; the others would be invisible, or drawn by
// whatever glyph a font happens to have, so the window draws them itself:
//
// - a control byte (0x00-0x1F, 0x7F) is marked with its ASCII name ("NUL",
//   "TAB", "LF", "CR", "ESC", "DEL", ...);
// - a byte that Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
//   is marked with its two hexadecimal digits ("81");
// - the blanks that end a value are shown as blanks that can be seen.
struct ByteRun {
    enum class Kind {
        Text,            // bytes shown as their characters
        Marked,          // one byte shown as its mnemonic
        TrailingBlanks,  // the blanks (0x20) that end the text
    };
    Kind kind = Kind::Text;
    std::size_t offset = 0;     // of the run's first byte in the text
    std::size_t length = 0;     // in bytes; 1 for a marked byte
    std::string_view mnemonic;  // Marked: its name; empty otherwise

    friend bool operator==(const ByteRun&, const ByteRun&) = default;
};

// Whether the blanks that end the text form a run of their own. Values show
// them (a field's width is data); labels do not.
enum class TrailingBlanks { Marked, AsText };

// The mnemonic a byte is marked with, or empty for a byte shown as itself.
[[nodiscard]] std::string_view ByteMnemonic(unsigned char byte);

// Splits `bytes` into runs, in order, covering every byte. Only the first
// `limit` bytes are split (a painter needs no more than fit its cell); the
// trailing blanks are still those of the whole text.
[[nodiscard]] std::vector<ByteRun> SplitByteRuns(std::string_view bytes, TrailingBlanks blanks,
                                                 std::size_t limit = std::string_view::npos);

// The text as plain characters for the clipboard: a marked byte becomes its
// mnemonic in angle brackets ("<NUL>", "<81>"), every other byte, trailing
// blanks included, stays. The result holds no control byte.
[[nodiscard]] std::string VisibleBytesText(std::string_view bytes);

}  // namespace twds
