#include "Win32LocalisableForm.h"

#include <commctrl.h>

#include <utility>

#include "AnsiWide.h"

namespace twds::win32 {

namespace {

std::wstring ClassOf(HWND window) {
    std::wstring name(64, L'\0');
    name.resize(static_cast<std::size_t>(
        GetClassNameW(window, name.data(), static_cast<int>(name.size()))));
    return name;
}

bool ClassIs(HWND window, const wchar_t* name) {
    return CompareStringOrdinal(ClassOf(window).c_str(), -1, name, -1, TRUE) == CSTR_EQUAL;
}

}  // namespace

class Win32LocalisableForm::Control : public LocalisableControl {
public:
    explicit Control(NamedWindow named) : named_(std::move(named)) {}

    [[nodiscard]] std::string name() const override { return named_.name; }
    [[nodiscard]] std::string tag() const override { return named_.tag; }

    bool setCaption(std::string_view text) override {
        if (!ClassIs(named_.window, WC_BUTTONW) && !ClassIs(named_.window, WC_STATICW)) {
            return false;
        }
        return SetWindowTextW(named_.window, AnsiToWide(text).c_str()) != FALSE;
    }
    bool setLocked(bool locked) override {
        if (!ClassIs(named_.window, WC_EDITW)) {
            return false;
        }
        return SendMessageW(named_.window, EM_SETREADONLY, locked ? TRUE : FALSE, 0) != 0;
    }
    bool setEnabled(bool enabled) override {
        EnableWindow(named_.window, enabled ? TRUE : FALSE);
        return true;
    }

    [[nodiscard]] int tabCount() const override {
        return ClassIs(named_.window, WC_TABCONTROLW) ? TabCtrl_GetItemCount(named_.window) : 0;
    }
    [[nodiscard]] std::string tabCaption(int tab) const override {
        if (tab < 0 || tab >= tabCount()) {
            return {};
        }
        wchar_t caption[256] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption;
        item.cchTextMax = static_cast<int>(std::size(caption));
        SendMessageW(named_.window, TCM_GETITEMW, static_cast<WPARAM>(tab),
                     reinterpret_cast<LPARAM>(&item));
        return WideToAnsi(caption);
    }
    bool setTabCaption(int tab, std::string_view text) override {
        if (tab < 0 || tab >= tabCount()) {
            return false;
        }
        std::wstring caption = AnsiToWide(text);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        return SendMessageW(named_.window, TCM_SETITEMW, static_cast<WPARAM>(tab),
                            reinterpret_cast<LPARAM>(&item)) != 0;
    }

private:
    NamedWindow named_;
};

Win32LocalisableForm::Win32LocalisableForm(HWND form, std::string tag,
                                           const std::vector<NamedWindow>& controls)
    : form_(form), tag_(std::move(tag)) {
    for (const NamedWindow& named : controls) {
        controls_.push_back(std::make_unique<Control>(named));
    }
}

Win32LocalisableForm::~Win32LocalisableForm() = default;

bool Win32LocalisableForm::setCaption(std::string_view text) {
    return SetWindowTextW(form_, AnsiToWide(text).c_str()) != FALSE;
}

int Win32LocalisableForm::controlCount() const {
    return static_cast<int>(controls_.size());
}

LocalisableControl* Win32LocalisableForm::control(int index) {
    if (index < 0 || index >= controlCount()) {
        return nullptr;
    }
    return controls_[static_cast<std::size_t>(index)].get();
}

}  // namespace twds::win32
