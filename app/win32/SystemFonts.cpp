#include "SystemFonts.h"

#include <string>

#include "AnsiWide.h"

namespace twds::win32 {

LOGFONTW MessageFontAt(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
    return metrics.lfMessageFont;
}

LOGFONTW FixedFontLike(const LOGFONTW& message) {
    LOGFONTW fixed{};
    fixed.lfHeight = message.lfHeight;
    fixed.lfCharSet = DEFAULT_CHARSET;
    fixed.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    lstrcpynW(fixed.lfFaceName, L"Courier New", LF_FACESIZE);
    return fixed;
}

SIZE CaptionSize(HWND control) {
    const std::wstring text = WindowText(control);
    const HDC dc = GetDC(control);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size;
}

}  // namespace twds::win32
