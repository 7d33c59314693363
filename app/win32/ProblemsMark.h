#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "twds/Problem.h"

namespace twds::win32 {

// The status line's problems mark: a disc drawn in the severity's colour
// (never a font's glyph, which a system may lack) and the summary beside it.
// Hidden while there is no severity; a click calls `clicked`.
class ProblemsMark {
public:
    // A child of `parent`, hidden; the callback must outlive the mark.
    ProblemsMark(HWND parent, std::function<void()> clicked);
    ProblemsMark(const ProblemsMark&) = delete;
    ProblemsMark& operator=(const ProblemsMark&) = delete;
    ~ProblemsMark();

    [[nodiscard]] HWND window() const { return window_; }
    [[nodiscard]] bool shown() const { return severity_.has_value(); }
    void show(std::optional<Severity> severity, const std::wstring& text);
    void setFont(HFONT font);
    // The width and height the disc and the whole text take, in pixels.
    [[nodiscard]] SIZE preferredSize() const;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void paint();

    HWND window_ = nullptr;
    HFONT font_ = nullptr;
    std::function<void()> clicked_;
    std::optional<Severity> severity_;
    bool pressed_ = false;
};

}  // namespace twds::win32
