#include "ByteRunDraw.h"

#include <algorithm>
#include <climits>
#include <optional>

#include "AnsiWide.h"

namespace twds::win32 {

namespace {

constexpr int kMarkPadding = 2;  // pixels each side of a mnemonic in its box

COLORREF Mix(COLORREF a, COLORREF b, int percentOfA) {
    const auto mix = [percentOfA](int x, int y) {
        return (x * percentOfA + y * (100 - percentOfA)) / 100;
    };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
               mix(GetBValue(a), GetBValue(b)));
}

int TextWidth(HDC dc, const std::wstring& text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

std::wstring Wide(std::string_view ascii) {
    return {ascii.begin(), ascii.end()};
}

// Walks the runs, giving each its text, width and kind; stops once past
// `limit` pixels.
template <typename Visit>
void WalkRuns(HDC dc, std::string_view bytes, TrailingBlanks blanks, HFONT font, HFONT markFont,
              int limit, Visit visit) {
    int x = 0;
    const int blankWidth = [&] {
        SelectObject(dc, font);
        return TextWidth(dc, L" ");
    }();
    for (const ByteRun& run : SplitByteRuns(bytes, blanks)) {
        if (x > limit) {
            return;
        }
        int width = 0;
        std::wstring text;
        if (run.kind == ByteRun::Kind::Marked) {
            SelectObject(dc, markFont);
            text = Wide(run.mnemonic);
            width = TextWidth(dc, text) + 2 * kMarkPadding + 1;
        } else if (run.kind == ByteRun::Kind::TrailingBlanks) {
            width = blankWidth * static_cast<int>(std::min<std::size_t>(run.length, INT_MAX / 64));
        } else {
            SelectObject(dc, font);
            text = AnsiToWide(bytes.substr(run.offset, run.length));
            width = TextWidth(dc, text);
        }
        visit(run, text, x, width, blankWidth);
        x += width;
    }
}

}  // namespace

void DrawByteRuns(HDC dc, const RECT& cell, std::string_view bytes, TrailingBlanks blanks,
                  HFONT font, HFONT markFont, ByteRunColours colours) {
    const HGDIOBJ oldFont = SelectObject(dc, font);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc, colours.text);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int height = cell.bottom - cell.top;
    const int top = cell.top + (height - metrics.tmHeight) / 2;
    const HRGN clip = CreateRectRgnIndirect(&cell);
    SaveDC(dc);
    SelectClipRgn(dc, clip);
    WalkRuns(dc, bytes, blanks, font, markFont, cell.right - cell.left,
             [&](const ByteRun& run, const std::wstring& text, int x, int width, int blankWidth) {
                 const int left = cell.left + x;
                 if (run.kind == ByteRun::Kind::Marked) {
                     const RECT box{left, top + 1, left + width - 1, top + metrics.tmHeight - 1};
                     const HBRUSH ink = CreateSolidBrush(colours.text);
                     FillRect(dc, &box, ink);
                     DeleteObject(ink);
                     SelectObject(dc, markFont);
                     SetTextColor(dc, colours.ground);
                     RECT inner = box;
                     DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &inner,
                               DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
                     SetTextColor(dc, colours.text);
                 } else if (run.kind == ByteRun::Kind::TrailingBlanks) {
                     const RECT shade{left, top, left + width, top + metrics.tmHeight};
                     const HBRUSH ground = CreateSolidBrush(Mix(colours.text, colours.ground, 12));
                     FillRect(dc, &shade, ground);
                     DeleteObject(ground);
                     const HBRUSH dot = CreateSolidBrush(Mix(colours.text, colours.ground, 45));
                     const int middle = top + metrics.tmHeight / 2;
                     for (int at = left + blankWidth / 2; at < left + width; at += blankWidth) {
                         const RECT spot{at - 1, middle - 1, at + 1, middle + 1};
                         FillRect(dc, &spot, dot);
                     }
                     DeleteObject(dot);
                 } else {
                     SelectObject(dc, font);
                     TextOutW(dc, left, top, text.c_str(), static_cast<int>(text.size()));
                 }
             });
    RestoreDC(dc, -1);
    DeleteObject(clip);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}

int ByteRunsWidth(HDC dc, std::string_view bytes, TrailingBlanks blanks, HFONT font,
                  HFONT markFont) {
    const HGDIOBJ oldFont = SelectObject(dc, font);
    int total = 0;
    WalkRuns(dc, bytes, blanks, font, markFont, INT_MAX,
             [&total](const ByteRun&, const std::wstring&, int x, int width, int) {
                 total = x + width;
             });
    SelectObject(dc, oldFont);
    return total;
}

PixelSpan ByteRunsSpan(HDC dc, std::string_view bytes, TrailingBlanks blanks, HFONT font,
                       HFONT markFont, std::size_t from, std::size_t to) {
    const HGDIOBJ oldFont = SelectObject(dc, font);
    std::optional<int> left;
    int right = 0;
    // Only the bytes up to `to` are walked: a long statement's matches are
    // measured from its start, not each across the whole text.
    bytes = bytes.substr(0, to);
    WalkRuns(
        dc, bytes, blanks, font, markFont, INT_MAX,
        [&](const ByteRun& run, const std::wstring&, int x, int width, int blankWidth) {
            const std::size_t runEnd = run.offset + run.length;
            if (runEnd <= from || run.offset >= to) {
                return;
            }
            const std::size_t first = std::max(from, run.offset);
            const std::size_t last = std::min(to, runEnd);
            int start = x;
            int end = x + width;
            if (run.kind == ByteRun::Kind::TrailingBlanks) {
                start = x + blankWidth * static_cast<int>(first - run.offset);
                end = x + blankWidth * static_cast<int>(last - run.offset);
            } else if (run.kind == ByteRun::Kind::Text) {
                SelectObject(dc, font);
                start = x + TextWidth(dc, AnsiToWide(bytes.substr(run.offset, first - run.offset)));
                end = x + TextWidth(dc, AnsiToWide(bytes.substr(run.offset, last - run.offset)));
            }
            left = left.value_or(start);
            right = end;
        });
    SelectObject(dc, oldFont);
    return {left.value_or(0), right};
}

void FillMatches(HDC dc, const RECT& cell, std::string_view bytes, TrailingBlanks blanks,
                 HFONT font, HFONT markFont, const AnsiCaseSearcher& searcher, COLORREF ground) {
    if (searcher.size() == 0) {
        return;
    }
    TEXTMETRICW metrics{};
    const HGDIOBJ oldFont = SelectObject(dc, font);
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, oldFont);
    const int top = cell.top + (cell.bottom - cell.top - metrics.tmHeight) / 2;
    const HBRUSH brush = CreateSolidBrush(ground);
    for (const std::size_t start : searcher.findAll(bytes)) {
        const PixelSpan span =
            ByteRunsSpan(dc, bytes, blanks, font, markFont, start, start + searcher.size());
        if (cell.left + span.left >= cell.right) {
            break;
        }
        const RECT box{cell.left + span.left, top, std::min(cell.left + span.right, cell.right),
                       top + metrics.tmHeight};
        FillRect(dc, &box, brush);
    }
    DeleteObject(brush);
}

std::wstring EditBoxText(std::string_view bytes, TrailingBlanks blanks, LineBreaks breaks) {
    const bool keepLineBreaks = breaks == LineBreaks::Kept;
    std::wstring text;
    for (const ByteRun& run : SplitByteRuns(bytes, blanks)) {
        if (run.kind == ByteRun::Kind::TrailingBlanks) {
            text.append(run.length, L'\u00B7');
            continue;
        }
        if (run.kind != ByteRun::Kind::Marked) {
            text += AnsiToWide(bytes.substr(run.offset, run.length));
            continue;
        }
        const char byte = bytes[run.offset];
        const bool crBeforeLf =
            byte == '\r' && run.offset + 1 < bytes.size() && bytes[run.offset + 1] == '\n';
        if (keepLineBreaks && crBeforeLf) {
            continue;  // the LF that follows makes the break
        }
        if (keepLineBreaks && byte == '\n') {
            text += L"\r\n";
            continue;
        }
        text += L'<' + Wide(run.mnemonic) + L'>';
    }
    return text;
}

}  // namespace twds::win32
