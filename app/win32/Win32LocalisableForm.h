#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "twds/LocalisableForm.h"

namespace twds::win32 {

// A control of the window as the form localisation finds it: Win32 windows
// have no object names or tags, so the window keeps them beside the handles.
struct NamedWindow {
    HWND window = nullptr;
    std::string name;
    std::string tag;
};

// Lets the form localisation walk a Win32 window. By the control's window
// class: a caption goes to a button's or static's text, Locked to an edit's
// read-only state, the tab captions to a tab control's items; Enabled to any
// control. Texts arrive in the ANSI code page and go to the W controls.
class Win32LocalisableForm : public LocalisableForm {
public:
    Win32LocalisableForm(HWND form, std::string tag, const std::vector<NamedWindow>& controls);
    ~Win32LocalisableForm() override;
    Win32LocalisableForm(const Win32LocalisableForm&) = delete;
    Win32LocalisableForm& operator=(const Win32LocalisableForm&) = delete;

    [[nodiscard]] std::string tag() const override { return tag_; }
    bool setCaption(std::string_view text) override;
    [[nodiscard]] int controlCount() const override;
    [[nodiscard]] LocalisableControl* control(int index) override;

private:
    class Control;

    HWND form_;
    std::string tag_;
    std::vector<std::unique_ptr<Control>> controls_;
};

}  // namespace twds::win32
