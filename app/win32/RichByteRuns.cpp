#include "RichByteRuns.h"

#include <richedit.h>

#include <cstdlib>
#include <string>

#include "AnsiWide.h"
#include "Twips.h"

namespace twds::win32 {

namespace {

COLORREF Mix(COLORREF a, COLORREF b, int percentOfA) {
    const auto mix = [percentOfA](int x, int y) {
        return (x * percentOfA + y * (100 - percentOfA)) / 100;
    };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
               mix(GetBValue(a), GetBValue(b)));
}

// A run's format: its font and colours. The rich edit counts sizes in twips
// of its own device, whose pixels the font's height is in. Every run sets
// its font: an inserted run would take the one before it.
CHARFORMAT2W RunFormat(HWND box, HFONT font, COLORREF text, COLORREF ground) {
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_COLOR | CFM_BACKCOLOR | CFM_FACE | CFM_SIZE | CFM_BOLD;
    format.crTextColor = text;
    format.crBackColor = ground;
    LOGFONTW logical{};
    GetObjectW(font, sizeof logical, &logical);
    // The face the system chose for the font, not the one it asked for: a
    // fixed font asked as "Courier New" is another where that one is
    // missing, and the box would fall back to a proportional one.
    const HDC dc = GetDC(box);
    const HGDIOBJ old = SelectObject(dc, font);
    GetTextFaceW(dc, LF_FACESIZE, format.szFaceName);
    SelectObject(dc, old);
    const auto dpi = static_cast<UINT>(GetDeviceCaps(dc, LOGPIXELSY));
    ReleaseDC(box, dc);
    format.bPitchAndFamily = logical.lfPitchAndFamily;
    format.yHeight = PixelsToTwips(std::abs(static_cast<int>(logical.lfHeight)), dpi);
    format.dwEffects = logical.lfWeight >= FW_BOLD ? CFE_BOLD : 0;
    return format;
}

}  // namespace

const wchar_t* RichEditClass() {
    // Loaded once for the process: the class lives as long as the library.
    static const bool loaded = LoadLibraryW(L"Msftedit.dll") != nullptr;
    (void)loaded;
    return MSFTEDIT_CLASS;
}

void ShowByteRuns(HWND box, std::string_view bytes, TrailingBlanks blanks, LineBreaks breaks,
                  HFONT font, HFONT markFont) {
    const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    const COLORREF ground = GetSysColor(COLOR_WINDOW);
    // The characters stand on the box's own ground, which a comparison tints.
    CHARFORMAT2W plain = RunFormat(box, font, text, ground);
    plain.dwEffects |= CFE_AUTOBACKCOLOR;
    CHARFORMAT2W mark = RunFormat(box, markFont, ground, text);
    // A narrow blank pads a mark inside its box and parts two neighbours.
    CHARFORMAT2W markPad = mark;
    markPad.yHeight = mark.yHeight / 3;
    CHARFORMAT2W gap = plain;
    gap.yHeight = markPad.yHeight;
    CHARFORMAT2W blank = RunFormat(box, font, Mix(text, ground, 45), Mix(text, ground, 12));

    SendMessageW(box, WM_SETREDRAW, FALSE, 0);
    SetWindowTextW(box, L"");
    const auto insert = [box](const std::wstring& part, CHARFORMAT2W& format) {
        SendMessageW(box, EM_SETSEL, -1, -1);
        SendMessageW(box, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        SendMessageW(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(part.c_str()));
    };
    const bool keepLineBreaks = breaks == LineBreaks::Kept;
    bool afterMark = false;
    for (const ByteRun& run : SplitByteRuns(bytes, blanks)) {
        if (run.kind == ByteRun::Kind::TrailingBlanks) {
            insert(std::wstring(run.length, L'\u00B7'), blank);
        } else if (run.kind == ByteRun::Kind::Text) {
            insert(AnsiToWide(bytes.substr(run.offset, run.length)), plain);
        } else {
            const char byte = bytes[run.offset];
            const bool crBeforeLf =
                byte == '\r' && run.offset + 1 < bytes.size() && bytes[run.offset + 1] == '\n';
            if (keepLineBreaks && (crBeforeLf || byte == '\n')) {
                if (byte == '\n') {
                    insert(L"\r", plain);  // the LF or CR LF's break
                }
                afterMark = false;
                continue;
            }
            if (afterMark) {
                insert(L" ", gap);
            }
            insert(L" ", markPad);
            insert(std::wstring(run.mnemonic.begin(), run.mnemonic.end()), mark);
            insert(L" ", markPad);
        }
        afterMark = run.kind == ByteRun::Kind::Marked;
    }
    SendMessageW(box, EM_SETSEL, 0, 0);
    SendMessageW(box, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(box, nullptr, TRUE);
}

}  // namespace twds::win32
