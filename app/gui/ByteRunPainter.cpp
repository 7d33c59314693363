#include "twds/ByteRunPainter.h"

#include <algorithm>
#include <cmath>

#include <QPainter>

#include "twds/Cp1252.h"

namespace twds {

namespace {

constexpr int kMarkPadding = 2;  // inside the box, left and right
constexpr int kMarkGap = 1;      // outside it, so that two marks stay apart
constexpr QChar kEllipsis(0x2026);
constexpr QChar kMiddleDot(0x00B7);  // in Latin-1, so every font has it

QFont SmallerFont(const QFont& font) {
    QFont smaller = font;
    if (font.pointSizeF() > 0) {
        smaller.setPointSizeF(font.pointSizeF() * 0.75);
    } else {
        smaller.setPixelSize(std::max(6, font.pixelSize() * 3 / 4));
    }
    return smaller;
}

QColor Mix(const QColor& text, const QColor& base, double textShare) {
    const auto mix = [textShare](int a, int b) {
        return static_cast<int>(std::lround(a * textShare + b * (1.0 - textShare)));
    };
    return {mix(text.red(), base.red()), mix(text.green(), base.green()),
            mix(text.blue(), base.blue())};
}

QString RunText(std::string_view bytes, const ByteRun& run) {
    return Cp1252ToQString(bytes.substr(run.offset, run.length));
}

QString MnemonicText(std::string_view mnemonic) {
    return QString::fromLatin1(mnemonic.data(), static_cast<qsizetype>(mnemonic.size()));
}

}  // namespace

ByteRunPainter::ByteRunPainter(const QFont& font)
    : font_(font),
      markFont_(SmallerFont(font)),
      metrics_(font_),
      markMetrics_(markFont_),
      blankWidth_(metrics_.horizontalAdvance(QLatin1Char(' '))) {
    int narrowest = blankWidth_;
    for (const char c : {'i', 'l', '.', '\'', '|', '!'}) {
        narrowest = std::min(narrowest, metrics_.horizontalAdvance(QLatin1Char(c)));
    }
    // Halved: kerning may draw two characters closer than their advances.
    narrowest_ = std::max(1, narrowest / 2);
}

QColor ByteRunPainter::blankGround(const QColor& text, const QColor& base) {
    return Mix(text, base, 0.12);
}

QColor ByteRunPainter::blankDot(const QColor& text, const QColor& base) {
    return Mix(text, base, 0.45);
}

int ByteRunPainter::markAdvance(std::string_view mnemonic) const {
    return markMetrics_.horizontalAdvance(MnemonicText(mnemonic)) + 2 * kMarkPadding + 2 * kMarkGap;
}

int ByteRunPainter::runAdvance(std::string_view bytes, const ByteRun& run) const {
    switch (run.kind) {
        case ByteRun::Kind::Text:
            return metrics_.horizontalAdvance(RunText(bytes, run));
        case ByteRun::Kind::Marked:
            return markAdvance(run.mnemonic);
        case ByteRun::Kind::TrailingBlanks:
            return static_cast<int>(run.length) * blankWidth_;
    }
    return 0;
}

std::pair<int, int> ByteRunPainter::spanInRun(std::string_view bytes, const ByteRun& run, int x,
                                              int advance, std::size_t from, std::size_t to) const {
    switch (run.kind) {
        case ByteRun::Kind::Text: {
            const auto upTo = [&](std::size_t end) {
                return x + metrics_.horizontalAdvance(
                               Cp1252ToQString(bytes.substr(run.offset, end - run.offset)));
            };
            return {upTo(from), upTo(to)};
        }
        case ByteRun::Kind::Marked:
            return {x, x + advance};
        case ByteRun::Kind::TrailingBlanks:
            return {x + static_cast<int>(from - run.offset) * blankWidth_,
                    x + static_cast<int>(to - run.offset) * blankWidth_};
    }
    return {x, x};
}

std::size_t ByteRunPainter::byteLimit(int width) const {
    return static_cast<std::size_t>(std::max(width, 0) / narrowest_) + 1;
}

int ByteRunPainter::width(std::string_view bytes, TrailingBlanks blanks) const {
    int total = 0;
    for (const ByteRun& run : SplitByteRuns(bytes, blanks)) {
        total += runAdvance(bytes, run);
    }
    return total;
}

bool ByteRunPainter::paint(QPainter& painter, const QRect& rect, std::string_view bytes,
                           TrailingBlanks blanks, const QColor& text, const QColor& base,
                           const ByteHighlight& highlight) const {
    const std::vector<ByteRun> runs = SplitByteRuns(bytes, blanks, byteLimit(rect.width()));
    std::vector<int> advances;
    advances.reserve(runs.size());
    int total = 0;
    for (const ByteRun& run : runs) {
        advances.push_back(runAdvance(bytes, run));
        total += advances.back();
    }
    const bool allSplit = runs.empty() || runs.back().offset + runs.back().length == bytes.size();
    const bool whole = allSplit && total <= rect.width();
    const int right =
        rect.left() + rect.width() - (whole ? 0 : metrics_.horizontalAdvance(kEllipsis));

    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    const int baseline = rect.top() + (rect.height() - metrics_.height()) / 2 + metrics_.ascent();
    const int markHeight = std::min(rect.height(), markMetrics_.height());
    const int markTop = rect.top() + (rect.height() - markHeight) / 2;
    int x = rect.left();
    bool ellipsisDrawn = false;
    // The highlights' parts within run i, under what the run draws.
    const auto fillHighlight = [&](std::size_t i) {
        const ByteRun& run = runs[i];
        const std::size_t runEnd = run.offset + run.length;
        // The first place that may end inside the run, then each that starts
        // before its end.
        auto place = std::lower_bound(
            highlight.starts.begin(), highlight.starts.end(),
            run.offset >= highlight.length ? run.offset - highlight.length + 1 : 0);
        for (; place != highlight.starts.end() && *place < runEnd; ++place) {
            const std::size_t from = std::max(*place, run.offset);
            const std::size_t to = std::min(*place + highlight.length, runEnd);
            if (from >= to) {
                continue;
            }
            const auto [left, end] = spanInRun(bytes, run, x, advances[i], from, to);
            painter.fillRect(QRect(left, rect.top(), end - left, rect.height()), highlight.ground);
        }
    };

    for (std::size_t i = 0; i < runs.size(); ++i) {
        const ByteRun& run = runs[i];
        const bool fits = x + advances[i] <= right;
        if (!fits && run.kind == ByteRun::Kind::Marked) {
            break;  // a mark is drawn whole or not at all
        }
        switch (run.kind) {
            case ByteRun::Kind::Text: {
                fillHighlight(i);
                QString shown = RunText(bytes, run);
                if (!fits) {
                    // Whole characters, then the ellipsis, which Qt's eliding
                    // keeps when it cuts (the text ends with it).
                    shown = metrics_.elidedText(shown + kEllipsis, Qt::ElideRight,
                                                rect.left() + rect.width() - x);
                    ellipsisDrawn = true;
                }
                painter.setFont(font_);
                painter.setPen(text);
                painter.drawText(QPoint(x, baseline), shown);
                break;
            }
            case ByteRun::Kind::Marked: {
                fillHighlight(i);
                const QRect box(x + kMarkGap, markTop, advances[i] - 2 * kMarkGap, markHeight);
                painter.fillRect(box, text);
                painter.setFont(markFont_);
                painter.setPen(base);
                painter.drawText(box, Qt::AlignCenter, MnemonicText(run.mnemonic));
                break;
            }
            case ByteRun::Kind::TrailingBlanks: {
                const int count = fits ? static_cast<int>(run.length) : (right - x) / blankWidth_;
                advances[i] = count * blankWidth_;
                painter.fillRect(QRect(x, rect.top() + 1, advances[i], rect.height() - 2),
                                 blankGround(text, base));
                fillHighlight(i);
                painter.setFont(font_);
                painter.setPen(blankDot(text, base));
                for (int b = 0; b < count; ++b) {
                    painter.drawText(
                        QRect(x + b * blankWidth_, rect.top(), blankWidth_, rect.height()),
                        Qt::AlignCenter, QString(kMiddleDot));
                }
                break;
            }
        }
        x += advances[i];
        if (!fits) {
            break;
        }
    }
    if (!whole && !ellipsisDrawn) {
        painter.setFont(font_);
        painter.setPen(text);
        painter.drawText(QPoint(x, baseline), QString(kEllipsis));
    }
    painter.restore();
    return whole;
}

}  // namespace twds
