#pragma once

#include <string_view>

#include <QColor>
#include <QFont>
#include <QString>

#include "twds/ByteRuns.h"

class QPlainTextEdit;

namespace twds {

// Shows a value's bytes in a text box as the lists draw them (ByteRunPainter):
// marked bytes as their mnemonic on an inverse ground in a smaller font,
// padded and parted from a neighbouring mark by narrow blanks; the trailing
// blanks as faint middle dots on a shaded ground. Dots rather than shaded
// blanks: a text box draws no ground under the blanks that end a line.
// With LineBreaks::Kept (a free text such as the End_TW page) CR LF and LF
// end lines instead, and blanks are left as they are.
enum class LineBreaks { Marked, Kept };
void ShowByteRuns(QPlainTextEdit& box, std::string_view bytes,
                  LineBreaks lineBreaks = LineBreaks::Marked);

// The bytes as rich text for a tooltip, marked the same way, with the blanks
// kept (pre-wrap) and shown as middle dots; at most `maxBytes` of them, then
// an ellipsis.
[[nodiscard]] QString ByteRunsToolTip(std::string_view bytes, TrailingBlanks blanks,
                                      const QFont& font, const QColor& text, const QColor& base,
                                      qsizetype maxBytes);

}  // namespace twds
