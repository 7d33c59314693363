#include "ProblemsMark.h"

#include <algorithm>
#include <utility>

#include "WindowClass.h"

namespace twds::win32 {

namespace {

constexpr wchar_t kMarkClass[] = L"twDspUsrSpcProblemsMark";

// The Qt window's colours, so that both front ends speak alike.
COLORREF SeverityColour(Severity severity) {
    switch (severity) {
        case Severity::Error:
            return RGB(0xC6, 0x28, 0x28);
        case Severity::Warning:
            return RGB(0xE0, 0x9A, 0x00);
        case Severity::Note:
            break;
    }
    return RGB(0x1E, 0x6F, 0xC8);
}

COLORREF Darker(COLORREF colour) {
    const auto part = [](BYTE value) { return static_cast<BYTE>(value * 10 / 13); };
    return RGB(part(GetRValue(colour)), part(GetGValue(colour)), part(GetBValue(colour)));
}

// The font's line height: the disc's size and the mark's height follow it.
int LineHeight(HDC dc) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    return static_cast<int>(metrics.tmHeight);
}

}  // namespace

ProblemsMark::ProblemsMark(HWND parent, std::function<void()> clicked)
    : clicked_(std::move(clicked)) {
    RegisterWindowClass(kMarkClass, IDC_HAND);
    window_ = CreateWindowExW(0, kMarkClass, L"", WS_CHILD, 0, 0, 0, 0, parent, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ProblemsMark::Proc));
}

ProblemsMark::~ProblemsMark() {
    if (IsWindow(window_) != FALSE) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    }
}

void ProblemsMark::show(std::optional<Severity> severity, const std::wstring& text) {
    severity_ = severity;
    // The window's text: what a screen reader or a test reads.
    SetWindowTextW(window_, text.c_str());
    ShowWindow(window_, severity ? SW_SHOWNA : SW_HIDE);
    InvalidateRect(window_, nullptr, TRUE);
}

void ProblemsMark::setFont(HFONT font) {
    font_ = font;
    InvalidateRect(window_, nullptr, TRUE);
}

SIZE ProblemsMark::preferredSize() const {
    HDC dc = GetDC(window_);
    const HGDIOBJ old = SelectObject(dc, font_);
    const int line = LineHeight(dc);
    const int length = GetWindowTextLengthW(window_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(window_, text.data(), length + 1);
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), length, &extent);
    SelectObject(dc, old);
    ReleaseDC(window_, dc);
    return {line + 6 + extent.cx + 4, line + 4};
}

LRESULT CALLBACK ProblemsMark::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* mark = reinterpret_cast<ProblemsMark*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (mark == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
        case WM_PAINT:
            mark->paint();
            return 0;
        case WM_LBUTTONDOWN:
            mark->pressed_ = true;
            SetCapture(window);
            InvalidateRect(window, nullptr, TRUE);
            return 0;
        case WM_LBUTTONUP: {
            // A click is a press and a release over the mark.
            const bool wasPressed = mark->pressed_;
            mark->pressed_ = false;
            ReleaseCapture();
            InvalidateRect(window, nullptr, TRUE);
            RECT client{};
            GetClientRect(window, &client);
            const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (wasPressed && PtInRect(&client, at) != FALSE) {
                mark->clicked_();
            }
            return 0;
        }
        case WM_CAPTURECHANGED:
            mark->pressed_ = false;
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

void ProblemsMark::paint() {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window_, &paint);
    if (severity_) {
        RECT client{};
        GetClientRect(window_, &client);
        const HGDIOBJ oldFont = SelectObject(dc, font_);
        const int disc = std::max(LineHeight(dc) - 4, 4);
        const int top = (client.bottom - disc) / 2;
        const COLORREF colour = SeverityColour(*severity_);
        const HBRUSH brush = CreateSolidBrush(colour);
        const HPEN pen = CreatePen(PS_SOLID, 1, Darker(colour));
        const HGDIOBJ oldBrush = SelectObject(dc, brush);
        const HGDIOBJ oldPen = SelectObject(dc, pen);
        Ellipse(dc, 2, top, 2 + disc, top + disc);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        DeleteObject(pen);
        DeleteObject(brush);

        const int length = GetWindowTextLengthW(window_);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        GetWindowTextW(window_, text.data(), length + 1);
        RECT room{disc + 8, 0, client.right, client.bottom};
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(pressed_ ? COLOR_HIGHLIGHT : COLOR_WINDOWTEXT));
        DrawTextW(dc, text.c_str(), length, &room,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
        SelectObject(dc, oldFont);
    }
    EndPaint(window_, &paint);
}

}  // namespace twds::win32
