#pragma once

#include <cstddef>
#include <string_view>
#include <utility>
#include <vector>

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QRect>

#include "twds/ByteRuns.h"

class QPainter;

namespace twds {

// Draws a label's or a value's bytes on one line as the window shows them
// (ByteRuns.h): characters in the given font, each marked byte as its
// mnemonic in small capitals on an inverse box, and the trailing blanks of a
// value on a shaded ground with a faint middle dot per blank. Everything is
// drawn with the font's plain Latin characters, so it shows whatever fonts
// are installed. Sizes are in pixels.
// Bytes drawn on a ground of their own: every place a found text stands,
// each `length` bytes from one of `starts` (ascending); none when empty.
struct ByteHighlight {
    std::vector<std::size_t> starts;
    std::size_t length = 0;
    QColor ground;
};

class ByteRunPainter {
public:
    explicit ByteRunPainter(const QFont& font);

    // The width the bytes take when drawn.
    [[nodiscard]] int width(std::string_view bytes, TrailingBlanks blanks) const;

    // Draws the bytes from the left of `rect`, centred vertically, in `text`
    // on a `base` ground (the ground is not filled: the caller's background
    // stays). What does not fit ends with an ellipsis. Returns whether
    // everything fitted. The highlighted bytes' ground is filled.
    bool paint(QPainter& painter, const QRect& rect, std::string_view bytes, TrailingBlanks blanks,
               const QColor& text, const QColor& base, const ByteHighlight& highlight = {}) const;

    // The font marks are drawn in: the given font, three quarters as tall.
    [[nodiscard]] const QFont& markFont() const { return markFont_; }

    // The ground of trailing blanks and the colour of their dots, for text
    // drawn in `text` on `base`.
    [[nodiscard]] static QColor blankGround(const QColor& text, const QColor& base);
    [[nodiscard]] static QColor blankDot(const QColor& text, const QColor& base);

private:
    [[nodiscard]] int markAdvance(std::string_view mnemonic) const;
    [[nodiscard]] int runAdvance(std::string_view bytes, const ByteRun& run) const;
    // Where the bytes [from, to) of a run drawn at x start and end.
    [[nodiscard]] std::pair<int, int> spanInRun(std::string_view bytes, const ByteRun& run, int x,
                                                int advance, std::size_t from,
                                                std::size_t to) const;
    // The most bytes that can matter for a line `width` wide: every byte is
    // at least as wide as the narrowest character.
    [[nodiscard]] std::size_t byteLimit(int width) const;

    QFont font_;
    QFont markFont_;
    QFontMetrics metrics_;
    QFontMetrics markMetrics_;
    int blankWidth_;
    int narrowest_ = 1;
};

}  // namespace twds
